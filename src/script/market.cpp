#include "script/market.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>

#include "core/xmlAttributes.h"
#include "core/diagnostics.h"
#include "core/report.h"
#include "script/startLua.h"

namespace {

// Planets are numbered as the galaxy loader numbers them: every "planet" of every
// "star" of every "world", in document order, from 0; other elements do not count.
// Calls visit(id, planet) for each until it returns true; returns that planet.
template <typename Visit>
const XmlNode* walkPlanets(const XmlNode* root, Visit visit)
{
    if (!root) return nullptr;
    int count = 0;
    for (const XmlNode* world = root->first_node(); world; world = world->next_sibling()) {
        if (!named(world, "world")) continue;
        for (const XmlNode* star = world->first_node(); star; star = star->next_sibling()) {
            if (!named(star, "star")) continue;
            for (const XmlNode* planet = star->first_node(); planet; planet = planet->next_sibling()) {
                if (!named(planet, "planet")) continue;
                if (visit(count++, planet)) return planet;
            }
        }
    }
    return nullptr;
}

const XmlNode* findPlanet(const XmlNode* root, int id)
{
    if (id < 0) return nullptr;
    return walkPlanets(root, [id](int count, const XmlNode*) { return count == id; });
}

std::string entryWhere(int planetId, const XmlNode* planet, const XmlNode* entry, int index)
{
    return "planet " + std::to_string(planetId) + " \"" + getVal(planet, "name") + "\" " + entry->name() + " " +
        std::to_string(index) + " \"" + getVal(entry, "name") + "\"";
}

// The planet id argument on top of the stack; no argument reads as 0, as a
// value that is not a number does.
int requestedPlanet(lua_State* L)
{
    int id = intArgumentOnTop(L);
    std::cout << "Target planet: " << id << std::endl;
    return id;
}

// False, after its line, for an entry that cannot be traded.
bool tradeable(int planetId, const XmlNode* planet, const XmlNode* entry, int index)
{
    const std::string fault = marketEntryFault(entry);
    if (fault.empty()) return true;
    report({"test.xml", entryWhere(planetId, planet, entry, index), fault + "; left out of the market", Severity::Error});
    return false;
}

void announce(const XmlNode* entry, float price)
{
    std::cout << "Pushing: " << getVal(entry, "name") << " x " << double(price) << std::endl;
}

void pushAttribute(lua_State* L, const XmlNode* entry, const char* name)
{
    const rapidxml::xml_attribute<char>* attribute = entry->first_attribute(name);
    lua_pushstring(L, name);
    if (attribute)
        lua_pushlstring(L, attribute->value(), attribute->value_size());
    else
        lua_pushliteral(L, "");
    lua_rawset(L, -3);
}

// One new {name, price} table per child of the given name, on top of the stack.
// A planet may list more entries than Lua guarantees stack slots for, so the
// stack grows before every table; where it cannot grow, the rest is left out.
// A Lua memory error may cut this short (the script's memory has a ceiling), so
// no C++ object is alive across a call that allocates in Lua.
int pushEntries(lua_State* L, int planetId, const XmlNode* planet, const char* entryName)
{
    int count = 0, index = 0;
    for (const XmlNode* entry = planet->first_node(); entry; entry = entry->next_sibling()) {
        if (!named(entry, entryName)) continue;
        if (!tradeable(planetId, planet, entry, index++)) continue;
        if (!lua_checkstack(L, 3)) {  // the table and a key and value while filling it
            sayLine(std::string("The Lua stack is full; only the first ") + std::to_string(count) + " " + entryName +
                " entries are delivered");
            break;
        }
        const float price = getValF(entry, "price");
        announce(entry, price);
        lua_newtable(L);
        ++count;
        pushAttribute(L, entry, "name");
        lua_pushliteral(L, "price");
        lua_pushnumber(L, price);
        lua_rawset(L, -3);
    }
    sayLine(std::to_string(count) + " pieces pushed");
    return count;
}

const XmlNode* galaxyRoot(lua_State* L) { return static_cast<const XmlNode*>(registryPointer(L, "XMLUniverse")); }

}  // namespace

std::string marketEntryFault(const XmlNode* entry)
{
    if (getVal(entry, "name").empty()) return "no name";
    if (!checkVal(entry, "price")) return "no price";
    const float price = getValF(entry, "price");
    if (!std::isfinite(price)) return "price \"" + getVal(entry, "price") + "\" is not a finite number";
    if (price < 0) return "price \"" + getVal(entry, "price") + "\" is negative";
    return "";
}

void forEachMarketFault(const XmlNode* galaxyRoot,
                        const std::function<void(const std::string& where, const std::string& fault)>& report)
{
    walkPlanets(galaxyRoot, [&report](int id, const XmlNode* planet) {
        for (const char* kind : {"tradeGood", "equipment"}) {
            int index = 0;
            for (const XmlNode* entry = planet->first_node(); entry; entry = entry->next_sibling()) {
                if (!named(entry, kind)) continue;
                const std::string fault = marketEntryFault(entry);
                if (!fault.empty()) report(entryWhere(id, planet, entry, index), fault);
                ++index;
            }
        }
        return false;
    });
}

int getPlanetTradeGoods(lua_State* L)
{
    sayLine("Getting trade goods");
    int id = requestedPlanet(L);
    if (id == -1) return 1;  // the argument itself: the script gets back what it passed

    const XmlNode* root = galaxyRoot(L);
    lua_pushlightuserdata(L, const_cast<XmlNode*>(root));  // as the registry holds it, below the results
    std::cout << "New add:" << static_cast<const void*>(root) << std::endl;
    const XmlNode* planet = findPlanet(root, id);
    if (!planet) {
        sayLine("No pieces pushed");
        return 0;
    }
    sayLine("Target found");
    return pushEntries(L, id, planet, "tradeGood");
}

int getPlanetEquipment(lua_State* L)
{
    sayLine("Getting equipment");
    int id = requestedPlanet(L);
    // Not landed: give the argument back, as the trade-goods query does, rather
    // than a value the script never passed.
    if (id == -1) return 1;
    if (lua_gettop(L) > 0) lua_pop(L, 1);  // the result tables end up alone on the stack

    const XmlNode* planet = findPlanet(galaxyRoot(L), id);
    if (!planet) return 0;
    sayLine("Planet found");
    int count = pushEntries(L, id, planet, "equipment");
    stackDump(L);
    return count;
}
