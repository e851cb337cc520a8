// Timed events: objects in a world's timers list run once per frame while
// their time window is open.
#pragma once

#include <memory>

#include "core/basics.h"

class WorldState;

class TimerBase {
public:
    int startTime = 0;  // runs after this clock time; 0 = at once
    int endTime = 0;    // removed after this clock time; 0 = never
    int shownPass = -1; // the timer pass of its world that last ran it: it is drawn after that pass

    virtual void execute(int now, WorldState& world) = 0;  // the simulation's part
    virtual void draw(int) const {}                        // what it shows, read from its state
    virtual std::unique_ptr<TimerBase> clone() const = 0;  // a world copied is copied whole
    virtual ~TimerBase() = default;
};

// A timed event owned by its world's list; a copy of the world copies it.
class OwnedTimer {
public:
    explicit OwnedTimer(TimerBase* timer) : timer(timer) {}
    explicit OwnedTimer(std::unique_ptr<TimerBase> timer) : timer(std::move(timer)) {}
    OwnedTimer(const OwnedTimer& other) : timer(other.timer ? other.timer->clone() : nullptr) {}
    OwnedTimer(OwnedTimer&&) noexcept = default;
    OwnedTimer& operator=(OwnedTimer other) noexcept
    {
        timer = std::move(other.timer);
        return *this;
    }

    TimerBase* get() const { return timer.get(); }
    TimerBase* operator->() const { return timer.get(); }
    TimerBase& operator*() const { return *timer; }

    std::unique_ptr<TimerBase> timer;
};

void standardExplosion(point location, WorldState& world, int now);
void standardExplosion(point location, WorldState& world);  // now = the world's clock
void addTimer(TimerBase* timer, WorldState& world);          // the list takes ownership
void runTimer(int now, WorldState& world);
// Draws, in list order, the events the world's latest timer pass ran.
void drawTimers(const WorldState& world, int now);
