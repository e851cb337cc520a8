// The per-frame drivers and the wormholes they run: capture, the arming rule,
// warping between and within worlds, and gates that lead nowhere.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "entities/worldState.h"
#include "data/defaultVals.h"
#include "world/loadGalaxy.h"
#include "entities/player.h"
#include "sim/frameProcessing.h"
#include "sim/listWalk.h"
#include "world/loadPlayer.h"
#include "support/testFiles.h"

namespace {
// Three empty worlds (none of them loaded from a file) and a player in world 0.
struct Galaxy {
    Universe universe{"/nonexistent/test.xml", "/nonexistent/projectiles.xml"};
    Player player{point{0, 0}};
    Galaxy()
    {
        universe.worlds.resize(3);
        universe.player = &player;
        if (WEAPONDATA.empty()) WEAPONDATA.push_back(projectileData());
        while (SHIPDATA.size() < 2) SHIPDATA.push_back(std::vector<float>{0, 0, -1, 100, 10});
    }
    WorldState& world(int i) { return universe.worlds[size_t(i)]; }
    void addGate(int from, point at, float radius, int to, point target)
    {
        world(from).wormholes.push_back(Wormhole(from, at, radius, to, target, 1));
    }
    void addShots(int w, int count)
    {
        for (int i = 0; i < count; ++i)
            world(w).projectiles.push_back(Projectile(point{float(i), 0}, 0, world(w), 0, 0, 0));
    }
    // One frame as the loop runs it: the player's flight, then the wormholes.
    void frame()
    {
        player.fly(16, FlightKeys());
        processWormholes(universe, 10000);
    }
};
}  // namespace

TEST(Wormholes, PlayerOnTheRimIsCarriedToTheTargetAndTheWorldLeftLosesItsShots)
{
    Galaxy g;
    g.addGate(0, point{100, 0}, 50, 2, point{-700, 800});
    g.addShots(0, 3);
    g.addShots(2, 1);
    g.world(0).ships.push_back(Ship(point{9, 9}, 1, 1));
    g.player.location = point{150, 0};  // exactly one radius away
    g.player.setVelocity(point{0.3f, -0.2f});
    g.player.setAngle(1.0f);
    processWormholes(g.universe, 10000);
    EXPECT_EQ(g.player.getWorld(), 2);
    EXPECT_FLOAT_EQ(g.player.location.x, -700);
    EXPECT_FLOAT_EQ(g.player.location.y, 800);
    EXPECT_FLOAT_EQ(g.player.velocity.x, 0.3f);
    EXPECT_FLOAT_EQ(g.player.angle, 1.0f);
    EXPECT_FALSE(g.player.warpReady);
    EXPECT_TRUE(g.world(0).projectiles.empty());
    EXPECT_EQ(g.world(0).ships.size(), 1u);
    EXPECT_EQ(g.world(2).projectiles.size(), 1u);
    EXPECT_EQ(g.world(0).wormholes.size(), 1u);  // the stored gate is untouched
}

TEST(Wormholes, StepLeavesTheSwirlAtItsStoredClock)
{
    // The frame shows a copy run on to the frame time; the step itself keeps nothing of it.
    Galaxy g;
    g.addGate(0, point{5000, 0}, 50, 1, point{0, 0});
    const Wormhole& stored = g.world(0).wormholes[0];
    for (int now : {10000, 10016, 10032}) processWormholes(g.universe, now);
    EXPECT_EQ(stored.emitter.time, 0);
    EXPECT_FLOAT_EQ(stored.emitter.position.x, 0);
}

TEST(Wormholes, PlayerJustOutsideTheRadiusStays)
{
    Galaxy g;
    g.addGate(0, point{100, 0}, 50, 1, point{0, 0});
    g.player.location = point{150.01f, 0};
    g.frame();
    EXPECT_EQ(g.player.getWorld(), 0);
    EXPECT_TRUE(g.player.outsideWormholes);
}

TEST(Wormholes, ArrivingInsideAGateDoesNotBounceBackUntilTheShipHasLeftIt)
{
    Galaxy g;
    g.addGate(0, point{0, 0}, 100, 1, point{5000, 0});
    g.addGate(1, point{5000, 0}, 100, 0, point{0, 0});  // the arrival point is inside this one
    g.frame();
    ASSERT_EQ(g.player.getWorld(), 1);
    g.frame();
    g.frame();
    EXPECT_EQ(g.player.getWorld(), 1);  // still sitting in the arrival gate

    g.player.location = point{5300, 0};
    g.frame();  // the first frame outside re-arms only on the next update
    EXPECT_FALSE(g.player.warpReady);
    g.player.location = point{5000, 50};
    g.frame();
    EXPECT_EQ(g.player.getWorld(), 0);
}

TEST(Wormholes, OfOverlappingGatesOnlyTheFirstCarriesThePlayer)
{
    Galaxy g;
    g.addGate(0, point{0, 0}, 100, 1, point{1, 1});
    g.addGate(0, point{10, 0}, 100, 2, point{2, 2});
    g.frame();
    EXPECT_EQ(g.player.getWorld(), 1);
    EXPECT_FLOAT_EQ(g.player.location.x, 1);
}

TEST(Wormholes, GateWithinItsOwnWorldMovesThePlayerAndClearsThatWorldsShots)
{
    Galaxy g;
    g.addGate(0, point{0, 0}, 100, 0, point{-9000, 9000});
    g.addShots(0, 2);
    g.frame();
    EXPECT_EQ(g.player.getWorld(), 0);
    EXPECT_FLOAT_EQ(g.player.location.x, -9000);
    EXPECT_TRUE(g.world(0).projectiles.empty());
}

TEST(Wormholes, GateToAWorldThatDoesNotExistNeverWarps)
{
    Galaxy g;
    g.addGate(0, point{0, 0}, 100, 3, point{7, 7});
    g.addGate(0, point{0, 0}, 100, -1, point{7, 7});
    g.addShots(0, 2);
    g.frame();
    g.frame();
    EXPECT_EQ(g.player.getWorld(), 0);
    EXPECT_FLOAT_EQ(g.player.location.x, 0);
    EXPECT_TRUE(g.player.warpReady);  // nothing used it up
    EXPECT_FALSE(g.player.outsideWormholes);
    EXPECT_EQ(g.world(0).projectiles.size(), 2u);
}

TEST(Wormholes, OnlyTheCurrentWorldsGatesRun)
{
    Galaxy g;
    g.addGate(1, point{0, 0}, 100, 2, point{7, 7});
    g.frame();
    EXPECT_EQ(g.player.getWorld(), 0);

    g.player.world = 17;  // a script may write any number here
    processWormholes(g.universe, 0);
    EXPECT_EQ(g.player.world, 17);
}

TEST(FrameProcessing, StarsOfTheWorldAllActOnThePlayer)
{
    Galaxy g;
    g.world(0).stars.push_back(Star(point{-1000, 0}, 100, 2, 14, "A"));
    g.world(0).stars.push_back(Star(point{1000, 0}, 100, 1.5f, 21, "B"));
    processStars(g.world(0), &g.player, 16);
    EXPECT_LT(g.player.velocity.x, 0);  // the denser star wins
    EXPECT_FLOAT_EQ(g.player.velocity.x, -gravityKick(100, 2, 1000, 16) + gravityKick(100, 1.5f, 1000, 16));
}

TEST(FrameProcessing, PruningWalkRemovesAtOnceAndVisitsWhatIsAppended)
{
    std::list<int> items{1, 2, 3, 4};
    std::vector<int> visited;
    stepAndPrune(items, [&](int& v) {
        visited.push_back(v);
        if (v == 1) items.push_back(10);
        return v % 2 == 0;
    });
    EXPECT_EQ(visited, (std::vector<int>{1, 2, 3, 4, 10}));
    EXPECT_EQ(items, (std::list<int>{2, 4, 10}));

    std::list<int> last{2, 5};
    stepAndPrune(last, [](int& v) { return v != 5; });
    EXPECT_EQ(last, (std::list<int>{2}));
}

namespace {
// The shipped galaxy with the shipped player, flown frame by frame as the loop does.
struct ShippedFlight {
    std::unique_ptr<Universe> universe;
    std::unique_ptr<Player> player;
    int now = 0;
    ShippedFlight()
    {
        std::string dir = makeScratchDir();
        std::string projectiles = writeFile(dir, "projectiles.xml", "<projectiles><projectile/></projectiles>");
        universe = std::make_unique<Universe>(VUMTAL_ASSETS_DIR "/test.xml", projectiles.c_str());
        universe->worlds.push_back(WorldState());
        ScopedWorkingDir cd(VUMTAL_ASSETS_DIR);
        StdoutCapture quiet;
        initializeStars(*universe, nullptr);
        player.reset(initializePlayer());
        universe->player = player.get();
    }
    // Flies with the keys until done() or the time runs out; false on timeout.
    template <class Keys, class Done>
    bool fly(int milliseconds, Keys keysAt, Done done)
    {
        for (int t = 0; t < milliseconds; t += 16) {
            now += 16;
            player->fly(16, keysAt(t));
            processWormholes(*universe, now);
            processStars(universe->currentWorld(), player.get(), 16);
            if (done()) return true;
        }
        return false;
    }
};
FlightKeys holding(bool thrust, bool reverse)
{
    FlightKeys k;
    k.thrust = thrust;
    k.reverse = reverse;
    return k;
}
}  // namespace

TEST(ShippedGalaxy, LeftAloneTheShipStaysAtTheStart)
{
    ShippedFlight f;
    point start = f.player->location;
    f.fly(5000, [](int) { return FlightKeys(); }, [] { return false; });
    EXPECT_EQ(f.player->location.x, start.x);
    EXPECT_EQ(f.player->location.y, start.y);
}

TEST(ShippedGalaxy, OneSecondOfThrustCarriesTheShipIntoTheWormholeToWorldOne)
{
    ShippedFlight f;
    bool warped = f.fly(10000, [](int t) { return holding(t < 1000, false); },
                        [&] { return f.player->getWorld() == 1; });
    EXPECT_TRUE(warped);
    EXPECT_FLOAT_EQ(f.player->location.y, 5900);
}

TEST(ShippedGalaxy, HalfASecondOfReverseDriftsTheShipOntoTerraSoftly)
{
    ShippedFlight f;
    bool landed = f.fly(30000, [](int t) { return holding(false, t < 500); }, [&] { return f.player->isLanded(); });
    ASSERT_TRUE(landed);
    EXPECT_EQ(f.universe->planetNames[size_t(f.player->planetId)], "Terra");
    EXPECT_FLOAT_EQ(f.player->getHealth(), 1000);
}
