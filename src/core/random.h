// The game's own random numbers: a small generator whose whole state is two
// integers, so a game can be saved, replayed and hashed with it. The same seed
// gives the same numbers on every platform, unlike the C library's rand().
#pragma once

#include <cstdint>

class Random {
public:
    std::uint64_t state = 0;
    std::uint64_t increment = 1;  // odd; picks one of the generator's streams

    explicit Random(std::uint64_t seed = 0, std::uint64_t stream = 0);
    std::uint32_t next();  // the next 32 bits
};

// While one exists, rand15() and randLoc() draw from its generator: the step
// binds the game's own, so whatever the simulation draws comes from the state.
class RandomScope {
public:
    explicit RandomScope(Random& random);
    ~RandomScope();
    RandomScope(const RandomScope&) = delete;
    RandomScope& operator=(const RandomScope&) = delete;

private:
    Random* previous;
};

// The generator rand15() and randLoc() draw from now: the bound one, else one
// of the process's own (loaders and tests outside a step).
Random& activeRandom();
