// Timed events: the world's timer list, explosions and shockwaves.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "entities/worldState.h"
#include "data/defaultVals.h"
#include "entities/projectile.h"
#include "entities/ship.h"
#include "entities/timerClasses.h"
#include "support/dataTables.h"
#include "support/glFixture.h"
#include "support/testFiles.h"
#include "support/worlds.h"

namespace {

// Records each run and its own destruction in a shared log.
class LoggingTimer : public TimerBase {
public:
    LoggingTimer(std::string name, int start, int end, std::vector<std::string>& log)
        : name(std::move(name)), log(log)
    {
        startTime = start;
        endTime = end;
    }
    ~LoggingTimer() override { log.push_back("~" + name); }
    void execute(int now, WorldState&) override { log.push_back(name + "@" + std::to_string(now)); }
    std::unique_ptr<TimerBase> clone() const override { return std::make_unique<LoggingTimer>(*this); }

    std::string name;
    std::vector<std::string>& log;
};

class Timers : public ::testing::Test {
protected:
    void SetUp() override
    {
        WEAPONDATA.assign(3, projectileData{});
        WEAPONDATA[2].damage = 0.3f;
        SHIPDATA = {{0, 0, -1, 100, 0}};
    }
    void TearDown() override { deleteTimers(world); }
    // For addTimer, which takes ownership.
    LoggingTimer* timer(const std::string& name, int start, int end)
    {
        return new LoggingTimer(name, start, end, log);
    }
    std::vector<std::string> names() const
    {
        std::vector<std::string> out;
        for (const OwnedTimer& t : world.timers) out.push_back(static_cast<LoggingTimer*>(t.get())->name);
        return out;
    }
    Ship& addShip(point at)
    {
        world.ships.push_back(Ship(at, 0, unsigned(world.getNewShipID())));
        return world.ships.back();
    }

    TablesGuard guard;
    WorldState world;
    std::vector<std::string> log;
};

using Log = std::vector<std::string>;

TEST_F(Timers, AddTimerKeepsStartTimeOrderWithImmediateOnesInFront)
{
    addTimer(timer("b300", 300, 0), world);
    addTimer(timer("a100", 100, 0), world);
    addTimer(timer("now1", 0, 0), world);
    addTimer(timer("c200", 200, 0), world);
    addTimer(timer("d200", 200, 0), world);  // before the equal one already there
    addTimer(timer("now2", 0, 0), world);
    addTimer(timer("e900", 900, 0), world);
    EXPECT_EQ(names(), (Log{"now2", "now1", "a100", "d200", "c200", "b300", "e900"}));
}

TEST_F(Timers, RunStopsAtTheFirstTimerStillToStartAndNeedsNowPastStart)
{
    runTimer(1000, world);  // an empty list is fine
    for (LoggingTimer* t : {timer("a", 100, 0), timer("b", 200, 0), timer("c", 500, 0), timer("d", 0, 0)})
        world.timers.emplace_back(t);
    runTimer(200, world);
    EXPECT_EQ(log, (Log{"a@200"}));  // b starts at 200 exactly: not yet; c stops the walk before d
    log.clear();
    runTimer(501, world);
    EXPECT_EQ(log, (Log{"a@501", "b@501", "c@501", "d@501"}));
}

TEST_F(Timers, FinishedTimersAreDeletedAndTheRestStillRun)
{
    for (LoggingTimer* t : {timer("a", 0, 50), timer("b", 0, 60), timer("c", 0, 0), timer("d", 0, 100)})
        world.timers.emplace_back(t);
    runTimer(100, world);  // d ends at 100 exactly: still runs
    EXPECT_EQ(log, (Log{"~a", "~b", "c@100", "d@100"}));
    EXPECT_EQ(names(), (Log{"c", "d"}));
    log.clear();
    runTimer(101, world);
    EXPECT_EQ(log, (Log{"c@101", "~d"}));
    EXPECT_EQ(names(), (Log{"c"}));
}

TEST_F(Timers, StandardExplosionAppendsAOneSecondExplosion)
{
    addTimer(timer("first", 0, 0), world);
    standardExplosion(point{10, 20}, world, 5000);
    ASSERT_EQ(world.timers.size(), 2u);
    auto* explosion = dynamic_cast<TExplosion*>(world.timers.back().get());
    ASSERT_NE(explosion, nullptr);
    EXPECT_EQ(explosion->begin, 5000);
    EXPECT_EQ(explosion->duration, 1000);
    EXPECT_EQ(explosion->startTime, 0);
    EXPECT_EQ(explosion->endTime, 6000);
    EXPECT_EQ(explosion->size, 50.0f);
    EXPECT_EQ(explosion->location.y, 20);

    runTimer(6000, world);
    EXPECT_EQ(world.timers.size(), 2u);
    runTimer(6001, world);
    EXPECT_EQ(world.timers.size(), 1u);
}

TEST_F(Timers, ShockwaveDamagesShipsInsideItsRadiusByStepTimesSlotTwoDamage)
{
    // Radius: (elapsed * 200 / 2000, in integers) * 1.56, so 90 at 584 ms and 93 at 600 ms.
    Ship& target = addShip(point{90, 0});
    Ship& outside = addShip(point{0, 500});
    TShockwave wave(200, 1000, 2000, point{0, 0});
    EXPECT_GE(wave.rotation, 0);
    EXPECT_LT(wave.rotation, 360);
    StdoutCapture out;
    wave.execute(1584, world);
    EXPECT_EQ(target.health, 100);
    wave.execute(1600, world);
    EXPECT_FLOAT_EQ(target.health, 100 - 16 * 0.3f);
    wave.execute(1610, world);
    EXPECT_FLOAT_EQ(target.health, 100 - 16 * 0.3f - 10 * 0.3f);
    EXPECT_EQ(outside.health, 100);
    EXPECT_EQ(out.text(), "Triggered\nTriggered\nTriggered\n");
}

TEST_F(Timers, ShockwaveWithoutASlotTwoRecordDoesNoDamage)
{
    WEAPONDATA.resize(2);
    Ship& ship = addShip(point{10, 0});
    TShockwave wave(200, 1000, 2000, point{0, 0});
    StdoutCapture out;
    wave.execute(2000, world);
    EXPECT_EQ(ship.health, 100);
    EXPECT_EQ(out.text(), "Triggered\n");
}

TEST_F(Timers, EachRunningShockwavePrintsTriggeredEveryFrame)
{
    {
        StdoutCapture fired;
        projectileEvent(world, point{0, 0}, 1, 1000);
        projectileEvent(world, point{500, 0}, 1, 1010);
        EXPECT_EQ(fired.text(), "Shockwave fired\nShockwave fired\n");
    }
    ASSERT_EQ(world.timers.size(), 2u);
    EXPECT_EQ(world.timers.front()->endTime, 3010);  // the later one went to the front
    StdoutCapture out;
    runTimer(1100, world);
    runTimer(1116, world);
    runTimer(3005, world);  // the first has ended
    EXPECT_EQ(out.text(), "Triggered\nTriggered\nTriggered\nTriggered\nTriggered\n");
    EXPECT_EQ(world.timers.size(), 1u);
}

// ---- Drawing ------------------------------------------------------------------

class TimerDrawing : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        if (IsSkipped()) return;
        pixelProjection();
    }
    void TearDown() override { deleteTimers(world); }
    TablesGuard guard;
    WorldState world;
};

TEST_F(TimerDrawing, ExplosionDrawsAtItsLocationAndShrinksAway)
{
    standardExplosion(point{640, 512}, world, 5000);
    runTimer(5500, world);  // half-size 25
    drawTimers(world, 5500);
    EXPECT_GT(litPixels(630, 502, 20, 20), 350);
    EXPECT_EQ(litPixels(680, 500, 20, 24), 0);
    glClear(GL_COLOR_BUFFER_BIT);
    runTimer(5990, world);  // half-size 0.5
    drawTimers(world, 5990);
    EXPECT_LT(litPixels(630, 502, 20, 20), 10);
}

TEST_F(TimerDrawing, ShockwaveDrawsAGrowingRedSquare)
{
    WEAPONDATA.assign(3, projectileData{});
    TShockwave wave(200, 1000, 2000, point{300, 300});
    wave.rotation = 0;
    StdoutCapture quiet;
    wave.draw(2000);  // radius 156
    auto centre = pixelAt(300, 300);
    EXPECT_GT(centre[0], 200);
    EXPECT_EQ(centre[1], 0);
    EXPECT_GT(litPixels(440, 290, 10, 20), 150);
    EXPECT_EQ(litPixels(470, 290, 10, 20), 0);
}

}  // namespace
