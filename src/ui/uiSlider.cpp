#include "ui/uiSlider.h"

#include <GL/glew.h>

#include <algorithm>

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

void uiSlider::drawLevel()
{
    float w = arrowWidth;
    glBindTexture(GL_TEXTURE_2D, arrowTexture);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex2f(x2 - w, y1);
    glTexCoord2f(0, 1);
    glVertex2f(x2 - w, y2);
    glTexCoord2f(1, 1);
    glVertex2f(x2, y2);
    glTexCoord2f(1, 0);
    glVertex2f(x2, y1);
    // The low arrow is the same image turned half a turn.
    glTexCoord2f(1, 1);
    glVertex2f(x1, y1);
    glTexCoord2f(1, 0);
    glVertex2f(x1, y2);
    glTexCoord2f(0, 0);
    glVertex2f(x1 + w, y2);
    glTexCoord2f(0, 1);
    glVertex2f(x1 + w, y1);
    glEnd();

    glColor3f(0.9f, 0.9f, 0.9f);
    glBindTexture(GL_TEXTURE_2D, 0);
    outline(x1 + w, y1, x2 - w, y2);

    glColor3f(1, 0, 0);
    float s = w + x1;
    float f = s + rangeFraction(curVal, leftVal, rightVal) * (x2 - w - s);
    outline(x1 + w, y1, f, y2);
}

void uiSlider::draw()
{
    if (!vertical) {
        drawLevel();
        arrowRepeatBookkeeping(*this);
        return;
    }
    // Drawn as the level slider on the rectangle turned a quarter turn about its
    // centre, then turned back upright: the low end comes out at the bottom.
    float saved[4] = {x1, y1, x2, y2};
    float cx = (x1 + x2) * 0.5f, cy = (y1 + y2) * 0.5f;
    float hx = cx - x1, hy = cy - y1;
    x1 = cx - hy, x2 = cx + hy, y1 = cy - hx, y2 = cy + hx;
    glPushMatrix();
    glTranslatef(cx, cy, 0);
    glRotatef(90, 0, 0, 1);
    glTranslatef(-cx, -cy, 0);
    drawLevel();
    arrowRepeatBookkeeping(*this);
    glPopMatrix();
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
