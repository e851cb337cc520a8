#include "ui/uiBar.h"

#include "core/luaTable.h"
#include "render/batch.h"

uiBar::uiBar(float x1, float y1, float x2, float y2, float leftVal, float rightVal, float curVal)
    : uiDisplayBase(x1, y1, x2, y2), leftVal(leftVal), rightVal(rightVal), curVal(curVal)
{
}

void uiBar::updateVal(float left, float right, float value)
{
    leftVal = left;
    rightVal = right;
    curVal = value;
}

void uiBar::updateVal(float value) { curVal = value; }

// A value outside the range draws past an edge: the bar shows what it is given.
void uiBar::draw()
{
    batch.bindTexture(0);
    batch.colour(0.9f, 0.9f, 0.9f);
    outline(x1, y1, x2, y2);
    batch.colour(1, 0, 0);
    float f = x1 + rangeFraction(curVal, leftVal, rightVal) * (x2 - x1);
    outline(x1, y1, f, y2);
}

void uiBar::handleKeys(std::string, Universe&, lua_State*) {}
void uiBar::handleMouseHover(point&) {}
void uiBar::handleMouseDrag(point&, int&, Universe&, lua_State*) {}
void uiBar::handleMouseClick(point&, Universe&, lua_State*) {}
void uiBar::modify(std::vector<float>&, std::vector<std::string>&) {}

void uiBar::importVals(lua_State* L)
{
    importRect(L);
    leftVal = getLuaTableFloat(L, "leftVal", -1);
    rightVal = getLuaTableFloat(L, "rightVal", -1);
    curVal = getLuaTableFloat(L, "curVal", -1);
}

void uiBar::exportVals(std::vector<float>& floats, std::vector<std::string>&)
{
    floats.insert(floats.end(), {float(UI_BAR), x1, y1, x2, y2, leftVal, rightVal, curVal});
}
