#include "script/budgetedCall.h"

#include <cstdio>
#include <string>

namespace {

void budgetSpent(lua_State* L, lua_Debug*)
{
    // From here on every instruction raises, so a pcall inside the script cannot
    // catch the error and loop on.
    lua_sethook(L, budgetSpent, LUA_MASKCOUNT, 1);
    luaL_where(L, 0);  // in a hook, level 0 is the interrupted Lua function
    lua_pushstring(L, "ran past its instruction budget");
    lua_concat(L, 2);
    lua_error(L);
}

}  // namespace

bool callLuaBudgeted(lua_State* L, const char* name, int nargs, int nresults, int budget)
{
    lua_Hook previousHook = lua_gethook(L);
    int previousMask = lua_gethookmask(L);
    int previousCount = lua_gethookcount(L);
    lua_sethook(L, budgetSpent, LUA_MASKCOUNT, budget > 0 ? budget : 1);
    int status = lua_pcall(L, nargs, nresults, 0);
    lua_sethook(L, previousHook, previousMask, previousCount);
    if (status == 0) return true;

    const char* message = lua_tostring(L, -1);
    std::string line = message ? message : std::string("(error object is a ") + luaL_typename(L, -1) + " value)";
    for (char& c : line)
        if (c == '\n' || c == '\r') c = ' ';
    lua_pop(L, 1);
    std::printf("Lua %s stopped: %s\n", name, line.c_str());
    std::fflush(stdout);
    return false;
}
