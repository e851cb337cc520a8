// What the world camera can see, so that drawing can skip what lies wholly
// outside it. The picture is the same either way; only the work differs.
#pragma once

#include <cmath>

#include "core/basics.h"

// A square of half-size s reaches s times this from its centre, however turned.
const float SQUARE_CORNER = 1.4143f;

extern const int w;  // window size in pixels; nothing changes it
extern const int h;

// Off: everything is submitted (tests compare the two pictures).
extern bool cullingEnabled;

// The camera looks at centre from eyeDistance above the world plane; the near
// plane of its frustum, nearDistance away, is 2 * halfWidth by 2 * halfHeight,
// its far plane farDistance away, and the window heightPixels tall (0: unknown).
void setView(point centre, float halfWidth, float halfHeight, float nearDistance, float eyeDistance,
             int heightPixels = 0, float farDistance = INFINITY);
// No camera known (overlays, radar, tests): onScreen answers true.
void clearView();
// False only when the disc of this radius round centre, depth units behind the
// world plane, lies wholly outside the view.
bool onScreen(point centre, float radius, float depth = 0);
// Where the camera looks, how far above the world plane its eye is and how far
// from the eye it stops seeing; false with no camera known.
bool viewCamera(point& centre, float& eyeDistance, float& farDistance);
// False only when no window pixel has its centre in this box of the world
// plane, so that anything drawn within it lights no pixel at all (with culling
// on and a camera known).
bool mayLightPixel(point low, point high);
// Game units per pixel on the world plane; 0 with no camera known.
float pixelSize();

// Draws what the batch holds, then makes the projection an orthographic one
// (the overlays' and the radar's) with an identity model-view matrix left alone.
void loadOrtho(double left, double right, double bottom, double top);
