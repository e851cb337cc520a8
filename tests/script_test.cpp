// The Lua game API and the planet market queries, driven from real Lua.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>

#include "core/worldState.h"
#include "data/loadGalaxy.h"
#include "entities/player.h"
#include "script/budgetedCall.h"
#include "script/startLua.h"
#include "support/dataTables.h"
#include "support/testFiles.h"

namespace {

// Planet 0 mixes its entries; planet 1 has none; planet 2 sits in a later world,
// after an element that is not a world and whose planet is not counted.
const char* const market = R"(<universe>
  <world><star name="A">
    <planet name="P0"><tradeGood name="Ore" price="12.5"/><equipment name="X" price="100"/><tradeGood name="B"/></planet>
    <moon name="M"/>
    <planet name="P1"/>
  </star><wormhole targetWorld="1"/></world>
  <nebula><star><planet name="Hidden"><tradeGood name="No"/></planet></star></nebula>
  <world><star name="C"><planet name="P2"><tradeGood name="Far" price="7"/><equipment name="Y" price="3"/></planet></star></world>
</universe>)";

std::string manyGoods(int count)
{
    std::string planet = "<universe><world><star><planet name=\"Bazaar\">";
    for (int i = 0; i < count; ++i) planet += "<tradeGood name=\"G" + std::to_string(i) + "\" price=\"1\"/>";
    return planet + "</planet></star></world></universe>";
}

class ScriptApi : public ::testing::Test {
protected:
    TablesGuard tables;
    std::unique_ptr<Universe> universe;
    Player player{point{0, 0}};
    lua_State* L = luaL_newstate();
    std::string startup;  // what initLua printed

    void SetUp() override { load(market); }
    void TearDown() override { lua_close(L); }

    void load(const std::string& galaxy)
    {
        std::string dir = makeScratchDir();
        universe = std::make_unique<Universe>(writeFile(dir, "test.xml", galaxy).c_str(),
                                              writeFile(dir, "projectiles.xml", "<projectiles/>").c_str());
        universe->worlds.push_back(WorldState());
        universe->player = &player;
        luaL_openlibs(L);
        StdoutCapture out;
        initializeStars(*universe, L);
        out.text();
        StdoutCapture lines;
        initLua(*universe, L);
        startup = lines.text();
    }

    // Runs a chunk as the UI bridge runs the script; the output it printed.
    std::string run(const std::string& code)
    {
        StdoutCapture out;
        EXPECT_EQ(luaL_loadstring(L, code.c_str()), 0) << code;
        EXPECT_TRUE(callLuaBudgeted(L, "chunk", 0, 0)) << code;
        return out.text();
    }

    // The value of a Lua expression, as text (tostring), with its output dropped.
    std::string eval(const std::string& expression)
    {
        run("result = tostring(" + expression + ")");
        lua_getglobal(L, "result");
        std::string value = lua_tostring(L, -1);
        lua_pop(L, 1);
        return value;
    }
};

}  // namespace

TEST_F(ScriptApi, RegistryHoldsThePlayerTheDocumentAndEveryPlanetName)
{
    struct Pointer {
        const char* key;
        const void* expected;
    } pointers[] = {
        {"iPlayerWorld", &player.world},     {"bIsPlayerLanded", &player.landed},
        {"bPlayerLandedPlanetId", &player.planetId}, {"bPlayerInputMode", &player.input},
        {"XMLUniverse", universe->galaxyRoot},
    };
    for (const Pointer& p : pointers) {
        lua_getfield(L, LUA_REGISTRYINDEX, p.key);
        EXPECT_EQ(lua_touserdata(L, -1), p.expected) << p.key;
        lua_pop(L, 1);
    }
    std::ostringstream add;
    add << "Add:" << static_cast<void*>(universe->galaxyRoot) << "\n";
    EXPECT_EQ(startup, add.str());
    EXPECT_EQ(eval("debug.getregistry().sPlanet0 .. debug.getregistry().sPlanet2"), "P0P2");
    EXPECT_EQ(eval("debug.getregistry().sPlanet3"), "nil");
    EXPECT_EQ(eval("debug.getregistry().testVal"), "nil");
    EXPECT_EQ(lua_gettop(L), 0);
}

TEST_F(ScriptApi, TheTwelveGlobalsAreGameFunctions)
{
    for (const char* name : {"getPlayerWorld", "getIsPlayerLanded", "getPlayerLandedPlanetId", "getDecodedPlanetName",
                             "getVal", "setVal", "getPlanetTradeGoods", "getPlanetEquipment", "disablePlayerInput",
                             "enablePlayerInput", "debugDisplay", "testPass"})
        EXPECT_EQ(eval("type(" + std::string(name) + ") == 'function' and debug.getinfo(" + name + ").what"), "C")
            << name;
}

TEST_F(ScriptApi, GettersTrackThePlayerAndInputSwitchesWriteThrough)
{
    struct {
        int world;
        bool landed;
        int planetId;
        const char* expected;
    } cases[] = {{0, false, -1, "0 0 -1"}, {1, true, 2, "1 1 2"}, {0, true, 0, "0 1 0"}};
    for (const auto& c : cases) {
        player.world = c.world;
        player.landed = c.landed;
        player.planetId = c.planetId;
        EXPECT_EQ(eval("getPlayerWorld() .. ' ' .. getIsPlayerLanded() .. ' ' .. getPlayerLandedPlanetId()"),
                  c.expected);
    }
    run("disablePlayerInput()");
    EXPECT_FALSE(player.input);
    run("enablePlayerInput()");
    EXPECT_TRUE(player.input);
}

TEST_F(ScriptApi, ValuesReturnedToTheScript)
{
    float published = 2.5f;
    struct {
        const char* expression;
        const char* expected;
    } cases[] = {
        {"getDecodedPlanetName(2.7)", "P2"},   {"getDecodedPlanetName(-1)", "nil"},
        {"getDecodedPlanetName('x')", "P0"},   {"getDecodedPlanetName(0/0)", "P0"},
        {"getDecodedPlanetName()", "P0"},      {"getDecodedPlanetName(9, 1)", "P1"},
        {"getVal()", "0"},                     {"testPass().name", "This is my name"},
        {"testPass().price == 70", "true"},    {"type(getIsPlayerLanded())", "number"},
    };
    for (const auto& c : cases) EXPECT_EQ(eval(c.expression), c.expected) << c.expression;
    registryInsert(L, published, "testVal");
    EXPECT_EQ(eval("getVal()"), "2.5");
    published = -4;
    EXPECT_EQ(eval("getVal()"), "-4");
    EXPECT_FLOAT_EQ(getLuaFloat(L, "testVal"), -4);
    EXPECT_FLOAT_EQ(getLuaFloat(L, "noSuchKey"), 0);
}

TEST_F(ScriptApi, DiagnosticLines)
{
    struct {
        const char* code;
        const char* expected;
    } cases[] = {
        {"setVal(3.9)", "Setting to3\n"},
        {"setVal(-0.5)", "Setting to0\n"},
        {"setVal(1e300)", "Setting to2147483647\n"},
        {"setVal('x')", "Setting to0\n"},
        {"debugDisplay(5)", "Lua debug:5:\n"},
        {"debugDisplay(1, 'last')", "Lua debug:last:\n"},
        {"debugDisplay({})", "Lua display debug called, but non-string passed.  Type: table\n"},
        {"debugDisplay(nil)", "Lua display debug called, but non-string passed.  Type: nil\n"},
        {"debugDisplay()", "Lua display debug called, but non-string passed.  Type: no value\n"},
    };
    for (const auto& c : cases) EXPECT_EQ(run(c.code), c.expected) << c.code;
}

TEST_F(ScriptApi, MarketQueriesFindPlanetsAcrossWorlds)
{
    struct {
        const char* call;
        const char* expected;  // names and prices of the tables, in order
    } cases[] = {
        {"getPlanetTradeGoods(0)", "Ore 12.5,B 0,"},  {"getPlanetEquipment(0)", "X 100,"},
        {"getPlanetTradeGoods(2.9)", "Far 7,"},       {"getPlanetEquipment(2)", "Y 3,"},
        {"getPlanetTradeGoods(1)", ""},               {"getPlanetEquipment(1)", ""},
        {"getPlanetTradeGoods(3)", ""},               {"getPlanetEquipment(-7)", ""},
        {"getPlanetTradeGoods('x')", "Ore 12.5,B 0,"}, {"getPlanetTradeGoods(-1)", "-1"},
        {"getPlanetEquipment(-1)", "-1"},
    };
    for (const auto& c : cases) {
        std::string code = std::string("local s = '' for _, t in ipairs({") + c.call +
                           "}) do s = s .. (type(t) == 'table' and t.name .. ' ' .. t.price .. ',' or t) end "
                           "return s";
        EXPECT_EQ(eval("(function() " + code + " end)()"), c.expected) << c.call;
    }
}

TEST_F(ScriptApi, MarketQueryLines)
{
    std::ostringstream root;
    root << static_cast<void*>(universe->galaxyRoot);
    struct {
        const char* code;
        std::string expected;
    } cases[] = {
        {"getPlanetTradeGoods(0)", "Getting trade goods\nTarget planet: 0\nNew add:" + root.str() +
                                       "\nTarget found\nPushing: Ore x 12.5\nPushing: B x 0\n2 pieces pushed\n"},
        {"getPlanetTradeGoods(1)", "Getting trade goods\nTarget planet: 1\nNew add:" + root.str() +
                                       "\nTarget found\n0 pieces pushed\n"},
        {"getPlanetTradeGoods(5)", "Getting trade goods\nTarget planet: 5\nNew add:" + root.str() +
                                       "\nNo pieces pushed\n"},
        {"getPlanetTradeGoods(-1)", "Getting trade goods\nTarget planet: -1\n"},
        {"getPlanetEquipment(0)", "Getting equipment\nTarget planet: 0\nPlanet found\nPushing: X x 100\n"
                                  "1 pieces pushed\nStack dump.  Size: 1\ntable . \n End of stack dump\n"},
        {"getPlanetEquipment(5)", "Getting equipment\nTarget planet: 5\n"},
        {"getPlanetEquipment(-1)", "Getting equipment\nTarget planet: -1\n"},
    };
    for (const auto& c : cases) EXPECT_EQ(run(c.code), c.expected) << c.code;
}

TEST_F(ScriptApi, EveryTableOfACrowdedMarketArrives)
{
    // Lua 5.1 lets a C function's stack grow to 8000 slots: beyond that the rest is
    // left out, with a line, instead of written past the stack.
    struct {
        int goods;
        int delivered;
        bool fullLine;
    } cases[] = {{200, 200, false}, {9000, 7996, true}};
    for (const auto& c : cases) {
        load(manyGoods(c.goods));
        std::string last = std::to_string(c.delivered);
        EXPECT_EQ(eval("select('#', getPlanetTradeGoods(0))"), last);
        EXPECT_EQ(eval("({getPlanetTradeGoods(0)})[" + last + "].name"), "G" + std::to_string(c.delivered - 1));
        std::string out = run("getPlanetTradeGoods(0)");
        EXPECT_EQ(out.find("The Lua stack is full; only the first " + last + " tradeGood entries are delivered\n") !=
                      std::string::npos,
                  c.fullLine);
        EXPECT_NE(out.find(last + " pieces pushed\n"), std::string::npos);
    }
}

// Through the debug library a script can rewrite the registry, but never make the
// game write through (or walk) an address it did not put there.
TEST_F(ScriptApi, RewrittenRegistryEntriesAreIgnored)
{
    player.world = 1;
    std::string out = run("local r = debug.getregistry() r.bPlayerInputMode = r.iPlayerWorld "
                          "r.XMLUniverse = r.bIsPlayerLanded r.iPlayerWorld = 7 "
                          "disablePlayerInput() getPlanetTradeGoods(0) setVal(getPlayerWorld())");
    EXPECT_NE(out.find("Lua registry entry bPlayerInputMode was changed by the script; ignored\n"), std::string::npos);
    EXPECT_NE(out.find("Lua registry entry XMLUniverse was changed by the script; ignored\n"), std::string::npos);
    EXPECT_NE(out.find("No pieces pushed\nLua registry entry iPlayerWorld"), std::string::npos);
    EXPECT_NE(out.find("Setting to0\n"), std::string::npos);
    EXPECT_EQ(player.world, 1);
    EXPECT_TRUE(player.input);
    EXPECT_EQ(&universe->currentWorld(), &universe->worlds[1]);
}

TEST_F(ScriptApi, BudgetedCallStopsLoopsAndErrorsWithOneLine)
{
    struct {
        const char* code;
        const char* line;
    } cases[] = {
        {"while true do end", "Lua addUI stopped: [string \"while true do end\"]:1: ran past its instruction budget\n"},
        {"while true do pcall(function() while true do end end) end", "ran past its instruction budget\n"},
        {"error('bad\\nthing')", "Lua addUI stopped: [string \"error('bad\\nthing')\"]:1: bad thing\n"},
        {"error({})", "Lua addUI stopped: (error object is a table value)\n"},
        {"local x = {} x.y.z = 1", "attempt to index field 'y' (a nil value)\n"},
        {"debug.getregistry().iPlayerWorld.x = 5", "attempt to index field 'iPlayerWorld' (a userdata value)\n"},
    };
    for (const auto& c : cases) {
        lua_pushnumber(L, 42);  // the caller's own values stay put
        ASSERT_EQ(luaL_loadstring(L, c.code), 0) << c.code;
        StdoutCapture out;
        EXPECT_FALSE(callLuaBudgeted(L, "addUI", 0, LUA_MULTRET, 100000));
        std::string text = out.text();
        EXPECT_EQ(text.find('\n'), text.size() - 1) << text;
        EXPECT_NE(text.find(c.line), std::string::npos) << text;
        EXPECT_EQ(lua_gettop(L), 1);
        EXPECT_EQ(lua_gethook(L), nullptr);
        lua_pop(L, 1);
    }
    EXPECT_EQ(player.world, 0);
    ASSERT_EQ(luaL_loadstring(L, "local n = 0 for i = 1, 1000 do n = n + i end return n, 'done'"), 0);
    EXPECT_TRUE(callLuaBudgeted(L, "updateUI", 0, 2, 100000));
    EXPECT_EQ(lua_tonumber(L, -2), 500500);
    lua_pop(L, 2);
}
