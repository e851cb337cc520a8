// Stars and planets: the gravity law and its reach, falling in, orbits and spin,
// soft and crash landings, carrying the landed player, and their drawing.
#include <gtest/gtest.h>

#include <cmath>

#include "entities/worldState.h"
#include "data/defaultVals.h"
#include "entities/planet.h"
#include "entities/player.h"
#include "entities/star.h"
#include "render/textures.h"
#include "support/glFixture.h"
#include "support/testFiles.h"
#include "support/worlds.h"

namespace {
// A test world that is never run frees the explosions its bodies started.
struct TestWorld : WorldState {
    ~TestWorld() { deleteTimers(*this); }
};

// The projectile and ship types the combat code may look up when these are made.
void ensureTypes()
{
    if (WEAPONDATA.empty()) WEAPONDATA.push_back(projectileData());
    while (SHIPDATA.size() < 2) SHIPDATA.push_back(std::vector<float>{0, 0, -1, 100, 10});
}

Projectile& addProjectile(WorldState& world, point at)
{
    ensureTypes();
    world.projectiles.push_back(Projectile(at, 0, world, 0, 0, 0));
    world.projectiles.back().velocity = point{0, 0};
    return world.projectiles.back();
}

Ship& addShip(WorldState& world, point at)
{
    ensureTypes();
    world.ships.push_back(Ship(at, 0, world.getNewShipID()));
    world.ships.back().velocity = point{0, 0};
    return world.ships.back();
}

// A planet that sits still at the star's centre: orbit radius 0, no orbit speed.
Planet stillPlanet(float radius, float density, float spin = 0, int texture = TEX_MARS)
{
    StdoutCapture quiet;  // the constructor announces the planet
    return Planet(4, radius, density, 0, 0, 0, spin, 0, texture, "Still");
}

// The expected pull, written out as the law reads.
float law(float radius, float density, float d, int dt)
{
    double mass = 4.0 / 3.0 * 3.14 * double(radius) * radius * radius;
    return float(float(mass) / (d * d) * dt * 0.000001 * density);
}
}  // namespace

TEST(Gravity, KickFollowsMassOverDistanceSquared)
{
    EXPECT_FLOAT_EQ(gravityKick(1000, 1, 2000, 16), 0.016746667f);
    EXPECT_FLOAT_EQ(gravityKick(700, 0.8f, 1500, 10), law(700, 0.8f, 1500, 10));
    EXPECT_EQ(gravityKick(500, 0, 600, 16), 0);
    EXPECT_EQ(gravityKick(500, 1, 600, 0), 0);
    EXPECT_FLOAT_EQ(gravityReach(800, 0.5f), 4000);
}

TEST(Gravity, StarPullsProjectilesAndShipsUpToItsReachInclusive)
{
    TestWorld world;
    Star star(point{0, 0}, 100, 1, TEX_BLUESTAR, "Sol");  // reach 1000
    Projectile& inside = addProjectile(world, point{999, 0});
    Projectile& edge = addProjectile(world, point{0, 1000});
    Projectile& beyond = addProjectile(world, point{1001, 0});
    Ship& ship = addShip(world, point{-999, 0});
    star.update(world, nullptr, 16);
    EXPECT_FLOAT_EQ(inside.velocity.x, -law(100, 1, 999, 16));
    EXPECT_FLOAT_EQ(edge.velocity.y, -law(100, 1, 1000, 16));
    EXPECT_EQ(beyond.velocity.x, 0);
    EXPECT_FLOAT_EQ(ship.velocity.x, law(100, 1, 999, 16));
}

TEST(Gravity, StarPullsThePlayerOnlyStrictlyInsideItsReachAndNotWhenLanded)
{
    TestWorld world;
    Star star(point{0, 0}, 100, 1, TEX_BLUESTAR, "Sol");
    Player p(point{999, 0});
    star.update(world, &p, 16);
    EXPECT_FLOAT_EQ(p.velocity.x, -law(100, 1, 999, 16));

    Player edge(point{1000, 0});
    star.update(world, &edge, 16);
    EXPECT_EQ(edge.velocity.x, 0);

    Player landed(point{500, 0});
    landed.setLanded(0);
    star.update(world, &landed, 16);
    EXPECT_EQ(landed.velocity.x, 0);
}

TEST(Gravity, WhatTouchesAStarFallsInEvenWithoutPull)
{
    TestWorld world;
    Star star(point{10, 10}, 100, 0, TEX_BLUESTAR, "Dead");  // density 0: no pull at all
    addProjectile(world, point{110, 10});  // exactly on the surface
    Projectile& near = addProjectile(world, point{111, 10});
    addShip(world, point{10, -90});
    star.update(world, nullptr, 16);
    ASSERT_EQ(world.projectiles.size(), 1u);
    EXPECT_EQ(world.projectiles.front().location.x, 111);
    EXPECT_EQ(near.velocity.x, 0);
    EXPECT_TRUE(world.ships.empty());
}

TEST(Gravity, PlayerInsideAStarIsNeitherRemovedNorHurtAndNeverGetsANanVelocity)
{
    TestWorld world;
    Star star(point{0, 0}, 500, 1, TEX_BLUESTAR, "Sol");
    Player p(point{0, 0});  // dead centre: no direction to pull in
    star.update(world, &p, 16);
    EXPECT_EQ(p.velocity.x, 0);
    EXPECT_EQ(p.velocity.y, 0);
    EXPECT_FLOAT_EQ(p.getHealth(), 1000);

    Player q(point{0, 200});
    star.update(world, &q, 16);
    EXPECT_FLOAT_EQ(q.velocity.y, -law(500, 1, 200, 16));
}

TEST(Gravity, NothingAtTheVeryCentreIsPulledAndAnOverflowingPullIsNone)
{
    // A star of negative radius swallows nothing, so a shot and a ship at its
    // centre meet the pull there, where it has no direction.
    TestWorld world;
    Star odd(point{0, 0}, -5, -10, TEX_BLUESTAR, "Odd");
    Projectile& shot = addProjectile(world, point{0, 0});
    Ship& ship = addShip(world, point{0, 0});
    odd.update(world, nullptr, 16);
    // A mass beyond float gives no pull rather than inf * 0 = NaN in a frame of dt 0.
    TestWorld empty;
    Star huge(point{0, 0}, 1e38f, 1, TEX_BLUESTAR, "Huge");
    Player p(point{0, 200});
    huge.update(empty, &p, 0);
    for (point v : {shot.velocity, ship.velocity, p.velocity}) {
        EXPECT_EQ(v.x, 0);
        EXPECT_EQ(v.y, 0);
    }
}

TEST(Planets, ConstructorTakesDegreesWithThreePointOneFourAndAnnouncesTheName)
{
    StdoutCapture out;
    Planet planet(3, 200, 1, 4000, 0.5f, 90, 0.01f, 45, TEX_EARTH, "Terra");
    EXPECT_EQ(out.text(), "Terra\n");
    EXPECT_FLOAT_EQ(planet.orbitSpeed, float(0.5f * 3.14 / 180));
    EXPECT_FLOAT_EQ(planet.orbitAngle, float(90 * 3.14 / 180));
    EXPECT_FLOAT_EQ(planet.rotation, 45);
    EXPECT_EQ(planet.location.x, 0);
}

TEST(Planets, OrbitAndSpinAdvanceWithDtAndGiveTheOrbitVelocity)
{
    StdoutCapture quiet;
    Planet planet(0, 100, 0, 1000, 1, 0, 0.5f, 10, TEX_ICE, "Mover");
    quiet.text();
    TestWorld world;
    planet.update(world, nullptr, 20, point{500, 500});
    float angle = float(1 * 3.14 / 180) * 20;
    EXPECT_FLOAT_EQ(planet.rotation, 20);
    EXPECT_FLOAT_EQ(planet.location.x, std::cos(angle) * 1000 + 500);
    EXPECT_FLOAT_EQ(planet.location.y, std::sin(angle) * 1000 + 500);
    point before = planet.location;
    planet.update(world, nullptr, 20, point{500, 500});
    EXPECT_FLOAT_EQ(planet.orbitVelocity.x, (planet.location.x - before.x) / 20);
    EXPECT_FLOAT_EQ(planet.orbitVelocity.y, (planet.location.y - before.y) / 20);
}

TEST(Planets, ZeroDtMovesAndTestsNothing)
{
    Planet planet = stillPlanet(100, 1);
    TestWorld world;
    Player p(point{50, 0});  // well inside the planet
    planet.orbitVelocity = point{7, 7};
    planet.update(world, &p, 0, point{300, 300});
    EXPECT_EQ(planet.location.x, 0);
    EXPECT_EQ(planet.orbitVelocity.x, 7);
    EXPECT_FALSE(p.isLanded());
}

TEST(Planets, LandingSpeedDecidesBetweenSoftAndCrashLanding)
{
    struct Case {
        float speed;
        float damage;
    };
    for (Case c : {Case{0.99f, 0}, Case{1.0f, 0}, Case{3.0f, 200}}) {
        Planet planet = stillPlanet(100, 1);
        TestWorld world;
        Player p(point{125, 0});  // touching: radius + ship radius
        p.setVelocity(point{-c.speed, 0});
        planet.update(world, &p, 16, point{0, 0});
        EXPECT_TRUE(p.isLanded()) << c.speed;
        EXPECT_EQ(p.planetId, 4) << c.speed;
        EXPECT_EQ(p.takeoffDelay, 300);
        EXPECT_FLOAT_EQ(1000 - p.getHealth(), c.damage) << c.speed;
        EXPECT_FLOAT_EQ(planet.landingAngle, 0);
    }
}

TEST(Planets, LandingSpeedIsMeasuredAgainstTheMovingPlanet)
{
    StdoutCapture quiet;
    Planet planet(1, 100, 1, 10000, 0.02f, 0, 0, 0, TEX_EARTH, "Fast");
    quiet.text();
    TestWorld world;
    planet.update(world, nullptr, 16, point{0, 0});  // leaves (0, 0) for its orbit
    planet.update(world, nullptr, 16, point{0, 0});
    point planetVelocity = planet.orbitVelocity;  // about 3.5 units per ms
    // Put the ship where the planet will be next, moving with it.
    float next = planet.orbitAngle + 16 * planet.orbitSpeed;
    Player p(point{std::cos(next) * 10120, std::sin(next) * 10120});
    p.setVelocity(planetVelocity);
    planet.update(world, &p, 16, point{0, 0});
    EXPECT_TRUE(p.isLanded());
    EXPECT_FLOAT_EQ(p.getHealth(), 1000);
}

TEST(Planets, LandedShipRidesTheSurfaceAndTurnsWithTheSpin)
{
    Planet planet = stillPlanet(100, 1, 2.0f);  // 2 degrees per ms
    TestWorld world;
    Player p(point{0, 125});
    planet.update(world, &p, 16, point{0, 0});
    ASSERT_TRUE(p.isLanded());
    float start = planet.landingAngle;
    EXPECT_FLOAT_EQ(start, float(M_PI / 2));

    planet.update(world, &p, 10, point{0, 0});
    float angle = float(start + 10 * 2.0f * 0.0174444);
    EXPECT_FLOAT_EQ(planet.landingAngle, angle);
    EXPECT_FLOAT_EQ(p.location.x, std::cos(angle) * 125);
    EXPECT_FLOAT_EQ(p.location.y, std::sin(angle) * 125);
    EXPECT_FLOAT_EQ(p.angle, angle);
    // The velocity is the displacement of this update, not divided by dt.
    EXPECT_FLOAT_EQ(p.velocity.x, std::cos(angle) * 125 - 0);
    EXPECT_FLOAT_EQ(p.velocity.y, std::sin(angle) * 125 - 125);
}

TEST(Planets, LandedShipIsCarriedOnlyWithinTenUnitsOfTheSurface)
{
    Planet planet = stillPlanet(100, 1);
    TestWorld world;
    Player near(point{134.9f, 0});
    near.setLanded(9);
    planet.update(world, &near, 16, point{0, 0});
    EXPECT_FLOAT_EQ(near.location.x, 125);

    Player far(point{135, 0});
    far.setLanded(9);
    planet.update(world, &far, 16, point{0, 0});
    EXPECT_FLOAT_EQ(far.location.x, 135);

    // A planet beyond the playfield keeps its passenger on the field's edge.
    Player outside(point{1e38f, -1e38f});
    outside.setLanded(9);
    planet.update(world, &outside, 16, point{1e38f, -1e38f});
    EXPECT_FLOAT_EQ(outside.location.x, PLAYFIELD_LIMIT);
    EXPECT_FLOAT_EQ(outside.location.y, -PLAYFIELD_LIMIT);
}

TEST(Planets, PlanetPullsAndSwallowsLikeAStar)
{
    Planet planet = stillPlanet(100, 0.5f);  // reach 500
    TestWorld world;
    addProjectile(world, point{100, 0});
    Projectile& pulled = addProjectile(world, point{0, 500});
    Player p(point{-499, 0});
    Player edge(point{0, -500});
    planet.update(world, &p, 16, point{0, 0});
    planet.update(world, &edge, 16, point{0, 0});
    ASSERT_EQ(world.projectiles.size(), 1u);
    EXPECT_FLOAT_EQ(pulled.velocity.y, -law(100, 0.5f, 500, 16) * 2);  // pulled in both updates
    EXPECT_FLOAT_EQ(p.velocity.x, law(100, 0.5f, 499, 16));
    EXPECT_EQ(edge.velocity.y, 0);
}

TEST(Planets, PlanetWithoutDensityStillLandsTheShip)
{
    Planet planet = stillPlanet(100, 0);
    TestWorld world;
    Player p(point{0, -120});
    planet.update(world, &p, 16, point{0, 0});
    EXPECT_TRUE(p.isLanded());
}

namespace {
// A 2 x 2 solid green texture placed at the given index of the world table.
class BodyDrawing : public GlTest {
protected:
    std::vector<unsigned> saved;
    unsigned green = 0;
    void SetUp() override
    {
        GlTest::SetUp();
        if (IsSkipped()) return;
        saved = textures;
        const unsigned char pixels[16] = {0, 255, 0, 255, 0, 255, 0, 255, 0, 255, 0, 255, 0, 255, 0, 255};
        glGenTextures(1, &green);
        glBindTexture(GL_TEXTURE_2D, green);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 2, 2, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels);
        textures.assign(TEX_COUNT, 0);
        textures[TEX_MARS] = green;
        glEnable(GL_TEXTURE_2D);
        pixelProjection();
    }
    void TearDown() override
    {
        textures = saved;
        glDeleteTextures(1, &green);
        glBindTexture(GL_TEXTURE_2D, 0);
        glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        glDisable(GL_TEXTURE_2D);
    }
};
}  // namespace

TEST_F(BodyDrawing, PlanetDrawsItsTextureAtItsPosition)
{
    Planet planet = stillPlanet(50, 1);
    planet.location = point{400, 300};
    glColor4f(1, 0, 0, 1);  // replaced by the texture
    planet.draw();
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    auto centre = pixelAt(400, 300);
    EXPECT_EQ(centre[0], 0);
    EXPECT_EQ(centre[1], 255);
    EXPECT_EQ(pixelAt(400, 355)[1], 0);
}

TEST_F(BodyDrawing, TextureIndexNamingNothingDrawsUntextured)
{
    Planet planet = stillPlanet(50, 1, 0, 99);
    planet.location = point{400, 300};
    Star star(point{800, 300}, 60, 1, -3, "Nameless");
    glColor4f(1, 1, 1, 1);
    planet.draw();
    star.draw();
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    EXPECT_EQ(pixelAt(400, 300)[0], 255);
    EXPECT_EQ(pixelAt(800, 300)[0], 255);
    EXPECT_EQ(pixelAt(800, 365)[0], 0);
}
