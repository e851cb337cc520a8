#include "data/defaultVals.h"

#include "entities/player.h"

std::vector<projectileData> WEAPONDATA;
std::vector<std::vector<float>> SHIPDATA;

// Stub: the number tables are read with the flight work.
bool readData(const char*, int, std::vector<std::vector<float>>&, std::vector<std::vector<std::string>>&)
{
    return false;
}
bool readData(const char* file, int n, std::vector<std::vector<float>>& table)
{
    std::vector<std::vector<std::string>> text;
    return readData(file, n, table, text);
}
Player* initializePlayer() { return new Player(point{0, 0}); }
bool initializeShipArray() { return true; }
