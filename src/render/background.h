// The starfield behind everything: one image laid over the playfield on the
// world plane and again on a far plane behind it, the far copy drawn over the
// near one. Both planes face the camera, so either can be drawn flat in window
// pixels with texture coordinates worked out here, and both together in one
// pass of two texture units: half the pixels the driver shades and blends.
#pragma once

#include "core/basics.h"

struct DustLayer {
    float depth;    // behind the world plane, game units
    float repeats;  // the image this many times across the playfield
};

// Test switch: each layer a blended quad of its own through the matrix stack,
// as the game drew them before the single pass.
extern bool dustInTwoPasses;

// Draws near, then far over it, over [-limit, limit] on both axes, with the
// current blend (the single pass stands in for it only where it is exactly the
// two passes). Needs the camera of setView and the matrices that go with it.
void drawDust(unsigned texture, float limit, DustLayer nearLayer, DustLayer farLayer);
