// Per-frame drivers that advance and draw the current world's objects and
// remove the ones that died.
#pragma once

class Universe;
class WorldState;
class Player;

void processWormholes(Universe& universe, int now);
void processProjectiles(WorldState& world, int dt, int now);
void processShips(WorldState& world, Player* player, int dt);
void processStars(WorldState& world, Player* player, int dt);
