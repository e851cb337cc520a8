#include "ui/uiSlider.h"

#include <algorithm>

#include "render/batch.h"
#include "render/textures.h"
#include "ui/uiArrowInput.h"

uiSlider::uiSlider(float x1, float y1, float x2, float y2, float arrowWidth, float leftVal, float rightVal,
                   float curVal)
    : uiDisplayBase(x1, y1, x2, y2), arrowWidth(arrowWidth), arrowTexture(textureAt(uiTextures, UITEX_ARROW)),
      leftVal(leftVal), rightVal(rightVal), curVal(curVal), vertical(!((x2 - x1) > (y2 - y1)))
{
}

uiSlider::uiSlider(float x1, float y1, float x2, float y2, float leftVal, float rightVal, float curVal)
    : uiSlider(x1, y1, x2, y2, std::min(x2 - x1, y2 - y1), leftVal, rightVal, curVal)
{
}

void uiSlider::drawLevel(Placement place)
{
    float w = arrowWidth;
    batch.bindTexture(arrowTexture);
    texturedQuad({{x2 - w, y1}, {x2 - w, y2}, {x2, y2}, {x2, y1}}, {{0, 0}, {0, 1}, {1, 1}, {1, 0}}, place);
    // The low arrow is the same image turned half a turn.
    texturedQuad({{x1, y1}, {x1, y2}, {x1 + w, y2}, {x1 + w, y1}}, {{1, 1}, {1, 0}, {0, 0}, {0, 1}}, place);

    batch.colour(0.9f, 0.9f, 0.9f);
    batch.bindTexture(0);
    outline(x1 + w, y1, x2 - w, y2, place);

    batch.colour(1, 0, 0);
    float s = w + x1;
    float f = s + rangeFraction(curVal, leftVal, rightVal) * (x2 - w - s);
    outline(x1 + w, y1, f, y2, place);
}

void uiSlider::draw()
{
    if (!vertical) {
        drawLevel(Placement());
        arrowRepeatBookkeeping(*this);
        return;
    }
    // Drawn as the level slider on the rectangle turned a quarter turn about its
    // centre, then turned back upright: the low end comes out at the bottom.
    float saved[4] = {x1, y1, x2, y2};
    float cx = (x1 + x2) * 0.5f, cy = (y1 + y2) * 0.5f;
    float hx = cx - x1, hy = cy - y1;
    x1 = cx - hy, x2 = cx + hy, y1 = cy - hx, y2 = cy + hx;
    drawLevel(Placement{point{cx, cy}, 90});
    arrowRepeatBookkeeping(*this);
    x1 = saved[0], y1 = saved[1], x2 = saved[2], y2 = saved[3];
}

void uiSlider::handleKeys(std::string, Universe&, lua_State*) {}
void uiSlider::handleMouseHover(point&) {}

// An upright slider follows the mouse up and down, as it is drawn.
void uiSlider::handleMouseDrag(point& mouse, int& dt, Universe&, lua_State*) { arrowDragOnAxis(*this, mouse, dt); }

void uiSlider::handleMouseClick(point& mouse, Universe&, lua_State*)
{
    if (mouseOver(mouse)) arrowClickOnAxis(*this, mouse);
}

void uiSlider::modify(std::vector<float>&, std::vector<std::string>&) {}
void uiSlider::importVals(lua_State* L) { importArrowValues(*this, L); }
void uiSlider::exportVals(std::vector<float>& floats, std::vector<std::string>&)
{
    exportArrowValues(*this, UI_SLIDER, floats);
}
