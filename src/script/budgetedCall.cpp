#include "script/budgetedCall.h"

#include <string>

#include "core/report.h"

namespace {

// The function a silent call runs, for the budget's message; empty for callLuaBudgeted,
// whose own line names it.
std::string spentName;

void budgetSpent(lua_State* L, lua_Debug*)
{
    // From here on every instruction raises, so a pcall inside the script cannot
    // catch the error and loop on.
    lua_sethook(L, budgetSpent, LUA_MASKCOUNT, 1);
    luaL_where(L, 0);  // in a hook, level 0 is the interrupted Lua function
    lua_pushstring(L, (spentName.empty() ? "" : spentName + " ").c_str());
    lua_pushstring(L, "ran past its instruction budget");
    lua_concat(L, 3);
    lua_error(L);
}

}  // namespace

static int runBudgeted(lua_State* L, int nargs, int nresults, int budget)
{
    lua_Hook previousHook = lua_gethook(L);
    int previousMask = lua_gethookmask(L);
    int previousCount = lua_gethookcount(L);
    lua_sethook(L, budgetSpent, LUA_MASKCOUNT, budget > 0 ? budget : 1);
    int status = lua_pcall(L, nargs, nresults, 0);
    lua_sethook(L, previousHook, previousMask, previousCount);
    return status;
}

int pcallLuaBudgeted(lua_State* L, const char* name, int nargs, int nresults, int budget)
{
    spentName = name;
    int status = runBudgeted(L, nargs, nresults, budget);
    spentName.clear();
    return status;
}

bool callLuaBudgeted(lua_State* L, const char* name, int nargs, int nresults, int budget)
{
    if (runBudgeted(L, nargs, nresults, budget) == 0) return true;

    std::string line = luaErrorLine(L);
    lua_pop(L, 1);
    report({"", "", formatted("Lua %s stopped: %s", name, line.c_str()), Severity::Warning});
    return false;
}

std::string luaErrorLine(lua_State* L)
{
    const char* message = lua_tostring(L, -1);
    std::string line = message ? message : std::string("(error object is a ") + luaL_typename(L, -1) + " value)";
    for (char& c : line)
        if (c == '\n' || c == '\r') c = ' ';
    return line;
}
