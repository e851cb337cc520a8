// Start-up and the frame loop. The loop is the game's state plus what only the
// frame needs (timing, the script, the fonts, this frame's command), so each
// step can be driven on its own by tests.
#pragma once

#include <string>
#include <vector>

#include <SDL.h>
#include <lua.hpp>

#include "core/basics.h"
#include "game/hud.h"
#include "render/view.h"
#include "sim/command.h"
#include "sim/gameState.h"
#include "sim/step.h"

class Universe;
class WorldState;
class Player;
class Font;
class uiDisplay;

struct GameLoop : GameState {
    lua_State* L = nullptr;
    int dt = 0;                   // ms since the previous frame; may be 0
    unsigned int lastTicks = 0;   // the wall clock at the previous frame, ms
    Command command;              // this frame's
    std::vector<int> frameTimes = std::vector<int>(5000, 0);  // ring of the last 5000 dt
    unsigned int frameIndex = 0;  // next slot to write, also the oldest entry
    float frames = 0;
    float elapsed = 0;
    DebugTexts texts;
    std::vector<Font*> fonts;
};

int SDL_main(int argc, char** argv);

// The steps of one frame, in loop order.
void updateTiming(GameLoop& loop, unsigned int ticks);  // dt from the wall clock; the game clock is the step's
enum class EventResult { Continue, Quit };
// One SDL event into this frame's command; the game's own actions run at once.
EventResult handleEvent(GameLoop& loop, const SDL_Event& event);
Command& readCommand(GameLoop& loop);  // every pending event, the held keys and the mouse
void hoverAndDragPanels(GameLoop& loop);
void setCamera(const GameState& game, point playerLocation);
// The world as the latest step left it, in the order the frame always drew it.
void drawWorld(const GameState& game);
// Its shots, timed events, ships and stars, with the player as the step saw it,
// from the additive pass on.
void drawWorldBodies(const WorldState& world, const Player& player, const SeenFrame& seen, int now);
void drawAndUpdatePanels(std::vector<uiDisplay>& panels, lua_State* L);
void playEventSounds(const GameEvents& events);
void runFrame(GameLoop& loop);
