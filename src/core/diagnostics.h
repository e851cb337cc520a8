// Reporting through the report path: pending GL errors and the Lua stack.
#pragma once

#include <lua.hpp>

#include "core/report.h"

void reportError();  // prints at most one pending GL error
// Three lines: the size, the entries from the bottom, the end. At most
// STACK_DUMP_ENTRIES entries are shown and a string at most STACK_DUMP_TEXT
// bytes of itself, so a dump stays small whatever the script left.
const int STACK_DUMP_ENTRIES = 64;
const size_t STACK_DUMP_TEXT = 256;
void stackDump(lua_State* L);
