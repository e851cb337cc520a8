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
    void draw();
    float getRadius() const;
    int getTexture() const;
    std::string getName() const;
};

// The pull of a body of this radius and density on something at distance d
// for dt ms; shared by stars and planets.
float gravityKick(float radius, float density, float d, int dt);
