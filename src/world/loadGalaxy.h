// Builds the worlds, stars, planets, wormholes and weapon types from the two
// parsed XML documents.
#pragma once

#include <lua.hpp>

class Universe;

bool initializeStars(Universe& universe, lua_State* L);
void testXML();  // prints an outline of "test.xml"
