// A particle effect computed on the graphics card: the processor submits a
// stack of unit quads tagged with their place in the stack (z = i/N), and the
// kind's shader program turns them into particles from the effect clock and
// the values its owner sets.
#pragma once

#include <vector>

#include "core/basics.h"
#include "data/emitterData.h"

// Kind 0 is the engine flame (program 0), kind 1 the wormhole swirl (program 1).
enum EmitterKind { EMITTER_FLAME = 0, EMITTER_SWIRL = 1 };

class Emitter {
public:
    float angle = 0;        // degrees about z
    point position{0, 0};   // game units
    SharedEmitterTable table;  // shared with every copy; only the quad count and the kind are read
    std::vector<int> uniforms;  // locations in the kind's slot order
    int time = 0;           // effect clock, ms

    explicit Emitter(EmitterTable table);
    explicit Emitter(SharedEmitterTable table);

    void updateValue(const float& value, const int& slot);
    void update(int dt, point position, float angle, bool flag);
    void update(int dt, bool flag);  // the flag is not used
    void setUniform(float value, int slot) const;  // updateValue without changing the emitter
    void draw() const;  // at its position and angle, on its clock

    int kind() const;           // 0 or 1; -1 when the table names no kind
    int quadCount() const;      // quads per draw, 0 when the table has none
    unsigned int program() const;  // the kind's program, 0 when it was not built
};
