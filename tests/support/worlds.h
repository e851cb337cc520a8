// Small helpers for the worlds tests build by hand.
#pragma once

#include "entities/worldState.h"
#include "entities/timer.h"

// A world does not own its timed events (running them frees them); a test that
// starts some and never runs them out frees them with this.
inline void deleteTimers(WorldState& world)
{
    for (TimerBase* timer : world.timers) delete timer;
    world.timers.clear();
}
