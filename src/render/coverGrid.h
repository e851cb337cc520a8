// Which run of the batch last drew near each part of the picture. A shape may
// join an earlier run of its own state only when nothing drawn since lies
// under it: shapes whose pixels are apart can be drawn in either order.
#pragma once

#include <vector>

#include "core/basics.h"

class CoverGrid {
public:
    // cell <= 0 (no camera known): every shape counts as lying under every other.
    // pad widens every box, for pixels a rasteriser lights beyond an edge.
    void reset(float cell, float pad);
    // The highest run marked anywhere in the box, or -1.
    int lastOver(point low, point high) const;
    void mark(point low, point high, int run);

private:
    static const int BUCKETS = 16384;  // cells hash into these; a collision only keeps an order
    static const long MAX_CELLS = 256;  // a bigger box is marked everywhere
    float cell = 0, pad = 0;
    int everywhere = -1;  // the highest run marked over the whole picture
    int highest = -1;     // the highest run marked at all
    std::vector<int> buckets = std::vector<int>(BUCKETS, -1);

    // False when the box is too big, or not finite, to be marked cell by cell.
    bool cells(point low, point high, long& x0, long& y0, long& x1, long& y1) const;
    static size_t bucket(long x, long y);
};
