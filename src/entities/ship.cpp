#include "entities/ship.h"

// Stub: enemy ships are built with the combat work.
Ship::Ship(point location, int, unsigned int id)
    : location(location), id(id), ai(0), acceleration(0), maxSpeed(-1), health(1), ramDamage(0)
{
}
bool Ship::update(int, WorldState&, Player*) { return true; }
bool Ship::takeDamage(float amount) { health -= amount; return health > 0; }
void Ship::addVelocity(point v) { velocity.x += v.x; velocity.y += v.y; }
void Ship::calcTheta() {}
float Ship::getTheta() const { return theta; }
unsigned int Ship::getID() const { return id; }
void Ship::setAI(int mode) { ai = mode; }
