#include "entities/player.h"

// Stub: firing is built with the combat work.
void Player::shoot(unsigned int, WorldState&, point, int) {}
