// Small helpers for the worlds tests build by hand.
#pragma once

#include "entities/worldState.h"
#include "entities/timer.h"

// Timers are owned by their world; a test that wants them gone before the
// world goes clears them.
inline void deleteTimers(WorldState& world) { world.timers.clear(); }
