// Calling into the UI script without trusting it: a protected call under three
// limits that hold for the whole call. Instructions are counted once for the call,
// whichever coroutines run them; a wall clock stops a script that spends its time
// inside library calls; and the state's memory ceiling (script/sandbox.h) is in
// force while script code runs.
#pragma once

#include <string>

#include <lua.hpp>

// Lua VM instructions a call may run: about a second of plain Lua on a desktop
// machine.
const int LUA_CALL_BUDGET = 150000000;
// Wall-clock time a call may take, in milliseconds.
const int LUA_CALL_MILLISECONDS = 1000;

// As lua_pcall(L, nargs, nresults, 0): the function and its nargs arguments are on
// top of the stack, and on success nresults results replace them. On an error, or
// past a limit, prints one line naming `name`, leaves the stack as it was before
// the function was pushed and returns false.
bool callLuaBudgeted(lua_State* L, const char* name, int nargs, int nresults, int budget = LUA_CALL_BUDGET);

// As callLuaBudgeted, but silent, for callers that report failures in their own
// words: returns lua_pcall's status and, on failure, leaves the error message in
// place of the function and its arguments. A spent limit's message names `name`.
int pcallLuaBudgeted(lua_State* L, const char* name, int nargs, int nresults, int budget = LUA_CALL_BUDGET);

// Runs body(L) as lua_cpcall does (context as light userdata at index 1), with the
// limits counting for everything the body calls; a body calls the script through
// callScript. Returns the status; on failure the error message is left on the stack,
// otherwise the stack is as it was.
int cpcallLuaBudgeted(lua_State* L, const char* name, lua_CFunction body, void* context,
                      int budget = LUA_CALL_BUDGET);

// Inside a cpcallLuaBudgeted body: lua_pcall with the memory ceiling in force.
// A memory error's message names the call and the ceiling.
int callScript(lua_State* L, int nargs, int nresults);

// coroutine.resume calls this for the coroutine it is about to resume: the
// coroutine's instructions are paid from the running call's budget, and once a
// limit is hit it raises at once. Outside a budgeted call it does nothing.
void chargeCoroutine(lua_State* L, lua_State* coroutine);

// The error value on top of the stack as one line of text (line breaks become
// blanks; a value that is no text is named by its type). The stack is unchanged.
std::string luaErrorLine(lua_State* L);

// Long work inside a library function (a pattern match, a compile) pays `steps`
// instructions from the running call's budget and looks at the clock; past a
// limit it raises the call's one-line error. Outside a budgeted call it does nothing.
void chargeLibrarySteps(lua_State* L, long long steps);
// True while a budgeted call is running.
bool insideBudgetedCall();

// lua_load under the limits: inside a budgeted call it counts for that call;
// outside one it runs as a call of its own named `name`, with the memory ceiling
// on. A reader that pays for its pieces with chargeLibrarySteps is stopped at the
// deadline. As lua_load: 0 and the chunk, or an error status and the message.
int loadBudgeted(lua_State* L, const char* name, lua_Reader reader, void* data, const char* chunkName);
