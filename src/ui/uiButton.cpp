#include "ui/uiButton.h"

#include "core/luaTable.h"
#include "render/batch.h"
#include "render/font.h"
#include "render/textures.h"

uiButton::uiButton(float x1, float y1, float x2, float y2, Font* font, std::string text, int state)
    : uiDisplayBase(x1, y1, x2, y2), state(state), text(text), font(font)
{
    for (int i = UITEX_BUTTON_UP; i <= UITEX_BUTTON_DOWN_SEL; ++i) stateTextures.push_back(textureAt(uiTextures, i));
}

void uiButton::draw()
{
    batch.bindTexture(textureAt(stateTextures, state));
    texturedQuad({{x1, y1}, {x1, y2}, {x2, y2}, {x2, y1}}, {{0, 0}, {0, 1}, {1, 1}, {1, 0}});
    batch.bindTexture(0);
    if (!text.empty() && font) font->displayText(text, x1 + (x2 - x1) * 0.5f, y1 + (y2 - y1) * 0.5f, 1.0f, true);
}

void uiButton::handleKeys(std::string, Universe&, lua_State*) {}

void uiButton::handleMouseHover(point& mouse)
{
    bool inside = mouseOver(mouse);
    if (inside && state == 0) state = 1;
    else if (inside && state == 2) state = 3;
    else if (!inside && state == 1) state = 0;
    else if (!inside && state == 3) state = 2;
}

void uiButton::handleMouseDrag(point&, int&, Universe&, lua_State*) {}

void uiButton::handleMouseClick(point& mouse, Universe&, lua_State*)
{
    if (!mouseOver(mouse)) return;
    if (state == 0 || state == 1) state = 3;
    else if (state == 2 || state == 3) state = 1;
    else return;
    modified = true;
}

void uiButton::modify(std::vector<float>&, std::vector<std::string>&) {}

void uiButton::importVals(lua_State* L)
{
    importRect(L);
    // Only exactly 1 means pressed; the next hover adds the hovered half back.
    state = getLuaTableFloat(L, "state", -1) == 1 ? 2 : 0;
    text = getLuaTableString(L, "text", -1);
}

void uiButton::exportVals(std::vector<float>& floats, std::vector<std::string>& strings)
{
    float pressed = (state == 2 || state == 3) ? 1.0f : 0.0f;
    floats.insert(floats.end(), {float(UI_BUTTON), pressed, x1, y1, x2, y2});
    strings.push_back(text);
}
