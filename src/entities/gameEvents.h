// What happened in a step, in the order it happened. The simulation tells; the
// sound, the script and later a save or a mission listen, after the step.
#pragma once

#include <string>
#include <vector>

#include "core/basics.h"

enum class GameEventKind {
    ShotFired,        // slot: the weapon slot; at: the muzzle
    BeamFiring,       // slot; at: the beam's origin, every frame it fires
    Hit,              // target: ship id; amount: damage; by: what hit (HitBy)
    ShipDestroyed,    // type: ship type; byPlayer: the player's shot, beam or shockwave
    PlayerDamaged,    // amount; by: what did it (HitBy); health: what is left
    Rammed,           // target: the ship id that rammed
    Landed,           // planet: its id
    Crashed,          // planet
    TookOff,          // planet
    LaunchCharging,   // the first moment of reverse held on the ground
    EngineBurning,    // an engine pushed the ship this frame
    Warped,           // from, to: world numbers
    WormholeNear,     // slot: the gate's index in its world; at: the gate
    Explosion,        // at
    Shockwave,        // at
};

enum class HitBy { Shot, Beam, Shockwave, Ram, Crash };

struct GameEvent {
    GameEventKind kind;
    point at{0, 0};
    int slot = 0;
    int target = 0;
    int type = 0;
    int planet = -1;
    int from = 0;
    int to = 0;
    float amount = 0;
    float health = 0;
    HitBy by = HitBy::Shot;
    bool byPlayer = false;
};

using GameEvents = std::vector<GameEvent>;

// While one exists, tell() appends to its list; without one an event is
// dropped (a test or tool driving an entity alone).
class EventScope {
public:
    explicit EventScope(GameEvents& events);
    ~EventScope();
    EventScope(const EventScope&) = delete;
    EventScope& operator=(const EventScope&) = delete;

private:
    GameEvents* previous;
};

void tell(const GameEvent& event);
