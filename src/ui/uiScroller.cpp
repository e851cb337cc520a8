#include "ui/uiScroller.h"

#include <algorithm>

#include "render/batch.h"
#include "render/textures.h"
#include "ui/uiArrowInput.h"

uiScroller::uiScroller(float x1, float y1, float x2, float y2, float arrowWidth, float leftVal, float rightVal,
                       float curVal)
    : uiDisplayBase(x1, y1, x2, y2), vertical(!((x2 - x1) > (y2 - y1))), arrowWidth(arrowWidth),
      arrowTexture(textureAt(uiTextures, UITEX_ARROW)), leftVal(leftVal), rightVal(rightVal), curVal(curVal)
{
}

uiScroller::uiScroller(float x1, float y1, float x2, float y2, float leftVal, float rightVal, float curVal)
    : uiScroller(x1, y1, x2, y2, std::min(x2 - x1, y2 - y1), leftVal, rightVal, curVal)
{
}

void uiScroller::draw()
{
    float w = arrowWidth;
    batch.bindTexture(arrowTexture);
    if (vertical) {
        texturedQuad({{x1, y2 - w}, {x1, y2}, {x2, y2}, {x2, y2 - w}}, {{0, 1}, {1, 1}, {1, 0}, {0, 0}});
        texturedQuad({{x1, y1}, {x1, y1 + w}, {x2, y1 + w}, {x2, y1}}, {{1, 0}, {0, 0}, {0, 1}, {1, 1}});
    } else {
        texturedQuad({{x2 - w, y1}, {x2 - w, y2}, {x2, y2}, {x2, y1}}, {{0, 0}, {0, 1}, {1, 1}, {1, 0}});
        texturedQuad({{x1, y1}, {x1, y2}, {x1 + w, y2}, {x1 + w, y1}}, {{1, 1}, {1, 0}, {0, 0}, {0, 1}});
    }

    batch.colour(0.9f, 0.9f, 0.9f);
    batch.bindTexture(0);
    if (vertical)
        lineStrip({{x1, y1 + w}, {x1, y2 - w}, {x2, y2 - w}, {x2, y1 + w}, {x1, y1 + w}});
    else
        lineStrip({{x1 + w, y1}, {x2 - w, y1}, {x2 - w, y2}, {x1 + w, y2}, {x1 + w, y1}});

    // The handle's centre runs half an arrow short of each end of the track.
    batch.colour(1, 0, 0);
    float t = rangeFraction(curVal, leftVal, rightVal);
    float low = (vertical ? y1 : x1) + 1.5f * w;
    float high = (vertical ? y2 : x2) - 1.5f * w;
    float c = low + t * (high - low);
    if (vertical) outline(x1, c - 0.5f * w, x2, c + 0.5f * w);
    else outline(c - 0.5f * w, y1, c + 0.5f * w, y2);

    arrowRepeatBookkeeping(*this);
}

void uiScroller::handleKeys(std::string, Universe&, lua_State*) {}
void uiScroller::handleMouseHover(point&) {}

void uiScroller::handleMouseDrag(point& mouse, int& dt, Universe&, lua_State*) { arrowDragOnAxis(*this, mouse, dt); }

// Any click on a scroller reaches the script, even one on the track.
void uiScroller::handleMouseClick(point& mouse, Universe&, lua_State*)
{
    if (!mouseOver(mouse)) return;
    modified = true;
    arrowClickOnAxis(*this, mouse);
}

void uiScroller::modify(std::vector<float>&, std::vector<std::string>&) {}
void uiScroller::importVals(lua_State* L) { importArrowValues(*this, L); }
void uiScroller::exportVals(std::vector<float>& floats, std::vector<std::string>&)
{
    exportArrowValues(*this, UI_SCROLLER, floats);
}
