// Tests fill the global weapon and ship tables directly; this puts them back.
#pragma once

#include <vector>

#include "data/defaultVals.h"

struct TablesGuard {
    std::vector<projectileData> weapons = WEAPONDATA;
    std::vector<std::vector<float>> ships = SHIPDATA;
    ~TablesGuard()
    {
        WEAPONDATA = weapons;
        SHIPDATA = ships;
    }
};
