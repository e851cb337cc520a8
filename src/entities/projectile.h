// One shot in flight; its behaviour comes from its type in WEAPONDATA.
#pragma once

#include "core/basics.h"

class WorldState;

class Projectile {
public:
    point location;
    int type;        // index into WEAPONDATA
    float angle;     // radians, compass style: 0 along +y, clockwise positive
    int lifetime;    // ms left; negative never expires
    point velocity;  // units per ms
    float damage;
    int targetId = 0;  // ship being homed on; 0 = none
    bool guided = false;      // homed on a ship in the latest update: the frame shows the guide line
    point guideFrom{0, 0};    // where that ship was then

    Projectile(point location, float angleDeg, WorldState& world, int type, float vx, float vy);

    void calcTheta();
    void addVelocity(point v);
    bool affectedByGrav() const;
    bool update(int dt, WorldState& world, int now);  // false: remove it
    bool handleCollision(point previous, WorldState& world, int now);
    bool handleCollision(point previous, WorldState& world, int now, int radius);
};

// Runs projectile event eventNum (0 nothing, 1 shockwave); the result is the
// projectile's keep/remove answer.
bool projectileEvent(WorldState& world, point location, int eventNum, int now);
// The guide line, if any, and the shot, as the latest update left them.
void drawProjectile(const Projectile& shot);
