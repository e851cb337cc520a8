// Protected calls into the script that cannot hang the game: a call still
// running after its instruction budget is stopped with an error naming it.
#pragma once

#include <lua.hpp>

// About a second of plain script instructions on a desktop machine.
const int LUA_CALL_BUDGET = 200000000;

// lua_pcall(L, nargs, nresults, 0) under the budget; `name` names the function
// in the error message when the budget runs out.
int budgetedPcall(lua_State* L, int nargs, int nresults, const char* name, int budget = LUA_CALL_BUDGET);
