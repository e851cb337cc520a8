// The centre of a world's gravity, with the planets that orbit it.
#pragma once

#include <string>
#include <vector>

#include "core/basics.h"
#include "entities/planet.h"

class WorldState;
class Player;

class Star {
public:
    point location;
    std::vector<Planet> planets;
    float radius;
    float density;  // scales both the mass and the reach of the pull
    int texture;
    std::string name;

    Star(point location, float radius, float density, int texture, std::string name);

    void addPlanet(Planet p);
    void update(WorldState& world, Player* player, int dt);
    void draw() const;
    float getRadius() const;
    int getTexture() const;
    std::string getName() const;
};

// The pull of a body of this radius and density on something at distance d
// for dt ms; shared by stars and planets.
float gravityKick(float radius, float density, float d, int dt);
// How far that pull reaches from the body's centre.
float gravityReach(float radius, float density);
// The velocity the pull adds to something at body, d away from centre (d > 0).
point gravityPull(point centre, point body, float radius, float density, float d, int dt);
// What stars and planets alike do to a world's projectiles and ships: those that
// touch the body explode and are removed, the others within reach are pulled.
void swallowOrPull(WorldState& world, point centre, float radius, float density, int dt);
// A star and its planets as the frame shows them, planets first.
void drawStarSystem(const Star& star);
