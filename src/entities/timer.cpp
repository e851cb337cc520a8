#include "entities/timer.h"

// Stub: timed events are built with the combat work.
void standardExplosion(point, WorldState&, int) {}
void standardExplosion(point, WorldState&) {}
void addTimer(TimerBase* timer, WorldState&) { delete timer; }
void runTimer(int, WorldState&) {}
