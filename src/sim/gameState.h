// The whole game as one value: the worlds and the player (through the
// universe), the game clock, the generator, the spawner and the camera. What
// is loaded once (weapons, ship types, emitter tables, shaders, the market's
// documents) stays apart from it as read-only data.
#pragma once

#include <cstdint>
#include <memory>

#include "core/basics.h"
#include "core/random.h"

class Universe;
class Player;

// What the latest step saw at the moments the frame shows: the camera follows
// the ship as it flew, and the hull and flame are where the wormholes left it
// (a planet may carry a landed ship on before the step ends).
struct SeenFrame {
    point camera{0, 0};
    point playerAt{0, 0};
    float playerAngle = 0;   // degrees, as Player::getAngle
    int wormholeWorld = -1;  // the world whose gates the frame shows
};

struct GameState {
    Universe* universe = nullptr;  // the worlds and, through it, the player
    unsigned int now = 0;          // the game clock, ms; advances by each step's dt
    std::uint64_t seed = 0;
    Random random;                 // everything the simulation draws
    unsigned int spawnClock = 0;   // time of the last enemy spawn
    float spawnInterval = 500;
    point pointerPos{50, 50};      // percent of the view, each axis 0 to 100
    float zoom = 4000;             // visible height of the world plane, game units
    float nearScale = 1;
    float farScale = 1;
    float aspect = float(1280) / float(1024);
    SeenFrame seen;

    // The game's own universe and player, when it owns them (the real game does;
    // a test may point universe at one of its own).
    std::unique_ptr<Universe> ownedUniverse;
    std::unique_ptr<Player> ownedPlayer;

    GameState();
    ~GameState();
    GameState(GameState&&) noexcept;
    GameState& operator=(GameState&&) noexcept;

    void own(std::unique_ptr<Universe> universe, std::unique_ptr<Player> player);
    void reseed(std::uint64_t seed);
};
