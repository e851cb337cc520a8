// Firing the player's weapons: projectile slots with cooldowns, fans and
// random cones, and the beam in slot 1 that is traced to the first thing it meets.
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "entities/worldState.h"
#include "data/defaultVals.h"
#include "entities/player.h"
#include "entities/projectile.h"
#include "entities/ship.h"
#include "entities/star.h"
#include "render/batch.h"
#include "render/textures.h"
#include "core/report.h"
#include "entities/gameEvents.h"

namespace {

const int BEAM_SLOT = 1;
const float BEAM_SHIP_RADIUS = 50.0f;
const int MOUSE_ON_SHIP = 20;  // game units on each axis

// Compass degrees from one point to another: 0 along +y, clockwise, in [0, 360).
float compassTowards(point from, point target)
{
    float a = std::atan2(target.y - from.y, target.x - from.x) * ROUGH_DEGREES_PER_RADIAN;
    float compass = 90 - a;
    if (compass < 0) compass += 360;
    return compass;
}

// Limits are absolute directions; min > max means the allowed arc runs through 0.
bool directionAllowed(const projectileData& weapon, float compass)
{
    if (weapon.minAngle <= weapon.maxAngle) return compass >= weapon.minAngle && compass <= weapon.maxAngle;
    return compass >= weapon.minAngle || compass <= weapon.maxAngle;
}

// A shot with the pointer on the ship has no sensible direction. The coordinates
// are cut to whole units in float, which no value can overflow.
bool mouseOnShip(point location, point target)
{
    return std::fabs(std::trunc(location.x) - std::trunc(target.x)) <= MOUSE_ON_SHIP &&
           std::fabs(std::trunc(location.y) - std::trunc(target.y)) <= MOUSE_ON_SHIP;
}

// Direction of projectile i of n: an even fan with both edges included, or a
// random pick within the cone in steps of 0.02 degrees.
float shotDirection(const projectileData& weapon, float compass, int i, int n)
{
    float spread = weapon.spread;
    if (spread == 0) return compass;
    if (weapon.uniformSpread && n > 1) return compass + spread / (n - 1) * i - spread * 0.5f;
    int steps = int(spread * 50);
    if (steps == 0) return compass;  // a cone narrower than one step has nowhere else to go
    return compass + float(rand15() % steps) / 50 - spread * 0.5f;
}

// Where the ray from origin along d leaves the playfield.
point rayToEdge(point origin, point d)
{
    auto edgeFactor = [](float from, float dir) {
        if (dir > 0) return (PLAYFIELD_LIMIT - from) / dir;
        if (dir < 0) return (-PLAYFIELD_LIMIT - from) / dir;
        return 0.0f;
    };
    float tx = edgeFactor(origin.x, d.x);
    float ty = edgeFactor(origin.y, d.y);
    float t;
    if (tx < ty && tx != 0)
        t = tx;
    else if (ty != 0)
        t = ty;
    else
        t = tx;
    return point{origin.x + d.x * t, origin.y + d.y * t};
}

// The enemy ship nearest to origin whose circle the segment crosses, or null.
Ship* nearestShipOnSegment(WorldState& world, point origin, point end, float& distance)
{
    Ship* best = nullptr;
    ShipGrid::Pass pass(world.shipGrid, world.ships);
    world.shipGrid.nearSegment(world.ships, origin, end, BEAM_SHIP_RADIUS, [&](Ship& ship) {
        if (!intersectCircleLine(origin, end, ship.location, BEAM_SHIP_RADIUS)) return;
        float d = pointDistance(origin, ship.location);
        if (!best || d < distance) {
            best = &ship;
            distance = d;
        }
    });
    return best;
}

// True when a star or planet crossed by the segment is nearer than bestDistance
// (or when there was no hit at all before it).
bool blockedByBody(const WorldState& world, point origin, point end, bool haveHit, float bestDistance)
{
    bool blocked = false;
    auto consider = [&](point centre, float radius) {
        if (!intersectCircleLine(origin, end, centre, radius)) return;
        float d = pointDistance(origin, centre);
        if (haveHit && d >= bestDistance) return;
        haveHit = true;
        bestDistance = d;
        blocked = true;
    };
    for (const Star& star : world.stars) {
        consider(star.location, star.radius);
        for (const Planet& planet : star.planets) consider(planet.location, planet.radius);
    }
    return blocked;
}

}  // namespace

void drawBeam(const BeamShot& beam)
{
    if (!beam.firing) return;
    const point origin = beam.origin, d = beam.direction, end = beam.end;
    float len = pointDistance(origin, end);
    const point corners[4] = {{-10, 0}, {-10, len}, {10, len}, {10, 0}};
    const point texCoords[4] = {{0, 0.5f}, {0, 0.5f}, {1, 0.5f}, {1, 0.5f}};
    batch.bindTexture(textureAt(textures, TEX_LASER));
    batch.quad(origin, float((std::atan2(d.y, d.x) - QUARTER_TURN) * DEGREES_PER_RADIAN), corners, texCoords);
    batch.bindTexture(0);
}

namespace {

void fireBeam(Player& player, WorldState& world, point target, int dt)
{
    point origin = player.location;
    point d{target.x - origin.x, target.y - origin.y};
    point end = rayToEdge(origin, d);

    float shipDistance = 0;
    Ship* ship = nearestShipOnSegment(world, origin, end, shipDistance);
    if (!blockedByBody(world, origin, end, ship != nullptr, shipDistance) && ship) {
        end = ship->location;
        float damage = dt * WEAPONDATA[BEAM_SLOT].damage;
        ship->takeDamage(damage);
        tellHit(*ship, damage, HitBy::Beam);
    }
    player.beam = BeamShot{true, origin, d, end};
    GameEvent firing{GameEventKind::BeamFiring, origin};
    firing.slot = BEAM_SLOT;
    tell(firing);
}

void fireProjectiles(Player& player, WorldState& world, point target, unsigned int now, int slot,
                     float compass)
{
    std::vector<float>& ready = player.weaponReadyTime;
    if (ready.size() <= size_t(slot)) ready.resize(size_t(slot) + 1, 0.0f);
    if (!(now > ready[slot])) return;
    if (mouseOnShip(player.location, target)) return;

    const projectileData& weapon = WEAPONDATA[slot];
    ready[slot] = float(double(now) + weapon.cooldown);
    int n = weapon.numProjectiles;
    for (int i = 0; i < n; ++i) {
        float direction = shotDirection(weapon, compass, i, n);
        world.projectiles.push_front(
            Projectile(player.location, direction, world, slot, player.velocity.x, player.velocity.y));
    }
    if (n == 0) return;
    GameEvent fired{GameEventKind::ShotFired, player.location};
    fired.slot = slot;
    tell(fired);
}

}  // namespace

void Player::shoot(unsigned int now, WorldState& world, point target, int dt)
{
    if (!input) return;
    int slot = weapon + weaponBank;
    if (slot < 0 || size_t(slot) >= WEAPONDATA.size()) {
        report({"", "", formatted("Bad weapon selection %d", slot), Severity::Note});
        return;
    }
    float compass = compassTowards(location, target);
    if (!directionAllowed(WEAPONDATA[slot], compass)) return;

    if (slot == BEAM_SLOT)
        fireBeam(*this, world, target, dt);
    else
        fireProjectiles(*this, world, target, now, slot, compass);
}
