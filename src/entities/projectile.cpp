// One shot in flight: motion, expiry, the swept hit test against enemy ships,
// homing, drawing, and the events run on a hit or at the end of its life.
#include "entities/projectile.h"

#include <cmath>
#include <cstdio>

#include "core/report.h"
#include "entities/worldState.h"
#include "data/defaultVals.h"
#include "entities/ship.h"
#include "entities/timerClasses.h"
#include "render/batch.h"
#include "render/textures.h"
#include "render/view.h"
#include "entities/gameEvents.h"

namespace {

const float HIT_RADIUS = 50.0f;

// The record of a type, or null when the index names no weapon.
const projectileData* typeData(int type)
{
    if (type < 0 || size_t(type) >= WEAPONDATA.size()) return nullptr;
    return &WEAPONDATA[size_t(type)];
}

point headingVelocity(float angle, float speed)
{
    return point{std::sin(angle) * speed, std::cos(angle) * speed};
}

// Keeps the lock while the target is within twice the range; otherwise picks
// the nearest ship within the range. Null when there is nothing to home on.
Ship* homingTarget(Projectile& p, WorldState& world, float range)
{
    if (p.targetId != 0) {
        Ship* locked = world.shipGrid.withId(world.ships, unsigned(p.targetId));
        float lockRange = 2 * range;
        if (locked && sqPointDistance(locked->location, p.location) < lockRange * lockRange) return locked;
        p.targetId = 0;
    }
    Ship* target = nullptr;
    float best = range * range;
    world.shipGrid.nearPoint(world.ships, p.location, range, [&](Ship& ship) {
        float sq = sqPointDistance(ship.location, p.location);
        if (!(sq < best)) return;
        report({"", "", "New target found", Severity::Trace});
        p.targetId = int(ship.getID());
        best = sq;
        target = &ship;
    });
    return target;
}

void drawGuideLine(point from, point to)
{
    batch.bindTexture(0);
    // The shot's quad is tinted with the line's last colour, drawn or not.
    batch.colour(1.0f, 0.2f, 0.2f);
    point middle{(from.x + to.x) / 2, (from.y + to.y) / 2};
    if (!onScreen(middle, pointDistance(from, to) / 2)) return;
    batch.line(from, Rgba{0.2f, 1.0f, 0.2f, 1}, to, Rgba{1.0f, 0.2f, 0.2f, 1});
}

// New compass heading: towards the target, the shorter way round, by at most
// maxTurn radians.
float turnTowards(float angle, point from, point target, float maxTurn)
{
    float desired = std::atan2(target.y - from.y, -(target.x - from.x)) - QUARTER_TURN;
    if (desired < 0) desired += FULL_TURN;
    float current = angle;
    if (current < 0) current += FULL_TURN;
    float diff = desired - current;
    if (std::fabs(diff) > float(HALF_TURN)) {
        if (current > desired)
            diff += FULL_TURN;
        else
            diff -= FULL_TURN;
    }
    if (diff > maxTurn) diff = maxTurn;
    if (diff < -maxTurn) diff = -maxTurn;
    return current + diff;
}

void drawShot(point location, float angle, const projectileData& type)
{
    if (!onScreen(location, type.size * SQUARE_CORNER)) return;
    batch.bindTexture(textureAt(projTextures, type.texture));
    batch.square(location, type.size, -(angle * float(DEGREES_PER_RADIAN)));  // compass angles turn clockwise
    batch.bindTexture(0);
}

}  // namespace

Projectile::Projectile(point location, float angleDeg, WorldState&, int type, float vx, float vy)
    : location(location), type(type), angle(angleDeg * SHOT_RADIANS_PER_DEGREE), lifetime(0), velocity{vx, vy}, damage(0)
{
    const projectileData* data = typeData(type);
    if (data) {
        lifetime = data->lifetime;
        damage = data->damage;
        point muzzle = headingVelocity(angle, data->speed);
        velocity = point{muzzle.x + vx, muzzle.y + vy};
    }
    calcTheta();
}

void Projectile::calcTheta() { angle = std::atan2(velocity.y, -velocity.x) - QUARTER_TURN; }

void Projectile::addVelocity(point v)
{
    velocity.x += v.x;
    velocity.y += v.y;
}

bool Projectile::affectedByGrav() const
{
    const projectileData* data = typeData(type);
    return data ? data->grav : true;
}

bool Projectile::update(int dt, WorldState& world, int now)
{
    const projectileData* data = typeData(type);
    if (!data) {
        report({"", "", formatted("Projectile type %d names no weapon; removed", type), Severity::Warning});
        return false;
    }

    guided = false;
    point previous = location;
    location.x += velocity.x * dt;
    location.y += velocity.y * dt;

    if (lifetime >= 0 && lifetime < dt) {
        if (data->onDeathEffect != 0) return projectileEvent(world, location, data->onDeathEffect, now);
        return false;
    }
    if (handleCollision(previous, world, now)) return projectileEvent(world, location, data->onHitEffect, now);

    if (data->homingRange != 0) {
        Ship* target = homingTarget(*this, world, data->homingRange);
        if (target) {
            guided = true;
            guideFrom = target->location;
            angle = turnTowards(angle, location, target->location, dt * data->turnSpeed);
        }
        velocity = headingVelocity(angle, data->speed);
    }

    if (lifetime >= 0) lifetime -= dt;  // a negative lifetime is endless; no need to count it down
    return true;
}

bool Projectile::handleCollision(point previous, WorldState& world, int now)
{
    return handleCollision(previous, world, now, 50);
}

bool Projectile::handleCollision(point previous, WorldState& world, int, int)
{
    Ship* hit = nullptr;
    float hitDistance = 0;
    world.shipGrid.nearSegment(world.ships, location, previous, HIT_RADIUS, [&](Ship& ship) {
        if (!intersectCircleLine(location, previous, ship.location, HIT_RADIUS)) return;
        float d = pointDistance(ship.location, location);
        if (!hit || d < hitDistance) {
            hit = &ship;
            hitDistance = d;
        }
    });
    if (!hit) return false;
    const projectileData* data = typeData(type);
    if (!data || data->damage == 0) return true;
    hit->takeDamage(damage);
    tellHit(*hit, damage, HitBy::Shot);
    return true;
}

void drawProjectile(const Projectile& shot)
{
    const projectileData* data = typeData(shot.type);
    if (!data) return;
    if (shot.guided) drawGuideLine(shot.guideFrom, shot.location);
    drawShot(shot.location, shot.angle, *data);
}

bool projectileEvent(WorldState& world, point location, int eventNum, int now)
{
    switch (eventNum) {
    case 0: return false;
    case 1: {
        report({"", "", "Shockwave fired", Severity::Trace});
        TShockwave* wave = new TShockwave(200, now, 2000, location);
        wave->startTime = 0;
        wave->endTime = now + 2000;
        addTimer(wave, world);
        tell({GameEventKind::Shockwave, location});
        return false;
    }
    default:
        // Keeping the shot would repeat the event, and this line, every frame for good.
        report({"", "", formatted("Bad eventNum value in projectileEvent %d", eventNum), Severity::Note});
        return false;
    }
}
