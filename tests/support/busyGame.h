// A busy game stepped by scripted commands, for the determinism tests: a star
// with planets, ships of every mode, a gate to a second world, every kind of
// weapon, spawning, explosions that run out. The same seed and the same frames
// must give the same state and the same events.
#pragma once

#include <cstdint>
#include <functional>
#include <map>

#include "entities/player.h"
#include "entities/worldState.h"
#include "sim/step.h"
#include "support/dataTables.h"

struct BusyGame {
    TablesGuard tables;
    Universe universe{"/nonexistent/test.xml", "/nonexistent/projectiles.xml"};
    Player player{point{-3000, 0}};
    GameState game;
    unsigned long long eventHash = 1469598103934665603ull;
    std::map<GameEventKind, int> kinds;  // how many events of each kind
    size_t mostTimers = 0;                // the longest the timer list got

    explicit BusyGame(std::uint64_t seed);
    Command commandAt(int frame) const;
    // Steps the frames; after each step, show (when given) sees the state.
    void run(int frames, const std::function<void(const GameState&)>& show = nullptr);
    unsigned long long hash() const;  // the whole state and every event so far
};
