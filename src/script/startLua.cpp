#include "script/startLua.h"

#include <cmath>
#include <cstdio>
#include <exception>
#include <iostream>
#include <map>
#include <set>
#include <string_view>
#include <utility>

#include "core/basics.h"
#include "core/luaTable.h"
#include "entities/worldState.h"
#include "entities/player.h"
#include "core/diagnostics.h"
#include "core/report.h"
#include "script/market.h"
#include "script/sandbox.h"
#include "sound/soundBank.h"
#include "sound/soundMixer.h"

namespace {

// What the game itself stored under each pointer key, per Lua state. The registry
// table is shared by every thread (coroutine) of a state, so its address names the state.
std::map<std::pair<const void*, std::string>, void*> installedPointers;

const void* stateOf(lua_State* L) { return lua_topointer(L, LUA_REGISTRYINDEX); }

// Raw access throughout: a script may give the registry or the globals a metatable,
// and a metamethod must never run (or raise) inside the game's own code.
void setRegistry(lua_State* L, const std::string& key)
{
    lua_pushlstring(L, key.data(), key.size());
    lua_insert(L, -2);
    lua_rawset(L, LUA_REGISTRYINDEX);
}

void insertPointer(lua_State* L, void* pointer, const std::string& key)
{
    installedPointers[{stateOf(L), key}] = pointer;
    lua_pushlightuserdata(L, pointer);
    setRegistry(L, key);
}

int getPlayerWorld(lua_State* L)
{
    const int* world = static_cast<const int*>(registryPointer(L, "iPlayerWorld"));
    lua_pushnumber(L, world ? *world : 0);
    return 1;
}

int getIsPlayerLanded(lua_State* L)
{
    const bool* landed = static_cast<const bool*>(registryPointer(L, "bIsPlayerLanded"));
    lua_pushnumber(L, landed && *landed ? 1 : 0);
    return 1;
}

int getPlayerLandedPlanetId(lua_State* L)
{
    const int* planetId = static_cast<const int*>(registryPointer(L, "bPlayerLandedPlanetId"));
    lua_pushnumber(L, planetId ? *planetId : -1);
    return 1;
}

int getDecodedPlanetName(lua_State* L)
{
    int id = intArgumentOnTop(L);
    std::string key = "sPlanet" + toString(float(id));
    lua_pushlstring(L, key.data(), key.size());
    lua_rawget(L, LUA_REGISTRYINDEX);
    return 1;
}

int getVal(lua_State* L)
{
    lua_pushnumber(L, getLuaFloat(L, "testVal"));
    return 1;
}

int setVal(lua_State* L)
{
    sayLine(formatted("Setting to%d", luaNumberToInt(lua_tonumber(L, 1))));
    return 0;
}

int setPlayerInput(lua_State* L, bool enabled)
{
    bool* input = static_cast<bool*>(registryPointer(L, "bPlayerInputMode"));
    if (input) *input = enabled;
    return 0;
}

int disablePlayerInput(lua_State* L) { return setPlayerInput(L, false); }
int enablePlayerInput(lua_State* L) { return setPlayerInput(L, true); }

int debugDisplay(lua_State* L)
{
    int type = lua_gettop(L) > 0 ? lua_type(L, -1) : LUA_TNONE;
    if (type != LUA_TSTRING && type != LUA_TNUMBER) {
        report({"", "", formatted("Lua display debug called, but non-string passed.  Type: %s", lua_typename(L, type)),
                Severity::Note});
        return 0;
    }
    size_t length = 0;
    const char* text = lua_tolstring(L, -1, &length);
    std::fputs("Lua debug:", stdout);
    std::fwrite(text, 1, length, stdout);
    std::fputs(":\n", stdout);
    std::fflush(stdout);
    return 0;
}

// playSound(name): a sound file of the data folder, heard at the ship. Every
// sound was decoded at start-up; nothing here opens a file. Each kind of bad
// call is said once.
int playSoundFromScript(lua_State* L)
{
    static std::set<std::string> said;
    auto refuse = [](const std::string& why) {
        if (said.insert(why).second) report({"ui.lua", "playSound", "refused: " + why, Severity::Error});
        return 0;
    };
    int type = lua_type(L, 1);
    if (type != LUA_TSTRING) return refuse(std::string(lua_typename(L, type)) + " is not a file name");
    size_t length = 0;
    const char* text = lua_tolstring(L, 1, &length);
    std::string_view file(text, length);
    if (const char* why = refuseSoundName(file)) return refuse(why);
    startPanelSound(soundNamed(file));
    return 0;
}

int testPass(lua_State* L)
{
    lua_newtable(L);
    pushStringOnTable(L, "name", "This is my name");
    pushFloatOnTable(L, "price", 70.0f);
    return 1;
}

// Lua is C and unwinds with longjmp: a C++ exception must not leave a game function.
// It becomes a Lua error naming the function, raised once no C++ object is alive,
// which the protected call the script runs in catches.
template <lua_CFunction function>
int guarded(lua_State* L)
{
    char message[256] = "";
    if (!openGameFunctionReserve(L)) return luaL_error(L, "the script has no memory left for a game function");
    try {
        const int results = function(L);
        closeGameFunctionReserve(L);
        return results;
    } catch (const std::exception& e) {
        std::snprintf(message, sizeof message, "%s", e.what());
    } catch (...) {
        std::snprintf(message, sizeof message, "unknown exception");
    }
    closeGameFunctionReserve(L);
    lua_Debug call;
    const char* name = nullptr;
    if (lua_getstack(L, 0, &call) && lua_getinfo(L, "n", &call)) name = call.name;
    return luaL_error(L, "game function %s failed: %s", name ? name : "?", message);
}

struct ApiFunction {
    const char* name;
    lua_CFunction function;
};

const ApiFunction apiFunctions[] = {
    {"getPlayerWorld", guarded<getPlayerWorld>},
    {"getIsPlayerLanded", guarded<getIsPlayerLanded>},
    {"getPlayerLandedPlanetId", guarded<getPlayerLandedPlanetId>},
    {"getDecodedPlanetName", guarded<getDecodedPlanetName>},
    {"getVal", guarded<getVal>},
    {"setVal", guarded<setVal>},
    {"getPlanetTradeGoods", guarded<getPlanetTradeGoods>},
    {"getPlanetEquipment", guarded<getPlanetEquipment>},
    {"disablePlayerInput", guarded<disablePlayerInput>},
    {"enablePlayerInput", guarded<enablePlayerInput>},
    {"debugDisplay", guarded<debugDisplay>},
    {"testPass", guarded<testPass>},
    {"playSound", guarded<playSoundFromScript>},
};

}  // namespace

int luaNumberToInt(double value)
{
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0) return 2147483647;
    if (value <= -2147483648.0) return -2147483647 - 1;
    return int(value);
}

int intArgumentOnTop(lua_State* L) { return lua_gettop(L) > 0 ? luaNumberToInt(lua_tonumber(L, -1)) : 0; }

void registryInsert(lua_State* L, float& value, const std::string& key) { insertPointer(L, &value, key); }
void registryInsert(lua_State* L, int* value, const std::string& key) { insertPointer(L, value, key); }
void registryInsert(lua_State* L, bool* value, const std::string& key) { insertPointer(L, value, key); }

void registryInsert(lua_State* L, const char* value, const std::string& key)
{
    lua_pushstring(L, value);
    setRegistry(L, key);
}

void* registryPointer(lua_State* L, const std::string& key)
{
    lua_pushlstring(L, key.data(), key.size());
    lua_rawget(L, LUA_REGISTRYINDEX);
    bool absent = lua_isnil(L, -1);
    void* stored = lua_touserdata(L, -1);
    lua_pop(L, 1);
    if (absent) return nullptr;
    auto installed = installedPointers.find({stateOf(L), key});
    if (installed != installedPointers.end() && installed->second == stored) return stored;
    sayLine("Lua registry entry " + key + " was changed by the script; ignored");
    return nullptr;
}

float getLuaFloat(lua_State* L, const std::string& key)
{
    const float* value = static_cast<const float*>(registryPointer(L, key));
    return value ? *value : 0;
}

void initLua(Universe& universe, lua_State* L)
{
    const void* state = stateOf(L);
    for (auto it = installedPointers.begin(); it != installedPointers.end();)
        it = it->first.first == state ? installedPointers.erase(it) : std::next(it);

    Player& player = *universe.player;
    registryInsert(L, player.getWorldPointer(), "iPlayerWorld");
    registryInsert(L, player.getLandedPointer(), "bIsPlayerLanded");
    registryInsert(L, player.getPlanetIdPointer(), "bPlayerLandedPlanetId");
    registryInsert(L, player.getInputPointer(), "bPlayerInputMode");

    std::cout << "Add:" << static_cast<void*>(universe.galaxyRoot) << std::endl;
    insertPointer(L, universe.galaxyRoot, "XMLUniverse");

    for (size_t i = 0; i < universe.planetNames.size(); ++i)
        registryInsert(L, universe.planetNames[i].c_str(), "sPlanet" + toString(float(i)));

    for (const ApiFunction& api : apiFunctions) {
        lua_pushstring(L, api.name);
        lua_pushcclosure(L, api.function, 0);
        lua_rawset(L, LUA_GLOBALSINDEX);
    }
}
