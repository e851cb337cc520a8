// Readers and writers of Lua table fields. Every caller passes index -1, the
// table on top of the stack; the stack is left as it was found. Fields are read
// and written raw (no metamethods); a value that is no table reads as empty.
#pragma once

#include <string>

#include <lua.hpp>

// A text longer than this is read as its first LUA_TEXT_LIMIT bytes: a panel's
// texts are copied and drawn every frame.
const size_t LUA_TEXT_LIMIT = 16 << 10;
// How many texts have been cut so far, for the callers' one line.
unsigned long luaTextsCut();
// One line on standard error when texts were cut since luaTextsCut() gave `before`.
void sayTextsCut(unsigned long before);

std::string getLuaTableString(lua_State* L, std::string key, int index);  // "" unless string or number
float getLuaTableFloat(lua_State* L, std::string key, int index);         // 0 unless a number
void pushBoolOnTable(lua_State* L, std::string key, bool value);
void pushFloatOnTable(lua_State* L, std::string key, float value);
void pushStringOnTable(lua_State* L, std::string key, std::string value);
