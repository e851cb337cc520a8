#include "game/keys.h"

std::vector<KeyBinding>& keyBindings()
{
    static std::vector<KeyBinding> bindings = {
        {Action::Thrust, SDLK_w, "thrust"},
        {Action::Reverse, SDLK_s, "reverse"},
        {Action::TurnLeft, SDLK_a, "turn left"},
        {Action::TurnRight, SDLK_d, "turn right"},
        {Action::Fire, SDLK_SPACE, "fire"},
        {Action::Slot1, SDLK_1, "weapon 1"},
        {Action::Slot2, SDLK_2, "weapon 2"},
        {Action::Slot3, SDLK_3, "weapon 3"},
        {Action::Slot4, SDLK_4, "weapon 4"},
        {Action::Slot5, SDLK_5, "weapon 5"},
        {Action::Slot6, SDLK_6, "weapon 6"},
        {Action::Slot7, SDLK_7, "weapon 7"},
        {Action::NearerLayer, SDLK_n, "background nearer"},
        {Action::FartherLayer, SDLK_m, "background farther"},
        {Action::FarPlaneOut, SDLK_x, "far plane out"},
        {Action::FarPlaneIn, SDLK_c, "far plane in"},
        {Action::SpawnSlower, SDLK_MINUS, "spawn slower"},
        {Action::SpawnFaster, SDLK_EQUALS, "spawn faster"},
        {Action::Market, SDLK_e, "market"},
        {Action::Counts, SDLK_p, "counts"},
        {Action::Sound, SDLK_o, "sound"},
        {Action::Quit, SDLK_q, "quit"},
    };
    return bindings;
}

bool actionOfKey(SDLKey key, Action& action)
{
    for (const KeyBinding& binding : keyBindings()) {
        if (binding.key != key) continue;
        action = binding.action;
        return true;
    }
    return false;
}

bool held(const Uint8* keys, Action action)
{
    if (!keys) return false;
    for (const KeyBinding& binding : keyBindings())
        if (binding.action == action && keys[binding.key]) return true;
    return false;
}
