#include "entities/wormhole.h"

#include "entities/worldState.h"
#include "data/emitterData.h"
#include "entities/player.h"
#include "sound/soundMixer.h"

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

void Wormhole::update(Universe& universe, int& now)
{
    // The clock runs on the frame time: the update works on a fresh copy each frame.
    emitter.updateValue(radius, 2);
    emitter.update(now, location, 0.0f, true);

    Player* player = universe.player;
    if (!player || pointDistance(location, player->location) > radius) return;

    player->outsideWormholes = false;
    if (!player->warpReady) return;
    // A gate to a world that does not exist stays shut (the loader has said so once).
    if (!namesWorld(universe, targetWorld)) return;

    player->warpReady = false;
    player->location = target;
    player->warpWorld(targetWorld);
    startSound(SOUND_WARP, target);
    // Shots left behind would hang frozen in a world nobody is watching.
    if (namesWorld(universe, world)) universe.worlds[size_t(world)].projectiles.clear();
}

void Wormhole::teleport(Universe&) {}
