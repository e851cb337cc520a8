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

namespace {

// One pair of ribbon vertices: a sample, the one before it and the signed strength.
struct RibbonPair {
    point here, before;
    float strength;
};

// Every quad of the ribbon lies within the box of its two samples widened by
// its stronger end's half-width (the shipped program's: a modded wider ribbon
// may lose specks zoomed out, as it may by the whole-trail rule below).
bool quadMayLightPixel(const RibbonPair& a, const RibbonPair& b)
{
    const float reach = RIBBON_HALF_WIDTH * std::max(std::fabs(a.strength), std::fabs(b.strength));
    return mayLightPixel(point{std::min(a.here.x, b.here.x) - reach, std::min(a.here.y, b.here.y) - reach},
                         point{std::max(a.here.x, b.here.x) + reach, std::max(a.here.y, b.here.y) + reach});
}

void submitPair(const RibbonPair& p, float red, float green, float blue)
{
    batch.ribbonVertex(p.here.x, p.here.y, p.before.x, p.before.y, Rgba{red, green, blue, -p.strength});
    batch.ribbonVertex(p.here.x, p.here.y, p.before.x, p.before.y, Rgba{red, green, blue, p.strength});
}

// A sample that repeats the one before it (a long frame writes several) has no
// direction to widen the ribbon across; it is left out rather than pinching the
// ribbon to nothing, so slow frames do not saw the trail into teeth.
void addPair(std::vector<RibbonPair>& pairs, point here, point before, float strength)
{
    if (here.x == before.x && here.y == before.y) return;
    pairs.push_back(RibbonPair{here, before, strength});
}

}  // namespace

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

void Trail::draw(point position) const
{
    unsigned int program = shaderProgram(TRAIL_PROGRAM);
    if (!program) return;
    point low, high;
    extent(position, low, high);
    if (!onScreen(low, high)) return;
    const int size = length + 1;
    // The game draws on one thread; the pairs keep their memory between trails.
    static std::vector<RibbonPair> pairs;
    pairs.clear();
    // Oldest to newest: each vertex carries its sample and the one before it,
    // and the signed alpha tells the side of the ribbon and grows toward the body.
    for (int i = 1; i < size; ++i) {
        int a = (head + i + 1) % size;
        int b = a == 0 ? size - 1 : a - 1;
        addPair(pairs, points[size_t(a)], points[size_t(b)], float(i) / float(length) * alpha);
    }
    addPair(pairs, position, points[size_t(head)], alpha);

    // Zoomed out, most quads of a ribbon fall between pixel centres and light
    // nothing; the strip is cut round them. Each quad of a strip is drawn the
    // same whichever strip holds it, so the pixels stay as they were.
    const float reach = TRAIL_REACH * std::fabs(alpha);
    size_t first = 0;
    for (size_t i = 1; i <= pairs.size(); ++i) {
        if (i < pairs.size() && quadMayLightPixel(pairs[i - 1], pairs[i])) continue;
        if (i - first >= 2) {
            batch.beginRibbon(program, point{low.x - reach, low.y - reach}, point{high.x + reach, high.y + reach});
            for (size_t k = first; k < i; ++k) submitPair(pairs[k], red, green, blue);
            batch.endRibbon();
        }
        first = i;
    }
}
