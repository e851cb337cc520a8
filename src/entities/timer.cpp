// The world's list of timed events: starting explosions, keeping the list in
// start-time order, and running and retiring the events each frame.
#include "entities/timer.h"

#include <SDL.h>

#include "entities/worldState.h"
#include "entities/timerClasses.h"

namespace {
const int EXPLOSION_DURATION = 1000;
}

void standardExplosion(point location, WorldState& world, int now)
{
    TExplosion* explosion = new TExplosion(now, EXPLOSION_DURATION, location);
    explosion->startTime = 0;
    explosion->endTime = now + EXPLOSION_DURATION;
    world.timers.push_back(explosion);
}

void standardExplosion(point location, WorldState& world)
{
    standardExplosion(location, world, int(SDL_GetTicks()));
}

void addTimer(TimerBase* timer, WorldState& world)
{
    std::list<TimerBase*>& timers = world.timers;
    if (timer->startTime == 0) {
        timers.push_front(timer);
        return;
    }
    auto it = timers.begin();
    while (it != timers.end() && (*it)->startTime < timer->startTime) ++it;
    timers.insert(it, timer);
}

void runTimer(int now, WorldState& world)
{
    std::list<TimerBase*>& timers = world.timers;
    ShipGrid::Pass pass(world.shipGrid, world.ships);  // shockwaves look for the ships near them
    for (auto it = timers.begin(); it != timers.end();) {
        TimerBase* timer = *it;
        if (timer->startTime > now) return;  // the rest start later still
        if (timer->endTime != 0 && now > timer->endTime) {
            delete timer;
            it = timers.erase(it);
            continue;
        }
        if (now > timer->startTime) timer->execute(now, world);
        ++it;
    }
}
