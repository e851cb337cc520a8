// A two-state button with a label: each click toggles it up or down.
#pragma once

#include "ui/uiDisplayBase.h"

class Font;

class uiButton : public uiDisplayBase {
public:
    int state;  // 0 up, 1 up and hovered, 2 down, 3 down and hovered
    std::vector<unsigned> stateTextures;  // drawn for states 0 to 3
    std::string text;
    Font* font;  // not owned; null draws no label

    uiButton(float x1, float y1, float x2, float y2, Font* font, std::string text, int state);
    void draw() override;
    void handleKeys(std::string key, Universe& universe, lua_State* L) override;
    void handleMouseHover(point& mouse) override;
    void handleMouseDrag(point& mouse, int& dt, Universe& universe, lua_State* L) override;
    void handleMouseClick(point& mouse, Universe& universe, lua_State* L) override;
    void modify(std::vector<float>& floats, std::vector<std::string>& strings) override;
    void importVals(lua_State* L) override;
    void exportVals(std::vector<float>& floats, std::vector<std::string>& strings) override;
};
