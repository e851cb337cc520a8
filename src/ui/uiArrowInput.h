// Mouse input shared by sliders and scrollers: an arrow zone at each end that
// steps the value by 1 (repeating while held) and a track between them that
// sets it directly. `c` is the mouse coordinate along the element's axis and
// (low, high) the element's edges on that axis.
#pragma once

#include <string>
#include <vector>

#include "core/luaTable.h"
#include "ui/uiDisplayBase.h"

const int ARROW_REPEAT_MS = 300;     // held arrow: one step each time the timer passes this
const int ARROW_REPEAT_IDLE = -1000;  // timer after a drawn frame without a held arrow

template <class E>
void arrowStep(E& e, float step)
{
    e.curVal += step;
    if (step < 0 && e.curVal < e.leftVal) e.curVal = e.leftVal;
    if (step > 0 && e.curVal > e.rightVal) e.curVal = e.rightVal;
    e.modified = true;
}

// A click steps down and then, independently, up: on an element too short for
// its arrows both can happen in one click.
template <class E>
void arrowClick(E& e, float c, float low, float high)
{
    if (c < low + e.arrowWidth) arrowStep(e, -1.0f);
    if (c > high - e.arrowWidth) arrowStep(e, 1.0f);
}

template <class E>
void arrowDrag(E& e, float c, float low, float high, int dt)
{
    float trackLow = low + e.arrowWidth;
    float trackHigh = high - e.arrowWidth;
    if (c < trackLow || c > trackHigh) {
        e.arrowHeld = true;
        e.repeatTimer += dt + 1;
        if (e.repeatTimer <= ARROW_REPEAT_MS) return;
        e.repeatTimer = 0;
        arrowStep(e, c < trackLow ? -1.0f : 1.0f);
        return;
    }
    // Strictly inside the track, so its length is positive here.
    if (c > trackLow && c < trackHigh) {
        e.curVal = e.leftVal + (c - trackLow) / (trackHigh - trackLow) * (e.rightVal - e.leftVal);
        e.modified = true;
    }
}

// Either axis: an upright element follows the mouse up and down.
template <class E>
void arrowDragOnAxis(E& e, point& mouse, int dt)
{
    if (!e.mouseOver(mouse)) return;
    if (e.vertical) arrowDrag(e, mouse.y, e.y1, e.y2, dt);
    else arrowDrag(e, mouse.x, e.x1, e.x2, dt);
}

template <class E>
void arrowClickOnAxis(E& e, point& mouse)
{
    if (e.vertical) arrowClick(e, mouse.y, e.y1, e.y2);
    else arrowClick(e, mouse.x, e.x1, e.x2);
}

// At the end of each draw: letting go of the arrows for one frame restarts the delay.
template <class E>
void arrowRepeatBookkeeping(E& e)
{
    if (!e.arrowHeld) e.repeatTimer = ARROW_REPEAT_IDLE;
    e.arrowHeld = false;
}

template <class E>
void importArrowValues(E& e, lua_State* L)
{
    e.importRect(L);
    e.arrowWidth = getLuaTableFloat(L, "arrowWidth", -1);
    e.leftVal = getLuaTableFloat(L, "leftVal", -1);
    e.rightVal = getLuaTableFloat(L, "rightVal", -1);
    e.curVal = getLuaTableFloat(L, "curVal", -1);
}

template <class E>
void exportArrowValues(E& e, UiTypeCode code, std::vector<float>& floats)
{
    floats.insert(floats.end(), {float(code), e.x1, e.y1, e.x2, e.y2, e.arrowWidth, e.leftVal, e.rightVal, e.curVal});
}
