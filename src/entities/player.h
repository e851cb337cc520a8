// The ship the user flies: position, velocity, heading, hit points, landing
// state, the world it is in and the per-slot firing clock.
#pragma once

#include <vector>

#include "core/basics.h"
#include "entities/gameEvents.h"
#include "entities/trail.h"
#include "render/emitter.h"

class WorldState;

const float PLAYFIELD_LIMIT = 100000;  // the playfield is [-limit, +limit] on both axes

// The built-in ship, flown when playerdata.txt gives no row (or too short a one).
const float BUILT_IN_THRUST = 0.001f;
const float BUILT_IN_REVERSE = 0.001f;
const float BUILT_IN_TURN_RATE = 0.005f;
const float BUILT_IN_HEALTH = 1000;
const float BUILT_IN_RADIUS = 25;

// The flight keys held this frame; the step sets them from the command.
struct FlightKeys {
    bool thrust = false;   // "w"
    bool reverse = false;  // "s"
    bool turnLeft = false;   // "a", counter-clockwise
    bool turnRight = false;  // "d", clockwise
};

// The beam as it was fired in the latest step, for the frame to show.
struct BeamShot {
    bool firing = false;
    point origin{0, 0};
    point direction{0, 0};  // towards the aiming point, not normalised
    point end{0, 0};        // where it stopped: a ship, or the playfield's edge
};

class Player {
public:
    point location;
    int weapon = 0;      // selected slot, keys "1" to "7"
    int weaponBank = 0;  // added to weapon to index WEAPONDATA
    bool warpReady = true;
    bool outsideWormholes = true;  // no wormhole found us inside it since the last update
    bool landed = false;
    int takeoffDelay = 0;  // ms during which forward thrust is refused
    point velocity{0, 0};  // game units per ms
    float thrustPower;     // units per ms^2
    float reversePower;
    float turnRate;        // radians per ms
    float angle = 0;       // radians, 0 along +x, counter-clockwise positive
    float health;
    float radius;          // drawn half-size and collision radius
    std::vector<float> weaponReadyTime;  // per slot, clock time from which it may fire again
    int launchCharge = 0;  // ms of reverse held while landed
    float thrusting = 0;   // 1.0 while forward thrust is held this frame
    bool burning = false;  // an engine pushed the ship this frame, forward or reverse
    int world = 0;
    int planetId = -1;     // -1 when not landed
    bool input = true;     // steering and firing enabled
    Emitter flame;         // engine flame, from emitter table 0; its clock runs with the step
    Trail trail;
    FlightKeys keys;       // held this frame; update() flies with them
    BeamShot beam;

    Player(point location, float thrustPower, float reversePower, float turnRate, float health, float radius);
    explicit Player(point location);

    void update(int dt);                          // fly() with the keys held this frame
    void fly(int dt, const FlightKeys& keys);     // one frame of flight with the given keys
    void turnCW(int dt);
    void turnCCW(int dt);
    void forwardThrust(int dt);
    void reverseThrust(int dt);
    void addVelocity(point v);
    void setVelocity(point v);
    point getVelocity() const;
    void setAngle(float radians);
    float getAngle() const;  // drawing angle in degrees
    void takeDamage(float amount);
    float getHealth() const;
    float getRadius() const;
    void setLanded(int planetId);
    bool isLanded() const;
    void warpWorld(int world);
    int getWorld() const;
    void setInput(bool enabled);
    bool* getInputPointer();
    int* getPlanetIdPointer();
    int* getWorldPointer();
    bool* getLandedPointer();
    void draw() const;
    void drawTrail(int dt) const;  // the engine flame, then the trail; the flame's clock is the step's
    void advanceFlame(int dt);     // the flame's clock and place, where the frame shows it
    void trackWindow(float);
    void shoot(unsigned int now, WorldState& world, point target, int dt);
};

// The hull at a given place and heading (degrees, as getAngle gives it).
void drawPlayerAt(const Player& player, point location, float angle);
// The flame and the trail with the ship at a given place.
void drawPlayerTrailAt(const Player& player, point location);
void drawBeam(const BeamShot& beam);
// Tells of damage the player took and what is left of its health.
void tellPlayerDamaged(const Player& player, float damage, HitBy by);
