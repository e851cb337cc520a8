// A uniform grid over a world's enemy ships, so that a shot, a homing search,
// the beam or a shockwave looks only at the ships near it instead of at all of
// them. The grid only narrows the candidates: callers still run their own exact
// test on each candidate, visited in list order, so ties and printed lines come
// out as they would from a walk over the whole list.
#pragma once

#include <list>
#include <utility>
#include <vector>

#include "core/basics.h"
#include "entities/ship.h"

class ShipGrid {
public:
    // Off: every query visits every ship. Tests and benchmarks compare the two.
    static bool enabled;

    ShipGrid() = default;
    // A copy of a world holds other ships; it indexes them in its own pass.
    ShipGrid(const ShipGrid&) {}
    ShipGrid& operator=(const ShipGrid&) { return *this; }

    // While a pass is open the ship list must not change (ships move and die in
    // their own pass); the grid is built by the first query of the outermost pass.
    class Pass {
    public:
        Pass(ShipGrid& grid, std::list<Ship>& ships);
        ~Pass();
        Pass(const Pass&) = delete;
        Pass& operator=(const Pass&) = delete;

    private:
        ShipGrid& grid;
        std::list<Ship>& ships;
    };

    // Visits, in list order, every ship whose centre may lie within reach of the
    // segment a-b (or of the point centre); ships further away are never visited.
    template <class Visit>
    void nearSegment(std::list<Ship>& ships, point a, point b, float reach, Visit visit)
    {
        if (!indexed()) return visitAll(ships, visit);
        ensureBuilt(ships);
        collectSegment(a, b, reach);
        for (int i : found) visit(*order[size_t(i)]);
    }
    template <class Visit>
    void nearPoint(std::list<Ship>& ships, point centre, float reach, Visit visit)
    {
        nearSegment(ships, centre, centre, reach, visit);
    }
    // The first ship in list order with this id, or null.
    Ship* withId(std::list<Ship>& ships, unsigned id);

private:
    bool indexed() const { return enabled && depth > 0; }
    template <class Visit>
    static void visitAll(std::list<Ship>& ships, Visit visit)
    {
        for (Ship& ship : ships) visit(ship);
    }
    void ensureBuilt(std::list<Ship>& ships);
    void build(std::list<Ship>& ships);
    void collectSegment(point a, point b, float reach);
    void collectLongSegment(double ax, double ay, double dx, double dy, double r);
    void collectBox(double x0, double y0, double x1, double y1);
    int column(double x) const;
    int row(double y) const;

    int depth = 0;
    bool built = false;
    const std::list<Ship>* builtFrom = nullptr;
    size_t builtCount = 0;
    std::vector<Ship*> order;        // list order
    std::vector<int> loose;          // ships with no finite place: always candidates
    double minX = 0, minY = 0, maxX = 0, maxY = 0, cell = 1, perCell = 1;
    double gridMagnitude = 0;  // largest coordinate of the ships' box
    int columns = 0, rows = 0;
    std::vector<int> cellStart;      // columns * rows + 1 offsets into cellShips
    struct Entry {
        point place;
        int index;  // in list order
    };
    std::vector<Entry> cellShips;    // cell by cell, list order within a cell
    std::vector<std::pair<unsigned, int>> byId;  // (id, list index), sorted
    std::vector<int> found;          // the last query's candidates, sorted
};
