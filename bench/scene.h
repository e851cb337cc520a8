// The one crowded world every benchmark runs on: ships spread over the
// playfield as the spawn timer puts them, ten shots per ship round their
// targets (a quarter of them homing), stars with planets, and timed events.
#pragma once

#include "entities/worldState.h"
#include "entities/player.h"

// Weapon and ship tables the scene's shots and ships use (replaces both tables).
void benchTables();
// shipCount ships, shotsPerShip shots each; the same seed gives the same world.
WorldState benchScene(int shipCount, int shotsPerShip, int now);
// Where the scene's player sits: inside the busiest part of the playfield.
point benchPlayerPlace();
// One frame of the world's drivers in loop order (no input, no camera).
void benchFrame(WorldState& world, Player& player, int dt, int now);

// Sends standard output to /dev/null while it lives: the drivers and loaders
// print a line per homing target, shockwave step and element read, and the
// figures should not include a terminal.
class QuietStdout {
public:
    QuietStdout();
    ~QuietStdout();
    QuietStdout(const QuietStdout&) = delete;
    QuietStdout& operator=(const QuietStdout&) = delete;

private:
    int saved = -1;
};
