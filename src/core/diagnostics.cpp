#include "core/diagnostics.h"

#include <GL/gl.h>

static const char* glErrorText(GLenum error)
{
    switch (error) {
    case GL_INVALID_ENUM: return "Invalid enumerated argument";
    case GL_INVALID_VALUE: return "invalid value";
    case GL_INVALID_OPERATION: return "Invalid operation";
    case GL_STACK_OVERFLOW: return "GL stack overflow";
    case GL_STACK_UNDERFLOW: return "gl stack underflow";
    case GL_OUT_OF_MEMORY: return "out of memory";
    default: return nullptr;
    }
}

void reportError()
{
    if (const char* text = glErrorText(glGetError())) report({"", "", text, Severity::Trace});
}

static std::string stackEntry(lua_State* L, int i)
{
    int type = lua_type(L, i);
    switch (type) {
    case LUA_TNUMBER: return formatted("%g", lua_tonumber(L, i));
    case LUA_TSTRING: return formatted("`%s'", lua_tostring(L, i));
    case LUA_TBOOLEAN: return lua_toboolean(L, i) ? "true" : "false";
    default: return lua_typename(L, type);
    }
}

void stackDump(lua_State* L)
{
    int top = lua_gettop(L);
    sayLine(formatted("Stack dump.  Size: %d", top));
    std::string entries;
    for (int i = 1; i <= top; ++i) entries += stackEntry(L, i) + " . ";
    sayLine(entries);
    sayLine(" End of stack dump");
}
