// The number tables (readData, the player and ship tables) and the galaxy
// loader (worlds, stars, planets, wormholes, weapon types, the outline), plus
// a sanity check of the data the game ships with.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <cmath>
#include <cstring>
#include <functional>
#include <memory>
#include <set>
#include <sstream>
#include <stdexcept>

#include "core/dataFiles.h"
#include "entities/worldState.h"
#include "core/report.h"
#include "core/xmlAttributes.h"
#include "data/defaultVals.h"
#include "data/shaders.h"
#include "entities/wormhole.h"
#include "script/sandbox.h"
#include "sound/soundBank.h"
#include "world/loadGalaxy.h"
#include "entities/player.h"
#include "world/loadPlayer.h"
#include "support/dataTables.h"
#include "support/glFixture.h"
#include "support/testFiles.h"

using Table = std::vector<std::vector<float>>;
using TextTable = std::vector<std::vector<std::string>>;

// What building an effect prints (the test binaries build no shader programs).
const std::string emitterBuilt = "Emitter construct\nshader size: 0\n";

namespace {
struct Read {
    bool ok;
    Table rows;
    TextTable text;
    std::string out;
};

Read readText(const std::string& content, int columns)
{
    std::string path = writeFile(makeScratchDir(), "table.txt", content);
    Read r;
    OutputCapture capture;
    r.ok = readData(path.c_str(), columns, r.rows, r.text);
    r.out = capture.text();
    return r;
}
}  // namespace

TEST(ReadData, NumbersFillRowsAndAShortLastRowIsPaddedWithZeros)
{
    Read r = readText("1 2 3 4 5 6 7 8 9 10 11 12\n", 5);
    ASSERT_TRUE(r.ok);
    ASSERT_EQ(r.rows.size(), 3u);
    EXPECT_EQ(r.rows[0], (std::vector<float>{1, 2, 3, 4, 5}));
    EXPECT_EQ(r.rows[2], (std::vector<float>{11, 12, 0, 0, 0}));
    EXPECT_TRUE(r.text.empty());
}

TEST(ReadData, CommentsRunToTheLineEndAndRowsIgnoreLineBreaks)
{
    Read r = readText("# a header line\n1 2 3 # the rest is ignored 99\n4\t5\n\n6 3#x -2.5e1 junk 12abc\n  \n", 5);
    ASSERT_EQ(r.rows.size(), 2u);
    EXPECT_EQ(r.rows[0], (std::vector<float>{1, 2, 3, 4, 5}));
    // "3#x" is a number, not a comment; text that is no number reads as 0.
    EXPECT_EQ(r.rows[1], (std::vector<float>{6, 3, -25, 0, 12}));
}

TEST(ReadData, TextItemsBelongToTheLastCompleteRow)
{
    Read r = readText("@Early 1 2 3 4 5 @Light_Fighter @Fast 6 7 8 9 10 11 @Late\n", 5);
    ASSERT_EQ(r.rows.size(), 3u);
    ASSERT_EQ(r.text.size(), 2u);
    EXPECT_EQ(r.text[0], (std::vector<std::string>{"Light Fighter", "Fast"}));
    EXPECT_EQ(r.text[1], (std::vector<std::string>{"Late"}));  // row 2 was not complete yet

    Read gap = readText("1 2 3 4 5 6 @Third\n", 2);
    ASSERT_EQ(gap.text.size(), 3u);
    EXPECT_TRUE(gap.text[0].empty());
    EXPECT_TRUE(gap.text[1].empty());
    EXPECT_EQ(gap.text[2], (std::vector<std::string>{"Third"}));
}

TEST(ReadData, EmptyFileReadsAsNoRowsAndSaysWhichFileItOpened)
{
    Read r = readText("", 3);
    EXPECT_TRUE(r.ok);
    EXPECT_TRUE(r.rows.empty());
    EXPECT_NE(r.out.find("Opening "), std::string::npos);
    EXPECT_NE(r.out.find("table.txt\n"), std::string::npos);
}

TEST(ReadData, MissingFileLeavesTheTablesAlone)
{
    Table rows{{9}};
    OutputCapture capture;
    EXPECT_FALSE(readData("/nonexistent/table.txt", 1, rows));
    EXPECT_EQ(capture.text(), "Error opening file\n/nonexistent/table.txt: cannot open file (No such file or directory)\n");
    EXPECT_EQ(rows.size(), 1u);
}

TEST(ReadData, ZeroColumnsIsRefused)
{
    Table rows;
    OutputCapture capture;
    EXPECT_FALSE(readData(writeFile(makeScratchDir(), "t.txt", "1 2").c_str(), 0, rows));
    EXPECT_TRUE(rows.empty());
}

TEST(ReadData, TokensThatAreNoFiniteNumberReadAsZeroWithALine)
{
    Read r = readText("1 abc nan\n-inf 1e39 12abc\n", 3);
    ASSERT_EQ(r.rows.size(), 2u);
    EXPECT_EQ(r.rows[0], (std::vector<float>{1, 0, 0}));
    EXPECT_EQ(r.rows[1], (std::vector<float>{0, 0, 12}));  // a leading number is still taken
    expectAllIn(r.out, {"table.txt: \"abc\" at row 0, column 2 is not a number; it reads as 0\n",
                        "table.txt: \"nan\" at row 0, column 3 is not a finite number; it reads as 0\n",
                        "table.txt: \"-inf\" at row 1, column 1 is not a finite number; it reads as 0\n",
                        "table.txt: \"1e39\" at row 1, column 2 is not a finite number; it reads as 0\n"});
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 5);  // with "Opening"
}

namespace {
// The player built from a playerdata.txt holding content, and what loading it printed.
std::unique_ptr<Player> playerFrom(const std::string& content, std::string& out)
{
    std::string dir = makeScratchDir();
    writeFile(dir, "playerdata.txt", content);
    ScopedWorkingDir cd(dir);
    OutputCapture capture;
    std::unique_ptr<Player> p(initializePlayer());
    out = capture.text();
    return p;
}
}  // namespace

TEST(PlayerData, FirstRowBuildsThePlayer)
{
    std::string out;
    std::unique_ptr<Player> p =
        playerFrom("# x y thrust reverse turn health radius\n10 -20 0.002 0.0005 0.003 750 30\n1 1 1 1 1 1 1\n", out);
    EXPECT_EQ(out, "Loading player data\nOpening playerdata.txt\n" + emitterBuilt);
    EXPECT_FLOAT_EQ(p->location.x, 10);
    EXPECT_FLOAT_EQ(p->location.y, -20);
    EXPECT_FLOAT_EQ(p->thrustPower, 0.002f);
    EXPECT_FLOAT_EQ(p->reversePower, 0.0005f);
    EXPECT_FLOAT_EQ(p->turnRate, 0.003f);
    EXPECT_FLOAT_EQ(p->getHealth(), 750);
    EXPECT_FLOAT_EQ(p->getRadius(), 30);
}

TEST(PlayerData, MissingOrEmptyFileGivesTheBuiltInShipAtTheCentre)
{
    std::string dir = makeScratchDir();
    ScopedWorkingDir cd(dir);
    {
        OutputCapture capture;
        std::unique_ptr<Player> p(initializePlayer());
        EXPECT_EQ(capture.text(), "Loading player data\nError opening file\n"
                                  "playerdata.txt: cannot open file (No such file or directory)\nplayerdata read failure\n" +
                                      emitterBuilt);
        EXPECT_FLOAT_EQ(p->location.x, 0);
        EXPECT_FLOAT_EQ(p->thrustPower, 0.001f);
    }
    writeFile(dir, "playerdata.txt", "# only a comment\n");
    OutputCapture capture;
    std::unique_ptr<Player> p(initializePlayer());
    EXPECT_NE(capture.text().find("playerdata read failure\n"), std::string::npos);
    EXPECT_FLOAT_EQ(p->getHealth(), 1000);
}

TEST(PlayerData, ShortFirstRowTakesTheRestFromTheBuiltInShip)
{
    std::string out;
    std::unique_ptr<Player> p = playerFrom("10 -20 0.002 0.0005 nan\n", out);
    EXPECT_NE(out.find("playerdata.txt: the first row has 5 of 7 numbers; the rest are the built-in ship's\n"),
              std::string::npos);
    EXPECT_FLOAT_EQ(p->location.y, -20);
    EXPECT_FLOAT_EQ(p->reversePower, 0.0005f);
    EXPECT_EQ(p->turnRate, 0);  // written, though not a number: 0 as the table format says
    EXPECT_FLOAT_EQ(p->getHealth(), 1000);
    EXPECT_FLOAT_EQ(p->getRadius(), 25);
}

TEST(ShipData, TableMustReachTheSpawnedShipType)
{
    std::string dir = makeScratchDir();
    ScopedWorkingDir cd(dir);
    {
        OutputCapture capture;
        bool loaded = initializeShipArray();
        EXPECT_EQ(capture.text(), "loading shipdata.txt\nError opening file\n"
                                  "shipdata.txt: cannot open file (No such file or directory)\n");
        EXPECT_FALSE(loaded);
    }
    writeFile(dir, "shipdata.txt", "0 0 0.5 60 30 @Drifter\n");
    {
        OutputCapture capture;
        bool loaded = initializeShipArray();
        EXPECT_NE(capture.text().find("shipdata.txt has no row for ship type 1\n"), std::string::npos);
        EXPECT_FALSE(loaded);
    }
    writeFile(dir, "shipdata.txt", "0 0 0.5 60 30\n1 0.01 0.6 100 50\n");
    OutputCapture capture;
    bool loaded = initializeShipArray();
    capture.text();
    EXPECT_TRUE(loaded);
    ASSERT_EQ(SHIPDATA.size(), 2u);  // loading again replaces the table
    EXPECT_EQ(SHIPDATA[1], (std::vector<float>{1, 0.01f, 0.6f, 100, 50}));
}

TEST(ShipData, BehaviourModeBeyondAnIntIsDriftWithALine)
{
    std::string dir = makeScratchDir();
    writeFile(dir, "shipdata.txt", "3e9 0 0 1 1\n-3e9 0 0 1 1\n2 0 0 1 1\n");
    ScopedWorkingDir cd(dir);
    OutputCapture capture;
    ASSERT_TRUE(initializeShipArray());
    EXPECT_NE(capture.text().find("shipdata.txt: ai -3e+09 of row 1 is no behaviour mode; using 0 (drift)\n"),
              std::string::npos);
    EXPECT_EQ((std::vector<float>{SHIPDATA[0][0], SHIPDATA[1][0], SHIPDATA[2][0]}), (std::vector<float>{0, 0, 2}));
}

// The checker and the tests take the loaders' warnings as records: the file
// they are about and their severity, not a line to be matched.
TEST(LoaderReports, WarningsNameTheirFileAndAMissingFileIsNoWarning)
{
    std::string dir = makeScratchDir();
    writeFile(dir, "shipdata.txt", "3e9 0 0 1 1\nx 0 0 1 1\n");
    writeFile(dir, "playerdata.txt", "1 2 3\n");
    ScopedWorkingDir cd(dir);
    struct Case {
        std::function<void()> load;
        const char* file;
        Severity severity;
        const char* what;
    } cases[] = {
        {[] { initializeShipArray(); }, "shipdata.txt", Severity::Warning,
         "ai 3e+09 of row 0 is no behaviour mode; using 0 (drift)"},
        {[] { initializeShipArray(); }, "shipdata.txt", Severity::Warning,
         "\"x\" at row 1, column 1 is not a number; it reads as 0"},
        {[] { delete initializePlayer(); }, "playerdata.txt", Severity::Warning,
         "the first row has 3 of 7 numbers; the rest are the built-in ship's"},
        {[] {
             std::vector<std::vector<float>> table;
             readData("nothere.txt", 1, table);
         },
         "nothere.txt", Severity::Missing, "cannot open file (No such file or directory)"},
    };
    for (const Case& c : cases) {
        StdoutCapture quiet;
        ReportLog log;
        c.load();
        EXPECT_EQ(quiet.text(), "") << c.what;
        auto found = std::find_if(log.records.begin(), log.records.end(), [&](const Report& r) {
            return r.file == c.file && r.severity == c.severity && r.what == c.what;
        });
        EXPECT_NE(found, log.records.end()) << c.what;
    }
}

namespace {
const char* const oneProjectile = "<projectiles><projectile/></projectiles>";

struct Loaded {
    std::unique_ptr<Universe> universe;
    bool ok = false;
    std::string out;  // the narration
    std::string err;  // the diagnostics
};

Loaded load(const std::string& galaxy, const std::string& projectiles = oneProjectile, lua_State* L = nullptr)
{
    std::string dir = makeScratchDir();
    std::string g = writeFile(dir, "test.xml", galaxy);
    std::string p = writeFile(dir, "projectiles.xml", projectiles);
    Loaded l;
    const std::vector<EmitterTable> shipped = emitters;
    emitters.assign(2, emitterTableOf(10, 1));  // gates naming table 0 or 1 find one
    l.universe = std::make_unique<Universe>(g.c_str(), p.c_str());
    l.universe->worlds.push_back(WorldState());  // as start-up does
    StdoutCapture out;
    StderrCapture err;
    l.ok = initializeStars(*l.universe, L);
    l.out = out.text();
    l.err = err.text();
    emitters = shipped;
    return l;
}

const char* const done = "Done slotting XML into real world data\n";
}  // namespace

TEST(GalaxyLoader, PlanetIdsCountOverTheWholeGalaxyInDocumentOrder)
{
    Loaded l = load(R"(<universe>
      <world>
        <star name="A"><planet name="P0"/><planet name="P1"/></star>
        <star name="B"><planet name="P2"/></star>
      </world>
      <world><star name="C"><planet name="P3"/></star></world>
    </universe>)");
    ASSERT_TRUE(l.ok);
    const Universe& u = *l.universe;
    ASSERT_EQ(u.worlds.size(), 2u);
    EXPECT_EQ(u.planetNames, (std::vector<std::string>{"P0", "P1", "P2", "P3"}));
    EXPECT_EQ(u.worlds[0].stars[0].planets[1].id, 1);
    EXPECT_EQ(u.worlds[0].stars[1].planets[0].id, 2);
    EXPECT_EQ(u.worlds[1].stars[0].planets[0].id, 3);
    EXPECT_EQ(u.worlds[1].stars[0].planets[0].getName(), "P3");
}

TEST(GalaxyLoader, PrintsEachElementAndSkipsWhatItDoesNotKnow)
{
    Loaded l = load(R"(<universe>
      <note/>
      <world>
        <comet/>
        <star name="S"><moon/><planet name="P"/></star>
        <wormhole targetWorld="0"/>
      </world>
    </universe>)",
                    "<projectiles><projectile/><note/></projectiles>");
    EXPECT_EQ(l.out, std::string("note\nNot a world\nworld\n\tstar\nNot a planet\nP\n\twormhole\n") + emitterBuilt +
                         "projectile\nnote\nNot a projectile\n" + done);
    const Universe& u = *l.universe;
    ASSERT_EQ(u.worlds.size(), 1u);  // "note" took no world number
    EXPECT_EQ(u.worlds[0].stars.size(), 1u);
    EXPECT_EQ(u.worlds[0].stars[0].planets.size(), 1u);
    EXPECT_EQ(u.worlds[0].wormholes.size(), 1u);
}

TEST(GalaxyLoader, ReadsEveryAttributeAndMissingOnesAreZero)
{
    Loaded l = load(R"(<universe><world>
      <star/>
      <star xcoord="-5" ycoord="7.5" radius="900" density="0.8" texture="21.9" name="Helion">
        <planet name="Terra" texture="23" initRot="10" rotationalSpeed="0.01" initLoc="90"
                orbitSpeed="0.002" orbitRadius="6000" density="1.1" radius="250"/>
      </star>
      <wormhole xcoord="1" ycoord="2" radius="250" targetWorld="0.9" targetXcoord="-3" targetYcoord="-4"
                emitter="1.7"/>
    </world></universe>)");
    const WorldState& w = l.universe->worlds[0];
    const Star& empty = w.stars[0];
    EXPECT_EQ(empty.location.x, 0);
    EXPECT_EQ(empty.getRadius(), 0);
    EXPECT_EQ(empty.density, 0);
    EXPECT_EQ(empty.getTexture(), 0);
    EXPECT_EQ(empty.getName(), "");

    const Star& star = w.stars[1];
    EXPECT_FLOAT_EQ(star.location.x, -5);
    EXPECT_FLOAT_EQ(star.location.y, 7.5f);
    EXPECT_FLOAT_EQ(star.getRadius(), 900);
    EXPECT_FLOAT_EQ(star.density, 0.8f);
    EXPECT_EQ(star.getTexture(), 21);
    EXPECT_EQ(star.getName(), "Helion");

    const Planet& planet = star.planets[0];
    EXPECT_EQ(planet.texture, 23);
    EXPECT_FLOAT_EQ(planet.rotation, 10);
    EXPECT_FLOAT_EQ(planet.rotationalSpeed, 0.01f);
    EXPECT_FLOAT_EQ(planet.orbitAngle, float(90 * 3.14 / 180));
    EXPECT_FLOAT_EQ(planet.orbitSpeed, float(0.002f * 3.14 / 180));
    EXPECT_FLOAT_EQ(planet.orbitRadius, 6000);
    EXPECT_FLOAT_EQ(planet.density, 1.1f);
    EXPECT_FLOAT_EQ(planet.getRadius(), 250);

    const Wormhole& gate = w.wormholes[0];
    EXPECT_EQ(gate.world, 0);
    EXPECT_FLOAT_EQ(gate.location.y, 2);
    EXPECT_FLOAT_EQ(gate.radius, 250);
    EXPECT_EQ(gate.targetWorld, 0);  // 0.9 cut toward zero
    EXPECT_FLOAT_EQ(gate.target.x, -3);
    EXPECT_FLOAT_EQ(gate.target.y, -4);
    EXPECT_EQ(gate.emitterIndex, 1);
}

TEST(GalaxyLoader, WormholeToAWorldThatDoesNotExistIsNamedOnce)
{
    Loaded l = load(R"(<universe>
      <world><wormhole targetWorld="1"/><wormhole targetWorld="5"/></world>
      <world><wormhole targetWorld="-1"/></world>
    </universe>)");
    EXPECT_TRUE(l.ok);
    EXPECT_EQ(l.out, "world\n\twormhole\n" + emitterBuilt + "\twormhole\n" + emitterBuilt + "world\n\twormhole\n" +
                         emitterBuilt + "projectile\n" + done);
    EXPECT_EQ(l.err, "test.xml: wormhole 1 of world 0 leads to world 5, which does not exist; "
                     "it will not carry the player\n"
                     "test.xml: wormhole 0 of world 1 leads to world -1, which does not exist; "
                     "it will not carry the player\n");
}

TEST(GalaxyLoader, WormholeWhoseEmitterNamesNoTableIsNamedOnceAndDrawsNothing)
{
    Loaded l = load(R"(<universe><world>
      <wormhole targetWorld="0" emitter="1"/><wormhole targetWorld="0" emitter="2"/><wormhole targetWorld="0" emitter="-1"/>
    </world></universe>)");
    EXPECT_TRUE(l.ok);
    const std::string gate = "test.xml: wormhole ";
    EXPECT_NE(l.err.find(gate + "1 of world 0 names emitter 2, but emitterShade2.txt was not read; it draws nothing\n"),
              std::string::npos);
    EXPECT_NE(l.err.find(gate + "2 of world 0 names emitter -1, but emitterShade-1.txt was not read; it draws nothing\n"),
              std::string::npos);
    EXPECT_EQ(l.err.find(gate + "0 of world 0"), std::string::npos);
    const std::vector<Wormhole>& gates = l.universe->worlds[0].wormholes;
    EXPECT_EQ(gates[0].emitter.quadCount(), 10);
    EXPECT_TRUE(gates[1].emitter.table.empty());
    EXPECT_EQ(gates[2].emitter.kind(), -1);
}

// NaN and infinity would stay in the simulation for good (a player warped to NaN,
// a gate that catches from any distance): each is refused with a line naming the
// file and the element, and the attribute reads as if it were absent.
TEST(GalaxyLoader, NonFiniteNumbersAreRefusedWithALineNamingTheElement)
{
    Loaded l = load(R"(<universe><world>
      <star radius="100" density="inf"><planet name="P" orbitRadius="-inf" radius="5"/></star>
      <wormhole radius="nan" targetWorld="nan" targetXcoord="nan" targetYcoord="7"/>
    </world></universe>)",
                    R"(<projectiles><projectile name="Flak" spread="nan" speed="1e39" cooldown="inf"/></projectiles>)");
    expectAllIn(l.err, {
        "test.xml: star 0 of world 0: density=\"inf\" is not a finite number; using 0\n",
        "test.xml: planet 0: orbitRadius=\"-inf\" is not a finite number; using 0\n",
        "test.xml: wormhole 0 of world 0: radius=\"nan\" is not a finite number; using 0\n",
        "test.xml: wormhole 0 of world 0: targetWorld=\"nan\" is not a finite number; using 0\n",
        "test.xml: wormhole 0 of world 0: targetXcoord=\"nan\" is not a finite number; using 0\n",
        "projectiles.xml: projectile 0 \"Flak\": cooldown=\"inf\" is not a finite number; using 1000\n",
        "projectiles.xml: projectile 0 \"Flak\": speed=\"1e39\" is not a finite number; using 100\n",
        "projectiles.xml: projectile 0 \"Flak\": spread=\"nan\" is not a finite number; using 0\n",
    });
    const WorldState& w = l.universe->worlds[0];
    EXPECT_EQ(w.stars[0].density, 0);
    EXPECT_FLOAT_EQ(w.stars[0].radius, 100);
    EXPECT_EQ(w.stars[0].planets[0].orbitRadius, 0);
    EXPECT_EQ(w.wormholes[0].radius, 0);
    EXPECT_EQ(w.wormholes[0].targetWorld, 0);
    EXPECT_EQ(w.wormholes[0].target.x, 0);
    EXPECT_FLOAT_EQ(w.wormholes[0].target.y, 7);
    EXPECT_EQ(WEAPONDATA[0].cooldown, 1000);
    EXPECT_EQ(WEAPONDATA[0].speed, 100);
    EXPECT_EQ(WEAPONDATA[0].spread, 0);
}

TEST(GalaxyLoader, LuaStateReachesEveryWorldEvenWithoutWorldElements)
{
    lua_State* L = luaL_newstate();
    Loaded none = load("<universe/>", oneProjectile, L);
    ASSERT_EQ(none.universe->worlds.size(), 1u);
    EXPECT_EQ(none.universe->worlds[0].luaState, L);
    Loaded two = load("<universe><world/><world/></universe>", oneProjectile, L);
    EXPECT_EQ(two.universe->worlds[1].luaState, L);
    lua_close(L);
}

TEST(GalaxyLoader, MissingRootElementStopsTheLoadWithOneLine)
{
    Loaded l = load("<galaxy><world/></galaxy>");
    EXPECT_FALSE(l.ok);
    EXPECT_EQ(l.err, "test.xml has no <universe> element: there is no galaxy to load\n");
    Loaded p = load("<universe/>", "<weapons/>");
    EXPECT_FALSE(p.ok);
    EXPECT_EQ(p.err, "projectiles.xml has no <projectiles> element: there are no weapons to load\n");
}

namespace {
void expectDefaults(const projectileData& r)
{
    const projectileData d;
    EXPECT_EQ(r.name, "Unnamed");
    EXPECT_EQ(r.cooldown, d.cooldown);
    EXPECT_EQ(r.speed, d.speed);
    EXPECT_EQ(r.lifetime, d.lifetime);
    EXPECT_EQ(r.damage, d.damage);
    EXPECT_EQ(r.homingRange, d.homingRange);
    EXPECT_EQ(r.turnSpeed, 0.0001f);
    EXPECT_EQ(r.texture, d.texture);
    EXPECT_EQ(r.size, d.size);
    EXPECT_EQ(r.trailEffect, -1);
    EXPECT_EQ(r.onDeathEffect, d.onDeathEffect);
    EXPECT_EQ(r.onHitEffect, d.onHitEffect);
    EXPECT_EQ(r.minAngle, d.minAngle);
    EXPECT_EQ(r.maxAngle, 360.0f);
    EXPECT_TRUE(r.grav);
    EXPECT_EQ(r.numProjectiles, 1);
    EXPECT_EQ(r.spread, d.spread);
    EXPECT_TRUE(r.uniformSpread);
}
}  // namespace

TEST(ProjectileLoader, EmptyElementGivesTheDefaults)
{
    Loaded l = load("<universe/>");
    ASSERT_EQ(WEAPONDATA.size(), 1u);
    expectDefaults(WEAPONDATA[0]);
}

TEST(ProjectileLoader, ReadsEveryAttributeConvertingIntegersTowardZero)
{
    load("<universe/>", R"(<projectiles><projectile name="Flak" cooldown="-1.7" speed="2.5" lifetime="3000.9"
        damage="12" homingRange="800" turnSpeed="0.002" texture="2abc" size="6" trailEffect="1" onDeathEffect="1"
        onHitEffect="1" minAngle="-30" maxAngle="30" grav="0" numProjectiles="3.9" spread="15"
        uniformSpread="0"/></projectiles>)");
    ASSERT_EQ(WEAPONDATA.size(), 1u);
    const projectileData& r = WEAPONDATA[0];
    EXPECT_EQ(r.name, "Flak");
    EXPECT_EQ(r.cooldown, -1);
    EXPECT_FLOAT_EQ(r.speed, 2.5f);
    EXPECT_EQ(r.lifetime, 3000);
    EXPECT_FLOAT_EQ(r.damage, 12);
    EXPECT_FLOAT_EQ(r.homingRange, 800);
    EXPECT_FLOAT_EQ(r.turnSpeed, 0.002f);
    EXPECT_EQ(r.texture, 2);
    EXPECT_FLOAT_EQ(r.size, 6);
    EXPECT_EQ(r.trailEffect, 1);
    EXPECT_EQ(r.onDeathEffect, 1);
    EXPECT_EQ(r.onHitEffect, 1);
    EXPECT_FLOAT_EQ(r.minAngle, -30);
    EXPECT_FLOAT_EQ(r.maxAngle, 30);
    EXPECT_FALSE(r.grav);
    EXPECT_EQ(r.numProjectiles, 3);
    EXPECT_FLOAT_EQ(r.spread, 15);
    EXPECT_FALSE(r.uniformSpread);
}

TEST(ProjectileLoader, BooleansAreTrueForAnyNonZeroNumber)
{
    load("<universe/>", R"(<projectiles><projectile grav="0.5"/><projectile grav="-2"/><projectile grav="yes"/>
        <projectile grav="0"/></projectiles>)");
    ASSERT_EQ(WEAPONDATA.size(), 4u);
    EXPECT_TRUE(WEAPONDATA[0].grav);
    EXPECT_TRUE(WEAPONDATA[1].grav);
    EXPECT_FALSE(WEAPONDATA[2].grav);  // not a number: 0
    EXPECT_FALSE(WEAPONDATA[3].grav);
}

TEST(ProjectileLoader, SlotsFollowDocumentOrderPastUnknownElements)
{
    load("<universe/>", R"(<projectiles><projectile name="A"/><note/><projectile name="B" speed="3"/></projectiles>)");
    ASSERT_EQ(WEAPONDATA.size(), 2u);
    EXPECT_EQ(WEAPONDATA[1].name, "B");
    EXPECT_FLOAT_EQ(WEAPONDATA[1].speed, 3);
}

// Values the weapons cannot use are named once at load: an event that does not
// exist, a trigger pull that would allocate without end, a cone past a full turn.
TEST(ProjectileLoader, UnusableValuesAreNamedOnceAndBounded)
{
    struct Case {
        const char* attributes;
        const char* line;
        int shots;
        float spread;
    } cases[] = {
        {R"(onDeathEffect="7")", "onDeathEffect 7 names no event (0 none, 1 shockwave); its shots are removed when it runs", 1, 0},
        {R"(onHitEffect="-1")", "onHitEffect -1 names no event (0 none, 1 shockwave); its shots are removed when it runs", 1, 0},
        {R"(numProjectiles="1e9")", "numProjectiles 1000000000 is more than 100 shots a pull; using 100", 100, 0},
        {R"(numProjectiles="100" spread="1e30")", "spread 1e+30 is wider than a full turn; using 360", 100, 360},
        {R"(spread="-400")", "spread -400 is wider than a full turn; using -360", 1, -360},
        {R"(cooldown="3e9")", "cooldown 3e+09 is beyond a whole number's range; using 2147483647", 1, 0},
    };
    for (const Case& c : cases) {
        Loaded l = load("<universe/>", std::string("<projectiles><projectile name=\"W\" ") + c.attributes +
                                           "/></projectiles>");
        EXPECT_EQ(l.out, std::string("projectile\n") + done);
        EXPECT_EQ(l.err, std::string("projectiles.xml: projectile 0 \"W\": ") + c.line + "\n");
        EXPECT_EQ(WEAPONDATA[0].numProjectiles, c.shots);
        EXPECT_EQ(WEAPONDATA[0].spread, c.spread);
    }
}

namespace {
std::string outline(const std::string* galaxy)
{
    std::string dir = makeScratchDir();
    if (galaxy) writeFile(dir, "test.xml", *galaxy);
    ScopedWorkingDir cd(dir);
    OutputCapture capture;
    testXML();
    return capture.text();
}
}  // namespace

TEST(GalaxyOutline, SixLinesForOneWorldWithAStarAPlanetAndAWormhole)
{
    std::string galaxy = R"(<universe>
      <world>
        <star name="Sol"><planet name="Terra"/></star>
        <wormhole targetWorld="0"/>
      </world>
    </universe>)";
    EXPECT_EQ(outline(&galaxy), " x universe type 1\nworld\n\tstar\n\t\tplanet\n\t\tTerra\n\tNot star\n");
}

TEST(GalaxyOutline, MissingUnreadableOrRootlessFileGivesOneLine)
{
    std::string missing = outline(nullptr);
    EXPECT_EQ(std::count(missing.begin(), missing.end(), '\n'), 1);
    EXPECT_NE(missing.find("test.xml"), std::string::npos);

    std::string broken = "<universe><world>";
    std::string unparsable = outline(&broken);
    EXPECT_EQ(std::count(unparsable.begin(), unparsable.end(), '\n'), 1);

    std::string rootless = "<galaxy/>";
    std::string text = outline(&rootless);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1);
    EXPECT_NE(text.find("universe"), std::string::npos);
}

// The data the game ships with: it must load, and make a galaxy one can play in.
TEST(ShippedData, PlayerAndShipTablesLoad)
{
    Table player;
    TextTable names;
    Table ships;
    StdoutCapture quiet;
    bool playerRead = readData(VUMTAL_ASSETS_DIR "/playerdata.txt", 7, player);
    bool shipsRead = readData(VUMTAL_ASSETS_DIR "/shipdata.txt", 5, ships, names);
    quiet.text();
    ASSERT_TRUE(playerRead && shipsRead);
    ASSERT_GE(player.size(), 1u);
    EXPECT_GT(player[0][2], 0);  // thrust
    EXPECT_FLOAT_EQ(player[0][5], 1000);

    ASSERT_EQ(ships.size(), 4u);
    for (size_t mode = 0; mode < ships.size(); ++mode) {
        EXPECT_EQ(ships[mode][0], float(mode));
        EXPECT_EQ(names[mode].size(), 1u);
    }
}

TEST(ShippedData, GalaxyIsConnectedAndTheStartIsClear)
{
    std::string dir = makeScratchDir();
    std::string projectiles = writeFile(dir, "projectiles.xml", oneProjectile);
    Universe u(VUMTAL_ASSETS_DIR "/test.xml", projectiles.c_str());
    u.worlds.push_back(WorldState());
    OutputCapture capture;
    bool loaded = initializeStars(u, nullptr);
    Table player;
    readData(VUMTAL_ASSETS_DIR "/playerdata.txt", 7, player);
    std::string out = capture.text();
    ASSERT_TRUE(loaded);
    ASSERT_FALSE(player.empty());
    EXPECT_EQ(out.find("does not exist"), std::string::npos);

    ASSERT_GE(u.worlds.size(), 3u);
    const std::set<int> starImages{14, 21, 22}, planetImages{10, 23, 24, 25, 26};
    point start{player[0][0], player[0][1]};
    std::set<int> reached;
    for (const WorldState& world : u.worlds) {
        for (const Star& star : world.stars) {
            EXPECT_TRUE(starImages.count(star.getTexture())) << star.getName();
            for (const Planet& p : star.planets) {
                EXPECT_TRUE(planetImages.count(p.texture)) << p.getName();
                if (&world != &u.worlds[0]) continue;
                point at{std::cos(p.orbitAngle) * p.orbitRadius + star.location.x,
                         std::sin(p.orbitAngle) * p.orbitRadius + star.location.y};
                EXPECT_GT(pointDistance(at, start), p.getRadius() + player[0][6]) << p.getName();
            }
            if (&world == &u.worlds[0]) EXPECT_GT(pointDistance(star.location, start), star.getRadius());
        }
        for (const Wormhole& gate : world.wormholes) reached.insert(gate.targetWorld);
    }
    EXPECT_EQ(reached.size(), u.worlds.size());  // every world can be reached

    // Every planet offers something to trade and something to fit.
    for (const XmlNode* w = u.galaxyRoot->first_node("world"); w; w = w->next_sibling("world"))
        for (const XmlNode* s = w->first_node("star"); s; s = s->next_sibling("star"))
            for (const XmlNode* p = s->first_node("planet"); p; p = p->next_sibling("planet")) {
                const XmlNode* good = p->first_node("tradeGood");
                const XmlNode* kit = p->first_node("equipment");
                ASSERT_TRUE(good && kit) << getVal(p, "name");
                EXPECT_FALSE(getVal(good, "name").empty());
                EXPECT_GT(getValF(kit, "price"), 0);
            }
}

// ---- Emitter tables ---------------------------------------------------------

namespace {
EmitterTable parseTable(const std::string& text)
{
    std::istringstream in(text);
    return readEmitterFile(in);
}

EmitterRow rising(float head0, int heads)  // head numbers then the curve c[j] = j
{
    EmitterRow row(size_t(heads), head0);
    for (int j = 0; j < 100; ++j) row.push_back(float(j));
    return row;
}
}  // namespace

TEST(EmitterTables, LinesBecomeRowsOfTheCurrentBlock)
{
    const struct {
        const char* text;
        EmitterTable table;
    } cases[] = {
        {"#\n1 2 3\n", {{{1, 2, 3}}}},
        {"#\n1 2 3 \n", {{{1, 2, 3}}}},             // a trailing space adds nothing
        {"#\n1  2\n", {{{1, 0, 2}}}},               // an empty piece is 0
        {"#\n 4\n", {{{0, 4}}}},
        {"#\n7\n\n\r\n", {{}}},                     // lines of one character are skipped
        {"#\n5 6\r\n", {{{5, 6}}}},                 // a carriage return stays but reads as nothing
        {"#\n1\t2 x\n", {{{1, 0}}}},                // tabs do not separate; words read 0
        {"9 9\n#a\n1 1\n#b\n#c\n2 2\n", {{{1, 1}}, {}, {{2, 2}}}},  // rows before a block are dropped
        {"", {}},
    };
    for (const auto& c : cases) EXPECT_EQ(parseTable(c.text), c.table) << c.text;
}

TEST(EmitterTables, ExpansionResamplesEachCurveToTheLengthInRowThree)
{
    EmitterBlock block{{1}, {1}, {1}, {10}, rising(2, 2), rising(3, 0), rising(5, 1), {4, 5}, {6}, rising(2, 1)};
    EmitterBlock expanded = expandMatrix(block);
    ASSERT_EQ(expanded.size(), block.size());
    EXPECT_EQ(expanded[3], EmitterRow{10});
    const float step[10] = {0, 9.9f, 19.8f, 29.7f, 39.6f, 49.5f, 59.4f, 69.3f, 79.2f, 89.1f};
    ASSERT_EQ(expanded[4].size(), 12u);  // two heads and ten samples
    ASSERT_EQ(expanded[5].size(), 10u);
    ASSERT_EQ(expanded[6].size(), 11u);
    EXPECT_EQ(expanded[4][1], 2);
    for (int k = 0; k < 10; ++k) {
        EXPECT_NEAR(expanded[4][2 + k], 2 * step[k], 1e-4) << k;   // row 4: scaled by its first number
        EXPECT_NEAR(expanded[5][k], 0, 1e-4) << k;                  // a bare curve's first number is c[0] = 0
        EXPECT_NEAR(expanded[6][1 + k], step[k], 1e-4) << k;        // row 6 is not scaled
        EXPECT_NEAR(expanded[9][1 + k], 2 * step[k], 1e-4) << k;    // row 9 is
    }
    EXPECT_EQ(expanded[7], block[7]);
    EXPECT_EQ(block[4].size(), 102u);  // the argument is untouched
}

TEST(EmitterTables, ExpansionWithoutAUsableLengthKeepsOnlyTheHeads)
{
    EmitterRow curveRow = rising(7, 2);
    EmitterRow shortCurve(50, 1.0f);  // 10 to 99 numbers: no whole curve
    const struct {
        EmitterBlock block;
        size_t row;
    } cases[] = {
        {{{1}, {1}, {1}, {0}, curveRow}, 4},
        {{{1}, {1}, {1}, {-5}, curveRow}, 4},
        {{{1}, {1}, {1}, {}, curveRow}, 4},
        {{{1}, {1}, curveRow}, 2},  // fewer than four rows
    };
    for (const auto& c : cases) EXPECT_EQ(expandMatrix(c.block)[c.row], (EmitterRow{7, 7})) << c.row;
    EXPECT_EQ(expandMatrix({{1}, {1}, {1}, {50}, shortCurve})[4], shortCurve);
}

TEST(EmitterTables, FilesAreReadUpToTheFirstGap)
{
    std::string dir = makeScratchDir();
    writeFile(dir, "emitterShade0.txt", "#\n2 3\n");
    writeFile(dir, "emitterShade1.txt", "#\n4 5\n#\n");
    writeFile(dir, "emitterShade3.txt", "#\n6 7\n");  // after the gap: never read
    ScopedWorkingDir cd(dir);
    OutputCapture capture;
    std::vector<EmitterTable> tables = readAndExpandEmitterData();
    EXPECT_EQ(capture.text(), "Processing emitterShade0.txt\nProcessing emitterShade1.txt\n# emitters:2\n");
    EXPECT_EQ(tables, (std::vector<EmitterTable>{{{{2, 3}}}, {{{4, 5}}, {}}}));

    ScopedWorkingDir empty(makeScratchDir());
    StdoutCapture none;
    EXPECT_TRUE(readAndExpandEmitterData().empty());
    EXPECT_EQ(none.text(), "# emitters:0\nemitterShade0.txt could not be read: the engine flame and the wormholes "
                           "draw nothing\n");

    // A mod's table N+1 follows the data folder's N, a mod's N replaces it, and
    // the mod's table 2 fills the gap before the data folder's 3.
    std::string mod = makeScratchDir();
    writeFile(mod, "emitterShade1.txt", "#\n8 9\n");
    writeFile(mod, "emitterShade2.txt", "#\n1 2\n");
    dataFolders = DataFolders{dir, {mod}};
    ReportLog log;
    tables = readAndExpandEmitterData();
    dataFolders = DataFolders();
    EXPECT_EQ(tables, (std::vector<EmitterTable>{{{{2, 3}}}, {{{8, 9}}}, {{{1, 2}}}, {{{6, 7}}}}));
    ASSERT_GE(log.records.size(), 2u);
    EXPECT_EQ(log.records[1].what, "Processing " + mod + "/emitterShade1.txt");
}

// ---- Shader sources -----------------------------------------------------------

namespace {
const char* const plainVertex = "#version 120\nvoid main() { gl_Position = ftransform(); }\n";
const char* const plainFragment = "#version 120\nvoid main() { gl_FragColor = vec4(1.0); }\n";

struct Built {
    std::vector<unsigned int> programs;
    std::string out;
    std::string err;
};

// Builds the programs of a directory holding the given files.
Built buildShaders(const std::vector<std::pair<std::string, std::string>>& files)
{
    std::string dir = makeScratchDir();
    for (const auto& f : files) writeFile(dir, f.first, f.second);
    ScopedWorkingDir cd(dir);
    Built b;
    StdoutCapture out;
    StderrCapture err;
    b.programs = readShaders();
    b.out = out.text();
    b.err = err.text();
    return b;
}
}  // namespace

TEST(ShaderSources, TheLastCharacterGivesWayToTheTerminator)
{
    std::string dir = makeScratchDir();
    const struct {
        const char* text;
        const char* read;
    } cases[] = {{"abc\n", "abc"}, {"ab}", "ab"}, {"x", ""}, {"", ""}};
    for (const auto& c : cases) {
        std::string path = writeFile(dir, "s.vs", c.text);
        OutputCapture capture;
        char* source = readEmitter(path.c_str());
        EXPECT_EQ(capture.text(), "File '" + path + "' is " + std::to_string(std::strlen(c.text)) + " long\n");
        ASSERT_NE(source, nullptr);
        EXPECT_STREQ(source, c.read);
        std::free(source);
    }
    EXPECT_EQ(readEmitter((dir + "/none.vs").c_str()), nullptr);
}

class Shaders : public GlTest {};

TEST_F(Shaders, ProgramsAreBuiltInFileOrderUpToTheFirstMissingVertexSource)
{
    Built b = buildShaders({{"shader0.vs", plainVertex}, {"shader0.fs", plainFragment},
                            {"shader1.vs", plainVertex}, {"shader1.fs", plainFragment},
                            {"shader2.vs", plainVertex}, {"shader2.fs", plainFragment},
                            {"shader4.vs", plainVertex}, {"shader4.fs", plainFragment}});
    ASSERT_EQ(b.programs.size(), 3u);
    EXPECT_TRUE(b.programs[0] < b.programs[1] && b.programs[1] < b.programs[2]);
    for (unsigned int program : b.programs) EXPECT_TRUE(glIsProgram(program));
    EXPECT_NE(b.out.find("Reading shader 1\n"), std::string::npos);
    EXPECT_NE(b.out.find("Reading shader 3\nShaders read: 3\n"), std::string::npos);
    EXPECT_EQ(b.out.find("result:"), std::string::npos);
    EXPECT_EQ(b.out.find("shader4"), std::string::npos);

    EXPECT_EQ(buildShaders({}).out, "Shaders read: 0\n");
}

TEST_F(Shaders, AMissingOrEmptyHalfLeavesItsProgramUnbuiltAndKeepsTheNumbering)
{
    Built b = buildShaders({{"shader0.vs", plainVertex}, {"shader1.vs", ""}, {"shader1.fs", plainFragment},
                            {"shader2.vs", plainVertex}, {"shader2.fs", plainFragment}});
    ASSERT_EQ(b.programs.size(), 3u);
    EXPECT_EQ(b.programs[0], 0u);
    EXPECT_EQ(b.programs[1], 0u);
    EXPECT_TRUE(glIsProgram(b.programs[2]));
    EXPECT_NE(b.err.find("shader0.fs is missing or empty: program 0 is not built\n"), std::string::npos);
    EXPECT_NE(b.err.find("shader1.vs is missing or empty: program 1 is not built\n"), std::string::npos);
}

TEST_F(Shaders, ShippedShadersBuildWithoutAWord)
{
    ScopedWorkingDir cd(VUMTAL_ASSETS_DIR);
    OutputCapture capture;
    std::vector<unsigned int> programs = readShaders();
    std::string out = capture.text();
    ASSERT_EQ(programs.size(), 3u) << out;
    for (unsigned int program : programs) EXPECT_TRUE(glIsProgram(program));
    EXPECT_EQ(out.find("result:"), std::string::npos) << out;
}

// ---- Hostile data files ---------------------------------------------------------

namespace {

enum class Reader { Xml, Table, Emitters, Shader, Script, Sound };

struct HostileFile {
    const char* name;
    std::function<void(const std::string& path)> make;
    Reader reader;
    const char* said;  // in the one line
};

std::function<void(const std::string&)> holding(std::string text)
{
    return [text](const std::string& path) { writeFile("/", path.substr(1), text); };
}
std::function<void(const std::string&)> linkedTo(const char* target)
{
    return [target](const std::string& path) { ASSERT_EQ(symlink(target, path.c_str()), 0); };
}
std::function<void(const std::string&)> sized(off_t bytes)  // sparse: nothing is written
{
    return [bytes](const std::string& path) { ASSERT_EQ(truncate(writeFile("/", path.substr(1), "").c_str(), bytes), 0); };
}
void fifo(const std::string& path) { ASSERT_EQ(mkfifo(path.c_str(), 0600), 0); }
void folder(const std::string& path) { std::filesystem::create_directory(path); }

std::string repeated(const std::string& piece, int times)
{
    std::string text;
    for (int i = 0; i < times; ++i) text += piece;
    return text;
}

// What hides its depth from a naive scan, then 60,000 open elements.
std::string nested(const std::string& before) { return before + repeated("<a>", 60000); }

std::string sum(int terms) { return "void main() { gl_FragColor = vec4(0.1" + repeated("+0.1", terms - 1) + "); }\n"; }

// The lines the reader said (or the error it gave), when it is done.
std::vector<std::string> readThrough(Reader reader, const std::string& dir, const std::string& path)
{
    ReportLog log;
    std::vector<std::string> lines;
    if (reader == Reader::Xml) {
        XmlBuffer buffer;
        rapidxml::xml_document<char> doc;
        rapidxml::xml_node<char>* root = nullptr;
        std::string error;
        if (!loadXmlDocument(path.c_str(), buffer, doc, "universe", root, error)) lines.push_back(error);
    } else if (reader == Reader::Table) {
        std::vector<std::vector<float>> table;
        readData(path.c_str(), 5, table);
    } else if (reader == Reader::Emitters) {
        ScopedWorkingDir cd(dir);
        readAndExpandEmitterData();
    } else if (reader == Reader::Shader) {
        std::free(readEmitter(path.c_str()));
    } else if (reader == Reader::Script) {
        lua_State* L = newScriptState();
        loadScriptFile(L, path.c_str());
        closeScriptState(L);
    } else {
        dataFolders.data = dir;
        decodeSounds(soundFilesOfDataFolders());
        dataFolders = DataFolders();
        // A refused sound is said when the sounds are bound to a device.
        for (const SoundRefusal& refused : refusedSounds()) lines.push_back(refused.file + ": " + refused.why);
        decodeSounds({});
    }
    for (const Report& record : log.records)
        if (record.severity == Severity::Error || record.severity == Severity::Warning) lines.push_back(reportText(record));
    return lines;
}

long peakKilobytes()
{
    struct rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

}  // namespace

// Each survives, in one line naming the file, quickly and in little memory.
TEST(HostileFiles, EachIsOneLineNamingTheFile)
{
    const HostileFile cases[] = {
        {"test.xml", linkedTo("/proc/self/pagemap"), Reader::Xml, "not a regular file (a kernel file"},
        {"test.xml", fifo, Reader::Xml, "not a regular file (a FIFO)"},
        {"test.xml", folder, Reader::Xml, "not a regular file (a folder)"},
        {"test.xml", sized(17 << 20), Reader::Xml, "larger than the 16 MB"},
        {"test.xml", holding(nested("<? > <!-- ?>")), Reader::Xml, "nested more than 256 levels deep"},
        {"test.xml", holding(nested("<!DOCTYPE x [ > <!-- ]>")), Reader::Xml, "nested more than 256 levels deep"},
        {"test.xml", holding(nested("<b\">")), Reader::Xml, "nested more than 256 levels deep"},
        {"test.xml", holding(nested("<b c='>'><![CDATA[ <!-- ]]>")), Reader::Xml, "nested more than 256 levels deep"},
        {"shipdata.txt", linkedTo("/dev/zero"), Reader::Table, "not a regular file (a character device)"},
        {"shipdata.txt", sized(2 << 20), Reader::Table, "larger than the 1 MB"},
        {"emitterShade0.txt", holding("#\n" + std::string(2000, ' ') + "\n"), Reader::Emitters, "more than 1024 numbers"},
        {"emitterShade0.txt", holding("#\n1.0\n1.0\n1.0\n99999\n" + repeated(repeated("1 ", 100) + "\n", 1000)),
         Reader::Emitters, "expand to more than"},
        {"emitterShade0.txt", holding("#\n" + repeated("1.0\n", 2000)), Reader::Emitters, "more than 1024 rows"},
        {"emitterShade0.txt", fifo, Reader::Emitters, "not a regular file (a FIFO)"},
        {"shader0.fs", holding(sum(10000)), Reader::Shader, "larger than the 16 KB"},
        {"shader0.fs", holding(sum(3000)), Reader::Shader, "more than 1000 operators"},
        {"shader0.fs", holding("void main() { gl_FragColor = vec4" + std::string(100, '(') + "1.0" + std::string(100, ')') + "; }\n"),
         Reader::Shader, "brackets nested more than 64"},
        {"ui.lua", linkedTo("/proc/self/pagemap"), Reader::Script, "not a regular file (a kernel file"},
        {"ui.lua", sized(2 << 20), Reader::Script, "larger than the 1 MB"},
        {"boom.wav", linkedTo("/proc/self/pagemap"), Reader::Sound, "not a regular file (a kernel file"},
        {"boom.wav", sized(65 << 20), Reader::Sound, "larger than the 64 MB"},
    };
    for (const HostileFile& c : cases) {
        const std::string dir = makeScratchDir();
        const std::string path = dir + "/" + c.name;
        c.make(path);
        const long before = peakKilobytes();
        const auto start = std::chrono::steady_clock::now();
        const std::vector<std::string> lines = readThrough(c.reader, dir, path);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        ASSERT_EQ(lines.size(), 1u) << c.name << " " << c.said << ": " << ::testing::PrintToString(lines);
        EXPECT_NE(lines[0].find(c.name), std::string::npos) << lines[0];
        EXPECT_NE(lines[0].find(c.said), std::string::npos) << lines[0];
        EXPECT_LT(seconds, 2.0) << lines[0];
        EXPECT_LT(peakKilobytes() - before, 256 << 10) << lines[0];  // the caps are 64 MB at most
    }
}

// The wormholes share their table: one copy however many there are, and a
// changed table is taken up.
TEST(HostileFiles, WormholesShareTheirEmitterTable)
{
    TablesGuard guard;
    emitters = {emitterTableOf(4, 1), emitterTableOf(5, 1)};
    ReportLog quiet;
    const Wormhole a(0, point{0, 0}, 50, 0, point{0, 0}, 1), b(0, point{9, 9}, 50, 0, point{0, 0}, 1);
    const Wormhole copy = a;
    EXPECT_EQ(a.emitter.table.shared, b.emitter.table.shared);
    EXPECT_EQ(copy.emitter.table.shared, a.emitter.table.shared);
    EXPECT_EQ(a.emitter.quadCount(), 5);
    emitters[1] = emitterTableOf(6, 1);
    EXPECT_EQ(Wormhole(0, point{0, 0}, 50, 0, point{0, 0}, 1).emitter.quadCount(), 6);
    EXPECT_TRUE(Wormhole(0, point{0, 0}, 50, 0, point{0, 0}, 7).emitter.table.empty());
}
