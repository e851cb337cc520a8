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
int rand15();    // 0..32767 from the active generator (core/random.h)
float randLoc();  // a coordinate in [-100000, 99999], not uniform
point mouseToGame(point pointer, float left, float right, float bottom, float top);

// One game unit is one pixel of these conversions; only the camera scales the world.
point gameToPixel(point p);
float gameToPixel(int v);
int pixelToGame(int v);
int pixelToGame(float v);  // truncates toward zero

// Angles as the game has always written them: none is the exact value, and each
// keeps the rounding that the motion and the pictures were tuned with. Where
// one is used as float it is converted at the use, which gives the float the
// game always had (3.14f, 57.2958f).
constexpr double QUARTER_TURN = 1.57;                 // pi/2 is 1.5708: atan2's east-based angle to a heading
constexpr double HALF_TURN = 3.14;                    // pi is 3.14159
constexpr double FULL_TURN = 6.28;                    // 2 pi is 6.28319
constexpr double DEGREES_PER_RADIAN = 57.2958;        // 180/pi is 57.29578
constexpr double ROUGH_DEGREES_PER_RADIAN = 57.3;     // the aim at a target
constexpr double RADIANS_PER_DEGREE = 0.0174444;      // pi/180 is 0.0174533
constexpr float SHOT_RADIANS_PER_DEGREE = 0.017444f;  // a shot's launch angle: one digit shorter still

std::string toString(float v);  // six significant digits, stream default format
std::string toString(int v);
