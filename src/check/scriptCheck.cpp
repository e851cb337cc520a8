// The checker's look at "ui.lua": it must load, run, and define the two
// functions the game calls.
#include <lua.hpp>

#include "check/contentCheck.h"

namespace {

// A script that never ends at start-up would hang the checker as well.
const int INSTRUCTION_BUDGET = 50000000;
const int HOOK_STEP = 10000;

int hookCalls = 0;

void budgetHook(lua_State* L, lua_Debug*)
{
    if (++hookCalls * HOOK_STEP >= INSTRUCTION_BUDGET) luaL_error(L, "ran for too long at start-up");
}

// Lua errors begin with "ui.lua:LINE:"; the line is the element of the report.
void addLuaError(ContentProblems& problems, const char* what, std::string message)
{
    const std::string prefix = "ui.lua:";
    std::string where = "file";
    if (message.compare(0, prefix.size(), prefix) == 0) {
        size_t colon = message.find(':', prefix.size());
        if (colon != std::string::npos) {
            where = "line " + message.substr(prefix.size(), colon - prefix.size());
            message = message.substr(colon + 1);
            if (!message.empty() && message[0] == ' ') message.erase(0, 1);
        }
    }
    problems.add("ui.lua", where, std::string(what) + ": " + message);
}

}  // namespace

void checkUiScript(ContentProblems& problems)
{
    lua_State* L = luaL_newstate();
    luaL_openlibs(L);
    int status = luaL_loadfile(L, "ui.lua");
    if (status == LUA_ERRFILE) {
        problems.add("ui.lua", "file", "cannot be read");
    } else if (status != 0) {
        addLuaError(problems, "does not load", lua_tostring(L, -1));
    } else {
        hookCalls = 0;
        lua_sethook(L, budgetHook, LUA_MASKCOUNT, HOOK_STEP);
        if (lua_pcall(L, 0, 0, 0) != 0) {
            const char* message = lua_tostring(L, -1);
            addLuaError(problems, "fails when run", message ? message : "(error without a message)");
        } else {
            for (const char* function : {"addUI", "updateUI"}) {
                lua_getglobal(L, function);
                if (!lua_isfunction(L, -1))
                    problems.add("ui.lua", function,
                                 std::string("no global function \"") + function + "\"; the game's panels call it");
                lua_pop(L, 1);
            }
        }
    }
    lua_close(L);
}
