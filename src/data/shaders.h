// The GLSL programs of the effects: "shader<K>.vs" with "shader<K>.fs",
// compiled and linked in file order once the GL context exists.
#pragma once

#include <string>
#include <vector>

// Entry K is built from shader K; 0 marks a program that could not be built.
extern std::vector<unsigned int> shaders;

std::string shaderFileName(int index, const char* extension);  // "shader" + index + ".vs" or ".fs"

// The whole file less its last character (the final line end), zero-terminated,
// from malloc; null when it cannot be read.
char* readEmitter(const char* path);
std::vector<unsigned int> readShaders();

// The program at index, or 0 when there is none.
unsigned int shaderProgram(int index);
