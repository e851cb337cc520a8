#include "render/coverGrid.h"

#include <algorithm>
#include <cmath>

void CoverGrid::reset(float newCell, float newPad)
{
    cell = newCell;
    pad = newPad;
    if (highest < 0) return;  // nothing marked: nothing to clear
    everywhere = highest = -1;
    std::fill(buckets.begin(), buckets.end(), -1);
}

bool CoverGrid::cells(point low, point high, long& x0, long& y0, long& x1, long& y1) const
{
    if (!(cell > 0)) return false;
    const double fx0 = std::floor((double(low.x) - pad) / cell), fy0 = std::floor((double(low.y) - pad) / cell);
    const double fx1 = std::floor((double(high.x) + pad) / cell), fy1 = std::floor((double(high.y) + pad) / cell);
    // Written so that NaN fails too.
    if (!(fx1 - fx0 < MAX_CELLS && fy1 - fy0 < MAX_CELLS && (fx1 - fx0 + 1) * (fy1 - fy0 + 1) <= MAX_CELLS)) return false;
    if (!(std::fabs(fx0) < 1e15 && std::fabs(fy0) < 1e15 && fx1 >= fx0 && fy1 >= fy0)) return false;
    x0 = long(fx0), y0 = long(fy0), x1 = long(fx1), y1 = long(fy1);
    return true;
}

size_t CoverGrid::bucket(long x, long y)
{
    return size_t((static_cast<unsigned long>(x) * 73856093UL) ^ (static_cast<unsigned long>(y) * 19349663UL)) % BUCKETS;
}

int CoverGrid::lastOver(point low, point high) const
{
    long x0, y0, x1, y1;
    if (!cells(low, high, x0, y0, x1, y1)) return highest;
    int last = everywhere;
    for (long y = y0; y <= y1; ++y)
        for (long x = x0; x <= x1; ++x) last = std::max(last, buckets[bucket(x, y)]);
    return last;
}

void CoverGrid::mark(point low, point high, int run)
{
    highest = std::max(highest, run);
    long x0, y0, x1, y1;
    if (!cells(low, high, x0, y0, x1, y1)) {
        everywhere = std::max(everywhere, run);
        return;
    }
    for (long y = y0; y <= y1; ++y)
        for (long x = x0; x <= x1; ++x) {
            int& b = buckets[bucket(x, y)];
            b = std::max(b, run);
        }
}
