#include "entities/trail.h"

#include <algorithm>
#include <cmath>

#include "data/shaders.h"
#include "render/batch.h"
#include "render/view.h"

Trail::Trail(int length, point start, int interval, float alpha, float red, float green, float blue)
    : interval(interval), length(std::max(length, 0)), alpha(alpha), red(red), green(green), blue(blue),
      points(size_t(this->length) + 1, start)
{
}

void Trail::update(point position, int dt)
{
    sinceSample += dt;
    const int size = length + 1;
    // A trail with no positive interval samples once per update rather than forever.
    int samples = 1;
    if (interval > 0) {
        if (sinceSample < interval) return;
        samples = sinceSample / interval;
        sinceSample -= samples * interval;
    } else {
        sinceSample = 0;
    }
    // Writing the same position round the ring more than once changes nothing
    // but the head, so a long frame costs at most one lap.
    const int writes = std::min(samples, size);
    head = int((head + (long long)(samples - writes)) % size);
    for (int i = 0; i < writes; ++i) {
        head = (head + 1) % size;
        points[size_t(head)] = position;
    }
}

void Trail::clear(point position) { points.assign(size_t(length) + 1, position); }

// A sample that repeats the one before it (a long frame writes several) has no
// direction to widen the ribbon across; it is left out rather than pinching the
// ribbon to nothing, so slow frames do not saw the trail into teeth.
void Trail::ribbonPair(point here, point before, float strength) const
{
    if (here.x == before.x && here.y == before.y) return;
    batch.ribbonVertex(here.x, here.y, before.x, before.y, Rgba{red, green, blue, -strength});
    batch.ribbonVertex(here.x, here.y, before.x, before.y, Rgba{red, green, blue, strength});
}

void Trail::extent(point position, point& low, point& high) const
{
    low = high = position;
    for (const point& p : points) {
        low = point{std::min(low.x, p.x), std::min(low.y, p.y)};
        high = point{std::max(high.x, p.x), std::max(high.y, p.y)};
    }
}

bool Trail::onScreen(point low, point high) const
{
    // A ribbon that fits inside a pixel covers at most a speck; zoomed out, thousands would cost a draw each.
    float width = 2 * RIBBON_HALF_WIDTH * std::fabs(alpha);
    float pixel = cullingEnabled ? pixelSize() : 0;
    if (high.x - low.x + width < pixel && high.y - low.y + width < pixel) return false;
    point centre{(low.x + high.x) / 2, (low.y + high.y) / 2};
    float radius = std::hypot(high.x - low.x, high.y - low.y) / 2 + TRAIL_REACH * std::fabs(alpha);
    return ::onScreen(centre, radius);
}

void Trail::draw(point position)
{
    unsigned int program = shaderProgram(TRAIL_PROGRAM);
    if (!program) return;
    point low, high;
    extent(position, low, high);
    if (!onScreen(low, high)) return;
    const int size = length + 1;
    const float reach = TRAIL_REACH * std::fabs(alpha);
    batch.beginRibbon(program, point{low.x - reach, low.y - reach}, point{high.x + reach, high.y + reach});
    // Oldest to newest: each vertex carries its sample and the one before it,
    // and the signed alpha tells the side of the ribbon and grows toward the body.
    for (int i = 1; i < size; ++i) {
        int a = (head + i + 1) % size;
        int b = a == 0 ? size - 1 : a - 1;
        ribbonPair(points[size_t(a)], points[size_t(b)], float(i) / float(length) * alpha);
    }
    ribbonPair(position, points[size_t(head)], alpha);
    batch.endRibbon();
}
