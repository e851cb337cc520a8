#include "core/luaTable.h"

std::string getLuaTableString(lua_State* L, std::string key, int index)
{
    std::string result;
    lua_pushstring(L, key.c_str());
    lua_gettable(L, index - 1);  // the key sits above the table
    // Tables, booleans and functions have no text; lua_tostring would give null for them.
    int type = lua_type(L, -1);
    if (type == LUA_TSTRING || type == LUA_TNUMBER) {
        size_t length = 0;
        const char* text = lua_tolstring(L, -1, &length);
        result.assign(text, length);
    }
    lua_pop(L, 1);
    return result;
}

float getLuaTableFloat(lua_State* L, std::string key, int index)
{
    float result = 0;
    lua_pushstring(L, key.c_str());
    lua_gettable(L, index - 1);
    if (!lua_isnil(L, -1)) result = float(lua_tonumber(L, -1));
    lua_pop(L, 1);
    return result;
}

void pushBoolOnTable(lua_State* L, std::string key, bool value)
{
    lua_pushstring(L, key.c_str());
    lua_pushboolean(L, value);
    lua_settable(L, -3);
}

void pushFloatOnTable(lua_State* L, std::string key, float value)
{
    lua_pushstring(L, key.c_str());
    lua_pushnumber(L, value);
    lua_settable(L, -3);
}

void pushStringOnTable(lua_State* L, std::string key, std::string value)
{
    lua_pushstring(L, key.c_str());
    lua_pushlstring(L, value.data(), value.size());
    lua_settable(L, -3);
}
