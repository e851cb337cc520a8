// Calling into the UI script without trusting it: a protected call that also stops
// a script that never returns.
#pragma once

#include <string>

#include <lua.hpp>

// Lua VM instructions a call may run: about a second of plain Lua on a desktop
// machine (longer when the script spends its instructions in library calls).
const int LUA_CALL_BUDGET = 150000000;

// As lua_pcall(L, nargs, nresults, 0): the function and its nargs arguments are on
// top of the stack, and on success nresults results replace them. On an error, or
// after `budget` instructions, prints one line naming `name`, leaves the stack as it
// was before the function was pushed and returns false.
bool callLuaBudgeted(lua_State* L, const char* name, int nargs, int nresults, int budget = LUA_CALL_BUDGET);

// As callLuaBudgeted, but silent, for callers that report failures in their own
// words: returns lua_pcall's status and, on failure, leaves the error message in
// place of the function and its arguments. A spent budget's message names `name`.
int pcallLuaBudgeted(lua_State* L, const char* name, int nargs, int nresults, int budget = LUA_CALL_BUDGET);

// The error value on top of the stack as one line of text (line breaks become
// blanks; a value that is no text is named by its type). The stack is unchanged.
std::string luaErrorLine(lua_State* L);
