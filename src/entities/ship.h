// A non-player ship: its numbers come from a row of SHIPDATA.
#pragma once

#include "core/basics.h"
#include "entities/gameEvents.h"
#include "entities/trail.h"

class WorldState;
class Player;

class Ship {
public:
    point location;
    unsigned int id;
    int type;         // the row of SHIPDATA it was built from
    float theta = 0;  // heading, atan2(vy, vx) - QUARTER_TURN
    int ai;           // 0 drift, 1 pursue, 2 flee, 3 hold distance
    point velocity{0, 0};
    float acceleration;  // steering push per update
    float maxSpeed;      // negative: no cap
    float health;
    float ramDamage;
    Trail trail{20, location, 20, 10.0f, 1.0f, 0.0f, 0.0f};  // red

    Ship(point location, int type, unsigned int id);

    bool update(int dt, WorldState& world, Player* player);  // false: remove it
    bool takeDamage(float amount);  // true while health stays above 0
    void addVelocity(point v);
    void calcTheta();
    float getTheta() const;
    unsigned int getID() const;
    void setAI(int mode);
};

// Tells of damage done to a ship, by the player's weapons.
void tellHit(const Ship& ship, float damage, HitBy by);
