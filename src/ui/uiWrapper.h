// The bridge from the game's UI events to the script: "addUI" describes a
// panel as element tables followed by its name, and the game builds it.
#pragma once

#include <vector>

#include <lua.hpp>

class Universe;
class Font;

// The type code of the table on top of the stack from its "type" name
// ("button" 1 ... "text" 6); 0 for anything else. The stack is left as found.
unsigned typeDecoder(lua_State* L);

// Calls "addUI" with the event's numbers and appends the panel it describes to
// the universe's panels. "font" values index `fonts`.
void uiEvent(Universe& universe, std::vector<float>& args, std::vector<Font*> fonts, lua_State* L);
