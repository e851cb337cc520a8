// Start-up and the frame loop. The loop's variables live in one GameLoop so
// that each step can be driven on its own by tests.
#pragma once

#include <string>
#include <vector>

#include <SDL.h>
#include <lua.hpp>

#include "core/basics.h"
#include "game/hud.h"
#include "render/view.h"

class Universe;
class Font;
class uiDisplay;

struct GameLoop {
    Universe* universe = nullptr;
    lua_State* L = nullptr;
    unsigned int now = 0;         // frame clock, ms
    int dt = 0;                   // ms since the previous frame; may be 0
    unsigned int spawnClock = 0;  // time of the last enemy spawn
    float spawnInterval = 500;
    point pointerPos{50, 50};     // percent of the view, each axis 0 to 100
    float zoom = 4000;            // visible height of the world plane, game units
    float nearScale = 1;
    float farScale = 1;
    float aspect = float(1280) / float(1024);
    std::vector<int> frameTimes = std::vector<int>(5000, 0);  // ring of the last 5000 dt
    unsigned int frameIndex = 0;  // next slot to write, also the oldest entry
    float frames = 0;
    float elapsed = 0;
    DebugTexts texts;
    std::vector<Font*> fonts;
};

int SDL_main(int argc, char** argv);

// The steps of one frame, in loop order.
void updateTiming(GameLoop& loop, unsigned int ticks);
void spawnEnemies(GameLoop& loop);
enum class EventResult { Continue, Quit };
EventResult handleEvent(GameLoop& loop, const SDL_Event& event);
void movePointer(point& pointerPos, int dx, int dy);
point aimPoint(const GameLoop& loop, point playerLocation);
void setCamera(const GameLoop& loop, point playerLocation);
void hoverAndDragPanels(GameLoop& loop);
void drawAndUpdatePanels(std::vector<uiDisplay>& panels, lua_State* L);
void runFrame(GameLoop& loop);
