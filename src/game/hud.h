// Drawing that belongs to no entity: background, boundary, pointer, enemy
// bodies, radar, map and the statistics overlay.
#pragma once

#include <string>
#include <vector>

#include "core/basics.h"

class WorldState;
class Player;
class Font;

const float RADAR_RANGE = 10000;  // strict: a ship exactly this far is not shown
const float MAP_RANGE = 100000;

void drawBackground();
void drawBoundary();
void drawMouse(point p);
void drawEnemy(point p, float theta);
void drawRadarBlip(point p, int textureIndex, float halfSize);
void topLeftUI(WorldState& world, Player* player);
void topRightUI(WorldState& world, Player* player);

// Whether something at `thing` shows on a radar of this range round the
// player: strictly closer than the range.
bool withinRange(point thing, point player, float range);

// The overlay of main-loop step 14: grid, frame-time graph and the text lines.
struct DebugTexts {
    std::string fps, ships, projectiles, timers, hitPoints;
};
void drawFrameGraph(const std::vector<int>& frameTimes, unsigned frameIndex);
void drawDebugTexts(DebugTexts& texts, WorldState& world, Player* player, Font* font);
