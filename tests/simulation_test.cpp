// Whole-world simulation: the same start and the same frames give the same world.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "entities/worldState.h"
#include "data/defaultVals.h"
#include "entities/player.h"
#include "entities/timer.h"
#include "entities/timerClasses.h"
#include "sim/frameProcessing.h"
#include "support/dataTables.h"
#include "support/glFixture.h"
#include "support/testFiles.h"
#include "support/worlds.h"

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
        deleteTimers(world);
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

// ---- The ship grid against the walk over every ship ------------------------

namespace {

// How a random scene is laid out. Positions are drawn around centre within
// spread; cellEdges snaps them to multiples of 128, the smallest cell, so many
// ships sit exactly on cell borders; duplicates stacks ships (and ids) on earlier ones.
struct SceneShape {
    const char* name;
    point centre;
    float spread;
    int ships;
    int shots;
    float shotSpeed;  // units per ms
    bool duplicates;
    bool cellEdges;
    int dt;
};

const SceneShape SCENES[] = {
    {"crowd round the origin", {0, 0}, 3000, 150, 300, 2, false, false, 16},
    {"negative quadrant, sparse", {-60000, -70000}, 40000, 120, 200, 4, false, false, 16},
    {"stacked ships and ids", {500, -500}, 1500, 100, 200, 1.5f, true, false, 16},
    {"ships on cell edges", {1024, -2048}, 900, 250, 200, 1, false, true, 16},  // dense: 128-unit cells
    {"shots many cells per frame", {0, 0}, 20000, 150, 200, 400, false, false, 16},
    {"zero-length moves", {0, 0}, 2000, 100, 150, 2, true, true, 0},
    {"moves far past the playfield", {90000, 90000}, 10000, 60, 100, 1e6f, false, false, 33},
};

struct SceneRun {
    std::string output;
    std::vector<float> numbers;  // every ship and shot, in list order
};

void weaponsForScenes()
{
    WEAPONDATA.assign(4, projectileData());
    WEAPONDATA[0].damage = 20;
    WEAPONDATA[1].damage = 0.5f;  // the beam
    WEAPONDATA[2].damage = 0.3f;  // the shockwave's rate
    WEAPONDATA[2].onHitEffect = 1;
    WEAPONDATA[3].homingRange = 900;
    WEAPONDATA[3].turnSpeed = 0.003f;
    for (projectileData& type : WEAPONDATA) type.lifetime = -1;
    SHIPDATA = {{0, 0, -1, 60, 5}, {1, 0.01f, 0.8f, 60, 5}, {3, 0.02f, 0.6f, 60, 5}};
}

WorldState buildScene(const SceneShape& shape, unsigned seed)
{
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> offset(-shape.spread, shape.spread);
    auto place = [&] {
        point p{shape.centre.x + offset(random), shape.centre.y + offset(random)};
        if (shape.cellEdges) p = point{128 * std::round(p.x / 128), 128 * std::round(p.y / 128)};
        return p;
    };
    WorldState world;
    for (int i = 0; i < shape.ships; ++i) {
        if (shape.duplicates && i > 0 && random() % 3 == 0) {
            Ship copy = *std::next(world.ships.begin(), long(random() % world.ships.size()));
            world.ships.push_back(copy);
            continue;
        }
        world.ships.push_back(Ship(place(), int(random() % 3), unsigned(world.getNewShipID())));
    }
    if (shape.shotSpeed > 1e5f) {  // a ship with no finite place is still everyone's candidate
        float far = std::numeric_limits<float>::infinity();
        world.ships.push_back(Ship(point{far, -far}, 0, 999));
    }
    for (int i = 0; i < shape.shots; ++i) {
        int type = i % 4 == 1 ? 3 : (i % 4 == 3 ? 2 : 0);
        float heading = shape.cellEdges ? 90.0f * float(random() % 4) : float(random() % 360);
        Projectile shot(place(), heading, world, type, 0, 0);
        float speed = shape.shotSpeed * float(random() % 100) / 50;
        shot.velocity = point{std::sin(shot.angle) * speed, std::cos(shot.angle) * speed};
        if (type == 3 && i % 8 == 1) shot.targetId = int(random() % (shape.ships + 5));  // some name no ship
        world.projectiles.push_back(shot);
    }
    return world;
}

// Three frames as the loop runs them: beam, shots, timed events, then ships move.
SceneRun runScene(const SceneShape& shape, unsigned seed, bool grid)
{
    ShipGrid::enabled = grid;
    std::srand(seed);
    WorldState world = buildScene(shape, seed);
    Player player(point{shape.centre.x + 10, shape.centre.y - 20});
    player.weapon = 1;
    SceneRun run;
    {
        StdoutCapture out;
        int now = 20000;
        for (int frame = 0; frame < 3; ++frame) {
            now += shape.dt;
            player.shoot(unsigned(now), world, point{player.location.x + 300 - 250 * frame, player.location.y + 200},
                         shape.dt);
            processProjectiles(world, shape.dt, now);
            runTimer(now, world);
            processShips(world, &player, shape.dt);
        }
        run.output = out.text();
    }
    for (const Ship& ship : world.ships)
        run.numbers.insert(run.numbers.end(), {float(ship.id), ship.location.x, ship.location.y, ship.health});
    for (const Projectile& shot : world.projectiles)
        run.numbers.insert(run.numbers.end(), {shot.location.x, shot.location.y, shot.angle, float(shot.targetId)});
    deleteTimers(world);
    ShipGrid::enabled = true;
    return run;
}

}  // namespace

TEST(ShipGrid, GivesTheSameHitsTargetsAndLinesAsTheWalkOverEveryShip)
{
    TablesGuard tables;
    weaponsForScenes();
    int hits = 0, targets = 0;
    for (const SceneShape& shape : SCENES)
        for (unsigned seed = 1; seed <= 3; ++seed) {
            SCOPED_TRACE(std::string(shape.name) + ", seed " + std::to_string(seed));
            SceneRun walk = runScene(shape, seed, false);
            SceneRun grid = runScene(shape, seed, true);
            EXPECT_EQ(grid.output, walk.output);
            ASSERT_EQ(grid.numbers.size(), walk.numbers.size());
            for (size_t i = 0; i < walk.numbers.size(); ++i)  // bit for bit, NaN included
                ASSERT_EQ(std::memcmp(&grid.numbers[i], &walk.numbers[i], sizeof(float)), 0) << "entry " << i;
            targets += int(walk.output.find("New target found") != std::string::npos);
            hits += int(walk.numbers.size() < size_t(4 * (shape.ships + shape.shots)));
        }
    EXPECT_GT(targets, 10);  // the scenes do exercise homing and hits
    EXPECT_GT(hits, 10);
}

TEST_F(Simulation, BusyWorldComesOutTheSameWithoutTheShipGrid)
{
    unsigned long long withGrid = run(300);
    ShipGrid::enabled = false;
    unsigned long long withoutGrid = run(300);
    ShipGrid::enabled = true;
    EXPECT_EQ(withoutGrid, withGrid);
}
