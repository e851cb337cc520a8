// The checker's look at the shader pairs: both halves present and not empty,
// and, when an X display is there, compiled and linked as the game would. The
// GL context lives on a window that is never mapped, so nothing shows.
#include <GL/glew.h>
#include <GL/glx.h>
#include <X11/Xlib.h>

#include <algorithm>
#include <cstdlib>
#include <regex>

#include "check/contentCheck.h"
#include "core/dataFiles.h"
#include "data/shaders.h"

namespace {

struct ShaderPair {
    std::string vertexFile, fragmentFile;
    std::string vertex, fragment;  // as the game hands them to GL: the file without its last character
};

// Strips comments, keeping line breaks so that lines keep their numbers.
std::string withoutComments(const std::string& source)
{
    std::string out;
    for (size_t i = 0; i < source.size(); ++i) {
        if (source.compare(i, 2, "//") == 0) {
            i = std::min(source.find('\n', i), source.size()) - 1;
        } else if (source.compare(i, 2, "/*") == 0) {
            const size_t end = std::min(source.find("*/", i + 2), source.size());
            out.append(size_t(std::count(source.begin() + long(i), source.begin() + long(end), '\n')), '\n');
            i = end + 1;
        } else {
            out += source[i];
        }
    }
    return out;
}

bool isConstant(const std::string& source, const std::string& bound)
{
    static const std::regex number("[-+]?([0-9]+\\.?[0-9]*|\\.[0-9]+)([eE][-+]?[0-9]+)?[fFuU]?");
    if (std::regex_match(bound, number)) return true;
    const std::regex declared("\\bconst\\s+(int|uint|float)\\s+" + bound + "\\s*=");
    return std::regex_search(source, declared);
}

// A loop the compiler cannot bound runs as long as the data says: llvmpipe caps
// it, slowly; a real GPU may hang. Bounded means "for (...; i < N; ...)" with N
// a number or a const.
void warnUnboundedLoops(const std::string& file, const std::string& original, ContentProblems& problems)
{
    const std::string source = withoutComments(original);
    static const std::regex loop("\\b(for|while|do)\\b");
    static const std::regex bounded("\\s*([A-Za-z_]\\w*)\\s*(<|<=|>|>=|!=)\\s*([-+.\\w]+)\\s*");
    for (auto it = std::sregex_iterator(source.begin(), source.end(), loop); it != std::sregex_iterator(); ++it) {
        const size_t at = size_t(it->position());
        const std::string line = "line " + std::to_string(std::count(source.begin(), source.begin() + long(at), '\n') + 1);
        const std::string kind = (*it)[1];
        if (kind != "for") {
            problems.add(file, line, "a " + kind + " loop; its bound cannot be checked, and a GPU may hang on it");
            continue;
        }
        const size_t first = source.find(';', at), second = first == std::string::npos ? first : source.find(';', first + 1);
        std::smatch parts;
        const std::string condition = second == std::string::npos ? "" : source.substr(first + 1, second - first - 1);
        if (std::regex_match(condition, parts, bounded) && isConstant(source, parts[3])) continue;
        problems.add(file, line, "a for loop whose bound is not a constant; a GPU may hang on it");
    }
}

// False with why empty for an empty source, else with the reason it is refused.
bool readSource(const std::string& file, std::string& text, bool& exists, std::string& why, ContentProblems& problems)
{
    if (!readShaderSource(dataFile(file), text, exists, why)) return false;
    warnUnboundedLoops(file, text, problems);
    return !text.empty();
}

// Hidden GL context for the compile check; null members when there is no display.
class HiddenContext {
public:
    HiddenContext()
    {
        const char* name = std::getenv("DISPLAY");
        if (!name || !*name || !(display = XOpenDisplay(nullptr))) return;
        int attributes[] = {GLX_RGBA, GLX_DOUBLEBUFFER, None};
        XVisualInfo* visual = glXChooseVisual(display, DefaultScreen(display), attributes);
        if (!visual) return;
        Window root = RootWindow(display, visual->screen);
        XSetWindowAttributes windowAttributes{};
        windowAttributes.colormap = XCreateColormap(display, root, visual->visual, AllocNone);
        window = XCreateWindow(display, root, 0, 0, 16, 16, 0, visual->depth, InputOutput, visual->visual,
                               CWColormap, &windowAttributes);
        context = glXCreateContext(display, visual, nullptr, True);
        XFree(visual);
        if (!context || !glXMakeCurrent(display, window, context)) return;
        ready = glewInit() == GLEW_OK && GLEW_VERSION_2_0;
    }
    ~HiddenContext()
    {
        if (!display) return;
        glXMakeCurrent(display, None, nullptr);
        if (context) glXDestroyContext(display, context);
        if (window) XDestroyWindow(display, window);
        XCloseDisplay(display);
    }
    bool ready = false;

private:
    Display* display = nullptr;
    Window window = 0;
    GLXContext context = nullptr;
};

std::string firstLine(std::string log)
{
    size_t end = log.find('\n');
    if (end != std::string::npos) log.erase(end);
    return log;
}

// Compiles one half; on failure names it with the first line of its log.
GLuint compileHalf(GLenum kind, const std::string& file, const std::string& source, ContentProblems& problems)
{
    GLuint shader = glCreateShader(kind);
    const char* text = source.c_str();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    GLint ok = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (ok) return shader;
    char log[1024] = "";
    glGetShaderInfoLog(shader, sizeof log, nullptr, log);
    problems.add(file, "compile", "does not compile: " + firstLine(log));
    glDeleteShader(shader);
    return 0;
}

void compilePair(const ShaderPair& pair, ContentProblems& problems)
{
    GLuint vertex = compileHalf(GL_VERTEX_SHADER, pair.vertexFile, pair.vertex, problems);
    GLuint fragment = compileHalf(GL_FRAGMENT_SHADER, pair.fragmentFile, pair.fragment, problems);
    if (vertex && fragment) {
        GLuint program = glCreateProgram();
        glAttachShader(program, fragment);
        glAttachShader(program, vertex);
        glLinkProgram(program);
        GLint ok = 0;
        glGetProgramiv(program, GL_LINK_STATUS, &ok);
        char log[1024] = "";
        glGetProgramInfoLog(program, sizeof log, nullptr, log);
        if (!ok)
            problems.add(pair.vertexFile, "link", "does not link with " + pair.fragmentFile + ": " + firstLine(log));
        glDeleteProgram(program);
    }
    if (vertex) glDeleteShader(vertex);
    if (fragment) glDeleteShader(fragment);
}

}  // namespace

bool checkShaders(ContentProblems& problems)
{
    std::vector<ShaderPair> pairs;
    // The game reads pairs while the vertex half of the next one exists.
    for (int k = 0;; ++k) {
        ShaderPair pair{shaderFileName(k, ".vs"), shaderFileName(k, ".fs"), "", ""};
        bool vertexExists = false, fragmentExists = false;
        std::string vertexWhy, fragmentWhy;
        bool vertexOk = readSource(pair.vertexFile, pair.vertex, vertexExists, vertexWhy, problems);
        bool fragmentOk = readSource(pair.fragmentFile, pair.fragment, fragmentExists, fragmentWhy, problems);
        if (!vertexExists) {
            if (fragmentExists)
                problems.add(pair.vertexFile, "file", "missing half of the pair; the game reads no shaders from here on");
            break;
        }
        if (!fragmentExists) problems.add(pair.fragmentFile, "file", "missing half of the pair");
        else if (!fragmentOk) problems.add(pair.fragmentFile, "file", fragmentWhy.empty() ? "empty shader source" : fragmentWhy);
        if (!vertexOk) problems.add(pair.vertexFile, "file", vertexWhy.empty() ? "empty shader source" : vertexWhy);
        if (vertexOk && fragmentOk) pairs.push_back(pair);
    }
    if (pairs.empty()) return true;
    HiddenContext gl;
    if (!gl.ready) return false;
    for (const ShaderPair& pair : pairs) compilePair(pair, problems);
    return true;
}
