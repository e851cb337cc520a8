#include "data/shaders.h"

#include <GL/glew.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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

std::string shaderSourceProblem(const std::string& source)
{
    int nesting = 0, deepest = 0, terms = 0, most = 0;
    for (size_t i = 0; i < source.size(); ++i) {
        const char c = source[i];
        if (c == '/' && i + 1 < source.size() && (source[i + 1] == '/' || source[i + 1] == '*')) {
            const bool line = source[i + 1] == '/';
            const size_t end = source.find(line ? "\n" : "*/", i + 2);
            if (end == std::string::npos) break;
            i = end + (line ? 0 : 1);
            continue;
        }
        if (c == '(' || c == '[') deepest = std::max(deepest, ++nesting);
        else if ((c == ')' || c == ']') && nesting > 0) --nesting;
        else if (c == ';' || c == '{' || c == '}') terms = 0;
        else if (std::strchr("+-*/%<>=!&|^?:,", c)) most = std::max(most, ++terms);
    }
    if (deepest > MAX_SHADER_NESTING)
        return formatted("brackets nested more than %d deep; Mesa's compiler would overflow its stack", MAX_SHADER_NESTING);
    if (most > MAX_SHADER_TERMS)
        return formatted("a statement of more than %d operators; Mesa's compiler would overflow its stack", MAX_SHADER_TERMS);
    return "";
}

bool readShaderSource(const std::string& path, std::string& text, bool& exists, std::string& why)
{
    text.clear();
    why.clear();
    exists = dataFileExists(path);
    if (!exists) return false;
    std::string error;
    if (!readDataFile(path, MAX_SHADER_FILE, text, error)) {
        why = error.compare(0, path.size() + 2, path + ": ") == 0 ? error.substr(path.size() + 2) : error;
        return false;
    }
    why = shaderSourceProblem(text);
    if (!why.empty()) {
        text.clear();
        return false;
    }
    report({"", "", formatted("File '%s' is %zu long", path.c_str(), text.size()), Severity::Trace});
    // The last character read is the file's final line end; it gives way to the terminator.
    if (!text.empty()) text.pop_back();
    return true;
}

namespace {

char* copiedSource(const std::string& text, const char* path)
{
    // One byte more than the text, so an empty one still has room for the terminator.
    char* buffer = static_cast<char*>(std::malloc(text.size() + 1));
    if (!buffer) {
        report({"", "", formatted("Can't malloc space for '%s'", path), Severity::Error});
        return nullptr;
    }
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return buffer;
}

// Null when the file is not there; a refused file is said once here and reads as empty.
char* readShaderFile(const char* path, bool& refused)
{
    std::string text, why;
    bool exists = false;
    refused = false;
    if (!readShaderSource(path, text, exists, why) && !exists) {
        report({"", "", formatted("Can't open file '%s' for reading", path), Severity::Error});
        return nullptr;
    }
    if (!why.empty()) {
        report({path, "", why + "; its program is not built", Severity::Error});
        refused = true;
    }
    return copiedSource(text, path);
}

}  // namespace

char* readEmitter(const char* path)
{
    bool refused = false;
    return readShaderFile(path, refused);
}

std::vector<unsigned int> readShaders()
{
    std::vector<unsigned int> programs;
    GLuint vertex = glCreateShader(GL_VERTEX_SHADER);
    GLuint fragment = glCreateShader(GL_FRAGMENT_SHADER);
    for (int k = 0;; ++k) {
        std::string vsName = dataFile(shaderFileName(k, ".vs"));
        std::string fsName = dataFile(shaderFileName(k, ".fs"));
        bool vertexRefused = false, fragmentRefused = false;
        char* vertexSource = readShaderFile(vsName.c_str(), vertexRefused);
        if (!vertexSource) break;
        char* fragmentSource = readShaderFile(fsName.c_str(), fragmentRefused);
        report({"", "", "Reading shader " + toString(k + 1), Severity::Trace});
        // A refused half has been named already.
        bool both = !vertexRefused && usable(vertexSource, vsName, k);
        both = !fragmentRefused && usable(fragmentSource, fsName, k) && both;
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
