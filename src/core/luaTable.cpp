#include "core/luaTable.h"

#include <algorithm>

#include "core/report.h"

// Raw access only: a script's table may carry a metatable, and its metamethods
// must never run (or raise, or loop) inside the game's own reads and writes.

namespace {
unsigned long textsCut = 0;
}

unsigned long luaTextsCut() { return textsCut; }

void sayTextsCut(unsigned long before)
{
    if (textsCut == before) return;
    report({"ui.lua", "", formatted("%lu texts longer than %d KB were cut to that", textsCut - before,
                                    int(LUA_TEXT_LIMIT >> 10)), Severity::Error});
}

std::string getLuaTableString(lua_State* L, std::string key, int index)
{
    std::string result;
    if (!lua_istable(L, index)) return result;
    lua_pushstring(L, key.c_str());
    lua_rawget(L, index - 1);  // the key sits above the table
    // Tables, booleans and functions have no text; lua_tostring would give null for them.
    int type = lua_type(L, -1);
    if (type == LUA_TSTRING || type == LUA_TNUMBER) {
        size_t length = 0;
        const char* text = lua_tolstring(L, -1, &length);
        if (length > LUA_TEXT_LIMIT) ++textsCut;
        result.assign(text, std::min(length, LUA_TEXT_LIMIT));
    }
    lua_pop(L, 1);
    return result;
}

float getLuaTableFloat(lua_State* L, std::string key, int index)
{
    float result = 0;
    if (!lua_istable(L, index)) return result;
    lua_pushstring(L, key.c_str());
    lua_rawget(L, index - 1);
    if (!lua_isnil(L, -1)) result = float(lua_tonumber(L, -1));
    lua_pop(L, 1);
    return result;
}

void pushBoolOnTable(lua_State* L, std::string key, bool value)
{
    lua_pushstring(L, key.c_str());
    lua_pushboolean(L, value);
    lua_rawset(L, -3);
}

void pushFloatOnTable(lua_State* L, std::string key, float value)
{
    lua_pushstring(L, key.c_str());
    lua_pushnumber(L, value);
    lua_rawset(L, -3);
}

void pushStringOnTable(lua_State* L, std::string key, std::string value)
{
    lua_pushstring(L, key.c_str());
    lua_pushlstring(L, value.data(), value.size());
    lua_rawset(L, -3);
}
