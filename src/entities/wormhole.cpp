#include "entities/wormhole.h"

// Stub: wormholes are built with the flight work.
Wormhole::Wormhole(int world, float x, float y, float radius, int targetWorld, float targetX, float targetY,
                   int emitterIndex)
    : Wormhole(world, point{x, y}, radius, targetWorld, point{targetX, targetY}, emitterIndex)
{
}
Wormhole::Wormhole(int world, point location, float radius, int targetWorld, point target, int emitterIndex)
    : world(world), location(location), radius(radius), targetWorld(targetWorld), target(target),
      emitterIndex(emitterIndex)
{
}
void Wormhole::update(Universe&, int&) {}
void Wormhole::teleport(Universe&) {}
