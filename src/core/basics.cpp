#include "core/basics.h"

#include "core/random.h"

#include <cmath>
#include <cstdlib>
#include <sstream>

float square(float v) { return v * v; }

float pointDistance(point a, point b) { return std::sqrt(sqPointDistance(a, b)); }

float sqPointDistance(point a, point b)
{
    float dx = a.x - b.x;
    float dy = a.y - b.y;
    return dx * dx + dy * dy;
}

point normalize(point p)
{
    // Each square is rounded to float before the sum, as the feel of gravity was tuned with.
    float xx = p.x * p.x;
    float yy = p.y * p.y;
    float length = std::sqrt(xx + yy);
    return point{p.x / length, p.y / length};
}

bool intersectCircleLine(point a, point b, point centre, float radius)
{
    double dx = double(b.x) - a.x;
    double dy = double(b.y) - a.y;
    // A zero-length segment makes t NaN, and every comparison below then fails.
    double t = -((double(a.x) - centre.x) * dx + (double(a.y) - centre.y) * dy) / (dx * dx + dy * dy);
    if (t < 0) t = 0;
    if (t > 1) t = 1;
    double px = a.x + t * dx - centre.x;
    double py = a.y + t * dy - centre.y;
    double r = radius;
    return r * r > px * px + py * py;
}

bool fitsInt(float v) { return v > -2147483648.0f && v < 2147483648.0f; }

int rand15() { return int(activeRandom().next() >> 17); }

float randLoc()
{
    // 7 * r must stay far below INT_MAX, and the spawn spread was tuned on 0..32767.
    int r = rand15();
    return float((7 * r) % 200000 - 100000);
}

point mouseToGame(point pointer, float left, float right, float bottom, float top)
{
    return point{left + (right - left) * pointer.x / 100, bottom + (top - bottom) * pointer.y / 100};
}

point gameToPixel(point p) { return p; }
float gameToPixel(int v) { return float(v); }
int pixelToGame(int v) { return v; }
int pixelToGame(float v) { return int(v); }

std::string toString(float v)
{
    std::ostringstream out;
    out << v;
    return out.str();
}

std::string toString(int v)
{
    std::ostringstream out;
    out << v;
    return out.str();
}
