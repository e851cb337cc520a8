#include "entities/player.h"

// Stub: the flight model is built next.
Player::Player(point location, float thrustPower, float reversePower, float turnRate, float health, float radius)
    : location(location), thrustPower(thrustPower), reversePower(reversePower), turnRate(turnRate),
      health(health), radius(radius)
{
}
Player::Player(point location) : Player(location, 0.001f, 0.001f, 0.005f, 1000, 25) {}
void Player::update(int) {}
void Player::fly(int, const FlightKeys&) {}
void Player::turnCW(int) {}
void Player::turnCCW(int) {}
void Player::forwardThrust(int) {}
void Player::reverseThrust(int) {}
void Player::addVelocity(point v) { velocity.x += v.x; velocity.y += v.y; }
void Player::setVelocity(point v) { velocity = v; }
point Player::getVelocity() const { return velocity; }
void Player::setAngle(float radians) { angle = radians; }
float Player::getAngle() const { return angle * 57.2958f - 90; }
void Player::takeDamage(float amount) { health -= amount; }
float Player::getHealth() const { return health; }
float Player::getRadius() const { return radius; }
void Player::setLanded(int id) { planetId = id; landed = true; takeoffDelay = 300; }
bool Player::isLanded() const { return landed; }
void Player::warpWorld(int newWorld) { world = newWorld; }
int Player::getWorld() const { return world; }
void Player::setInput(bool enabled) { input = enabled; }
bool* Player::getInputPointer() { return &input; }
int* Player::getPlanetIdPointer() { return &planetId; }
int* Player::getWorldPointer() { return &world; }
bool* Player::getLandedPointer() { return &landed; }
void Player::draw() {}
void Player::trackWindow(float) {}
