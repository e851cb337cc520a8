#include "entities/planet.h"

// Stub: planets are built with the flight work.
Planet::Planet(int id, float radius, float density, float orbitRadius, float orbitSpeed, float initLoc,
               float rotationalSpeed, float initRot, int texture, std::string name)
    : id(id), radius(radius), density(density), orbitRadius(orbitRadius), orbitSpeed(orbitSpeed),
      orbitAngle(initLoc), rotationalSpeed(rotationalSpeed), rotation(initRot), texture(texture), name(name)
{
}
void Planet::update(WorldState&, Player*, int, point) {}
void Planet::draw() {}
float Planet::getRadius() const { return radius; }
std::string Planet::getName() const { return name; }
