#include "script/budgetedCall.h"

#include <chrono>
#include <string>

#include "core/report.h"
#include "script/sandbox.h"

namespace {

using Clock = std::chrono::steady_clock;

// Instructions a thread runs between two looks at the budget and the clock. Each
// resume pays a coroutine's step in advance, so a coroutine can never run unpaid;
// its step is short, so a generator resumed lightly costs little.
const int HOOK_STEP = 1000;
const int COROUTINE_STEP = 100;
// Calls look at the clock too: a loop of slow library calls runs few instructions.
const int HOOK_MASK = LUA_MASKCOUNT | LUA_MASKCALL;

struct CallBudget {
    std::string name;     // the function the call runs, for the messages
    long long left = 0;   // instructions not yet paid for
    Clock::time_point deadline;
    const char* spent = nullptr;  // the limit that was hit
};

// The call in progress; calls do not nest, but a nested one would restore it.
CallBudget* current = nullptr;

void raiseSpent(lua_State* L);

void budgetHook(lua_State* L, lua_Debug* event)
{
    if (!current) return;  // a coroutine of an earlier call, resumed outside one
    if (!current->spent) {
        if (event->event == LUA_HOOKCOUNT && (current->left -= lua_gethookcount(L)) < 0)
            current->spent = "instruction budget";
        else if (Clock::now() > current->deadline)
            current->spent = "time limit";
    }
    if (current->spent) raiseSpent(L);
}

void raiseSpent(lua_State* L)
{
    // From here on every instruction raises, so a pcall inside the script cannot
    // catch the error and loop on.
    lua_sethook(L, budgetHook, HOOK_MASK, 1);
    luaL_where(L, 0);  // in a hook, level 0 is the interrupted Lua function
    lua_pushfstring(L, "%s%sran past its %s", current->name.c_str(), current->name.empty() ? "" : " ", current->spent);
    lua_concat(L, 2);
    lua_error(L);
}

// Sets up the budget and the hook for one call, and takes both down again.
struct BudgetScope {
    CallBudget budget;
    CallBudget* outer = current;
    lua_State* L;
    lua_Hook previousHook;
    int previousMask, previousCount;

    BudgetScope(lua_State* state, const char* name, int instructions)
        : L(state), previousHook(lua_gethook(state)), previousMask(lua_gethookmask(state)),
          previousCount(lua_gethookcount(state))
    {
        budget.name = name;
        budget.left = instructions > 0 ? instructions - HOOK_STEP : -1;
        budget.deadline = Clock::now() + std::chrono::milliseconds(LUA_CALL_MILLISECONDS);
        current = &budget;
        lua_sethook(L, budgetHook, HOOK_MASK, HOOK_STEP);
    }
    ~BudgetScope()
    {
        enforceScriptMemory(L, false);
        lua_sethook(L, previousHook, previousMask, previousCount);
        current = outer;
    }
};

// A memory error names what hit the ceiling; other messages stay as they are.
int named(lua_State* L, int status)
{
    if (status != LUA_ERRMEM || !current) return status;
    lua_pop(L, 1);
    lua_pushfstring(L, "%s%sran past its memory ceiling (%d MB)", current->name.c_str(),
                    current->name.empty() ? "" : " ", int(SCRIPT_MEMORY_CEILING >> 20));
    return status;
}

// An empty name leaves the function out of the messages, for a caller whose own
// line names it.
int runBudgeted(lua_State* L, const char* name, int nargs, int nresults, int budget)
{
    BudgetScope scope(L, name, budget);
    return callScript(L, nargs, nresults);
}

}  // namespace

int callScript(lua_State* L, int nargs, int nresults)
{
    enforceScriptMemory(L, true);
    int status = lua_pcall(L, nargs, nresults, 0);
    enforceScriptMemory(L, false);
    return named(L, status);
}

void chargeLibrarySteps(lua_State* L, long long steps)
{
    if (!current) return;
    if (!current->spent) {
        if ((current->left -= steps) < 0)
            current->spent = "instruction budget";
        else if (Clock::now() > current->deadline)
            current->spent = "time limit";
    }
    if (current->spent) raiseSpent(L);
}

bool insideBudgetedCall() { return current != nullptr; }

void chargeCoroutine(lua_State* L, lua_State* coroutine)
{
    if (!current) return;
    current->left -= COROUTINE_STEP;
    if (current->left < 0 && !current->spent) current->spent = "instruction budget";
    if (current->spent) raiseSpent(L);
    lua_sethook(coroutine, budgetHook, HOOK_MASK, COROUTINE_STEP);  // a fresh count, paid for above
}

int pcallLuaBudgeted(lua_State* L, const char* name, int nargs, int nresults, int budget)
{
    return runBudgeted(L, name, nargs, nresults, budget);
}

int cpcallLuaBudgeted(lua_State* L, const char* name, lua_CFunction body, void* context, int budget)
{
    BudgetScope scope(L, name, budget);
    return lua_cpcall(L, body, context);
}

bool callLuaBudgeted(lua_State* L, const char* name, int nargs, int nresults, int budget)
{
    if (runBudgeted(L, "", nargs, nresults, budget) == 0) return true;

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

int loadBudgeted(lua_State* L, const char* name, lua_Reader reader, void* data, const char* chunkName)
{
    if (current) return lua_load(L, reader, data, chunkName);
    BudgetScope scope(L, name, LUA_CALL_BUDGET);
    enforceScriptMemory(L, true);
    const int status = lua_load(L, reader, data, chunkName);
    enforceScriptMemory(L, false);
    return named(L, status);
}
