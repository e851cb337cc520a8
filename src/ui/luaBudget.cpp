#include "ui/luaBudget.h"

#include <string>

namespace {
// One thread, one call at a time: the hook needs to know what it is stopping.
std::string runningName;
int runningBudget = 0;

void stopHook(lua_State* L, lua_Debug*)
{
    // From now on every instruction fails, so a pcall inside the script cannot
    // swallow the stop and loop on.
    lua_sethook(L, stopHook, LUA_MASKCOUNT, 1);
    luaL_error(L, "%s stopped: still running after %d instructions", runningName.c_str(), runningBudget);
}
}  // namespace

int budgetedPcall(lua_State* L, int nargs, int nresults, const char* name, int budget)
{
    runningName = name;
    runningBudget = budget;
    lua_sethook(L, stopHook, LUA_MASKCOUNT, budget);
    int status = lua_pcall(L, nargs, nresults, 0);
    lua_sethook(L, nullptr, 0, 0);
    return status;
}
