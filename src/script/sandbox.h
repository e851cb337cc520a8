// The one Lua state a UI script runs in, for the game and the checker alike. A
// script is shared data, written by anyone: it sees the parts of Lua that compute
// (base functions, string, table, math, coroutine, the clock and date of os) and
// the game's own functions, and nothing that reaches files, processes, native
// code, the debug hooks or bytecode. Its memory has a ceiling of its own.
#pragma once

#include <cstddef>

#include <lua.hpp>

// Memory the script's Lua state may hold while script code runs: ample for a UI.
const size_t SCRIPT_MEMORY_CEILING = size_t(64) << 20;

// Source a script file, or a chunk loadstring or load compiles, may have: the
// parser's time is not bounded otherwise.
const size_t SCRIPT_SOURCE_LIMIT = size_t(1) << 20;

// A new sandboxed state, with the panic handler installed; null when not even
// the state could be made (its line is printed).
lua_State* newScriptState();
// Closes a state made by newScriptState and frees what it was given.
void closeScriptState(lua_State* L);

// Loads a script file as a text chunk (a "#" first line is skipped, as the
// interpreter does); a binary chunk is refused. As luaL_loadfile: 0 and the
// chunk on the stack, or an error status and the message (LUA_ERRFILE when the
// file cannot be read). The file is compiled under the limits of a call; a
// file past MAX_SCRIPT_FILE, or one that is no regular file, is refused.
int loadScriptFile(lua_State* L, const char* file);

// While on, the state cannot grow past SCRIPT_MEMORY_CEILING: a script that
// asks for more gets a Lua memory error. Off, the game's own work on the state
// (the tables it sends, the results it reads) is not refused. Only states made
// by newScriptState are affected.
void enforceScriptMemory(lua_State* L, bool on);
// A game function called by a script holds C++ objects while it works on the
// state, and a Lua error would jump over their destructors: so it runs with
// this much room past the ceiling, and is not started (false) when the script
// has less than this left below it. A function that raises an error of its own
// leaves the room open until the script's call ends: bounded, not a way out.
const size_t GAME_FUNCTION_RESERVE = size_t(4) << 20;
bool openGameFunctionReserve(lua_State* L);
void closeGameFunctionReserve(lua_State* L);
// The most the state has held since it was made, in bytes (0 for another state).
size_t scriptMemoryPeak(lua_State* L);
