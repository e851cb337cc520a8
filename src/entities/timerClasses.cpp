#include "entities/timerClasses.h"

// Stub: timed events are built with the combat work.
TExplosion::TExplosion(int begin, int duration, point location) : begin(begin), duration(duration), location(location) {}
void TExplosion::execute(int, WorldState&) {}
TShockwave::TShockwave(int size, int begin, int duration, point location)
    : size(size), begin(begin), duration(duration), location(location), rotation(0), lastTime(begin)
{
}
void TShockwave::execute(int, WorldState&) {}
