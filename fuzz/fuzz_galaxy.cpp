// The galaxy and weapon documents. An input is "test.xml", a zero byte, then
// "projectiles.xml"; without a zero byte the weapons are the empty root. Both go
// through the Universe's loader, the world builder and the start-up outline.
#include <cstring>
#include <string>

#include <lua.hpp>

#include "entities/worldState.h"
#include "data/defaultVals.h"
#include "world/loadGalaxy.h"
#include "fuzzSupport.h"

static lua_State* L = nullptr;

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    enterScratchDirectory();
    L = luaL_newstate();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const uint8_t* split = static_cast<const uint8_t*>(std::memchr(data, 0, size));
    size_t galaxySize = split ? size_t(split - data) : size;
    writeFile("test.xml", data, galaxySize);
    if (split)
        writeFile("projectiles.xml", split + 1, size - galaxySize - 1);
    else
        writeFile("projectiles.xml", std::string("<projectiles/>"));

    Universe universe;
    if (universe.loadError.empty()) {
        universe.worlds.emplace_back();  // start-up's empty world 0
        WEAPONDATA.clear();
        initializeStars(universe, L);
    }
    testXML();
    return 0;
}
