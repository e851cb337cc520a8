#include "sim/frameProcessing.h"

#include "entities/gameEvents.h"
#include "entities/player.h"
#include "entities/worldState.h"
#include "sim/listWalk.h"
#include "sound/soundLaw.h"

void processWormholes(Universe& universe, int now)
{
    if (!universe.player) return;
    int current = universe.player->getWorld();
    if (current < 0 || size_t(current) >= universe.worlds.size()) return;
    for (size_t i = 0; i < universe.worlds[size_t(current)].wormholes.size(); ++i) {
        Wormhole& gate = universe.worlds[size_t(current)].wormholes[i];
        gate.update(universe, now);
        if (sqPointDistance(gate.location, universe.player->location) >= SOUND_RANGE * SOUND_RANGE) continue;
        GameEvent near{GameEventKind::WormholeNear, gate.location};
        near.slot = int(i);
        tell(near);
    }
}

void processProjectiles(WorldState& world, int dt, int now)
{
    // Ships stand still until their own pass, so one grid serves every shot.
    ShipGrid::Pass pass(world.shipGrid, world.ships);
    stepAndPrune(world.projectiles, [&](Projectile& p) { return p.update(dt, world, now); });
}

void processShips(WorldState& world, Player* player, int dt)
{
    stepAndPrune(world.ships, [&](Ship& ship) { return ship.update(dt, world, player); });
}

void processStars(WorldState& world, Player* player, int dt)
{
    for (size_t i = 0; i < world.stars.size(); ++i) world.stars[i].update(world, player, dt);
}
