#include "entities/wormhole.h"

#include "entities/worldState.h"
#include "data/emitterData.h"
#include "entities/player.h"
#include "entities/gameEvents.h"

Wormhole::Wormhole(int world, float x, float y, float radius, int targetWorld, float targetX, float targetY,
                   int emitterIndex)
    : Wormhole(world, point{x, y}, radius, targetWorld, point{targetX, targetY}, emitterIndex)
{
}

Wormhole::Wormhole(int world, point location, float radius, int targetWorld, point target, int emitterIndex)
    : world(world), location(location), radius(radius), targetWorld(targetWorld), target(target),
      emitterIndex(emitterIndex), emitter(sharedEmitterTableAt(emitterIndex))
{
}

static bool namesWorld(const Universe& universe, int index)
{
    return index >= 0 && size_t(index) < universe.worlds.size();
}

// The swirl's clock is the frame's, and only drawing runs it (drawWormhole).
void Wormhole::update(Universe& universe, int&)
{
    Player* player = universe.player;
    if (!player || pointDistance(location, player->location) > radius) return;

    player->outsideWormholes = false;
    if (!player->warpReady) return;
    // A gate to a world that does not exist stays shut (the loader has said so once).
    if (!namesWorld(universe, targetWorld)) return;

    GameEvent warped{GameEventKind::Warped, target};
    warped.from = player->getWorld();
    warped.to = targetWorld;
    player->warpReady = false;
    player->location = target;
    player->warpWorld(targetWorld);
    tell(warped);
    // Shots left behind would hang frozen in a world nobody is watching.
    if (namesWorld(universe, world)) universe.worlds[size_t(world)].projectiles.clear();
}

void Wormhole::teleport(Universe&) {}

void drawWormhole(const Wormhole& gate, int now)
{
    // The stored swirl stays at its first clock; each frame shows a copy run on to the frame time.
    Emitter swirl = gate.emitter;
    swirl.setUniform(gate.radius, 2);
    swirl.position = gate.location;
    swirl.angle = 0.0f;
    swirl.time += now;
    swirl.draw();
}
