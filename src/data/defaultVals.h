// The number tables read at start-up and the global data tables the game reads.
#pragma once

#include <string>
#include <vector>

// One weapon slot / projectile type; defaults are those used when
// "projectiles.xml" leaves an attribute out.
struct projectileData {
    std::string name = "Unnamed";
    int cooldown = 1000;       // ms between shots
    float speed = 100.0f;      // units per ms
    int lifetime = 1000;       // ms; negative = unlimited
    float damage = 10.0f;      // per hit; per ms of contact for the beam
    float homingRange = 0;     // 0 = no homing
    float turnSpeed = 0.0001f; // radians per ms
    int texture = 0;           // index into projTextures
    float size = 10.0f;        // drawn half-size
    int trailEffect = -1;
    int onDeathEffect = 0;
    int onHitEffect = 0;
    float minAngle = 0;        // compass degrees
    float maxAngle = 360.0f;
    bool grav = true;
    int numProjectiles = 1;
    float spread = 0;          // degrees
    bool uniformSpread = true; // even fan; false: random cone
};

extern std::vector<projectileData> WEAPONDATA;
extern std::vector<std::vector<float>> SHIPDATA;  // rows of 5: ai, acceleration, maxSpeed, health, ramDamage

// Reads whitespace-separated numbers into rows of n columns; "#" starts a
// comment to the end of the line, "@" a text item attached to the last complete row.
bool readData(const char* file, int n, std::vector<std::vector<float>>& table,
              std::vector<std::vector<std::string>>& text);
bool readData(const char* file, int n, std::vector<std::vector<float>>& table);
// The reader behind both readData forms; count is the number of numbers read.
bool readTable(const char* file, int n, std::vector<std::vector<float>>& table,
               std::vector<std::vector<std::string>>& text, long& count);

bool initializeShipArray();  // "shipdata.txt" into SHIPDATA
