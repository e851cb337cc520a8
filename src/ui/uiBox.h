// A rectangle with an optional border and text at its centre; the script's
// "box" has the border, its "text" has none.
#pragma once

#include "ui/uiDisplayBase.h"

class Font;

class uiBox : public uiDisplayBase {
public:
    float colour[3] = {0.8f, 0.8f, 0.8f};  // border
    std::string text;
    Font* font;  // not owned; null draws no text
    bool borderless;

    uiBox(float x1, float y1, float x2, float y2, std::string text, Font* font, bool borderless);
    void draw() override;
    void handleKeys(std::string key, Universe& universe, lua_State* L) override;
    void handleMouseHover(point& mouse) override;
    void handleMouseDrag(point& mouse, int& dt, Universe& universe, lua_State* L) override;
    void handleMouseClick(point& mouse, Universe& universe, lua_State* L) override;
    // f[0] 0: colour from f[1..3]; 1: rectangle from f[1..4]; 2: text from s[0].
    void modify(std::vector<float>& floats, std::vector<std::string>& strings) override;
    void importVals(lua_State* L) override;
    void exportVals(std::vector<float>& floats, std::vector<std::string>& strings) override;
};
