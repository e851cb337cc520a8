// Library calls a script could make long inside one C call, where the instruction
// hook cannot stop them, get bounds of their own: the patterns (script/luaPatterns.h),
// the positions of table.insert and table.remove, the count of string.rep. Past
// its bound a call raises a one-line Lua error. math.random draws from a
// generator of the state's own, never from the C library's, which the game uses.
#pragma once

#include <lua.hpp>

// Elements table.insert or table.remove may move in one call: about as many as
// the memory ceiling lets a table hold.
const int TABLE_MOVE_LIMIT = 1 << 22;

// On the globals of a sandbox whose libraries are open.
void boundLibraryCalls(lua_State* L);

// Raw access to a table's field (no metamethod runs): pushes t[key], or sets
// t[key] to the value on top and pops it.
void pushField(lua_State* L, int table, const char* key);
void setField(lua_State* L, int table, const char* key);
