// Reporting through the report path: pending GL errors and the Lua stack.
#pragma once

#include <lua.hpp>

#include "core/report.h"

void reportError();  // prints at most one pending GL error
void stackDump(lua_State* L);
