#include "entities/star.h"

// Stub: stars and gravity are built with the flight work.
Star::Star(point location, float radius, float density, int texture, std::string name)
    : location(location), radius(radius), density(density), texture(texture), name(name)
{
}
void Star::addPlanet(Planet p) { planets.push_back(p); }
void Star::update(WorldState&, Player*, int) {}
void Star::draw() {}
float Star::getRadius() const { return radius; }
int Star::getTexture() const { return texture; }
std::string Star::getName() const { return name; }
float gravityKick(float, float, float, int) { return 0; }
