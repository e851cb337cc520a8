// The world's list of timed events: starting explosions, keeping the list in
// start-time order, and running and retiring the events each frame.
#include "entities/timer.h"

#include "entities/gameEvents.h"
#include "entities/timerClasses.h"
#include "entities/worldState.h"

namespace {
const int EXPLOSION_DURATION = 1000;
}

void standardExplosion(point location, WorldState& world, int now)
{
    auto explosion = std::make_unique<TExplosion>(now, EXPLOSION_DURATION, location);
    explosion->startTime = 0;
    explosion->endTime = now + EXPLOSION_DURATION;
    world.timers.emplace_back(std::move(explosion));
    tell({GameEventKind::Explosion, location});
}

void standardExplosion(point location, WorldState& world) { standardExplosion(location, world, world.now); }

void addTimer(TimerBase* timer, WorldState& world)
{
    std::list<OwnedTimer>& timers = world.timers;
    if (timer->startTime == 0) {
        timers.emplace_front(timer);
        return;
    }
    auto it = timers.begin();
    while (it != timers.end() && (*it)->startTime < timer->startTime) ++it;
    timers.emplace(it, timer);
}

void runTimer(int now, WorldState& world)
{
    std::list<OwnedTimer>& timers = world.timers;
    ++world.timerPass;
    ShipGrid::Pass pass(world.shipGrid, world.ships);  // shockwaves look for the ships near them
    for (auto it = timers.begin(); it != timers.end();) {
        TimerBase* timer = it->get();
        if (timer->startTime > now) return;  // the rest start later still
        if (timer->endTime != 0 && now > timer->endTime) {
            it = timers.erase(it);
            continue;
        }
        if (now > timer->startTime) {
            timer->execute(now, world);
            timer->shownPass = world.timerPass;
        }
        ++it;
    }
}

void drawTimers(const WorldState& world, int now)
{
    for (const OwnedTimer& timer : world.timers)
        if (timer->shownPass == world.timerPass) timer->draw(now);
}
