#include "ui/uiWrapper.h"

#include <algorithm>
#include <cmath>
#include <sstream>
#include <string>

#include "core/luaTable.h"
#include "entities/worldState.h"
#include "core/diagnostics.h"
#include "core/report.h"
#include "script/budgetedCall.h"
#include "script/startLua.h"
#include "ui/uiBar.h"
#include "ui/uiBox.h"
#include "ui/uiButton.h"
#include "ui/uiDisplay.h"
#include "ui/uiScroller.h"
#include "ui/uiSlider.h"

namespace {

float field(lua_State* L, const char* key) { return getLuaTableFloat(L, key, -1); }
std::string text(lua_State* L, const char* key) { return getLuaTableString(L, key, -1); }

// The font a script's index names; an index outside the list gets the first
// font, and no font at all draws no text.
Font* pickFont(const std::vector<Font*>& fonts, float index)
{
    if (fonts.empty()) return nullptr;
    int i = luaNumberToInt(index);
    return i >= 0 && i < int(fonts.size()) ? fonts[size_t(i)] : fonts[0];
}

// The element the table on top of the stack describes; the keys are read in
// the order the script's contract lists them.
uiDisplayBase* buildElement(lua_State* L, unsigned code, const std::vector<Font*>& fonts)
{
    float x1 = field(L, "x1"), y1 = field(L, "y1"), x2 = field(L, "x2"), y2 = field(L, "y2");
    switch (code) {
    case UI_BUTTON: {
        Font* font = pickFont(fonts, field(L, "font"));
        std::string label = text(L, "text");
        int state = std::clamp(luaNumberToInt(field(L, "initialState")), 0, 3);
        return new uiButton(x1, y1, x2, y2, font, label, state);
    }
    case UI_SLIDER:
    case UI_SCROLLER: {
        float arrowWidth = field(L, "arrowWidth");
        float leftVal = field(L, "leftVal"), rightVal = field(L, "rightVal"), curVal = field(L, "curVal");
        if (code == UI_SLIDER) return new uiSlider(x1, y1, x2, y2, arrowWidth, leftVal, rightVal, curVal);
        return new uiScroller(x1, y1, x2, y2, arrowWidth, leftVal, rightVal, curVal);
    }
    case UI_BAR: {
        float leftVal = field(L, "leftVal"), rightVal = field(L, "rightVal"), curVal = field(L, "curVal");
        return new uiBar(x1, y1, x2, y2, leftVal, rightVal, curVal);
    }
    case UI_BOX:
    case UI_TEXT: {
        std::string content = text(L, "text");
        Font* font = pickFont(fonts, field(L, "font"));
        return new uiBox(x1, y1, x2, y2, content, font, code == UI_TEXT);
    }
    default: return nullptr;
    }
}

}  // namespace

unsigned typeDecoder(lua_State* L)
{
    const std::string type = text(L, "type");  // a number's text names no type
    for (unsigned code = UI_BUTTON; code <= UI_TEXT; ++code)
        if (type == uiTypeName(int(code))) return code;
    return UI_NONE;
}

namespace {

struct AddUiCall {
    Universe& universe;
    const std::vector<float>& args;
    const std::vector<Font*>& fonts;
};

// Builds the panel from the results on the stack, from the top down: the table
// just below the name is added first.
void addReturnedPanel(lua_State* L, AddUiCall& call)
{
    size_t length = 0;
    const char* name = lua_tolstring(L, -1, &length);
    if (call.universe.uiDisplays.size() >= UI_PANEL_LIMIT) {
        report({"ui.lua", "addUI", formatted("panel not added: %d panels are open already", int(UI_PANEL_LIMIT)),
                Severity::Error});
        return;
    }
    uiDisplay panel(std::string(name, std::min(length, LUA_TEXT_LIMIT)));
    sayLine("Set name: " + panel.name);
    call.universe.uiDisplays.push_back(panel);
    uiDisplay& added = call.universe.uiDisplays.back();
    for (;;) {
        lua_pop(L, 1);
        if (lua_gettop(L) <= 0) break;
        if (added.elements.size() >= UI_ELEMENT_LIMIT) {
            report({"ui.lua", "addUI",
                    formatted("panel \"%s\" holds %d elements; %d more left out", added.name.c_str(),
                              int(UI_ELEMENT_LIMIT), lua_gettop(L)),
                    Severity::Error});
            break;
        }
        if (!lua_istable(L, -1)) {
            sayLine(std::string("Error, LUA UI element is a ") + luaL_typename(L, -1) + ", not a table; skipped");
            continue;
        }
        unsigned code = typeDecoder(L);
        uiDisplayBase* element = buildElement(L, code, call.fonts);
        if (!element) {
            sayLine("Error, bad LUA UI element number.  Full stack dump follows.");
            stackDump(L);
            continue;
        }
        added.addDisplay(element, text(L, "name"));
    }
}

// The whole exchange with "addUI", run protected: the script's own errors are
// reported as the call's, and nothing the game does with the results afterwards
// runs script code (fields and globals are read raw).
int exchangeAddUi(lua_State* L)
{
    AddUiCall& call = *static_cast<AddUiCall*>(lua_touserdata(L, 1));
    lua_pop(L, 1);
    if (!lua_checkstack(L, int(call.args.size()) + 8)) return luaL_error(L, "too many event values");
    lua_pushliteral(L, "addUI");
    lua_rawget(L, LUA_GLOBALSINDEX);
    for (float value : call.args) lua_pushnumber(L, value);
    {
        // Gone before anything below can raise: a Lua error jumps over C++ destructors.
        std::ostringstream calling;
        calling << "Event type " << double(call.args[0]) << " calling";
        sayLine(calling.str());
    }

    if (callScript(L, int(call.args.size()), LUA_MULTRET) != 0) {
        sayLine("Lua event error, " + luaErrorLine(L));
        return 0;
    }
    // Room for the keys and values the element readers push above the results.
    if (!lua_checkstack(L, 8)) return luaL_error(L, "no room to read the results");
    int results = lua_gettop(L);
    if (results == 1) return 0;
    if (results == 0 || !lua_isstring(L, -1)) {
        sayLine("Error, display name undefined in LUA, aborting, LUA stack dump follows");
        stackDump(L);
        return 0;
    }
    const unsigned long cutBefore = luaTextsCut();
    addReturnedPanel(L, call);
    sayTextsCut(cutBefore);
    return 0;
}

}  // namespace

void uiEvent(Universe& universe, std::vector<float>& args, std::vector<Font*> fonts, lua_State* L)
{
    if (args.empty() || !L) return;
    // Whatever happens, the stack is left at this height.
    int base = lua_gettop(L);
    AddUiCall call{universe, args, fonts};
    if (cpcallLuaBudgeted(L, "addUI", exchangeAddUi, &call) != 0)
        sayLine("Lua event error, " + luaErrorLine(L));
    lua_settop(L, base);
}
