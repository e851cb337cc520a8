// The fading ribbon behind a moving body: its position sampled at a fixed
// interval into a ring, drawn as one quad strip by the trail program.
#pragma once

#include <vector>

#include "core/basics.h"

const int TRAIL_PROGRAM = 2;  // index of the ribbon's program in shaders
// The ribbon program keeps each vertex within this many game units per unit of
// strength of its sample (the shipped one within 1.8), so a trail can be culled
// by its samples alone.
const float TRAIL_REACH = 10;
// The shipped ribbon's half-width per unit of strength (shader2.vs).
const float RIBBON_HALF_WIDTH = 1.8f;

class Trail {
public:
    int interval;         // ms between samples
    int sinceSample = 0;  // ms gathered towards the next sample
    int length;           // segments; the ring holds length + 1 points
    int head = 0;         // ring index of the newest sample
    float alpha;          // strength at the body; also the ribbon's half-width scale
    float red, green, blue;
    std::vector<point> points;

    Trail(int length, point start, int interval, float alpha, float red, float green, float blue);

    void update(point position, int dt);
    void draw(point position) const;
    void clear(point position);  // collapses the ribbon, e.g. across a warp

private:
    void extent(point position, point& low, point& high) const;  // the box of the samples and position
    bool onScreen(point low, point high) const;
};
