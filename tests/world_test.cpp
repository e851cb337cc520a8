// The world model: ship ids, world copies and loading the two XML documents.
#include <gtest/gtest.h>

#include "entities/worldState.h"
#include "entities/player.h"
#include "entities/timerClasses.h"
#include "support/testFiles.h"

TEST(WorldModel, ShipIdsCountFromOnePerWorld)
{
    WorldState a, b;
    EXPECT_EQ(a.getNewShipID(), 1);
    EXPECT_EQ(a.getNewShipID(), 2);
    EXPECT_EQ(a.getNewShipID(), 3);
    EXPECT_EQ(b.getNewShipID(), 1);
}

TEST(WorldModel, CopyDuplicatesBodiesAndTimedEvents)
{
    WorldState world;
    world.stars.push_back(Star(point{1, 2}, 100, 1, 14, "Sol"));
    world.wormholes.push_back(Wormhole(0, point{5, 5}, 50, 1, point{0, 0}, 1));
    world.timers.emplace_back(std::make_unique<TExplosion>(0, 1000, point{0, 0}));

    WorldState copy = world;
    copy.wormholes[0].radius = 999;
    copy.stars[0].radius = 1;
    EXPECT_FLOAT_EQ(world.wormholes[0].radius, 50);
    EXPECT_FLOAT_EQ(world.stars[0].radius, 100);
    ASSERT_EQ(copy.timers.size(), 1u);
    EXPECT_NE(copy.timers.front().get(), world.timers.front().get());  // a world's events are its own
    auto* copied = dynamic_cast<TExplosion*>(copy.timers.front().get());
    ASSERT_NE(copied, nullptr);
    EXPECT_EQ(copied->duration, 1000);
}

class UniverseLoading : public ::testing::Test {
protected:
    std::string dir = makeScratchDir();
    std::string galaxy(const std::string& text) { return writeFile(dir, "test.xml", text); }
    std::string weapons(const std::string& text) { return writeFile(dir, "projectiles.xml", text); }
};

TEST_F(UniverseLoading, FindsBothRootsAndStartsWithNoWorlds)
{
    Universe universe(galaxy("<universe><world/></universe>").c_str(),
                      weapons("<projectiles><projectile/></projectiles>").c_str());
    EXPECT_TRUE(universe.loadError.empty()) << universe.loadError;
    ASSERT_NE(universe.galaxyRoot, nullptr);
    ASSERT_NE(universe.projectileRoot, nullptr);
    EXPECT_STREQ(universe.galaxyRoot->first_node()->name(), "world");
    EXPECT_TRUE(universe.worlds.empty());
}

TEST_F(UniverseLoading, DefaultConstructorReadsTheWorkingDirectory)
{
    galaxy("<universe/>");
    weapons("<projectiles/>");
    ScopedWorkingDir in(dir);
    Universe universe;
    EXPECT_TRUE(universe.loadError.empty()) << universe.loadError;
}

TEST_F(UniverseLoading, MissingFileIsOneLineNamingIt)
{
    Universe universe((dir + "/nothing.xml").c_str(), weapons("<projectiles/>").c_str());
    EXPECT_EQ(universe.loadError, dir + "/nothing.xml: cannot open file");
    EXPECT_EQ(universe.galaxyRoot, nullptr);
}

TEST_F(UniverseLoading, ParseErrorCarriesTheLibraryMessage)
{
    Universe universe(galaxy("<universe><world></universe>").c_str(), weapons("<projectiles/>").c_str());
    EXPECT_NE(universe.loadError.find("test.xml: "), std::string::npos);
    EXPECT_NE(universe.loadError.find("expected"), std::string::npos) << universe.loadError;
    EXPECT_EQ(universe.loadError.find('\n'), std::string::npos);
}

TEST_F(UniverseLoading, WrongProjectileRootKeepsTheGalaxy)
{
    Universe universe(galaxy("<universe/>").c_str(), weapons("<weapons/>").c_str());
    EXPECT_NE(universe.galaxyRoot, nullptr);
    EXPECT_EQ(universe.projectileRoot, nullptr);
    EXPECT_EQ(universe.loadError, dir + "/projectiles.xml: no <projectiles> root element");
}

TEST_F(UniverseLoading, EmptyFileIsReportedNotCrashed)
{
    Universe universe(galaxy("").c_str(), weapons("<projectiles/>").c_str());
    EXPECT_EQ(universe.loadError, dir + "/test.xml: no <universe> root element");
}

namespace {
std::string nested(int depth, const std::string& open, const std::string& close)
{
    std::string text;
    for (int i = 0; i < depth; ++i) text += open;
    for (int i = 0; i < depth; ++i) text += close;
    return text;
}
}  // namespace

// The parser recurses once per level: a hostile depth is refused before parsing,
// in either document, while comments, quoted '>' and empty elements count nothing.
TEST_F(UniverseLoading, NestingBeyondTheBoundIsOneLineNotACrash)
{
    const std::string deep = nested(100000, "<a>", "</a>");
    const std::string flatNoise = "<!-- <a><a> --><x v='>' w=\"/>\"/>" + nested(300, "<e/>", "");
    struct Case {
        std::string galaxy, projectiles, error;
    } cases[] = {
        {"<universe>" + deep + "</universe>", "<projectiles/>", "test.xml: elements nested more than 256 levels deep"},
        {"<universe/>", "<projectiles>" + deep + "</projectiles>",
         "projectiles.xml: elements nested more than 256 levels deep"},
        {"<universe>" + nested(255, "<a>", "</a>") + flatNoise + "</universe>", "<projectiles/>", ""},
    };
    for (const Case& c : cases) {
        Universe universe(galaxy(c.galaxy).c_str(), weapons(c.projectiles).c_str());
        EXPECT_EQ(universe.loadError, c.error.empty() ? "" : dir + "/" + c.error);
    }
}

#ifndef NDEBUG
// Only a wormhole or start-up changes the player's world, and both keep it valid;
// anything else that breaks this is caught where the world is looked up.
TEST(WorldModelDeathTest, CurrentWorldAssertsTheIndexNamesAWorld)
{
    Universe universe("/nonexistent/test.xml", "/nonexistent/projectiles.xml");
    universe.worlds.push_back(WorldState());
    Player player(point{0, 0});
    universe.player = &player;
    EXPECT_EQ(&universe.currentWorld(), &universe.worlds[0]);
    player.warpWorld(1);
    EXPECT_DEATH(universe.currentWorld(), "worlds.size");
}
#endif
