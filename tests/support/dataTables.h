// Tests fill the global weapon, ship, emitter and shader tables directly; this puts them back.
#pragma once

#include <vector>

#include "data/defaultVals.h"
#include "data/emitterData.h"
#include "data/shaders.h"

struct TablesGuard {
    std::vector<projectileData> weapons = WEAPONDATA;
    std::vector<std::vector<float>> ships = SHIPDATA;
    std::vector<EmitterTable> effects = emitters;
    std::vector<unsigned int> programs = shaders;
    ~TablesGuard()
    {
        WEAPONDATA = weapons;
        SHIPDATA = ships;
        emitters = effects;
        shaders = programs;
    }
};

// The smallest table an emitter draws from: one block of twelve rows, the quad
// count in row 0 and the kind in row 11.
inline EmitterTable emitterTableOf(float quads, float kind)
{
    EmitterBlock block(12, EmitterRow{1});
    block[0] = {quads};
    block[11] = {kind};
    return {block};
}
