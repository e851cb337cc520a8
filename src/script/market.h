// A planet's market, read afresh from the parsed galaxy document on every call:
// Lua C functions that return one {name, price} table per entry.
#pragma once

#include <functional>
#include <string>

#include <lua.hpp>

#include "core/xmlAttributes.h"

int getPlanetTradeGoods(lua_State* L);  // "tradeGood" children of the planet
int getPlanetEquipment(lua_State* L);   // "equipment" children of the planet

// Why a "tradeGood" or "equipment" element cannot be traded (no name, no price, a
// price that is not finite or is negative); "" when it can. Such entries are left
// out of what the queries return, with a line on standard error.
std::string marketEntryFault(const XmlNode* entry);
// Calls report for every such entry of every planet of the galaxy document, with
// where it is ("planet 2 \"Terra\" tradeGood 1 \"Grain\"") and the fault.
void forEachMarketFault(const XmlNode* galaxyRoot,
                        const std::function<void(const std::string& where, const std::string& fault)>& report);
