#include "core/diagnostics.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstring>
#include <string>

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

// A string longer than this shows its first STACK_DUMP_TEXT bytes and its length;
// line breaks show as blanks, so a dump is always its three lines.
static std::string stackString(lua_State* L, int i)
{
    size_t length = 0;
    const char* text = lua_tolstring(L, i, &length);
    std::string shown(text, std::min(length, STACK_DUMP_TEXT));
    shown.resize(std::strlen(shown.c_str()));  // as %s showed it: up to a zero byte
    for (char& c : shown)
        if (c == '\n' || c == '\r') c = ' ';
    if (length > STACK_DUMP_TEXT) shown += formatted("... (%zu bytes)", length);
    return "`" + shown + "'";
}

static std::string stackEntry(lua_State* L, int i)
{
    int type = lua_type(L, i);
    switch (type) {
    case LUA_TNUMBER: return formatted("%g", lua_tonumber(L, i));
    case LUA_TSTRING: return stackString(L, i);
    case LUA_TBOOLEAN: return lua_toboolean(L, i) ? "true" : "false";
    default: return lua_typename(L, type);
    }
}

void stackDump(lua_State* L)
{
    int top = lua_gettop(L);
    sayLine(formatted("Stack dump.  Size: %d", top));
    std::string entries;
    const int shown = std::min(top, STACK_DUMP_ENTRIES);
    for (int i = 1; i <= shown; ++i) entries += stackEntry(L, i) + " . ";
    if (top > shown) entries += formatted("... (%d more) . ", top - shown);
    sayLine(entries);
    sayLine(" End of stack dump");
}
