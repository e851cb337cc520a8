#include "ui/uiBox.h"

#include <algorithm>

#include "core/luaTable.h"
#include "render/batch.h"
#include "render/font.h"

uiBox::uiBox(float x1, float y1, float x2, float y2, std::string text, Font* font, bool borderless)
    : uiDisplayBase(x1, y1, x2, y2), text(text), font(font), borderless(borderless)
{
}

// The text takes whatever colour is current: a bordered box's own.
void uiBox::draw()
{
    if (!borderless) {
        batch.bindTexture(0);
        batch.colour(colour[0], colour[1], colour[2]);
        outline(x1, y1, x2, y2);
    }
    if (!text.empty() && font) font->displayText(text, x1 + (x2 - x1) * 0.5f, y1 + (y2 - y1) * 0.5f, 1.0f, true);
}

void uiBox::handleKeys(std::string, Universe&, lua_State*) {}
void uiBox::handleMouseHover(point&) {}
void uiBox::handleMouseDrag(point&, int&, Universe&, lua_State*) {}
void uiBox::handleMouseClick(point&, Universe&, lua_State*) {}

void uiBox::modify(std::vector<float>& f, std::vector<std::string>& s)
{
    if (f.empty()) return;
    if (f[0] == 0 && f.size() >= 4) {
        colour[0] = f[1], colour[1] = f[2], colour[2] = f[3];
    } else if (f[0] == 1 && f.size() >= 5) {
        x1 = std::min(f[1], f[3]), x2 = std::max(f[1], f[3]);
        y1 = std::min(f[2], f[4]), y2 = std::max(f[2], f[4]);
    } else if (f[0] == 2 && !s.empty()) {
        text = s[0];
    }
}

void uiBox::importVals(lua_State* L)
{
    importRect(L);
    text = getLuaTableString(L, "text", -1);
}

void uiBox::exportVals(std::vector<float>& floats, std::vector<std::string>& strings)
{
    floats.insert(floats.end(), {float(UI_BOX), x1, y1, x2, y2});
    strings.push_back(text);
}
