// Enemy ships: steering by behaviour mode, the speed cap, the playfield edge,
// ramming the player and dying in an explosion.
#include "entities/ship.h"

#include <cmath>
#include <cstdio>

#include "entities/worldState.h"
#include "data/defaultVals.h"
#include "entities/player.h"
#include "entities/timer.h"
#include "core/report.h"

namespace {

const float RAM_DISTANCE = 50.0f;
const float HOLD_RING = 500.0f;     // mode 3 keeps this far from the player
const float HOLD_BAND = 100.0f;     // within this of the ring the push fades and damps
const double HOLD_DAMPING = 0.98;  // per millisecond inside the band; each step rounds to float

enum Behaviour { DRIFT = 0, PURSUE = 1, FLEE = 2, HOLD_DISTANCE = 3 };

// The five numbers of a ship type, or none when the type names no full row.
const std::vector<float>* typeRow(int type)
{
    if (type < 0 || size_t(type) >= SHIPDATA.size() || SHIPDATA[size_t(type)].size() < 5) return nullptr;
    return &SHIPDATA[size_t(type)];
}

void capSpeed(point& velocity, float maxSpeed)
{
    if (maxSpeed < 0) return;
    float speed = std::sqrt(velocity.x * velocity.x + velocity.y * velocity.y);
    if (!(speed > maxSpeed)) return;
    float ratio = speed / maxSpeed;
    velocity.x /= ratio;
    velocity.y /= ratio;
}

// Stops at the edge only when moving outward; a ship heading back in keeps going.
void clampToPlayfield(float& coordinate, float& velocity)
{
    if (coordinate > PLAYFIELD_LIMIT) {
        coordinate = PLAYFIELD_LIMIT;
        if (velocity > 0) velocity = 0;
    } else if (coordinate < -PLAYFIELD_LIMIT) {
        coordinate = -PLAYFIELD_LIMIT;
        if (velocity < 0) velocity = 0;
    }
}

}  // namespace

Ship::Ship(point location, int type, unsigned int id) : location(location), id(id), type(type)
{
    const std::vector<float>* row = typeRow(type);
    if (!row) {
        report({"", "", formatted("Ship type %d names no row of shipdata.txt; using zeros", type), Severity::Warning});
        ai = 0;
        acceleration = maxSpeed = health = ramDamage = 0;
        return;
    }
    ai = int((*row)[0]);
    acceleration = (*row)[1];
    maxSpeed = (*row)[2];
    health = (*row)[3];
    ramDamage = (*row)[4];
}

// Mode 3: eases onto the ring round the player and faces it there.
static void holdDistance(Ship& ship, float d, float k, point toPlayer, int dt)
{
    ship.calcTheta();
    if (d < HOLD_RING) k = -k;
    float e = std::fabs(d - HOLD_RING);
    if (e < HOLD_BAND) {
        float h = k * e / HOLD_BAND;
        ship.velocity.x += h * toPlayer.x;
        ship.velocity.y += h * toPlayer.y;
        for (int i = 0; i < dt; ++i) {
            ship.velocity.x *= HOLD_DAMPING;
            ship.velocity.y *= HOLD_DAMPING;
        }
        ship.theta = std::atan2(toPlayer.y, toPlayer.x) - QUARTER_TURN;
    } else {
        ship.velocity.x += k * toPlayer.x;
        ship.velocity.y += k * toPlayer.y;
    }
    capSpeed(ship.velocity, ship.maxSpeed);
}

bool Ship::update(int dt, WorldState& world, Player* player)
{
    if (health <= 0) {
        standardExplosion(location, world);
        GameEvent destroyed{GameEventKind::ShipDestroyed, location};
        destroyed.type = type;
        destroyed.target = int(id);
        destroyed.byPlayer = true;  // only the player's weapons do damage
        tell(destroyed);
        return false;
    }
    float d = pointDistance(player->location, location);
    if (d < RAM_DISTANCE) {
        player->takeDamage(ramDamage);
        tellPlayerDamaged(*player, ramDamage, HitBy::Ram);
        GameEvent rammed{GameEventKind::Rammed, location};
        rammed.target = int(id);
        rammed.type = type;
        tell(rammed);
        return false;
    }

    point toPlayer{player->location.x - location.x, player->location.y - location.y};
    float k = acceleration / d;
    switch (ai) {
    case PURSUE:
    case FLEE: {
        float push = ai == PURSUE ? k : -k;
        velocity.x += push * toPlayer.x;
        velocity.y += push * toPlayer.y;
        capSpeed(velocity, maxSpeed);
        calcTheta();
        break;
    }
    case HOLD_DISTANCE: holdDistance(*this, d, k, toPlayer, dt); break;
    default: break;
    }

    location.x += velocity.x * dt;
    location.y += velocity.y * dt;
    clampToPlayfield(location.x, velocity.x);
    clampToPlayfield(location.y, velocity.y);
    trail.update(location, dt);
    return true;
}

bool Ship::takeDamage(float amount)
{
    health -= amount;
    return health > 0;
}

void Ship::addVelocity(point v)
{
    velocity.x += v.x;
    velocity.y += v.y;
}

void tellHit(const Ship& ship, float damage, HitBy by)
{
    GameEvent hit{GameEventKind::Hit, ship.location};
    hit.target = int(ship.getID());
    hit.type = ship.type;
    hit.amount = damage;
    hit.health = ship.health;
    hit.by = by;
    hit.byPlayer = true;
    tell(hit);
}

void Ship::calcTheta() { theta = std::atan2(velocity.y, velocity.x) - QUARTER_TURN; }
float Ship::getTheta() const { return theta; }
unsigned int Ship::getID() const { return id; }
void Ship::setAI(int mode) { ai = mode; }
