// The event queue, the pointer and the aiming point.
#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "entities/worldState.h"
#include "entities/player.h"
#include "game/gameMain.h"
#include "script/sandbox.h"
#include "sound/soundMixer.h"
#include "ui/uiWrapper.h"
#include "ui/uiDisplay.h"

// The keyboard's test event for the script's panels.
static void fireUiEvent(GameLoop& loop)
{
    std::printf("Firing event\n");
    std::fflush(stdout);
    std::vector<float> args{1.0f, 6.4f, 9.4f, -94.0f};
    uiEvent(*loop.universe, args, loop.fonts, loop.L);
    std::printf("Event completed\n");
    std::fflush(stdout);
}

namespace {

// Each factor is multiplied or divided by a constant per key or click. Unbounded,
// it ends at 0 or infinity, from which no key brings it back; within these the
// camera still shows the world and enemies still come.
const float MIN_ZOOM = 100, MAX_ZOOM = 1000000;             // visible height, game units
const float MIN_SCALE = 1.0f / 64, MAX_SCALE = 64;          // nearScale and farScale
const float MIN_SPAWN_INTERVAL = 1, MAX_SPAWN_INTERVAL = 3600000;  // ms

void keepInRange(GameLoop& loop)
{
    loop.zoom = std::clamp(loop.zoom, MIN_ZOOM, MAX_ZOOM);
    loop.nearScale = std::clamp(loop.nearScale, MIN_SCALE, MAX_SCALE);
    loop.farScale = std::clamp(loop.farScale, MIN_SCALE, MAX_SCALE);
    loop.spawnInterval = std::clamp(loop.spawnInterval, MIN_SPAWN_INTERVAL, MAX_SPAWN_INTERVAL);
}

// The statistics overlay's counts as one line, for soak runs and bug reports
// (the overlay itself cannot be read from a log).
void printCounts(Universe& universe)
{
    const WorldState& world = universe.currentWorld();
    std::printf("Counts: ships %zu, projectiles %zu, timers %zu, world %d\n", world.ships.size(),
                world.projectiles.size(), world.timers.size(), universe.player->getWorld());
    std::fflush(stdout);
}

}  // namespace

EventResult handleEvent(GameLoop& loop, const SDL_Event& event)
{
    if (event.type == SDL_QUIT) {
        closeScriptState(loop.L);
        loop.L = nullptr;
        return EventResult::Quit;
    }
    if (event.type == SDL_MOUSEBUTTONDOWN) {
        if (event.button.button == SDL_BUTTON_LEFT)
            for (uiDisplay& panel : loop.universe->uiDisplays) panel.mouseClick(loop.pointerPos, *loop.universe, loop.L);
        if (event.button.button == SDL_BUTTON_WHEELUP) loop.zoom = loop.zoom / 1.2f;
        if (event.button.button == SDL_BUTTON_WHEELDOWN) loop.zoom = loop.zoom * 1.2f;
        keepInRange(loop);
        return EventResult::Continue;
    }
    if (event.type != SDL_KEYDOWN) return EventResult::Continue;

    SDLKey key = event.key.keysym.sym;
    switch (key) {
    case SDLK_MINUS: loop.spawnInterval = loop.spawnInterval * 2; break;
    case SDLK_EQUALS: loop.spawnInterval = loop.spawnInterval * 0.5f; break;
    case SDLK_q: return EventResult::Quit;
    case SDLK_n: loop.nearScale = loop.nearScale * 1.2f; break;
    case SDLK_m: loop.nearScale = loop.nearScale / 1.2f; break;
    case SDLK_x: loop.farScale = loop.farScale * 1.2f; break;
    case SDLK_c: loop.farScale = loop.farScale / 1.2f; break;
    case SDLK_p: printCounts(*loop.universe); break;
    case SDLK_e: fireUiEvent(loop); break;
    case SDLK_o: toggleSound(); break;
    default:
        if (key >= SDLK_1 && key <= SDLK_7) loop.universe->player->weapon = key - SDLK_1;
        break;
    }
    keepInRange(loop);
    return EventResult::Continue;
}

void movePointer(point& pointerPos, int dx, int dy)
{
    pointerPos.x += 0.15f * dx;
    pointerPos.y -= 0.15f * dy;  // screen y grows downward, the pointer's upward
    if (pointerPos.x < 0) pointerPos.x = 0;
    if (pointerPos.x > 100) pointerPos.x = 100;
    if (pointerPos.y < 0) pointerPos.y = 0;
    if (pointerPos.y > 100) pointerPos.y = 100;
}

point aimPoint(const GameLoop& loop, point p)
{
    float halfH = loop.zoom * 0.5f;
    float halfW = loop.aspect * halfH;
    return mouseToGame(loop.pointerPos, p.x - halfW, p.x + halfW, p.y - halfH, p.y + halfH);
}
