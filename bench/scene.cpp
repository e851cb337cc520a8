#include "scene.h"

#include <cstdio>
#include <fcntl.h>
#include <random>
#include <unistd.h>

#include "data/defaultVals.h"
#include "entities/timer.h"
#include "entities/timerClasses.h"
#include "sim/frameProcessing.h"

void benchTables()
{
    WEAPONDATA.assign(4, projectileData());
    WEAPONDATA[0].speed = 2.5f;  // pulse gun
    WEAPONDATA[0].damage = 10;
    WEAPONDATA[1].damage = 0.5f;  // beam
    WEAPONDATA[2].speed = 1.2f;   // shockwave pod
    WEAPONDATA[2].damage = 0.3f;
    WEAPONDATA[2].onHitEffect = 1;
    WEAPONDATA[3].speed = 1;  // seeker
    WEAPONDATA[3].damage = 40;
    WEAPONDATA[3].homingRange = 1500;
    WEAPONDATA[3].turnSpeed = 0.003f;
    for (projectileData& type : WEAPONDATA) type.lifetime = 5000;
    SHIPDATA = {{0, 0, -1, 100, 5}, {1, 0.01f, 0.5f, 100, 5}, {2, 0.01f, 0.5f, 100, 5}, {3, 0.02f, 0.6f, 100, 5}};
}

point benchPlayerPlace() { return point{-11000, 3000}; }

WorldState benchScene(int shipCount, int shotsPerShip, int now)
{
    std::mt19937 random(12345);
    std::uniform_real_distribution<float> field(-100000, 99999);
    std::uniform_real_distribution<float> near(-3000, 3000);
    WorldState world;

    Star sun(point{-20000, 0}, 1500, 1, 21, "Helion");
    for (int i = 0; i < 5; ++i)
        sun.addPlanet(Planet(i, 200 + 50 * i, 1, 4000 + 3000 * i, 0.005f, 72.0f * i, 0.02f, 0, 23, "Planet"));
    world.stars.push_back(sun);
    Star twin(point{60000, -40000}, 900, 1, 22, "Twin");
    twin.addPlanet(Planet(5, 300, 1, 6000, 0.004f, 30, 0.01f, 0, 24, "Moon"));
    world.stars.push_back(twin);

    for (int i = 0; i < shipCount; ++i)
        world.ships.push_back(Ship(point{field(random), field(random)}, 1 + i % 3, unsigned(world.getNewShipID())));
    // Shots fly round the ships, as they do round the player's targets in play.
    std::vector<point> places;
    for (const Ship& ship : world.ships) places.push_back(ship.location);
    for (int i = 0; i < shipCount * shotsPerShip; ++i) {
        point at = places[size_t(i) % places.size()];
        int type = i % 4 == 3 ? 3 : (i % 40 == 1 ? 2 : 0);
        world.projectiles.push_back(
            Projectile(point{at.x + near(random), at.y + near(random)}, float(random() % 360), world, type, 0, 0));
    }
    for (int i = 0; i < shipCount / 20 + 2; ++i) standardExplosion(places.empty() ? point{0, 0} : places[size_t(i) % places.size()], world, now);
    for (int i = 0; i < 3; ++i) {
        TShockwave* wave = new TShockwave(200, now - 100, 2000, places.empty() ? point{0, 0} : places[size_t(i) % places.size()]);
        wave->endTime = now + 1000000;
        addTimer(wave, world);
    }
    for (OwnedTimer& timer : world.timers) timer->endTime = now + 1000000;  // none retire while measured
    // One frame already flown, so seekers hold the locks they keep in play
    // instead of all searching at once.
    processProjectiles(world, 16, now - 16);
    return world;
}

void benchFrame(WorldState& world, Player& player, int dt, int now)
{
    processProjectiles(world, dt, now);
    runTimer(now, world);
    processShips(world, &player, dt);
    processStars(world, &player, dt);
}

QuietStdout::QuietStdout()
{
    std::fflush(stdout);
    saved = dup(fileno(stdout));
    int devNull = open("/dev/null", O_WRONLY);
    dup2(devNull, fileno(stdout));
    close(devNull);
}

QuietStdout::~QuietStdout()
{
    std::fflush(stdout);
    dup2(saved, fileno(stdout));
    close(saved);
}
