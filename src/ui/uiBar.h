// A display-only level bar, filled from the left up to its value.
#pragma once

#include "ui/uiDisplayBase.h"

class uiBar : public uiDisplayBase {
public:
    float leftVal;   // value at the empty end
    float rightVal;  // value at the full end
    float curVal;

    uiBar(float x1, float y1, float x2, float y2, float leftVal, float rightVal, float curVal);
    void updateVal(float leftVal, float rightVal, float curVal);
    void updateVal(float curVal);
    void draw() override;
    void handleKeys(std::string key, Universe& universe, lua_State* L) override;
    void handleMouseHover(point& mouse) override;
    void handleMouseDrag(point& mouse, int& dt, Universe& universe, lua_State* L) override;
    void handleMouseClick(point& mouse, Universe& universe, lua_State* L) override;
    void modify(std::vector<float>& floats, std::vector<std::string>& strings) override;
    void importVals(lua_State* L) override;
    void exportVals(std::vector<float>& floats, std::vector<std::string>& strings) override;
};
