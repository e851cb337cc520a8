// Input: SDL's events and key state become the frame's command, and the
// actions that belong to the game rather than the world (panels, sound, the
// market, counts, quitting) run here, before the step.
#include <cstdio>

#include "entities/player.h"
#include "entities/worldState.h"
#include "game/gameMain.h"
#include "game/keys.h"
#include "script/sandbox.h"
#include "sound/soundMixer.h"
#include "ui/uiDisplay.h"
#include "ui/uiWrapper.h"

namespace {

// The keyboard's test event for the script's panels.
void fireUiEvent(GameLoop& loop)
{
    std::printf("Firing event\n");
    std::fflush(stdout);
    std::vector<float> args{1.0f, 6.4f, 9.4f, -94.0f};
    uiEvent(*loop.universe, args, loop.fonts, loop.L);
    std::printf("Event completed\n");
    std::fflush(stdout);
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

// What the game does at once for an action of this frame's command.
EventResult runGameAction(GameLoop& loop, Action action)
{
    switch (action) {
    case Action::Quit: return EventResult::Quit;
    case Action::Market: fireUiEvent(loop); break;
    case Action::Counts: printCounts(*loop.universe); break;
    case Action::Sound: toggleSound(); break;
    case Action::Click:
        for (uiDisplay& panel : loop.universe->uiDisplays) panel.mouseClick(loop.pointerPos, *loop.universe, loop.L);
        break;
    default: break;
    }
    return EventResult::Continue;
}

}  // namespace

EventResult handleEvent(GameLoop& loop, const SDL_Event& event)
{
    Command& command = loop.command;
    if (event.type == SDL_QUIT) {
        command.closed = true;
        closeScriptState(loop.L);
        loop.L = nullptr;
        return EventResult::Quit;
    }
    Action action;
    if (event.type == SDL_MOUSEBUTTONDOWN) {
        if (event.button.button == SDL_BUTTON_LEFT) action = Action::Click;
        else if (event.button.button == SDL_BUTTON_WHEELUP) action = Action::ZoomIn;
        else if (event.button.button == SDL_BUTTON_WHEELDOWN) action = Action::ZoomOut;
        else return EventResult::Continue;
    } else if (event.type != SDL_KEYDOWN || !actionOfKey(event.key.keysym.sym, action)) {
        return EventResult::Continue;
    }
    command.pressed.push_back(action);
    return runGameAction(loop, action);
}

Command& readCommand(GameLoop& loop)
{
    loop.command = Command();
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        if (handleEvent(loop, event) == EventResult::Quit) std::exit(0);
    }
    const Uint8* keys = SDL_GetKeyState(nullptr);
    Command& command = loop.command;
    command.flight.thrust = held(keys, Action::Thrust);
    command.flight.reverse = held(keys, Action::Reverse);
    command.flight.turnLeft = held(keys, Action::TurnLeft);
    command.flight.turnRight = held(keys, Action::TurnRight);
    command.fire = held(keys, Action::Fire);
    command.dragging = (SDL_GetMouseState(nullptr, nullptr) & SDL_BUTTON(1)) != 0;
    SDL_GetRelativeMouseState(&command.pointerDx, &command.pointerDy);
    return command;
}
