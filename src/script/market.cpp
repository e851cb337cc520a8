#include "script/market.h"

#include <cstring>
#include <iostream>
#include <string>

#include "core/luaTable.h"
#include "core/xmlAttributes.h"
#include "core/diagnostics.h"
#include "script/startLua.h"

namespace {

// Planets are numbered as the galaxy loader numbers them: every "planet" of every
// "star" of every "world", in document order, from 0; other elements do not count.
const XmlNode* findPlanet(const XmlNode* root, int id)
{
    if (!root || id < 0) return nullptr;
    int count = 0;
    for (const XmlNode* world = root->first_node(); world; world = world->next_sibling()) {
        if (!named(world, "world")) continue;
        for (const XmlNode* star = world->first_node(); star; star = star->next_sibling()) {
            if (!named(star, "star")) continue;
            for (const XmlNode* planet = star->first_node(); planet; planet = planet->next_sibling()) {
                if (!named(planet, "planet")) continue;
                if (count++ == id) return planet;
            }
        }
    }
    return nullptr;
}

// The planet id argument on top of the stack; no argument reads as 0, as a
// value that is not a number does.
int requestedPlanet(lua_State* L)
{
    int id = intArgumentOnTop(L);
    std::cout << "Target planet: " << id << std::endl;
    return id;
}

// One new {name, price} table per child of the given name, on top of the stack.
// A planet may list more entries than Lua guarantees stack slots for, so the
// stack grows before every table; where it cannot grow, the rest is left out.
int pushEntries(lua_State* L, const XmlNode* planet, const char* entryName)
{
    int count = 0;
    for (const XmlNode* entry = planet->first_node(); entry; entry = entry->next_sibling()) {
        if (!named(entry, entryName)) continue;
        if (!lua_checkstack(L, 3)) {  // the table and a key and value while filling it
            sayLine(std::string("The Lua stack is full; only the first ") + std::to_string(count) + " " + entryName +
                " entries are delivered");
            break;
        }
        float price = getValF(entry, "price");
        std::string name = getVal(entry, "name");
        std::cout << "Pushing: " << name << " x " << double(price) << std::endl;
        lua_newtable(L);
        ++count;
        pushStringOnTable(L, "name", name);
        pushFloatOnTable(L, "price", getValF(entry, "price"));
    }
    sayLine(std::to_string(count) + " pieces pushed");
    return count;
}

const XmlNode* galaxyRoot(lua_State* L) { return static_cast<const XmlNode*>(registryPointer(L, "XMLUniverse")); }

}  // namespace

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
    return pushEntries(L, planet, "tradeGood");
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
    int count = pushEntries(L, planet, "equipment");
    stackDump(L);
    return count;
}
