// The one table of which key gives which action. Today's keys are its defaults;
// the names are what a settings file will call them.
#pragma once

#include <SDL.h>

#include <vector>

#include "sim/command.h"

struct KeyBinding {
    Action action;
    SDLKey key;
    const char* name;  // the action's name, for settings and help
};

std::vector<KeyBinding>& keyBindings();
// The action a key gives, false when it gives none.
bool actionOfKey(SDLKey key, Action& action);
// Whether the key bound to a held action is down in this key state.
bool held(const Uint8* keys, Action action);
