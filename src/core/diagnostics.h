// Reporting on standard output: pending GL errors, the Lua stack, and two
// debugging aids the game keeps but does not call in play.
#pragma once

#include <string>

#include <SDL.h>
#include <lua.hpp>

#include "core/report.h"

void reportError();  // prints at most one pending GL error
void stackDump(lua_State* L);
void eventTypeDisp(SDL_Event event);
std::string enterText();  // blocks until Return
