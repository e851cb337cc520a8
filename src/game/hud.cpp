#include "game/hud.h"

// Stub: the head-up display is built with its own work.
void drawBackground() {}
void drawBoundary() {}
void drawMouse(point) {}
void drawEnemy(point, float) {}
void drawRadarBlip(point, int, float) {}
void topLeftUI(WorldState&, Player*) {}
void topRightUI(WorldState&, Player*) {}
#include <cstdio>

// The empty line the loop writes every frame while the graph is drawn.
void drawFrameGraph(const std::vector<int>&, unsigned)
{
    std::printf("\n");
    std::fflush(stdout);
}
void drawDebugTexts(DebugTexts&, WorldState&, Player*, Font*) {}
