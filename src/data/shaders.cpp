#include "data/shaders.h"

#include <GL/glew.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/basics.h"
#include "core/dataFiles.h"
#include "core/report.h"

std::vector<unsigned int> shaders;

std::string shaderFileName(int index, const char* extension) { return "shader" + toString(index) + extension; }

namespace {

const int LOG_SIZE = 1024;

void printLog(const char* label, const char* log)
{
    if (log[0] != '\0') report({"", "", formatted("%s%s", label, log), Severity::Trace});
}

// A half that is missing or empty cannot make a program; the pair keeps its
// number so later programs stay where the effects look for them.
bool usable(const char* source, const std::string& name, int index)
{
    if (source && source[0] != '\0') return true;
    report({"", "", formatted("%s is missing or empty: program %d is not built", name.c_str(), index), Severity::Warning});
    return false;
}

unsigned int buildProgram(GLuint vertex, GLuint fragment, char* vertexSource, char* fragmentSource)
{
    const GLchar* vs = vertexSource;
    const GLchar* fs = fragmentSource;
    glShaderSource(vertex, 1, &vs, nullptr);
    glShaderSource(fragment, 1, &fs, nullptr);
    glCompileShader(vertex);
    glCompileShader(fragment);

    char log[LOG_SIZE] = "";
    glGetShaderInfoLog(vertex, LOG_SIZE, nullptr, log);
    printLog("Vertex result:", log);
    log[0] = '\0';
    glGetShaderInfoLog(fragment, LOG_SIZE, nullptr, log);
    printLog("Fragment result:", log);

    GLuint program = glCreateProgram();
    glAttachShader(program, fragment);
    glAttachShader(program, vertex);
    glLinkProgram(program);
    log[0] = '\0';
    glGetProgramInfoLog(program, LOG_SIZE, nullptr, log);
    printLog("Program result:", log);
    return program;
}

}  // namespace

char* readEmitter(const char* path)
{
    std::FILE* file = std::fopen(path, "r");
    if (!file) {
        report({"", "", formatted("Can't open file '%s' for reading", path), Severity::Error});
        return nullptr;
    }
    std::fseek(file, 0, SEEK_END);
    long size = std::ftell(file);
    if (size < 0) size = 0;  // not a seekable file: read it as empty
    report({"", "", formatted("File '%s' is %ld long", path, size), Severity::Trace});
    std::fseek(file, 0, SEEK_SET);
    // One byte more than the file, so an empty file still has room for the terminator.
    char* buffer = static_cast<char*>(std::malloc(size_t(size) + 1));
    if (!buffer) {
        report({"", "", formatted("Can't malloc space for '%s'", path), Severity::Error});
        std::fclose(file);
        return nullptr;
    }
    size_t got = std::fread(buffer, 1, size_t(size), file);
    // The last character read is the file's final line end; it gives way to the terminator.
    buffer[got > 0 ? got - 1 : 0] = '\0';
    std::fclose(file);
    return buffer;
}

std::vector<unsigned int> readShaders()
{
    std::vector<unsigned int> programs;
    GLuint vertex = glCreateShader(GL_VERTEX_SHADER);
    GLuint fragment = glCreateShader(GL_FRAGMENT_SHADER);
    for (int k = 0;; ++k) {
        std::string vsName = dataFile(shaderFileName(k, ".vs"));
        std::string fsName = dataFile(shaderFileName(k, ".fs"));
        char* vertexSource = readEmitter(vsName.c_str());
        if (!vertexSource) break;
        char* fragmentSource = readEmitter(fsName.c_str());
        report({"", "", "Reading shader " + toString(k + 1), Severity::Trace});
        bool both = usable(vertexSource, vsName, k);
        both = usable(fragmentSource, fsName, k) && both;
        programs.push_back(both ? buildProgram(vertex, fragment, vertexSource, fragmentSource) : 0);
        std::free(vertexSource);
        std::free(fragmentSource);
    }
    report({"", "", formatted("Shaders read: %zu", programs.size()), Severity::Note});
    return programs;
}

unsigned int shaderProgram(int index)
{
    if (index < 0 || size_t(index) >= shaders.size()) return 0;
    return shaders[size_t(index)];
}
