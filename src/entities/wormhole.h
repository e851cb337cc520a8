// A gate that carries the player to a fixed point in another (or the same) world.
#pragma once

#include "core/basics.h"
#include "render/emitter.h"

class Universe;

class Wormhole {
public:
    int world;  // the world that holds it
    point location;
    float radius;
    int targetWorld;
    point target;
    int emitterIndex;  // which emitter table draws it
    Emitter emitter;   // the swirl that shows where it is

    Wormhole(int world, float x, float y, float radius, int targetWorld, float targetX, float targetY,
             int emitterIndex);
    Wormhole(int world, point location, float radius, int targetWorld, point target, int emitterIndex);

    void update(Universe& universe, int& now);
    void teleport(Universe&);
};

void drawWormhole(const Wormhole& gate, int now);
