#include "core/diagnostics.h"

#include <GL/gl.h>

#include <cstdio>

void sayLine(const std::string& line)
{
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

void reportError()
{
    switch (glGetError()) {
    case GL_INVALID_ENUM: std::printf("Invalid enumerated argument\n"); break;
    case GL_INVALID_VALUE: std::printf("invalid value\n"); break;
    case GL_INVALID_OPERATION: std::printf("Invalid operation\n"); break;
    case GL_STACK_OVERFLOW: std::printf("GL stack overflow\n"); break;
    case GL_STACK_UNDERFLOW: std::printf("gl stack underflow\n"); break;
    case GL_OUT_OF_MEMORY: std::printf("out of memory\n"); break;
    default: break;
    }
}

void stackDump(lua_State* L)
{
    int top = lua_gettop(L);
    std::printf("Stack dump.  Size: %d\n", top);
    std::fflush(stdout);
    for (int i = 1; i <= top; ++i) {
        int type = lua_type(L, i);
        switch (type) {
        case LUA_TNUMBER: std::printf("%g", lua_tonumber(L, i)); break;
        case LUA_TSTRING: std::printf("`%s'", lua_tostring(L, i)); break;
        case LUA_TBOOLEAN: std::printf(lua_toboolean(L, i) ? "true" : "false"); break;
        default: std::printf("%s", lua_typename(L, type)); break;
        }
        std::printf(" . ");
    }
    std::printf("\n End of stack dump\n");
    std::fflush(stdout);
}

static const char* eventTypeName(int type)
{
    switch (type) {
    case 1: return "Active Event";
    case 2: return "KEY DOWN";
    case 3: return "KEY UP";
    case 4: return "MOUSE MOTION";
    case 5: return "MOUSEBUTTONDOWN";
    case 6: return "MOUSEBUTTONUP";
    case 7: return "JOYAXISMOTION";
    case 8: return "JOYBALLMOTION";
    case 9: return "JOYHATMOTION";
    case 10: return "JOYBUTTONDOWN";
    case 11: return "JOYBUTTONUP";
    case 12: return "QUIT";
    case 13: return "SOME KIND OF UNHANDLED WINDOW MANAGER EVENT";
    case 16: return "VIDEORESIZE";
    case 17: return "VIDEOEXPOSE";
    default: return "Unusual SDL event";
    }
}

void eventTypeDisp(SDL_Event event) { std::printf("<%s>\n", eventTypeName(event.type)); }

std::string enterText()
{
    std::string text;
    bool finished = false;
    for (;;) {
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
            if (event.type != SDL_KEYDOWN) continue;
            int key = event.key.keysym.sym;
            if (key == SDLK_RETURN) {
                finished = true;
            } else if (key == SDLK_BACKSPACE) {
                if (!text.empty()) text.pop_back();
            } else if (key == ' ' || (key >= '0' && key <= '9') || (key >= 'a' && key <= 'z')) {
                text.push_back(char(key));
            }
        }
        if (finished) return text;
    }
}
