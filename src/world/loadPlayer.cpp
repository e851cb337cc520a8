#include "world/loadPlayer.h"

#include <string>
#include <vector>

#include "core/dataFiles.h"
#include "core/diagnostics.h"
#include "data/defaultVals.h"
#include "entities/player.h"

Player* initializePlayer()
{
    sayLine("Loading player data");
    std::vector<std::vector<float>> table;
    std::vector<std::vector<std::string>> text;
    long count = 0;
    if (!readTable(dataFile("playerdata.txt").c_str(), 7, table, text, count) || table.empty()) {
        // Nothing to build from: the ship starts with the built-in constants at the centre.
        sayLine("playerdata read failure");
        return new Player(point{0, 0});
    }
    std::vector<float> row = table[0];
    if (count < 7) {
        // A short row would give a ship without thrust, health or size; the values
        // it lacks come from the built-in ship instead.
        const float fallback[7] = {0, 0, BUILT_IN_THRUST, BUILT_IN_REVERSE, BUILT_IN_TURN_RATE, BUILT_IN_HEALTH,
                                   BUILT_IN_RADIUS};
        report({"playerdata.txt", "", formatted("the first row has %ld of 7 numbers; the rest are the built-in ship's", count),
                Severity::Warning});
        for (long i = count; i < 7; ++i) row[size_t(i)] = fallback[i];
    }
    return new Player(point{row[0], row[1]}, row[2], row[3], row[4], row[5], row[6]);
}
