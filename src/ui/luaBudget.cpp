#include "ui/luaBudget.h"

#include <chrono>
#include <string>

namespace {
using Clock = std::chrono::steady_clock;

const int CHECK_EVERY = 4096;  // instructions between looks at the clock

// One thread, one call at a time: the hook needs to know what it is stopping.
std::string runningName;
int runningBudgetMs = 0;
Clock::time_point deadline;

void stopNow(lua_State* L, lua_Debug*)
{
    luaL_error(L, "%s stopped: still running after %d ms", runningName.c_str(), runningBudgetMs);
}

void watchClock(lua_State* L, lua_Debug* ar)
{
    if (Clock::now() < deadline) return;
    // From now on every instruction fails, so a pcall inside the script cannot
    // swallow the stop and loop on.
    lua_sethook(L, stopNow, LUA_MASKCOUNT, 1);
    stopNow(L, ar);
}
}  // namespace

int budgetedPcall(lua_State* L, int nargs, int nresults, const char* name, int budgetMs)
{
    runningName = name;
    runningBudgetMs = budgetMs;
    deadline = Clock::now() + std::chrono::milliseconds(budgetMs);
    lua_sethook(L, watchClock, LUA_MASKCOUNT, CHECK_EVERY);
    int status = lua_pcall(L, nargs, nresults, 0);
    lua_sethook(L, nullptr, 0, 0);
    return status;
}
