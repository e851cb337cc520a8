#include "entities/shipGrid.h"

#include <algorithm>
#include <cassert>
#include <cmath>

bool ShipGrid::enabled = true;

namespace {

// About one ship per cell, but never so small that a shot's reach spans many
// cells, nor so many cells across that clearing them costs more than the ships.
const double MIN_CELL = 128;
const int MAX_CELLS_ACROSS = 1024;

bool finite(point p) { return std::isfinite(p.x) && std::isfinite(p.y); }

// The exact tests run in float (distances) or in double from float inputs (the
// swept hit), so a ship they accept can lie a rounding error beyond the reach.
// This widening is far larger than any such error, so no candidate is lost.
double safeReach(double reach, double magnitude) { return reach * (1 + 1e-5) + 1 + magnitude * 1e-9; }

}  // namespace

ShipGrid::Pass::Pass(ShipGrid& grid, std::list<Ship>& ships) : grid(grid), ships(ships)
{
    if (grid.depth++ == 0) grid.built = false;
}

ShipGrid::Pass::~Pass()
{
    // Nothing in a pass may add or remove ships, or the grid would point at ghosts.
    assert(!grid.built || (grid.builtFrom == &ships && ships.size() == grid.builtCount));
    --grid.depth;
}

void ShipGrid::ensureBuilt(std::list<Ship>& ships)
{
    if (built) {
        assert(builtFrom == &ships);
        return;
    }
    build(ships);
    built = true;
}

void ShipGrid::build(std::list<Ship>& ships)
{
    order.clear();
    loose.clear();
    byId.clear();
    bool any = false;
    for (Ship& ship : ships) {
        int index = int(order.size());
        order.push_back(&ship);
        byId.emplace_back(ship.getID(), index);
        if (!finite(ship.location)) {
            loose.push_back(index);
            continue;
        }
        if (!any) {
            minX = maxX = ship.location.x;
            minY = maxY = ship.location.y;
            any = true;
        }
        minX = std::min(minX, double(ship.location.x));
        maxX = std::max(maxX, double(ship.location.x));
        minY = std::min(minY, double(ship.location.y));
        maxY = std::max(maxY, double(ship.location.y));
    }
    builtFrom = &ships;
    builtCount = order.size();
    std::sort(byId.begin(), byId.end());

    size_t placed = order.size() - loose.size();
    if (placed == 0) {
        columns = rows = 0;
        gridMagnitude = 0;
        return;
    }
    double width = maxX - minX, height = maxY - minY;
    cell = std::sqrt(std::max(width, 1.0) * std::max(height, 1.0) / double(placed));
    cell = std::max({cell, MIN_CELL, width / (MAX_CELLS_ACROSS - 1), height / (MAX_CELLS_ACROSS - 1)});
    perCell = 1 / cell;
    columns = int(width * perCell) + 1;
    rows = int(height * perCell) + 1;
    gridMagnitude = std::max({std::fabs(minX), std::fabs(maxX), std::fabs(minY), std::fabs(maxY)});

    // Counting sort by cell; walking the list in order keeps each cell in list order.
    cellStart.assign(size_t(columns) * size_t(rows) + 1, 0);
    std::vector<int> cellOf(order.size(), -1);
    for (size_t i = 0; i < order.size(); ++i) {
        point p = order[i]->location;
        if (!finite(p)) continue;
        cellOf[i] = row(p.y) * columns + column(p.x);
        ++cellStart[size_t(cellOf[i]) + 1];
    }
    for (size_t c = 1; c < cellStart.size(); ++c) cellStart[c] += cellStart[c - 1];
    cellShips.assign(placed, Entry{});
    std::vector<int> next(cellStart.begin(), cellStart.end() - 1);
    for (size_t i = 0; i < order.size(); ++i)
        if (cellOf[i] >= 0) cellShips[size_t(next[size_t(cellOf[i])]++)] = Entry{order[i]->location, int(i)};
}

// Monotone in x, so a box that holds a ship's centre always covers its cell.
int ShipGrid::column(double x) const
{
    double c = std::floor((x - minX) * perCell);
    return int(std::min(std::max(c, 0.0), double(columns - 1)));
}

int ShipGrid::row(double y) const
{
    double r = std::floor((y - minY) * perCell);
    return int(std::min(std::max(r, 0.0), double(rows - 1)));
}

void ShipGrid::collectBox(double x0, double y0, double x1, double y1)
{
    if (columns == 0 || x1 < minX || x0 > maxX || y1 < minY || y0 > maxY) return;
    int c0 = column(x0), c1 = column(x1), r0 = row(y0), r1 = row(y1);
    for (int r = r0; r <= r1; ++r) {
        int first = r * columns;
        for (int c = c0; c <= c1; ++c)
            for (int k = cellStart[size_t(first + c)]; k < cellStart[size_t(first + c + 1)]; ++k) {
                // The box already holds the widened reach, so a ship outside it cannot pass.
                const Entry& entry = cellShips[size_t(k)];
                if (entry.place.x >= x0 && entry.place.x <= x1 && entry.place.y >= y0 && entry.place.y <= y1)
                    found.push_back(entry.index);
            }
    }
}

void ShipGrid::collectSegment(point a, point b, float reach)
{
    found.assign(loose.begin(), loose.end());
    double ax = a.x, ay = a.y, bx = b.x, by = b.y, dx = bx - ax, dy = by - ay;
    double magnitude = std::max({std::fabs(ax), std::fabs(ay), std::fabs(bx), std::fabs(by), gridMagnitude});
    double r = safeReach(std::fabs(double(reach)), magnitude);
    if (!finite(a) || !finite(b) || !std::isfinite(r)) {
        // Nothing sensible to narrow by: every ship is a candidate.
        found.resize(order.size());
        for (size_t i = 0; i < found.size(); ++i) found[i] = int(i);
        return;
    }
    if (std::fabs(dx) <= cell && std::fabs(dy) <= cell) {
        // The usual shot: its whole path and reach fit in a box of a few cells.
        collectBox(std::min(ax, bx) - r, std::min(ay, by) - r, std::max(ax, bx) + r, std::max(ay, by) + r);
    } else {
        collectLongSegment(ax, ay, dx, dy, r);
    }
    if (found.size() > 1) {
        std::sort(found.begin(), found.end());
        found.erase(std::unique(found.begin(), found.end()), found.end());
    }
}

void ShipGrid::collectLongSegment(double ax, double ay, double dx, double dy, double r)
{
    // Keep only the part of the path that comes within reach of the ships' box.
    double t0 = 0, t1 = 1;
    auto clip = [&](double from, double delta, double low, double high) {
        if (delta == 0) return from >= low && from <= high;
        double ta = (low - from) / delta, tb = (high - from) / delta;
        if (ta > tb) std::swap(ta, tb);
        t0 = std::max(t0, ta);
        t1 = std::min(t1, tb);
        return t0 <= t1;
    };
    if (columns == 0 || !clip(ax, dx, minX - r, maxX + r) || !clip(ay, dy, minY - r, maxY + r)) return;
    // Pieces no longer than a cell, each widened by the reach, cover every
    // point within reach of the path without sweeping its whole bounding box.
    double length = std::sqrt(dx * dx + dy * dy) * (t1 - t0);
    double wanted = std::ceil(length / cell);
    // A path longer than the grid is many times across is rare enough to take whole.
    int pieces = wanted > 4 * MAX_CELLS_ACROSS ? 1 : std::max(1, int(wanted));
    for (int i = 0; i < pieces; ++i) {
        double s0 = t0 + (t1 - t0) * i / pieces, s1 = t0 + (t1 - t0) * (i + 1) / pieces;
        double px0 = ax + dx * s0, px1 = ax + dx * s1, py0 = ay + dy * s0, py1 = ay + dy * s1;
        collectBox(std::min(px0, px1) - r, std::min(py0, py1) - r, std::max(px0, px1) + r, std::max(py0, py1) + r);
    }
}

Ship* ShipGrid::withId(std::list<Ship>& ships, unsigned id)
{
    if (!indexed()) {
        for (Ship& ship : ships)
            if (ship.getID() == id) return &ship;
        return nullptr;
    }
    ensureBuilt(ships);
    auto it = std::lower_bound(byId.begin(), byId.end(), std::make_pair(id, 0));
    if (it == byId.end() || it->first != id) return nullptr;
    return order[size_t(it->second)];
}
