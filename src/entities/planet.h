// A planet on a fixed circular orbit round its star; the player lands on it.
#pragma once

#include <string>

#include "core/basics.h"

class WorldState;
class Player;

class Planet {
public:
    point location{0, 0};
    int id;
    float landingAngle = 0;  // radians, where a landed player sits
    float radius;
    float density;
    float orbitRadius;
    float orbitSpeed;       // radians per ms
    float orbitAngle;       // radians
    float rotationalSpeed;  // degrees per ms
    float rotation;         // degrees
    int texture;
    point orbitVelocity{0, 0};  // units per ms over the last update
    std::string name;

    // orbitSpeed and initLoc in degrees.
    Planet(int id, float radius, float density, float orbitRadius, float orbitSpeed, float initLoc,
           float rotationalSpeed, float initRot, int texture, std::string name);

    void update(WorldState& world, Player* player, int dt, point center);
    void draw() const;
    float getRadius() const;
    std::string getName() const;
};
