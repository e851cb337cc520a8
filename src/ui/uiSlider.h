// A value slider: an arrow at each end and a track filled up to the value.
// One that is not wider than tall is drawn upright, low end at the bottom.
#pragma once

#include "ui/uiDisplayBase.h"

class uiSlider : public uiDisplayBase {
public:
    float arrowWidth;  // length of each arrow end along the slider
    unsigned arrowTexture;
    float leftVal;  // value at the low end
    float rightVal;
    float curVal;
    int repeatTimer = 0;    // ms accumulated while an arrow is held
    bool arrowHeld = false;  // an arrow zone was dragged in since the last draw
    bool vertical;

    uiSlider(float x1, float y1, float x2, float y2, float arrowWidth, float leftVal, float rightVal, float curVal);
    uiSlider(float x1, float y1, float x2, float y2, float leftVal, float rightVal, float curVal);
    void draw() override;
    void handleKeys(std::string key, Universe& universe, lua_State* L) override;
    void handleMouseHover(point& mouse) override;
    void handleMouseDrag(point& mouse, int& dt, Universe& universe, lua_State* L) override;
    void handleMouseClick(point& mouse, Universe& universe, lua_State* L) override;
    void modify(std::vector<float>& floats, std::vector<std::string>& strings) override;
    void importVals(lua_State* L) override;
    void exportVals(std::vector<float>& floats, std::vector<std::string>& strings) override;

private:
    void drawLevel(Placement place);  // arrows, track and fill on the level rectangle, placed
};
