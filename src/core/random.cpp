#include "core/random.h"

namespace {
Random* bound = nullptr;
}

// PCG32 (XSH RR): 64 bits of state, 32 bits out, a well-studied small generator.
Random::Random(std::uint64_t seed, std::uint64_t stream) : increment((stream << 1u) | 1u)
{
    next();
    state += seed;
    next();
}

std::uint32_t Random::next()
{
    const std::uint64_t old = state;
    state = old * 6364136223846793005ULL + increment;
    const std::uint32_t shifted = std::uint32_t(((old >> 18u) ^ old) >> 27u);
    const std::uint32_t rotation = std::uint32_t(old >> 59u);
    return (shifted >> rotation) | (shifted << ((32u - rotation) & 31u));
}

RandomScope::RandomScope(Random& random) : previous(bound) { bound = &random; }
RandomScope::~RandomScope() { bound = previous; }

Random& activeRandom()
{
    static Random fallback(0x5eed);
    return bound ? *bound : fallback;
}
