// The exchange between a panel and the script's "updateUI": every element goes
// out as a table when the user changed any of them, and the tables that come
// back rewrite or delete elements by name.
#include <algorithm>
#include <sstream>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/luaTable.h"
#include "core/diagnostics.h"
#include "core/report.h"
#include "script/budgetedCall.h"
#include "ui/uiDisplay.h"

namespace {

struct RecordNeeds {
    const char* what;
    size_t strings;
    size_t floats;
};

// What each type code's record must hold before it can become a table.
bool recordNeeds(int code, RecordNeeds& needs)
{
    switch (code) {
    case UI_BUTTON: needs = {uiTypeName(code), 1, 6}; return true;
    case UI_SLIDER:
    case UI_SCROLLER: needs = {uiTypeName(code), 0, 9}; return true;
    case UI_BAR: needs = {uiTypeName(code), 0, 8}; return true;
    case UI_BOX:
    case UI_TEXT: needs = {uiTypeName(code), 1, 5}; return true;
    default: return false;
    }
}

// Field names of the floats after the type code, per code.
const char* const BUTTON_FIELDS[] = {"state", "x1", "y1", "x2", "y2"};
const char* const ARROW_FIELDS[] = {"x1", "y1", "x2", "y2", "arrowWidth", "leftVal", "rightVal", "curVal"};
const char* const BAR_FIELDS[] = {"x1", "y1", "x2", "y2", "leftVal", "rightVal", "curVal"};
const char* const BOX_FIELDS[] = {"x1", "y1", "x2", "y2"};

template <size_t N>
void pushFloats(lua_State* L, const char* const (&names)[N], const std::vector<float>& f)
{
    for (size_t i = 0; i < N; ++i) pushFloatOnTable(L, names[i], f[i + 1]);
}

// One element's table, fields in the order the script's contract gives them.
void pushElementTable(lua_State* L, int code, const uiDisplayBase& element, const std::vector<float>& f,
                      const std::vector<std::string>& s)
{
    lua_newtable(L);
    pushStringOnTable(L, "name", element.name);
    switch (code) {
    case UI_BUTTON:
        pushFloats(L, BUTTON_FIELDS, f);
        pushStringOnTable(L, "text", s[0]);
        break;
    case UI_SLIDER:
    case UI_SCROLLER: pushFloats(L, ARROW_FIELDS, f); break;
    case UI_BAR: pushFloats(L, BAR_FIELDS, f); break;
    default:
        pushFloats(L, BOX_FIELDS, f);
        pushStringOnTable(L, "text", s[0]);
        break;
    }
    pushBoolOnTable(L, "modified", element.modified);
}

// Pushes the table for element k when its record is sound; true when pushed.
bool exportElement(lua_State* L, size_t k, const uiDisplayBase& element, const std::vector<float>& f,
                   const std::vector<std::string>& s)
{
    if (f.empty()) {
        sayLine("Error, no floats returned from exportVals call, failed element export");
        return false;
    }
    std::ostringstream trace;
    trace << "i:" << k << ", type" << double(f[0]);
    sayLine(trace.str());

    int code = int(f[0]);
    RecordNeeds needs;
    if (!recordNeeds(code, needs)) {
        std::ostringstream bad;
        bad << "Error, bad element number type" << double(f[0]);
        sayLine(bad.str());
        return false;
    }
    if (s.size() < needs.strings) {
        sayLine(std::string("Error, not enough strings in ") + needs.what);
        return false;
    }
    if (f.size() < needs.floats) {
        sayLine(std::string("Error, not enough floats in ") + needs.what);
        return false;
    }
    pushElementTable(L, code, element, f, s);
    return true;
}

// Rewrites, or deletes, the elements one returned table names (indices in the
// panel's order). True when they were deleted; their places are left null.
bool applyTable(lua_State* L, std::vector<uiDisplayBase*>& elements, const std::vector<size_t>& named)
{
    bool deleted = false;
    for (size_t k : named) {
        sayLine("Table match " + elements[k]->name);
        if (getLuaTableFloat(L, "delete", -1) == 1) {
            sayLine("Deleting " + getLuaTableString(L, "name", -1));
            delete elements[k];
            elements[k] = nullptr;
            deleted = true;
            continue;
        }
        elements[k]->importVals(L);
    }
    return deleted;
}

// Applies the values "updateUI" returned, from the top of the stack down: a
// table reaches every element of its name, in the panel's order. Found by name,
// not by a walk over the panel per table.
void applyResults(lua_State* L, std::vector<uiDisplayBase*>& elements)
{
    std::unordered_map<std::string, std::vector<size_t>> byName;
    for (size_t k = 0; k < elements.size(); ++k) byName[elements[k]->name].push_back(k);
    size_t matches = 0;
    for (; lua_gettop(L) > 0; lua_pop(L, 1)) {
        if (!lua_istable(L, -1)) {
            sayLine(std::string("Error in uidisplay, update function: LUA script returned non-table type: ") +
                    luaL_typename(L, -1));
            continue;
        }
        auto found = byName.find(getLuaTableString(L, "name", -1));
        if (found == byName.end()) continue;
        if ((matches += found->second.size()) > UI_MATCH_LIMIT) {
            report({"ui.lua", "updateUI",
                    formatted("past %d element updates; the other %d results left out", int(UI_MATCH_LIMIT),
                              lua_gettop(L)),
                    Severity::Error});
            lua_settop(L, 0);
            break;
        }
        if (applyTable(L, elements, found->second)) byName.erase(found);
    }
    elements.erase(std::remove(elements.begin(), elements.end(), nullptr), elements.end());
}

struct UpdateCall {
    uiDisplay& panel;
    const std::vector<std::vector<float>>& floats;
    const std::vector<std::vector<std::string>>& strings;
};

// The whole exchange with "updateUI", run protected: nothing the game does with
// the results runs script code (fields and globals are read raw).
int exchangeUpdateUi(lua_State* L)
{
    UpdateCall& call = *static_cast<UpdateCall*>(lua_touserdata(L, 1));
    lua_pop(L, 1);
    std::vector<uiDisplayBase*>& elements = call.panel.elements;
    if (!lua_checkstack(L, int(elements.size()) + 8)) return luaL_error(L, "too many elements");
    lua_pushliteral(L, "updateUI");
    lua_rawget(L, LUA_GLOBALSINDEX);
    lua_pushstring(L, call.panel.name.c_str());
    int numArgs = 1;
    for (size_t k = 0; k < elements.size(); ++k)
        if (exportElement(L, k, *elements[k], call.floats[k], call.strings[k])) ++numArgs;

    sayLine("Exports done");
    stackDump(L);
    sayLine("numArgs " + std::to_string(numArgs));

    if (callScript(L, numArgs, LUA_MULTRET) != 0) {
        sayLine("LUA encountered an error in uiDisplay update function: " + luaErrorLine(L));
        lua_pop(L, 1);
    }
    if (!lua_checkstack(L, 8)) return luaL_error(L, "no room to read the results");
    sayLine("pcall done");
    stackDump(L);

    for (uiDisplayBase* element : elements) element->modified = false;
    const unsigned long cutBefore = luaTextsCut();
    applyResults(L, elements);
    sayTextsCut(cutBefore);
    return 0;
}

}  // namespace

bool uiDisplay::update(lua_State* L)
{
    bool anyModified = false;
    for (uiDisplayBase* element : elements) anyModified = anyModified || element->modified;
    if (elements.empty() || !anyModified || !L) return true;

    std::vector<std::vector<float>> floats(elements.size());
    std::vector<std::vector<std::string>> strings(elements.size());
    for (size_t k = 0; k < elements.size(); ++k) elements[k]->exportVals(floats[k], strings[k]);

    // Whatever happens, the stack is left at this height.
    int base = lua_gettop(L);
    UpdateCall call{*this, floats, strings};
    std::string function = "updateUI for panel \"" + name + "\"";
    if (cpcallLuaBudgeted(L, function.c_str(), exchangeUpdateUi, &call) != 0)
        sayLine("LUA encountered an error in uiDisplay update function: " + function + ": " + luaErrorLine(L));
    lua_settop(L, base);
    for (uiDisplayBase* element : elements) element->modified = false;
    return !elements.empty();
}
