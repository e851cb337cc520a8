// What the player asks of one frame, as plain values: the game turns its input
// into one of these (game/commandInput), and the step sees nothing else.
#pragma once

#include <vector>

#include "entities/player.h"

// The actions a key or button can give. Held ones are read each frame; the
// others count once per press, in the order pressed.
enum class Action {
    Thrust, Reverse, TurnLeft, TurnRight, Fire,                   // held
    Slot1, Slot2, Slot3, Slot4, Slot5, Slot6, Slot7,              // pick a weapon slot
    ZoomIn, ZoomOut, NearerLayer, FartherLayer, FarPlaneOut, FarPlaneIn,
    SpawnSlower, SpawnFaster,
    Market, Counts, Sound, Quit,                                  // the game's, not the world's
    Click,                                                        // the left button pressed on the panels
};

struct Command {
    FlightKeys flight;           // thrust, reverse and the turns held
    bool fire = false;           // held
    bool dragging = false;       // the left button held
    bool closed = false;         // the window was closed
    std::vector<Action> pressed; // in order
    int pointerDx = 0, pointerDy = 0;  // mouse motion, pixels
};
