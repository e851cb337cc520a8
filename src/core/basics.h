// Small value types and free functions every part of the game leans on:
// the 2-D vector, distances and intersections, units and number-to-text.
#pragma once

#include <string>

// Positions, velocities, directions and screen coordinates alike.
struct point {
    float x;
    float y;
};

float square(float v);
float pointDistance(point a, point b);
float sqPointDistance(point a, point b);  // no root: for comparisons
point normalize(point p);                 // (0, 0) gives NaN; callers pass non-zero vectors
bool intersectCircleLine(point a, point b, point centre, float radius);  // strict: touching is a miss
bool fitsInt(float v);  // an int can hold v cut toward zero; false for NaN and infinities
int rand15();    // the C library's rand() reduced to 0..32767 on every platform
float randLoc();  // a coordinate in [-100000, 99999], not uniform
point mouseToGame(point pointer, float left, float right, float bottom, float top);

// One game unit is one pixel of these conversions; only the camera scales the world.
point gameToPixel(point p);
float gameToPixel(int v);
int pixelToGame(int v);
int pixelToGame(float v);  // truncates toward zero

std::string toString(float v);  // six significant digits, stream default format
std::string toString(int v);
