#include "entities/player.h"

#include <cmath>

#include "data/emitterData.h"
#include "render/batch.h"
#include "render/textures.h"
#include "render/view.h"

Player::Player(point location, float thrustPower, float reversePower, float turnRate, float health, float radius)
    : location(location), thrustPower(thrustPower), reversePower(reversePower), turnRate(turnRate),
      health(health), radius(radius), flame(emitterTableAt(0)), trail(200, location, 20, 10.0f, 0.0f, 1.0f, 1.0f)
{
}

Player::Player(point location)
    : Player(location, BUILT_IN_THRUST, BUILT_IN_REVERSE, BUILT_IN_TURN_RATE, BUILT_IN_HEALTH, BUILT_IN_RADIUS)
{
    trail = Trail(100, location, 100, 5.0f, 0.5f, 0.5f, 0.5f);
}

void Player::update(int dt) { fly(dt, input ? keys : FlightKeys()); }

// The edge of the playfield stops the ship on that axis only.
static void stopAtEdge(float& coordinate, float& speed)
{
    if (coordinate > PLAYFIELD_LIMIT) {
        coordinate = PLAYFIELD_LIMIT;
        speed = 0;
    } else if (coordinate < -PLAYFIELD_LIMIT) {
        coordinate = -PLAYFIELD_LIMIT;
        speed = 0;
    }
}

void Player::fly(int dt, const FlightKeys& keys)
{
    // A wormhole can carry us again only after one whole frame outside all of them,
    // so arriving inside a wormhole does not bounce us straight back.
    if (outsideWormholes) warpReady = true;
    outsideWormholes = true;

    burning = false;
    if (input) {
        if (keys.turnRight) turnCW(dt);
        if (keys.turnLeft) turnCCW(dt);
        if (keys.thrust) {
            thrusting = 1.0f;
            burning = takeoffDelay <= 0;
            forwardThrust(dt);
        } else if (keys.reverse) {
            thrusting = 0.0f;
            burning = !landed;
            reverseThrust(dt);
        } else {
            thrusting = 0.0f;
        }
    }

    if (takeoffDelay > 0) takeoffDelay -= dt;
    if (!landed) {  // the planet carries a landed ship
        location.x += velocity.x * dt;
        location.y += velocity.y * dt;
        stopAtEdge(location.x, velocity.x);
        stopAtEdge(location.y, velocity.y);
    }
    trail.update(location, dt);
}

void Player::turnCW(int dt)
{
    if (!landed) angle -= dt * turnRate;
}

void Player::turnCCW(int dt)
{
    if (!landed) angle += dt * turnRate;
}

void Player::forwardThrust(int dt)
{
    if (takeoffDelay > 0) return;
    if (landed) {
        // Take-off spends the charge gathered by holding reverse on the ground.
        GameEvent tookOff{GameEventKind::TookOff, location};
        tookOff.planet = planetId;
        landed = false;
        planetId = -1;
        dt += launchCharge;
        launchCharge = 0;
        tell(tookOff);
    }
    velocity.x += std::cos(angle) * thrustPower * dt;
    velocity.y += std::sin(angle) * thrustPower * dt;
}

void Player::reverseThrust(int dt)
{
    if (landed) {
        if (launchCharge == 0 && dt > 0) tell({GameEventKind::LaunchCharging, location});
        launchCharge += dt;
        return;
    }
    velocity.x -= std::cos(angle) * reversePower * dt;
    velocity.y -= std::sin(angle) * reversePower * dt;
}

void Player::addVelocity(point v)
{
    velocity.x += v.x;
    velocity.y += v.y;
}

void Player::setVelocity(point v) { velocity = v; }
point Player::getVelocity() const { return velocity; }
void Player::setAngle(float radians) { angle = radians; }
float Player::getAngle() const { return float(angle * DEGREES_PER_RADIAN - 90); }
void Player::takeDamage(float amount) { health -= amount; }
float Player::getHealth() const { return health; }
float Player::getRadius() const { return radius; }

void Player::setLanded(int id)
{
    planetId = id;
    landed = true;
    takeoffDelay = 300;
}

bool Player::isLanded() const { return landed; }
void Player::warpWorld(int newWorld)
{
    trail.clear(location);  // no streak across the jump
    world = newWorld;
}
int Player::getWorld() const { return world; }
void Player::setInput(bool enabled) { input = enabled; }
bool* Player::getInputPointer() { return &input; }
int* Player::getPlanetIdPointer() { return &planetId; }
int* Player::getWorldPointer() { return &world; }
bool* Player::getLandedPointer() { return &landed; }

void Player::draw() const { drawPlayerAt(*this, location, getAngle()); }

void drawPlayerAt(const Player& player, point location, float angle)
{
    batch.bindTexture(textureAt(textures, TEX_PLAYER));
    batch.square(location, player.radius, angle);  // the hull image points along +y
    batch.bindTexture(0);
}

void Player::advanceFlame(int dt)
{
    flame.position = location;
    flame.angle = getAngle() + 180;  // the flame points backwards
    flame.time += dt;
}

void Player::drawTrail(int) const { drawPlayerTrailAt(*this, location); }

void drawPlayerTrailAt(const Player& player, point location)
{
    player.flame.setUniform(player.thrusting, 1);
    player.flame.draw();
    player.trail.draw(location);
}

void tellPlayerDamaged(const Player& player, float damage, HitBy by)
{
    GameEvent hurt{GameEventKind::PlayerDamaged, player.location};
    hurt.amount = damage;
    hurt.health = player.health;
    hurt.by = by;
    tell(hurt);
}

void Player::trackWindow(float) { loadOrtho(-110000.0 * w / h, 110000.0 * w / h, -110000, 110000); }
