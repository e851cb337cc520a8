// A value scroller: an arrow at each end and a handle that moves along the
// track. One that is not wider than tall runs up and down.
#pragma once

#include "ui/uiDisplayBase.h"

class uiScroller : public uiDisplayBase {
public:
    bool vertical;
    float arrowWidth;  // length of each arrow end along the scroller
    unsigned arrowTexture;
    float leftVal;  // value at the low end (left, or bottom)
    float rightVal;
    float curVal;
    int repeatTimer = 0;
    bool arrowHeld = false;

    uiScroller(float x1, float y1, float x2, float y2, float arrowWidth, float leftVal, float rightVal, float curVal);
    uiScroller(float x1, float y1, float x2, float y2, float leftVal, float rightVal, float curVal);
    void draw() override;
    void handleKeys(std::string key, Universe& universe, lua_State* L) override;
    void handleMouseHover(point& mouse) override;
    void handleMouseDrag(point& mouse, int& dt, Universe& universe, lua_State* L) override;
    void handleMouseClick(point& mouse, Universe& universe, lua_State* L) override;
    void modify(std::vector<float>& floats, std::vector<std::string>& strings) override;
    void importVals(lua_State* L) override;
    void exportVals(std::vector<float>& floats, std::vector<std::string>& strings) override;
};
