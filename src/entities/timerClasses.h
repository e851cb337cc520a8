// The timed events the game starts: explosions and shockwaves.
#pragma once

#include "entities/timer.h"

class TExplosion : public TimerBase {
public:
    int begin;
    int duration;
    point location;
    float size = 50.0f;  // starting half-size

    TExplosion(int begin, int duration, point location);
    void execute(int now, WorldState& world) override;
    void draw(int now) const override;
    std::unique_ptr<TimerBase> clone() const override { return std::make_unique<TExplosion>(*this); }
};

class TShockwave : public TimerBase {
public:
    int size;  // growth factor of the radius
    int begin;
    int duration;
    point location;
    int rotation;  // degrees, fixed at construction
    int lastTime;  // clock time of the previous damage step

    TShockwave(int size, int begin, int duration, point location);
    void execute(int now, WorldState& world) override;
    void draw(int now) const override;
    std::unique_ptr<TimerBase> clone() const override { return std::make_unique<TShockwave>(*this); }

    float radius(int now) const;
};
