// The checker's look at "ui.lua": it must load, run, and define the two
// functions the game calls.
#include <lua.hpp>

#include "check/contentCheck.h"
#include "core/dataFiles.h"
#include "script/budgetedCall.h"
#include "script/sandbox.h"

namespace {

// Lua errors begin with the path read and ":LINE:", a long path cut to
// "..." and its end; the line is the element of the report.
void addLuaError(ContentProblems& problems, const char* what, std::string message)
{
    const std::string path = dataFile("ui.lua") + ":";
    std::string where = "file";
    const bool whole = message.compare(0, path.size(), path) == 0;
    size_t tail = 0;
    if (!whole && message.compare(0, 3, "...") == 0) {
        const size_t end = message.find(':', 3);
        const std::string shown = message.substr(3, end == std::string::npos ? 0 : end - 3 + 1);
        if (!shown.empty() && path.size() >= shown.size() && path.compare(path.size() - shown.size(), shown.size(), shown) == 0)
            tail = 3 + shown.size();
    }
    const size_t start = whole ? path.size() : tail;
    const size_t colon = start > 0 ? message.find(':', start) : std::string::npos;
    if (colon != std::string::npos && colon > start &&
        message.find_first_not_of("0123456789", start) == colon) {
        where = "line " + message.substr(start, colon - start);
        message = message.substr(colon + 1);
        if (!message.empty() && message[0] == ' ') message.erase(0, 1);
    }
    problems.add("ui.lua", where, std::string(what) + ": " + message);
}

}  // namespace

void checkUiScript(ContentProblems& problems)
{
    // The game's own sandbox: checking a downloaded script must not let it out.
    lua_State* L = newScriptState();
    if (!L) {
        problems.add("ui.lua", "file", "no memory to run it");
        return;
    }
    int status = loadScriptFile(L, dataFile("ui.lua").c_str());
    if (status == LUA_ERRFILE) {
        // The reason follows the path the reader names.
        const std::string reason = lua_tostring(L, -1);
        const std::string path = dataFile("ui.lua") + ": ";
        const bool named = reason.compare(0, path.size(), path) == 0;
        problems.add("ui.lua", "file", named ? reason.substr(path.size()) : "cannot be read");
    } else if (status != 0) {
        addLuaError(problems, "does not load", lua_tostring(L, -1));
    } else {
        // With the game's own budget: a script that never ends would hang the checker too.
        if (pcallLuaBudgeted(L, "ui.lua", 0, 0) != 0) {
            addLuaError(problems, "fails when run", luaErrorLine(L));
        } else {
            for (const char* function : {"addUI", "updateUI"}) {
                lua_pushstring(L, function);
                lua_rawget(L, LUA_GLOBALSINDEX);
                if (!lua_isfunction(L, -1))
                    problems.add("ui.lua", function,
                                 std::string("no global function \"") + function + "\"; the game's panels call it");
                lua_pop(L, 1);
            }
        }
    }
    closeScriptState(L);
}
