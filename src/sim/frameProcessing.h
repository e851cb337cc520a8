// Per-frame drivers that advance the current world's objects and remove the
// ones that died. They draw nothing: the frame shows the world afterwards.
#pragma once

class Universe;
class WorldState;
class Player;

void processWormholes(Universe& universe, int now);
void processProjectiles(WorldState& world, int dt, int now);
void processShips(WorldState& world, Player* player, int dt);
void processStars(WorldState& world, Player* player, int dt);
