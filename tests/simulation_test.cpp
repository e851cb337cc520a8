// Whole-world simulation: the same start and the same frames give the same world.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "core/worldState.h"
#include "data/defaultVals.h"
#include "entities/player.h"
#include "entities/timer.h"
#include "entities/timerClasses.h"
#include "game/frameProcessing.h"
#include "support/dataTables.h"
#include "support/glFixture.h"

namespace {

// FNV-1a over the bytes of the floats and ints that make up the world's state.
struct Hasher {
    unsigned long long value = 1469598103934665603ull;
    void add(const void* data, size_t size)
    {
        const unsigned char* bytes = static_cast<const unsigned char*>(data);
        for (size_t i = 0; i < size; ++i) value = (value ^ bytes[i]) * 1099511628211ull;
    }
    void add(float f) { add(&f, sizeof f); }
    void add(int i) { add(&i, sizeof i); }
    void add(point p)
    {
        add(p.x);
        add(p.y);
    }
};

unsigned long long hashWorld(const WorldState& world, const Player& player)
{
    Hasher h;
    h.add(player.location);
    h.add(player.velocity);
    h.add(player.health);
    h.add(int(world.ships.size()));
    for (const Ship& ship : world.ships) {
        h.add(int(ship.id));
        h.add(ship.location);
        h.add(ship.velocity);
        h.add(ship.health);
    }
    h.add(int(world.projectiles.size()));
    for (const Projectile& shot : world.projectiles) {
        h.add(shot.location);
        h.add(shot.velocity);
        h.add(shot.targetId);
    }
    for (const Star& star : world.stars)
        for (const Planet& planet : star.planets) {
            h.add(planet.location);
            h.add(planet.rotation);
        }
    h.add(int(world.timers.size()));
    return h.value;
}

class Simulation : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        WEAPONDATA.assign(4, projectileData());
        WEAPONDATA[0].speed = 2;
        WEAPONDATA[0].lifetime = 3000;
        WEAPONDATA[2].onHitEffect = 1;
        WEAPONDATA[2].damage = 0.3f;
        WEAPONDATA[3].homingRange = 3000;
        WEAPONDATA[3].turnSpeed = 0.003f;
        WEAPONDATA[3].speed = 1;
        WEAPONDATA[3].lifetime = -1;
        SHIPDATA = {{0, 0, -1, 50, 5}, {1, 0.01f, 0.8f, 50, 5}, {2, 0.01f, 0.5f, 50, 5}, {3, 0.02f, 0.6f, 50, 5}};
    }
    // A busy system: a star with two planets, ships of every mode, a fan of shots,
    // homing missiles and a shockwave, then frames as the loop runs them.
    unsigned long long run(int frames)
    {
        Universe universe("/nonexistent/test.xml", "/nonexistent/projectiles.xml");
        universe.worlds.resize(1);
        Player player(point{-3000, 0});
        std::srand(1234);  // after the player: building its engine flame reseeds from the clock
        universe.player = &player;
        WorldState& world = universe.worlds[0];
        Star star(point{0, 0}, 600, 1, 14, "Sol");
        star.addPlanet(Planet(0, 200, 1, 2500, 0.01f, 0, 0.05f, 0, 10, "Inner"));
        star.addPlanet(Planet(1, 300, 0.5f, 5000, 0.004f, 180, -0.02f, 0, 23, "Outer"));
        world.stars.push_back(star);
        for (int mode = 0; mode < 4; ++mode)
            for (int i = 0; i < 3; ++i)
                world.ships.push_back(Ship(point{-1500.0f + 900 * i, 1500.0f - 800 * mode}, mode, world.getNewShipID()));
        player.weapon = 0;
        int now = 10000;
        for (int frame = 0; frame < frames; ++frame) {
            int dt = 10 + frame % 7;
            now += dt;
            if (frame % 20 == 0) {
                player.weapon = (frame / 20) % 4 == 1 ? 0 : (frame / 20) % 4;
                player.shoot(unsigned(now), world, point{-1000, 900}, dt);
            }
            player.fly(dt, FlightKeys());
            processWormholes(universe, now);
            processProjectiles(world, dt, now);
            runTimer(now, world);
            processShips(world, &player, dt);
            processStars(world, &player, dt);
        }
        unsigned long long hash = hashWorld(world, player);
        for (TimerBase* timer : world.timers) delete timer;
        return hash;
    }

    TablesGuard tables;
};

}  // namespace

TEST_F(Simulation, SameStartAndFramesGiveTheSameWorld)
{
    unsigned long long first = run(600);
    EXPECT_EQ(run(600), first);
    EXPECT_NE(run(599), first);  // the hash does see the last frame
}
