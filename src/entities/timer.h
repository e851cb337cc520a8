// Timed events: objects in a world's timers list run once per frame while
// their time window is open.
#pragma once

#include "core/basics.h"

class WorldState;

class TimerBase {
public:
    int startTime = 0;  // runs after this clock time; 0 = at once
    int endTime = 0;    // removed after this clock time; 0 = never

    virtual void execute(int now, WorldState& world) = 0;
    virtual ~TimerBase() = default;
};

void standardExplosion(point location, WorldState& world, int now);
void standardExplosion(point location, WorldState& world);  // now = SDL tick count
void addTimer(TimerBase* timer, WorldState& world);          // the list takes ownership
void runTimer(int now, WorldState& world);
