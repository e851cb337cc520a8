// string.find, match, gmatch and gsub for the sandbox: Lua 5.1's pattern language
// and results, with limits. The library's own matcher recurses without bound (a
// long pattern overflows the C stack) and works for ever inside one C call; this
// one stops at a nesting depth ("pattern too complex") and pays its steps from
// the running call's budget, so the deadline holds inside a match too. Finds of
// plain text take linear time.
#pragma once

#include <lua.hpp>

// Nesting a match may reach, as later Lua versions allow.
const int LUA_PATTERN_DEPTH = 200;

// Replaces the four functions in the string table on top of the stack.
void openBoundedPatterns(lua_State* L);
