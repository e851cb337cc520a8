// The game's side of the UI script: registry entries that point into the player
// and the galaxy document, the planet names, and the Lua globals the script calls.
#pragma once

#include <string>

#include <lua.hpp>

class Universe;

// Installs every registry entry and global; once per Lua state, after the galaxy
// is loaded (the planet names are a snapshot).
void initLua(Universe& universe, lua_State* L);

// A pointer is stored as light userdata, text as a Lua string copy. The stack is
// left as it was.
void registryInsert(lua_State* L, float& value, const std::string& key);
void registryInsert(lua_State* L, int* value, const std::string& key);
void registryInsert(lua_State* L, bool* value, const std::string& key);
void registryInsert(lua_State* L, const char* value, const std::string& key);

// The float published under key, or 0 when there is none.
float getLuaFloat(lua_State* L, const std::string& key);

// The address registryInsert (or initLua) stored under key, or null when the entry
// is missing or no longer holds that address: a script can rewrite the registry
// through the debug library, and the game must never write through what it put there.
void* registryPointer(lua_State* L, const std::string& key);

// A script number cut toward zero; NaN gives 0 and values no int holds are clamped.
int luaNumberToInt(double value);
// The argument on top of the stack as an int, as above; none, or no number, gives 0.
int intArgumentOnTop(lua_State* L);
