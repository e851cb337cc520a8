// Protected calls into the script that cannot hang the game: a call still
// running after its time budget is stopped with an error naming it.
#pragma once

#include <lua.hpp>

const int LUA_CALL_BUDGET_MS = 1000;

// lua_pcall(L, nargs, nresults, 0) under the budget; `name` names the function
// in the error message when the budget runs out. The clock is looked at every
// few thousand instructions, so time spent inside one C function is not cut short.
int budgetedPcall(lua_State* L, int nargs, int nresults, const char* name, int budgetMs = LUA_CALL_BUDGET_MS);
