// Weapons, projectiles and enemy ships.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include <rapidxml.hpp>

#include "entities/worldState.h"
#include "data/defaultVals.h"
#include "entities/player.h"
#include "entities/projectile.h"
#include "entities/ship.h"
#include "entities/star.h"
#include "entities/timerClasses.h"
#include "support/dataTables.h"
#include "support/glFixture.h"
#include "support/testFiles.h"
#include "support/worlds.h"

namespace {

// Seven plain slots; tests reshape the ones they use.
void plainWeapons()
{
    WEAPONDATA.assign(7, projectileData{});
    for (projectileData& w : WEAPONDATA) {
        w.speed = 1;
        w.cooldown = 100;
    }
    WEAPONDATA[1].damage = 0.5f;  // the beam, per ms
}

// Row k is ship type k: drift, pursue, flee, hold distance.
void plainShips()
{
    SHIPDATA = {{0, 0.01f, -1, 100, 7}, {1, 0.01f, -1, 100, 7}, {2, 0.01f, -1, 100, 7}, {3, 0.01f, -1, 100, 7}};
}

// The compass direction of a projectile's velocity, in degrees.
float compassOf(const Projectile& p) { return std::atan2(p.velocity.x, p.velocity.y) / 0.017444f; }

class Combat : public ::testing::Test {
protected:
    void SetUp() override
    {
        plainWeapons();
        plainShips();
        std::srand(7);
    }
    void TearDown() override { deleteTimers(world); }

    Ship& addShip(point at, int type = 0)
    {
        world.ships.push_back(Ship(at, type, unsigned(world.getNewShipID())));
        return world.ships.back();
    }

    TablesGuard guard;
    WorldState world;
    Player player{point{0, 0}};
};

// ---- Weapons ---------------------------------------------------------------

TEST_F(Combat, EvenFanSpreadsAroundTheAim)
{
    WEAPONDATA[0].numProjectiles = 5;
    WEAPONDATA[0].spread = 40;
    player.shoot(1000, world, point{1000, 0}, 16);  // compass 90
    ASSERT_EQ(world.projectiles.size(), 5u);
    std::vector<float> expected = {110, 100, 90, 80, 70};  // inserted at the front
    size_t i = 0;
    for (const Projectile& p : world.projectiles) {
        Projectile reference(point{0, 0}, expected[i++], world, 0, 0, 0);
        EXPECT_FLOAT_EQ(p.velocity.x, reference.velocity.x);
        EXPECT_FLOAT_EQ(p.velocity.y, reference.velocity.y);
    }
}

TEST_F(Combat, RandomConesStayWithinHalfTheSpread)
{
    WEAPONDATA[0].numProjectiles = 6;
    WEAPONDATA[0].spread = 20;
    WEAPONDATA[0].uniformSpread = false;
    WEAPONDATA[2].spread = 10;  // a fan of one is random too
    for (int shot = 0; shot < 50; ++shot) {
        player.weapon = 0;
        player.shoot(1000 + 200 * shot, world, point{1000, 0}, 16);
        player.weapon = 2;
        player.shoot(1000 + 200 * shot, world, point{1000, 0}, 16);
    }
    ASSERT_EQ(world.projectiles.size(), 50u * 7);
    bool varied = false;
    for (const Projectile& p : world.projectiles) {
        float half = p.type == 0 ? 10 : 5;
        EXPECT_GE(compassOf(p), 90 - half - 0.001f);
        EXPECT_LT(compassOf(p), 90 + half);
        if (std::fabs(compassOf(p) - 90) > 0.5f) varied = true;
    }
    EXPECT_TRUE(varied);
}

TEST_F(Combat, ConeNarrowerThanOneStepFiresAlongTheAim)
{
    WEAPONDATA[0].spread = 0.01f;
    WEAPONDATA[0].uniformSpread = false;
    player.shoot(1000, world, point{1000, 0}, 16);
    ASSERT_EQ(world.projectiles.size(), 1u);
    Projectile reference(point{0, 0}, 90, world, 0, 0, 0);
    EXPECT_FLOAT_EQ(world.projectiles.front().velocity.x, reference.velocity.x);
    EXPECT_FLOAT_EQ(world.projectiles.front().velocity.y, reference.velocity.y);
}

TEST_F(Combat, CooldownFiresOnTheFirstFrameBeyondIt)
{
    WEAPONDATA[0].cooldown = 250;
    std::vector<unsigned> fired;
    for (unsigned now = 1000; now < 1600; now += 16) {
        size_t before = world.projectiles.size();
        player.shoot(now, world, point{1000, 0}, 16);
        if (world.projectiles.size() > before) fired.push_back(now);
    }
    EXPECT_EQ(fired, (std::vector<unsigned>{1000, 1256, 1512}));

    player.weaponReadyTime[0] = 2000;
    player.shoot(2000, world, point{1000, 0}, 16);
    EXPECT_EQ(world.projectiles.size(), 3u);
    player.shoot(2001, world, point{1000, 0}, 16);
    EXPECT_EQ(world.projectiles.size(), 4u);
}

TEST_F(Combat, ShotsInheritTheShipsVelocity)
{
    player.velocity = point{0.5f, -0.25f};
    player.shoot(1000, world, point{1000, 0}, 16);
    Projectile still(point{0, 0}, 90, world, 0, 0, 0);
    EXPECT_FLOAT_EQ(world.projectiles.front().velocity.x, still.velocity.x + 0.5f);
    EXPECT_FLOAT_EQ(world.projectiles.front().velocity.y, still.velocity.y - 0.25f);
}

TEST_F(Combat, DirectionLimitsAreAbsoluteAndMayWrapThroughZero)
{
    auto fires = [&](float minAngle, float maxAngle, point target) {
        WEAPONDATA[0].minAngle = minAngle;
        WEAPONDATA[0].maxAngle = maxAngle;
        player.weaponReadyTime.clear();
        size_t before = world.projectiles.size();
        player.shoot(1000, world, target, 16);
        return world.projectiles.size() > before;
    };
    const point up{0, 1000}, diagonal{1000, 1000}, down{0, -1000}, right{1000, 0};
    EXPECT_FALSE(fires(90, 270, up));
    EXPECT_TRUE(fires(90, 270, down));
    EXPECT_TRUE(fires(90, 270, right));
    EXPECT_TRUE(fires(300, 60, up));
    EXPECT_TRUE(fires(300, 60, diagonal));
    EXPECT_FALSE(fires(300, 60, down));
    EXPECT_FALSE(fires(300, 60, right));
    player.setAngle(3.14f);  // the ship's heading plays no part
    EXPECT_TRUE(fires(300, 60, up));
}

TEST_F(Combat, MouseOnTheShipStopsProjectilesButNotTheBeam)
{
    player.location = point{100.7f, 200.2f};
    player.shoot(1000, world, point{120.9f, 180.0f}, 16);  // 20 and 20 after truncation
    EXPECT_TRUE(world.projectiles.empty());
    ASSERT_EQ(player.weaponReadyTime.size(), 1u);
    EXPECT_EQ(player.weaponReadyTime[0], 0.0f);
    player.shoot(1000, world, point{121.0f, 180.0f}, 16);
    EXPECT_EQ(world.projectiles.size(), 1u);
    EXPECT_EQ(player.weaponReadyTime[0], 1100.0f);

    Ship& ship = addShip(point{1100, 200});
    player.weapon = 1;
    player.shoot(1200, world, point{110, 200}, 10);
    EXPECT_FLOAT_EQ(ship.health, 100 - 10 * 0.5f);

    // Far beyond any int the test still holds, without an undefined conversion.
    player.weapon = 0;
    player.location = point{1e38f, -1e38f};
    player.shoot(5000, world, point{1e38f, -1e38f}, 16);
    EXPECT_EQ(world.projectiles.size(), 1u);
}

TEST_F(Combat, BadSlotIsReportedAndInputOffFiresNothing)
{
    player.weapon = 7;
    StdoutCapture out;
    player.shoot(1000, world, point{1000, 0}, 16);
    EXPECT_EQ(out.text(), "Bad weapon selection 7\n");
    EXPECT_TRUE(world.projectiles.empty());

    player.weapon = 0;
    player.setInput(false);
    player.shoot(1000, world, point{1000, 0}, 16);
    EXPECT_TRUE(world.projectiles.empty());
}

TEST_F(Combat, BeamDamagesOnlyTheNearestShipByDtTimesDamage)
{
    Ship& far = addShip(point{2000, 0});
    Ship& near = addShip(point{1000, 30});
    Ship& aside = addShip(point{1000, 200});
    player.weapon = 1;
    player.weaponReadyTime = {0, 99999};  // the beam has no cooldown
    player.shoot(1000, world, point{500, 0}, 16);
    EXPECT_FLOAT_EQ(near.health, 100 - 16 * 0.5f);
    EXPECT_FLOAT_EQ(far.health, 100);
    EXPECT_FLOAT_EQ(aside.health, 100);
    EXPECT_TRUE(world.projectiles.empty());
}

TEST_F(Combat, StarsAndPlanetsOnTheBeamShieldShipsBehindThem)
{
    Ship& ship = addShip(point{1000, 0});
    player.weapon = 1;
    world.stars.push_back(Star(point{500, 0}, 100, 1, 0, "Sol"));
    player.shoot(1000, world, point{500, 0}, 16);
    EXPECT_FLOAT_EQ(ship.health, 100);

    world.stars[0].location = point{3000, 0};  // behind the ship now
    player.shoot(1000, world, point{500, 0}, 16);
    EXPECT_FLOAT_EQ(ship.health, 92);

    Planet planet(0, 50, 1, 0, 0, 0, 0, 0, 0, "Rock");
    planet.location = point{700, 0};
    world.stars[0].addPlanet(planet);
    player.shoot(1000, world, point{500, 0}, 16);
    EXPECT_FLOAT_EQ(ship.health, 92);
}

// ---- Projectiles -----------------------------------------------------------

TEST_F(Combat, ProjectileExpiresOnTheFrameItsLifetimeFallsShort)
{
    WEAPONDATA[0].lifetime = 30;
    Projectile p(point{0, 0}, 0, world, 0, 0, 0);
    EXPECT_TRUE(p.update(16, world, 1000));
    EXPECT_EQ(p.lifetime, 14);
    point before = p.location;
    EXPECT_FALSE(p.update(16, world, 1016));
    EXPECT_GT(p.location.y, before.y);  // it moved before expiring

    WEAPONDATA[0].lifetime = 16;
    Projectile exact(point{0, 0}, 0, world, 0, 0, 0);
    EXPECT_TRUE(exact.update(16, world, 1000));
    EXPECT_EQ(exact.lifetime, 0);
    EXPECT_FALSE(exact.update(16, world, 1016));

    WEAPONDATA[0].lifetime = -1;
    Projectile endless(point{0, 0}, 0, world, 0, 0, 0);
    for (int frame = 0; frame < 500; ++frame) ASSERT_TRUE(endless.update(16, world, 1000 + 16 * frame));
}

TEST_F(Combat, ConstructorUsesTheOddDegreeFactorAndTheType)
{
    WEAPONDATA[3].speed = 2;
    WEAPONDATA[3].lifetime = 777;
    WEAPONDATA[3].damage = 12;
    Projectile p(point{5, 6}, 30, world, 3, 0.5f, 0);
    EXPECT_FLOAT_EQ(p.velocity.x, std::sin(30 * 0.017444f) * 2 + 0.5f);
    EXPECT_FLOAT_EQ(p.velocity.y, std::cos(30 * 0.017444f) * 2);
    EXPECT_EQ(p.lifetime, 777);
    EXPECT_FLOAT_EQ(p.damage, 12);
    EXPECT_EQ(p.targetId, 0);
    EXPECT_FLOAT_EQ(p.angle, std::atan2(p.velocity.y, -p.velocity.x) - 1.57f);
}

TEST_F(Combat, DeathAndHitEventsDecideTheProjectilesFate)
{
    WEAPONDATA[2].lifetime = 10;
    WEAPONDATA[2].onDeathEffect = 1;
    Projectile wave(point{0, 0}, 90, world, 2, 0, 0);
    StdoutCapture out;
    EXPECT_FALSE(wave.update(16, world, 5000));
    EXPECT_EQ(out.text(), "Shockwave fired\n");
    ASSERT_EQ(world.timers.size(), 1u);
    auto* shock = dynamic_cast<TShockwave*>(world.timers.front().get());
    ASSERT_NE(shock, nullptr);
    EXPECT_EQ(shock->size, 200);
    EXPECT_EQ(shock->duration, 2000);
    EXPECT_EQ(shock->startTime, 0);
    EXPECT_EQ(shock->endTime, 7000);
    EXPECT_FLOAT_EQ(shock->location.x, wave.location.x);

    // An unknown event is named once and the shot leaves, whether it expired or hit:
    // kept, it would print every frame (and a hit one would strike every frame).
    WEAPONDATA[4].onHitEffect = 5;
    WEAPONDATA[5].onDeathEffect = -3;
    WEAPONDATA[5].lifetime = 0;
    Ship& target = addShip(point{0, 10});
    for (int type : {4, 5}) {
        Projectile odd(point{0, 0}, 0, world, type, 0, 0);
        StdoutCapture bad;
        EXPECT_FALSE(odd.update(16, world, 5000));
        EXPECT_EQ(bad.text(), "Bad eventNum value in projectileEvent " + std::to_string(type == 4 ? 5 : -3) + "\n");
    }
    EXPECT_FLOAT_EQ(target.health, 100 - WEAPONDATA[4].damage);
}

TEST_F(Combat, SweptHitStrikesOnlyTheShipNearestTheNewPosition)
{
    WEAPONDATA[0].speed = 10;
    WEAPONDATA[0].damage = 25;
    Ship& first = addShip(point{300, 0});
    Ship& second = addShip(point{800, 40});
    Projectile p(point{0, 0}, 90, world, 0, 0, 0);
    EXPECT_FALSE(p.update(100, world, 1000));  // through both in one frame
    EXPECT_FLOAT_EQ(first.health, 100);
    EXPECT_FLOAT_EQ(second.health, 75);

    WEAPONDATA[0].damage = 0;  // a harmless type still stops on a hit
    Projectile dud(point{0, 0}, 90, world, 0, 0, 0);
    EXPECT_FALSE(dud.update(100, world, 1100));
    EXPECT_FLOAT_EQ(second.health, 75);

    Projectile miss(point{0, 500}, 90, world, 0, 0, 0);
    EXPECT_TRUE(miss.update(100, world, 1200));
}

TEST_F(Combat, HomingTurnsTheShortWayByAtMostDtTimesTurnSpeed)
{
    WEAPONDATA[3].homingRange = 1500;
    WEAPONDATA[3].turnSpeed = 0.003f;
    WEAPONDATA[3].lifetime = -1;
    const Ship& target = addShip(point{-1000, 0});  // due west: 270, the short way is anticlockwise
    Projectile p(point{0, 0}, 0, world, 3, 0, 0);
    float start = p.angle;
    StdoutCapture out;
    ASSERT_TRUE(p.update(16, world, 1000));
    EXPECT_EQ(out.text(), "New target found\n");
    EXPECT_EQ(p.targetId, int(target.id));
    EXPECT_FLOAT_EQ(p.angle, start - 16 * 0.003f);
    EXPECT_FLOAT_EQ(p.velocity.x, std::sin(p.angle));
    EXPECT_FLOAT_EQ(p.velocity.y, std::cos(p.angle));

    // Nearly on course: the remaining difference is less than one frame's turn.
    p.location = point{0, 0};
    p.velocity = point{0, 0};
    p.angle = 4.70f;
    ASSERT_TRUE(p.update(16, world, 1016));
    EXPECT_NEAR(p.angle, 4.71f, 0.001f);
}

TEST_F(Combat, HomingLockIsLostBeyondTwiceTheRange)
{
    WEAPONDATA[3].homingRange = 1000;
    Ship& target = addShip(point{0, 1999});
    Projectile p(point{0, 0}, 90, world, 3, 0, 0);
    p.targetId = int(target.id);
    StdoutCapture quiet;
    ASSERT_TRUE(p.update(0, world, 1000));
    EXPECT_EQ(p.targetId, int(target.id));
    EXPECT_EQ(quiet.text(), "");

    target.location = point{0, 2001};
    p.addVelocity(point{5, 5});  // gravity gained while flying straight is dropped
    float heading = p.angle;
    ASSERT_TRUE(p.update(0, world, 1016));
    EXPECT_EQ(p.targetId, 0);
    EXPECT_FLOAT_EQ(p.angle, heading);
    EXPECT_FLOAT_EQ(p.velocity.x, std::sin(heading));
    EXPECT_FLOAT_EQ(p.velocity.y, std::cos(heading));
}

TEST_F(Combat, HomingPicksTheNearestShipInRange)
{
    WEAPONDATA[3].homingRange = 1000;
    addShip(point{0, 900});
    Ship& nearest = addShip(point{0, 400});
    addShip(point{0, 1200});
    Projectile p(point{0, 0}, 90, world, 3, 0, 0);
    StdoutCapture out;
    ASSERT_TRUE(p.update(0, world, 1000));
    EXPECT_EQ(p.targetId, int(nearest.id));
    EXPECT_EQ(out.text(), "New target found\nNew target found\n");
}

TEST_F(Combat, ProjectileOfUnknownTypeIsRemovedWithAMessage)
{
    Projectile p(point{0, 0}, 0, world, 42, 0, 0);
    StderrCapture out;
    EXPECT_FALSE(p.update(16, world, 1000));
    EXPECT_EQ(out.text(), "Projectile type 42 names no weapon; removed\n");
}

// ---- Enemy ships -------------------------------------------------------------

TEST_F(Combat, PursueAndFleePushByTheAccelerationOnce)
{
    player.location = point{300, 400};
    Ship& drifter = addShip(point{0, 0}, 0);
    Ship& pursuer = addShip(point{0, 0}, 1);
    Ship& fleer = addShip(point{0, 0}, 2);
    drifter.velocity = point{0.1f, 0};
    for (Ship* s : {&drifter, &pursuer, &fleer}) ASSERT_TRUE(s->update(0, world, &player));
    EXPECT_FLOAT_EQ(drifter.velocity.x, 0.1f);
    EXPECT_FLOAT_EQ(drifter.velocity.y, 0);
    EXPECT_FLOAT_EQ(pursuer.velocity.x, 0.006f);
    EXPECT_FLOAT_EQ(pursuer.velocity.y, 0.008f);
    EXPECT_FLOAT_EQ(fleer.velocity.x, -0.006f);
    EXPECT_FLOAT_EQ(fleer.velocity.y, -0.008f);
    EXPECT_FLOAT_EQ(pursuer.getTheta(), std::atan2(0.008f, 0.006f) - 1.57f);

    ASSERT_TRUE(pursuer.update(100, world, &player));  // the push is per update, not per ms
    EXPECT_FLOAT_EQ(pursuer.velocity.x, 0.012f);
    EXPECT_FLOAT_EQ(pursuer.location.x, 1.2f);
}

TEST_F(Combat, HoldDistanceEasesOntoTheRingAndFacesThePlayer)
{
    player.location = point{450, 0};
    Ship& inside = addShip(point{0, 0}, 3);
    ASSERT_TRUE(inside.update(3, world, &player));
    float v = -0.01f / 450 * 50 / 100 * 450;  // h = -acc/450 * 0.5 per unit of dx
    for (int i = 0; i < 3; ++i) v = float(v * 0.98);
    EXPECT_FLOAT_EQ(inside.velocity.x, v);
    EXPECT_FLOAT_EQ(inside.velocity.y, 0);
    EXPECT_FLOAT_EQ(inside.getTheta(), -1.57f);

    player.location = point{700, 0};
    Ship& outside = addShip(point{0, 0}, 3);
    outside.velocity = point{0, 0.05f};
    ASSERT_TRUE(outside.update(0, world, &player));
    EXPECT_FLOAT_EQ(outside.velocity.x, 0.01f);
    EXPECT_FLOAT_EQ(outside.velocity.y, 0.05f);
    EXPECT_NEAR(outside.getTheta(), std::atan2(0.05f, 0.0f) - 1.57, 1e-6);  // from the velocity before the push
}

TEST_F(Combat, SpeedCapHoldsUnlessNegative)
{
    SHIPDATA[1] = {1, 5, 2, 100, 7};
    player.location = point{3000, 4000};
    Ship& capped = addShip(point{0, 0}, 1);
    ASSERT_TRUE(capped.update(0, world, &player));
    EXPECT_FLOAT_EQ(std::hypot(capped.velocity.x, capped.velocity.y), 2);
    EXPECT_FLOAT_EQ(capped.velocity.x, 1.2f);

    SHIPDATA[1] = {1, 5, -1, 100, 7};
    Ship& free = addShip(point{0, 0}, 1);
    ASSERT_TRUE(free.update(0, world, &player));
    EXPECT_FLOAT_EQ(std::hypot(free.velocity.x, free.velocity.y), 5);
}

TEST_F(Combat, PlayfieldEdgeStopsOnlyOutwardMotion)
{
    Ship& outward = addShip(point{99990, 0});
    outward.velocity = point{1, 0.5f};
    ASSERT_TRUE(outward.update(20, world, &player));
    EXPECT_EQ(outward.location.x, 100000);
    EXPECT_EQ(outward.velocity.x, 0);
    EXPECT_EQ(outward.velocity.y, 0.5f);

    Ship& inward = addShip(point{-100050, 0});
    inward.velocity = point{1, 0};
    ASSERT_TRUE(inward.update(10, world, &player));
    EXPECT_EQ(inward.location.x, -100000);
    EXPECT_EQ(inward.velocity.x, 1);
}

TEST_F(Combat, ShipRamsThePlayerWithoutAnExplosion)
{
    Ship& rammer = addShip(point{49.9f, 0}, 1);
    EXPECT_FALSE(rammer.update(16, world, &player));
    EXPECT_FLOAT_EQ(player.getHealth(), 1000 - 7);
    EXPECT_TRUE(world.timers.empty());

    Ship& clear = addShip(point{50, 0}, 0);
    EXPECT_TRUE(clear.update(16, world, &player));
    EXPECT_FLOAT_EQ(player.getHealth(), 1000 - 7);
}

TEST_F(Combat, ShipAtExactlyZeroHealthExplodesOnItsNextUpdate)
{
    Ship& ship = addShip(point{1000, 1000});
    EXPECT_TRUE(ship.takeDamage(99));
    EXPECT_FALSE(ship.takeDamage(1));
    EXPECT_EQ(ship.health, 0);
    EXPECT_TRUE(world.timers.empty());
    EXPECT_FALSE(ship.update(16, world, &player));
    ASSERT_EQ(world.timers.size(), 1u);
    auto* explosion = dynamic_cast<TExplosion*>(world.timers.front().get());
    ASSERT_NE(explosion, nullptr);
    EXPECT_EQ(explosion->location.x, 1000);
    EXPECT_EQ(explosion->endTime, explosion->begin + 1000);
}

TEST_F(Combat, ShipTypeWithoutARowIsReportedAndZeroed)
{
    StderrCapture out;
    Ship ship(point{1, 2}, 9, 1);
    EXPECT_EQ(out.text(), "Ship type 9 names no row of shipdata.txt; using zeros\n");
    EXPECT_EQ(ship.ai, 0);
    EXPECT_EQ(ship.acceleration, 0);
    EXPECT_EQ(ship.maxSpeed, 0);
    EXPECT_EQ(ship.health, 0);
    EXPECT_EQ(ship.ramDamage, 0);

    Ship typed(point{1, 2}, 3, 2);
    EXPECT_EQ(typed.ai, 3);
    EXPECT_FLOAT_EQ(typed.acceleration, 0.01f);
    EXPECT_EQ(typed.health, 100);
}

// ---- The shipped weapon table ------------------------------------------------

TEST(WeaponTable, ShippedFileFillsSevenSlotsUsingEveryAttribute)
{
    const std::string path = std::string(VUMTAL_ASSETS_DIR) + "/projectiles.xml";
    ASSERT_TRUE(std::ifstream(path).good());
    std::string text = readFile(path);
    rapidxml::xml_document<char> doc;
    doc.parse<0>(&text[0]);
    rapidxml::xml_node<char>* root = doc.first_node("projectiles");
    ASSERT_NE(root, nullptr);

    std::vector<rapidxml::xml_node<char>*> slots;
    std::set<std::string> used;
    for (auto* node = root->first_node(); node; node = node->next_sibling()) {
        ASSERT_STREQ(node->name(), "projectile");
        slots.push_back(node);
        for (auto* a = node->first_attribute(); a; a = a->next_attribute()) used.insert(a->name());
    }
    ASSERT_EQ(slots.size(), 7u);
    const std::set<std::string> every = {"name", "cooldown", "speed", "lifetime", "damage", "homingRange",
                                         "turnSpeed", "texture", "size", "trailEffect", "onDeathEffect",
                                         "onHitEffect", "minAngle", "maxAngle", "grav", "numProjectiles",
                                         "spread", "uniformSpread", "sound"};
    EXPECT_EQ(used, every);
    for (auto* node : slots) {  // each slot is heard, from a file that is shipped
        auto* sound = node->first_attribute("sound");
        ASSERT_NE(sound, nullptr) << node->first_attribute("name")->value();
        EXPECT_TRUE(std::ifstream(std::string(VUMTAL_ASSETS_DIR) + "/" + sound->value()).good()) << sound->value();
    }

    auto value = [](rapidxml::xml_node<char>* node, const char* name) {
        auto* a = node->first_attribute(name);
        return a ? std::atof(a->value()) : -1.0;
    };
    EXPECT_EQ(value(slots[2], "onHitEffect"), 1);
    EXPECT_EQ(value(slots[2], "onDeathEffect"), 1);
    EXPECT_LE(value(slots[2], "damage"), 0.5);  // it is also every shockwave's rate per ms
    for (auto* node : slots) {
        double texture = value(node, "texture");
        EXPECT_LE(texture, 2);
        bool randomCone = value(node, "uniformSpread") == 0 || value(node, "numProjectiles") == 1;
        if (randomCone && value(node, "spread") > 0) EXPECT_GE(value(node, "spread"), 0.02);
    }
}

// ---- Drawing ------------------------------------------------------------------

class CombatDrawing : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        if (IsSkipped()) return;
        plainWeapons();
        pixelProjection();
    }
    TablesGuard guard;
    WorldState world;
    Player player{point{100, 500}};
};

TEST_F(CombatDrawing, BeamQuadRunsFromTheShipToWhatItHits)
{
    player.weapon = 1;
    player.shoot(1000, world, point{1100, 500}, 16);
    drawBeam(player.beam);
    EXPECT_GT(litPixels(600, 495, 1, 10), 5);
    EXPECT_EQ(litPixels(600, 520, 1, 10), 0);

    glClear(GL_COLOR_BUFFER_BIT);
    SHIPDATA = {{0, 0, -1, 100, 0}};
    world.ships.push_back(Ship(point{600, 500}, 0, 1));
    player.shoot(1000, world, point{1100, 500}, 16);
    drawBeam(player.beam);
    EXPECT_GT(litPixels(400, 495, 1, 10), 5);
    EXPECT_EQ(litPixels(800, 490, 1, 20), 0);
}

TEST_F(CombatDrawing, ProjectileWithUnknownTextureDrawsAPlainSquare)
{
    WEAPONDATA[0].texture = 42;
    WEAPONDATA[0].size = 20;
    WEAPONDATA[0].speed = 0;
    Projectile p(point{640, 512}, 0, world, 0, 0, 0);
    ASSERT_TRUE(p.update(16, world, 1000));
    drawProjectile(p);
    EXPECT_GT(litPixels(630, 502, 20, 20), 300);
    EXPECT_EQ(litPixels(670, 512, 10, 10), 0);
}

}  // namespace
