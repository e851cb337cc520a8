// Bodies taken out of a list in the middle of a step, each with the place it
// had in the list as it was when it was last seen: drawing puts them back in
// that order, so a frame shows exactly what the step saw.
#pragma once

#include <list>
#include <utility>
#include <vector>

template <class Body>
class FallenBodies {
public:
    std::vector<std::pair<size_t, Body>> bodies;  // (place in the seen list, body), by place

    void clear() { bodies.clear(); }

    // Moves *it out of items; `before` counts the live items ahead of it.
    typename std::list<Body>::iterator take(std::list<Body>& items, typename std::list<Body>::iterator it,
                                            size_t before)
    {
        // Its place in the seen list: skip over the places of those already taken.
        size_t place = before;
        auto at = bodies.begin();
        while (at != bodies.end() && at->first <= place) {
            ++place;
            ++at;
        }
        bodies.insert(at, {place, std::move(*it)});
        return items.erase(it);
    }
};

// Calls draw on every body in the order the list had when it was seen.
template <class Body, class Draw>
void forEachSeen(const std::list<Body>& items, const FallenBodies<Body>& fallen, Draw draw)
{
    auto next = fallen.bodies.begin();
    size_t place = 0;
    for (const Body& body : items) {
        for (; next != fallen.bodies.end() && next->first == place; ++next, ++place) draw(next->second);
        draw(body);
        ++place;
    }
    for (; next != fallen.bodies.end(); ++next) draw(next->second);
}
