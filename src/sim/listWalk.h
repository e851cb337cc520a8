// The walk every per-frame driver makes over a world's lists: each element gets
// one step, and one whose step answers false is removed on the spot.
#pragma once

#include <list>

template <class T, class Step>
void stepAndPrune(std::list<T>& items, Step step)
{
    // The end is tested before every element, so elements appended during the
    // walk get their step in the same frame.
    for (auto it = items.begin(); it != items.end();) {
        if (step(*it))
            ++it;
        else
            it = items.erase(it);
    }
}
