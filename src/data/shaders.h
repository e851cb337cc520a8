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
// The same as a string: false with why (without the path) when the file is
// missing (exists false), refused as a data file, or holds what the compiler
// must not be handed (see shaderSourceProblem).
bool readShaderSource(const std::string& path, std::string& text, bool& exists, std::string& why);
// Why a source would take the GL compiler down, or empty. Mesa's compiler
// recurses on each term of an expression and each level of brackets.
const int MAX_SHADER_TERMS = 1000;  // operators in one statement
const int MAX_SHADER_NESTING = 64;  // brackets in brackets
std::string shaderSourceProblem(const std::string& source);
std::vector<unsigned int> readShaders();

// The program at index, or 0 when there is none.
unsigned int shaderProgram(int index);
