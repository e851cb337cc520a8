// The Lua game API and the planet market queries, driven from real Lua.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <sstream>
#include <string>

#include "core/report.h"
#include "entities/worldState.h"
#include "world/loadGalaxy.h"
#include "entities/player.h"
#include "core/report.h"
#include "script/budgetedCall.h"
#include "script/sandbox.h"
#include "script/startLua.h"
#include "support/dataTables.h"
#include "support/testFiles.h"

namespace {

// Planet 0 mixes its entries, among them some that cannot be traded (no price, a
// price that is NaN or negative, no name); planet 1 has none; planet 2 sits in a
// later world, after an element that is not a world and whose planet is not counted.
const char* const market = R"(<universe>
  <world><star name="A">
    <planet name="P0"><tradeGood name="Ore" price="12.5"/><equipment name="X" price="100"/><tradeGood name="B"/>
      <tradeGood name="Nan" price="nan"/><equipment name="Neg" price="-5"/><tradeGood price="1"/><equipment name=""/></planet>
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
    lua_State* L = newScriptState();  // the game's sandbox
    std::string startup;  // what initLua printed

    void SetUp() override { load(market); }
    void TearDown() override { closeScriptState(L); }

    void load(const std::string& galaxy)
    {
        std::string dir = makeScratchDir();
        universe = std::make_unique<Universe>(writeFile(dir, "test.xml", galaxy).c_str(),
                                              writeFile(dir, "projectiles.xml", "<projectiles/>").c_str());
        universe->worlds.push_back(WorldState());
        universe->player = &player;
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

    // The value of a Lua expression, as text (tostring), and what it printed.
    std::string eval(const std::string& expression, std::string* printed = nullptr)
    {
        std::string out = run("result = tostring((" + expression + "))");
        if (printed) *printed = out;
        lua_getglobal(L, "result");
        std::string value = lua_tostring(L, -1);
        lua_pop(L, 1);
        return value;
    }
};

}  // namespace

// Near the memory ceiling a game function is refused before it starts, so no
// Lua memory error can jump over the C++ objects it holds; with room again it works.
TEST_F(ScriptApi, GameFunctionsAreRefusedNotCutShortAtTheMemoryCeiling)
{
    run("result = '' "
        "local t = {} "
        "pcall(function() while true do t[#t + 1] = string.rep('z', 65536) .. #t end end) "
        "result = select(2, pcall(getDecodedPlanetName, 123456)) "
        "t = nil");
    lua_getglobal(L, "result");
    const std::string refused = lua_isstring(L, -1) ? lua_tostring(L, -1) : "";
    lua_pop(L, 1);
    EXPECT_NE(refused.find("no memory left for a game function"), std::string::npos) << refused;
    lua_gc(L, LUA_GCCOLLECT, 0);
    EXPECT_EQ(eval("getDecodedPlanetName(-1)"), "nil");
}

TEST_F(ScriptApi, RegistryHoldsThePlayerTheDocumentPlanetNamesAndTwelveGlobals)
{
    std::pair<const char*, const void*> pointers[] = {
        {"iPlayerWorld", &player.world},       {"bIsPlayerLanded", &player.landed},
        {"bPlayerLandedPlanetId", &player.planetId}, {"bPlayerInputMode", &player.input},
        {"XMLUniverse", universe->galaxyRoot}, {"testVal", nullptr},
    };
    for (const auto& [key, expected] : pointers) {
        lua_getfield(L, LUA_REGISTRYINDEX, key);
        EXPECT_EQ(lua_touserdata(L, -1), expected) << key;
        lua_pop(L, 1);
    }
    std::ostringstream add;
    add << "Add:" << static_cast<void*>(universe->galaxyRoot) << "\n";
    EXPECT_EQ(startup, add.str());
    auto registryText = [this](const char* key) {
        lua_getfield(L, LUA_REGISTRYINDEX, key);
        std::string text = lua_isstring(L, -1) ? lua_tostring(L, -1) : "nil";
        lua_pop(L, 1);
        return text;
    };
    EXPECT_EQ(registryText("sPlanet0") + registryText("sPlanet2"), "P0P2");
    EXPECT_EQ(registryText("sPlanet3"), "nil");
    for (const char* name : {"getPlayerWorld", "getIsPlayerLanded", "getPlayerLandedPlanetId", "getDecodedPlanetName",
                             "getVal", "setVal", "getPlanetTradeGoods", "getPlanetEquipment", "disablePlayerInput",
                             "enablePlayerInput", "debugDisplay", "testPass"}) {
        lua_getglobal(L, name);
        EXPECT_TRUE(lua_iscfunction(L, -1)) << name;
        lua_pop(L, 1);
    }
    EXPECT_EQ(lua_gettop(L), 0);
}

TEST_F(ScriptApi, PlaySoundRefusesEachKindOfBadNameOnceAndOpensNothing)
{
    ReportLog log;
    for (int pass = 0; pass < 2; ++pass)
        run("playSound(5) playSound() playSound(string.rep('a', 300)) playSound('../x.wav') playSound('/etc/passwd')"
            " playSound('sub/../../x.wav') playSound('nope.wav') playSound('nope.wav')");
    std::vector<std::string> lines;
    for (const Report& r : log.records) {
        EXPECT_EQ(r.severity, Severity::Error) << r.what;
        lines.push_back(reportText(r));
    }
    const std::string refused = "ui.lua: playSound: refused: ";
    EXPECT_EQ(lines, (std::vector<std::string>{refused + "number is not a file name", refused + "no value is not a file name",
                                               refused + "a name longer than 200 characters",
                                               refused + "a path out of the data folder",
                                               refused + "an absolute path: sounds are named within the data folder",
                                               "nope.wav: no such sound file in the data folder; that sound stays silent"}));
}

TEST_F(ScriptApi, GettersTrackThePlayerAndInputSwitchesWriteThrough)
{
    struct {
        std::function<void()> step;
        const char* expected;  // world, landed, planet id
    } cases[] = {
        {[] {}, "0 0 -1"},
        {[&] { player.warpWorld(1); }, "1 0 -1"},
        {[&] { player.setLanded(2); }, "1 1 2"},
        {[&] { player.takeoffDelay = 0, player.forwardThrust(16); }, "1 0 -1"},
    };
    for (const auto& c : cases) {
        c.step();
        EXPECT_EQ(eval("getPlayerWorld() .. ' ' .. getIsPlayerLanded() .. ' ' .. getPlayerLandedPlanetId()"),
                  c.expected);
    }
    run("disablePlayerInput()");
    EXPECT_FALSE(player.input);
    run("enablePlayerInput()");
    EXPECT_TRUE(player.input);
}

TEST_F(ScriptApi, ScriptCallsGiveValuesAndLines)
{
    const char* const notText = "Lua display debug called, but non-string passed.  Type: ";
    struct {
        const char* expression;
        const char* value;
        std::string printed;
    } cases[] = {
        {"getDecodedPlanetName(2.7)", "P2", ""},      {"getDecodedPlanetName(-1)", "nil", ""},
        {"getDecodedPlanetName('x')", "P0", ""},      {"getDecodedPlanetName(0/0)", "P0", ""},
        {"getDecodedPlanetName()", "P0", ""},         {"getDecodedPlanetName(9, 1)", "P1", ""},
        {"getVal()", "0", ""},                        {"testPass().name", "This is my name", ""},
        {"testPass().price == 70", "true", ""},       {"type(getIsPlayerLanded())", "number", ""},
        {"setVal(3.9)", "nil", "Setting to3\n"},      {"setVal(-0.5)", "nil", "Setting to0\n"},
        {"setVal(1e300)", "nil", "Setting to2147483647\n"}, {"setVal('x')", "nil", "Setting to0\n"},
        {"debugDisplay(5)", "nil", "Lua debug:5:\n"}, {"debugDisplay(1, 'last')", "nil", "Lua debug:last:\n"},
        {"debugDisplay({})", "nil", notText + std::string("table\n")},
        {"debugDisplay(nil)", "nil", notText + std::string("nil\n")},
        {"debugDisplay()", "nil", notText + std::string("no value\n")},
    };
    for (const auto& c : cases) {
        std::string printed;
        EXPECT_EQ(eval(c.expression, &printed), c.value) << c.expression;
        EXPECT_EQ(printed, c.printed) << c.expression;
    }
    float published = 2.5f;
    registryInsert(L, published, "testVal");
    EXPECT_EQ(eval("getVal()"), "2.5");
    published = -4;
    EXPECT_EQ(eval("getVal()"), "-4");
    EXPECT_FLOAT_EQ(getLuaFloat(L, "noSuchKey"), 0);
}

TEST_F(ScriptApi, MarketQueriesFindPlanetsAcrossWorldsWithTheirLines)
{
    std::ostringstream root;
    root << "New add:" << static_cast<void*>(universe->galaxyRoot) << "\n";
    const std::string goods = "Getting trade goods\nTarget planet: ", gear = "Getting equipment\nTarget planet: ";
    struct {
        const char* call;
        const char* tables;  // name and price of each result, in order
        std::string printed;
    } cases[] = {
        {"getPlanetTradeGoods(0)", "Ore 12.5,", goods + "0\n" + root.str() + "Target found\nPushing: Ore x 12.5\n1 pieces pushed\n"},
        {"getPlanetEquipment(0)", "X 100,",
         gear + "0\nPlanet found\nPushing: X x 100\n1 pieces pushed\nStack dump.  Size: 1\ntable . \n End of stack dump\n"},
        {"getPlanetTradeGoods(2.9)", "Far 7,", goods + "2\n" + root.str() + "Target found\nPushing: Far x 7\n1 pieces pushed\n"},
        {"getPlanetEquipment(2)", "Y 3,", ""},
        {"getPlanetTradeGoods(1)", "", goods + "1\n" + root.str() + "Target found\n0 pieces pushed\n"},
        {"getPlanetEquipment(1)", "", ""},
        {"getPlanetTradeGoods(3)", "", goods + "3\n" + root.str() + "No pieces pushed\n"},
        {"getPlanetEquipment(3)", "", gear + "3\n"},
        {"getPlanetTradeGoods('x')", "Ore 12.5,", ""},
        {"getPlanetTradeGoods(-1)", "-1", goods + "-1\n"},
        {"getPlanetEquipment(-1)", "-1", gear + "-1\n"},
    };
    for (const auto& c : cases) {
        std::string printed;
        std::string list = eval(std::string("(function() local s = '' for _, t in ipairs({") + c.call +
                                    "}) do s = s .. (type(t) == 'table' and t.name .. ' ' .. t.price .. ',' or t) end "
                                    "return s end)()",
                                &printed);
        EXPECT_EQ(list, c.tables) << c.call;
        if (!c.printed.empty()) EXPECT_EQ(printed, c.printed) << c.call;
    }
    // The entries left out, one record each, on standard error when printed.
    ReportLog log;
    run("getPlanetTradeGoods(0) getPlanetEquipment(0)");
    std::vector<std::string> skipped;
    for (const Report& r : log.records)
        if (r.severity == Severity::Error) skipped.push_back(reportText(r));
    const std::string P0 = "test.xml: planet 0 \"P0\" ";
    EXPECT_EQ(skipped, (std::vector<std::string>{
                           P0 + "tradeGood 1 \"B\": no price; left out of the market",
                           P0 + "tradeGood 2 \"Nan\": price \"nan\" is not a finite number; left out of the market",
                           P0 + "tradeGood 3 \"\": no name; left out of the market",
                           P0 + "equipment 1 \"Neg\": price \"-5\" is negative; left out of the market",
                           P0 + "equipment 2 \"\": no name; left out of the market",
                       }));
}

TEST_F(ScriptApi, EveryTableOfACrowdedMarketArrives)
{
    // Lua 5.1 lets a C function's stack grow to 8000 slots: beyond that the rest is
    // left out, with a line, instead of written past the stack.
    struct {
        int goods;
        int delivered;
    } cases[] = {{200, 200}, {9000, 7996}};
    for (const auto& c : cases) {
        load(manyGoods(c.goods));
        std::string last = std::to_string(c.delivered);
        EXPECT_EQ(eval("select('#', getPlanetTradeGoods(0))"), last);
        EXPECT_EQ(eval("({getPlanetTradeGoods(0)})[" + last + "].name"), "G" + std::to_string(c.delivered - 1));
        std::string out = run("getPlanetTradeGoods(0)");
        EXPECT_EQ(out.find("The Lua stack is full; only the first " + last + " tradeGood entries are delivered\n") !=
                      std::string::npos,
                  c.delivered < c.goods);
        EXPECT_NE(out.find(last + " pieces pushed\n"), std::string::npos);
    }
}

// Through the debug library a script can rewrite the registry, but never make the
// game write through (or walk) an address it did not put there.
TEST_F(ScriptApi, RewrittenRegistryEntriesAreIgnored)
{
    player.world = 1;
    // A script has no debug library to reach the registry with; the game still
    // never trusts what it finds there.
    for (const auto& rewrite : {std::pair<const char*, const char*>{"iPlayerWorld", "bPlayerInputMode"},
                                {"bIsPlayerLanded", "XMLUniverse"}}) {
        lua_getfield(L, LUA_REGISTRYINDEX, rewrite.first);
        lua_setfield(L, LUA_REGISTRYINDEX, rewrite.second);
    }
    lua_pushnumber(L, 7);
    lua_setfield(L, LUA_REGISTRYINDEX, "iPlayerWorld");
    std::string out = run("disablePlayerInput() getPlanetTradeGoods(0) setVal(getPlayerWorld())");
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
        {"debug.getregistry().iPlayerWorld.x = 5", "attempt to index global 'debug' (a nil value)\n"},
        {"while true do coroutine.wrap(function() for i = 1, 90 do end end)() end", "ran past its instruction budget\n"},
        {"local co = coroutine.wrap(function() while true do coroutine.yield() end end) while true do co() end",
         "ran past its instruction budget\n"},
    };
    for (const auto& c : cases) {
        lua_pushnumber(L, 42);  // the caller's own values stay put
        ASSERT_EQ(luaL_loadstring(L, c.code), 0) << c.code;
        StderrCapture out;
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

    // A generator resumed lightly on every call is never stopped, however long it
    // lives: each call's count starts afresh.
    run("generator = coroutine.wrap(function() local n = 0 while true do for i = 1, 500 do n = n + 1 end "
        "coroutine.yield(n) end end)");
    for (int call = 0; call < 1000; ++call) {
        ASSERT_EQ(luaL_loadstring(L, "return generator()"), 0);
        ASSERT_TRUE(callLuaBudgeted(L, "updateUI", 0, 1, 100000)) << call;
        lua_pop(L, 1);
    }
}

namespace {

// Each expression's results (or its error) as one text, in a state.
std::string patternResults(lua_State* L, const std::string& expression)
{
    const std::string code = "local function show(ok, ...) local t = {tostring(ok)} "
                             "for i = 1, select('#', ...) do t[#t + 1] = tostring((select(i, ...))) end "
                             "return table.concat(t, '|') end "
                             "local function all(s, p) local t = {} for a, b in string.gmatch(s, p) do "
                             "t[#t + 1] = tostring(a) .. ',' .. tostring(b) end return table.concat(t, ';') end "
                             "return show(pcall(function() return " + expression + " end))";
    if (luaL_loadstring(L, code.c_str()) != 0 || lua_pcall(L, 0, 1, 0) != 0) return "load error";
    std::string text = lua_tostring(L, -1);
    lua_pop(L, 1);
    return text;
}

const char* const PATTERN_CASES[] = {
    "string.find('hello world', 'o w')", "string.find('hello', 'l', 1, true)", "string.find('a.b', '.', 1, true)",
    "string.find('abc', '', 10)", "string.find('abc', '', 4)", "string.find('abc', 'b', -1)",
    "string.find('abc', 'b', -10)", "string.find('abc', 'c', -1)", "string.find('a\\0b', 'b')",
    "string.find('a\\0b', '%z')", "string.find('aaab', 'a-b')", "string.find('  x  ', '^%s*(.-)%s*$')",
    "string.match('  x  ', '^%s*(.-)%s*$')", "string.match('key = value', '(%w+)%s*=%s*(%w+)')",
    "string.match('hello', '()ll()')", "string.match('THE (quick) fox', '%((%a+)%)')",
    "string.match('f(a(b)c)d', '%b()')", "string.match('THE (quick) fox', '%f[%a]%a+', 5)",
    "string.match('x = 10, y = 20', '(%a)%s*=%s*(%d+)$')", "string.match('abcabc', '(abc)%1')",
    "string.match('abab', '(a)(b)%2')", "string.match('abc', '%1')", "string.match('abc', '(a')",
    "string.match('abc', 'a)')", "string.match('abc', '[a')", "string.match('abc', '%')",
    "string.match('abc', '%b')", "string.match('abc', '%fa')", "string.match('-x-', '[%-x]+')",
    "string.match('a]b', '[]]')", "string.match('a^b', '[%^]')", "string.match('abc', '[^a]+')",
    "string.match('A1 b2', '[%u%d]+')", "string.match('ff0Z', '%x+')", "string.match('a,b;c', '%p')",
    "string.match('\\1\\2x', '%c+')", "string.match('abc', '^b')", "string.match('abc', 'c$')",
    "string.match('a$c', 'a$c')", "string.match('aaa', 'a?a?a?a?')", "string.match('aaa', 'b*')",
    "string.match('', '.-')", "string.match('abc', '.+', 4)", "string.match('abc', '()', 10)",
    "string.match('a', (string.rep('(a?)', 33)))", "string.match('abc', '%D%W%S')", "string.match('a.b', '%.')",
    "string.gsub('hello world', 'o', '0')", "string.gsub('hello', '', '-')", "string.gsub('abc', '%w', '%0%0')",
    "string.gsub('abc', '(%w)', '%1-')", "string.gsub('abc', '%w', '%2')", "string.gsub('abc', '%w', '%%')",
    "string.gsub('abc', '%w', 'x%')", "string.gsub('abc', 'b', {b = 'B'})", "string.gsub('abc', '%w', {a = 1, b = true})",
    "string.gsub('abc', '%w', {a = {}})", "string.gsub('abc', '%w', string.upper)",
    "string.gsub('abc', '%w', function(c) if c == 'b' then return false end return c .. c end)",
    "string.gsub('aaa', 'a', 'b', 2)", "string.gsub('aaa', 'a', 'b', 0)", "string.gsub('aaa', 'a', 'b', -1)",
    "string.gsub('aaa', '^a', 'b')", "string.gsub('abc', '()', '%1')", "string.gsub('abc', 'x*', '-')",
    "string.gsub('abc', 'b', 1.5)", "string.gsub('abc', 'b')", "string.gsub('hello world', '(o)(%s)', '%2%1')",
    "all('hello world from lua', '%a+')", "all('k=v, a=b', '(%w+)=(%w+)')", "all('abc', '')", "all('aaa', 'a*')",
    "all('^a^a', '^a')", "all('abc', '()')", "all('a1b2', '%d')", "all('', 'x*')",
    "string.find(string.rep('a', 20), string.rep('a?', 20) .. string.rep('a', 20))",
    "string.gfind ~= nil and all('ab', '.')",
};

}  // namespace

// The sandbox's own matcher gives what Lua 5.1's string library gives, errors included.
TEST(ScriptPatterns, TheSandboxMatchesAsTheLibraryDoes)
{
    lua_State* sandbox = newScriptState();
    lua_State* library = luaL_newstate();
    luaL_openlibs(library);
    for (const char* expression : PATTERN_CASES)
        EXPECT_EQ(patternResults(sandbox, expression), patternResults(library, expression)) << expression;
    const std::string deep = patternResults(sandbox, "string.find(string.rep('a', 300), string.rep('a?', 300))");
    EXPECT_EQ(deep.substr(deep.size() - 22), "1: pattern too complex");
    lua_close(library);
    closeScriptState(sandbox);
}

// math.random keeps Lua 5.1's arguments, draws from the state's own generator
// and leaves the C library's untouched.
TEST(ScriptRandom, TheScriptsGeneratorIsItsOwn)
{
    lua_State* L = newScriptState();
    std::srand(5);
    const int expected = std::rand();
    std::srand(5);
    const std::pair<const char*, const char*> cases[] = {
        {"(function() for i = 1, 1000 do local r = math.random() assert(r >= 0 and r < 1) end return 'ok' end)()", "true|ok"},
        {"(function() for i = 1, 1000 do local r = math.random(3) assert(r == 1 or r == 2 or r == 3) end return 'ok' end)()",
         "true|ok"},
        {"(function() for i = 1, 1000 do local r = math.random(-2, 2) assert(r >= -2 and r <= 2 and r % 1 == 0) end "
         "return 'ok' end)()", "true|ok"},
        {"(function() math.randomseed(7) local a = math.random(1e6) math.randomseed(7) return a == math.random(1e6) end)()",
         "true|true"},
        {"math.random(0)", "1: bad argument #1 to 'random' (interval is empty)"},
        {"math.random(3, 2)", "1: bad argument #2 to 'random' (interval is empty)"},
        {"math.random(1, 2, 3)", "1: wrong number of arguments"},
    };
    for (const auto& [expression, result] : cases) {
        const std::string got = patternResults(L, expression);
        EXPECT_EQ(got.substr(got.size() - std::min(got.size(), std::strlen(result))), result) << expression;
    }
    EXPECT_EQ(std::rand(), expected);
    closeScriptState(L);
}
