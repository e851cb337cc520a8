// A planet's market, read afresh from the parsed galaxy document on every call:
// Lua C functions that return one {name, price} table per entry.
#pragma once

#include <lua.hpp>

int getPlanetTradeGoods(lua_State* L);  // "tradeGood" children of the planet
int getPlanetEquipment(lua_State* L);   // "equipment" children of the planet
