#include "support/busyGame.h"

#include <algorithm>

#include "entities/timerClasses.h"

namespace {

// FNV-1a over the bytes of the numbers that make up the state.
struct Hasher {
    unsigned long long value = 1469598103934665603ull;
    void add(const void* data, size_t size)
    {
        const unsigned char* bytes = static_cast<const unsigned char*>(data);
        for (size_t i = 0; i < size; ++i) value = (value ^ bytes[i]) * 1099511628211ull;
    }
    template <class T>
    void add(T v)
    {
        add(&v, sizeof v);
    }
    void add(point p)
    {
        add(p.x);
        add(p.y);
    }
};

void hashWorld(Hasher& h, const WorldState& world)
{
    h.add(int(world.ships.size()));
    for (const Ship& ship : world.ships) {
        h.add(ship.id);
        h.add(ship.location);
        h.add(ship.velocity);
        h.add(ship.health);
    }
    h.add(int(world.projectiles.size()));
    for (const Projectile& shot : world.projectiles) {
        h.add(shot.location);
        h.add(shot.velocity);
        h.add(shot.targetId);
        h.add(shot.lifetime);
    }
    for (const Star& star : world.stars)
        for (const Planet& planet : star.planets) {
            h.add(planet.location);
            h.add(planet.rotation);
        }
    h.add(int(world.timers.size()));
    for (const OwnedTimer& timer : world.timers) {
        h.add(timer->endTime);
        h.add(timer->shownPass);
        if (auto* wave = dynamic_cast<const TShockwave*>(timer.get())) h.add(wave->rotation);
    }
}

}  // namespace

BusyGame::BusyGame(std::uint64_t seed)
{
    WEAPONDATA.assign(4, projectileData());
    WEAPONDATA[0].speed = 2;
    WEAPONDATA[0].lifetime = 3000;
    WEAPONDATA[0].damage = 30;
    WEAPONDATA[0].numProjectiles = 3;
    WEAPONDATA[0].spread = 12;  // a random cone: the generator decides
    WEAPONDATA[1].damage = 0.5f;  // the beam
    WEAPONDATA[2].onHitEffect = 1;
    WEAPONDATA[2].onDeathEffect = 1;  // a shockwave when it hits or runs out
    WEAPONDATA[2].damage = 0.3f;
    WEAPONDATA[2].speed = 1.5f;
    WEAPONDATA[2].lifetime = 4000;
    WEAPONDATA[3].homingRange = 3000;
    WEAPONDATA[3].turnSpeed = 0.003f;
    WEAPONDATA[3].speed = 1;
    WEAPONDATA[3].lifetime = 2500;
    WEAPONDATA[3].damage = 20;
    SHIPDATA = {{0, 0, -1, 50, 5}, {1, 0.01f, 0.8f, 50, 5}, {2, 0.01f, 0.5f, 50, 5}, {3, 0.02f, 0.6f, 50, 5}};

    universe.worlds.resize(2);
    universe.player = &player;
    WorldState& world = universe.worlds[0];
    Star star(point{0, 0}, 600, 1, 14, "Sol");
    star.addPlanet(Planet(0, 200, 1, 2500, 0.01f, 0, 0.05f, 0, 10, "Inner"));
    star.addPlanet(Planet(1, 300, 0.5f, 5000, 0.004f, 180, -0.02f, 0, 23, "Outer"));
    world.stars.push_back(star);
    world.wormholes.push_back(Wormhole(0, point{-2200, 2600}, 200, 1, point{0, 0}, 0));
    for (int mode = 0; mode < 4; ++mode)
        for (int i = 0; i < 3; ++i)
            world.ships.push_back(Ship(point{-1500.0f + 900 * i, 1500.0f - 800 * mode}, mode, world.getNewShipID()));
    game.universe = &universe;
    game.reseed(seed);
    game.now = 10000;
    game.spawnClock = 10000;
}

Command BusyGame::commandAt(int frame) const
{
    Command c;
    c.flight.thrust = frame < 60 || (frame > 300 && frame < 340);
    c.flight.turnLeft = frame >= 20 && frame < 50;
    c.flight.turnRight = frame >= 200 && frame < 230;
    c.fire = frame % 25 < 6;
    if (frame % 25 == 0) c.pressed.push_back(Action(int(Action::Slot1) + (frame / 25) % 4));
    if (frame == 1) c.pressed.insert(c.pressed.end(), 3, Action::SpawnFaster);
    if (frame % 40 == 7) c.pressed.push_back(Action::ZoomOut);
    c.pointerDx = frame % 9 - 4;
    c.pointerDy = frame % 5 - 2;
    return c;
}

void BusyGame::run(int frames, const std::function<void(const GameState&)>& show)
{
    for (int frame = 0; frame < frames; ++frame) {
        const int dt = frame % 13 == 6 ? 0 : 10 + frame % 7;
        const GameEvents events = stepGame(game, commandAt(frame), dt);
        for (const GameEvent& e : events) {
            Hasher h;
            h.value = eventHash;
            h.add(int(e.kind));
            h.add(e.at);
            h.add(e.slot);
            h.add(e.target);
            h.add(e.planet);
            h.add(e.to);
            h.add(e.amount);
            eventHash = h.value;
            ++kinds[e.kind];
        }
        mostTimers = std::max(mostTimers, universe.currentWorld().timers.size());
        if (show) show(game);
    }
}

unsigned long long BusyGame::hash() const
{
    Hasher h;
    h.add(eventHash);
    h.add(game.now);
    h.add(game.random.state);
    h.add(game.zoom);
    h.add(game.pointerPos);
    h.add(player.location);
    h.add(player.velocity);
    h.add(player.health);
    h.add(player.world);
    for (const WorldState& world : universe.worlds) hashWorld(h, world);
    return h.value;
}
