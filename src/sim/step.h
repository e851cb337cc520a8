// One frame of the whole game's simulation: one call over the state, the
// frame's command and its dt. It reads no clock and no input, draws nothing and
// plays nothing; what happened comes back as events, in order.
#pragma once

#include "entities/gameEvents.h"
#include "sim/command.h"
#include "sim/gameState.h"

GameEvents stepGame(GameState& game, const Command& command, int dt);

// The parts of the step, in its order; each may be driven alone by tests.
void spawnEnemies(GameState& game);
void applyActions(GameState& game, const std::vector<Action>& pressed);
void movePointer(point& pointerPos, int dx, int dy);
point aimPoint(const GameState& game, point playerLocation);
