// Script-built panels: element input, the value exchange, the addUI bridge and
// the updateUI exchange, all against a real Lua state.
#include <gtest/gtest.h>

#include <GL/glew.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <set>
#include <typeinfo>

#include "entities/worldState.h"
#include "world/loadGalaxy.h"
#include "entities/player.h"
#include "core/diagnostics.h"
#include "core/report.h"
#include "script/budgetedCall.h"
#include "script/sandbox.h"
#include "script/startLua.h"
#include "game/gameMain.h"
#include "render/batch.h"
#include "render/textures.h"
#include "ui/uiArrowInput.h"
#include "ui/uiBar.h"
#include "ui/uiBox.h"
#include "ui/uiButton.h"
#include "ui/uiScroller.h"
#include "ui/uiSlider.h"
#include "ui/uiWrapper.h"
#include "ui/uiDisplay.h"
#include "support/dataTables.h"
#include "support/glFixture.h"
#include "support/testFiles.h"

namespace {

// A script in the game's own sandbox.
struct Script {
    lua_State* L = newScriptState();
    explicit Script(const std::string& source)
    {
        EXPECT_EQ(luaL_dostring(L, source.c_str()), 0) << lua_tostring(L, -1);
        lua_settop(L, 0);
    }
    ~Script() { closeScriptState(L); }
    std::string global(const char* expression)  // a Lua expression's value as text
    {
        luaL_dostring(L, (std::string("return tostring(") + expression + ")").c_str());
        std::string value = lua_tostring(L, -1);
        lua_settop(L, 0);
        return value;
    }
};

struct Panels {
    Universe universe;
    std::vector<float> args{1, 6.4f, 9.4f, -94};
    // Fonts are only told apart here, never drawn through.
    int fontA = 0, fontB = 0;
    std::vector<Font*> fonts{reinterpret_cast<Font*>(&fontA), reinterpret_cast<Font*>(&fontB)};

    explicit Panels(const char* galaxy = "/nonexistent/test.xml", const char* weapons = "/nonexistent/projectiles.xml")
        : universe(galaxy, weapons)
    {
    }

    std::string event(Script& script, std::vector<Font*>* fontList = nullptr) { return event(script.L, fontList); }
    std::string event(lua_State* L, std::vector<Font*>* fontList = nullptr)
    {
        OutputCapture out;
        uiEvent(universe, args, fontList ? *fontList : fonts, L);
        return out.text();
    }
    uiDisplay& last() { return universe.uiDisplays.back(); }
    // A click at (5, 5), on the last panel's button there, then the update that
    // sends it to the script; returns what the update printed.
    std::string clickThenUpdate(Script& script, bool& kept)
    {
        point inside{5, 5};
        last().mouseClick(inside, universe, script.L);
        OutputCapture out;
        kept = last().update(script.L);
        return out.text();
    }
};

bool has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

point at(float x, float y) { return point{x, y}; }

// The mouse handlers take the universe but no element reads it.
Universe& noUniverse()
{
    static Universe empty("/nonexistent/test.xml", "/nonexistent/projectiles.xml");
    return empty;
}

}  // namespace

// ---------------------------------------------------------------- element input

TEST(UiButton, HoverAndClickMoveTheStatesAndOnlyClicksMarkModified)
{
    struct Case {
        int from;
        point mouse;
        bool click;
        int to;
        bool modified;
    } cases[] = {
        {0, at(5, 5), false, 1, false}, {2, at(5, 5), false, 3, false}, {1, at(20, 5), false, 0, false},
        {3, at(20, 5), false, 2, false}, {0, at(5, 5), true, 3, true},   {1, at(5, 5), true, 3, true},
        {2, at(5, 5), true, 1, true},    {3, at(5, 5), true, 1, true},   {0, at(0, 5), true, 0, false},
        {0, at(0.001f, 5), true, 3, true}, {7, at(5, 5), true, 7, false},
    };
    for (const Case& c : cases) {
        uiButton b(10, 10, 0, 0, nullptr, "", c.from);  // corners in any order
        point mouse = c.mouse;
        if (c.click) b.handleMouseClick(mouse, noUniverse(), nullptr);
        else b.handleMouseHover(mouse);
        EXPECT_EQ(b.state, c.to) << "from " << c.from << " at " << mouse.x;
        EXPECT_EQ(b.modified, c.modified) << "from " << c.from << " at " << mouse.x;
    }
}

TEST(UiArrows, ClicksStepByOneAndDragsOnTheTrackSetTheValue)
{
    enum Kind { SLIDER, SCROLLER };
    struct Case {
        const char* what;
        Kind kind;
        float x1, y1, x2, y2, w, left, right, cur;
        point mouse;
        bool drag;
        float expected;
        bool modified;
    } cases[] = {
        {"low arrow", SLIDER, 10, 0, 50, 4, 5, 0, 10, 5, at(12, 2), false, 4, true},
        {"low arrow at the low end", SLIDER, 10, 0, 50, 4, 5, 0, 10, 0, at(12, 2), false, 0, true},
        {"high arrow clamps", SLIDER, 10, 0, 50, 4, 5, 0, 10, 9.5f, at(48, 2), false, 10, true},
        {"slider track click", SLIDER, 10, 0, 50, 4, 5, 0, 10, 5, at(30, 2), false, 5, false},
        {"scroller track click", SCROLLER, 10, 0, 50, 4, 5, 0, 10, 5, at(30, 2), false, 5, true},
        {"on the edge", SCROLLER, 10, 0, 50, 4, 5, 0, 10, 5, at(10, 2), false, 5, false},
        {"too short for its arrows", SLIDER, 10, 0, 14, 2, 5, 0, 10, 5, at(12, 1), false, 5, true},
        {"track drag", SLIDER, 10, 0, 50, 4, 5, 0, 10, 0, at(30, 2), true, 5, true},
        {"track drag, reversed range", SCROLLER, 10, 0, 50, 4, 5, 10, 0, 0, at(22.5f, 2), true, 7.5f, true},
        {"track drag, equal values", SLIDER, 10, 0, 50, 4, 5, 3, 3, 0, at(30, 2), true, 3, true},
        {"upright slider follows y", SLIDER, 10, 10, 14, 50, 5, 0, 10, 5, at(12, 12), false, 4, true},
        {"upright slider track", SLIDER, 10, 10, 14, 50, 5, 0, 10, 0, at(12, 40), true, 25.0f / 30 * 10, true},
        {"upright scroller track", SCROLLER, 10, 10, 14, 50, 5, 0, 10, 0, at(12, 20), true, 1.0f / 6 * 10, true},
        {"upright scroller high arrow", SCROLLER, 10, 10, 14, 50, 5, 0, 10, 5, at(12, 48), false, 6, true},
    };
    for (const Case& c : cases) {
        std::unique_ptr<uiDisplayBase> e;
        if (c.kind == SLIDER) e.reset(new uiSlider(c.x1, c.y1, c.x2, c.y2, c.w, c.left, c.right, c.cur));
        else e.reset(new uiScroller(c.x1, c.y1, c.x2, c.y2, c.w, c.left, c.right, c.cur));
        point mouse = c.mouse;
        int dt = 16;
        if (c.drag) e->handleMouseDrag(mouse, dt, noUniverse(), nullptr);
        else e->handleMouseClick(mouse, noUniverse(), nullptr);
        float value = c.kind == SLIDER ? static_cast<uiSlider*>(e.get())->curVal : static_cast<uiScroller*>(e.get())->curVal;
        EXPECT_FLOAT_EQ(value, c.expected) << c.what;
        EXPECT_EQ(e->modified, c.modified) << c.what;
    }
}

TEST(UiArrows, AHeldArrowRepeatsAfterTheDelayAndLettingGoRestartsIt)
{
    uiScroller s(0, 0, 40, 4, 5, 0, 100, 0);
    arrowRepeatBookkeeping(s);  // a drawn frame without a held arrow
    std::vector<int> stepFrames;
    for (int frame = 1; frame <= 180; ++frame) {
        int dt = 16;  // the timer climbs by dt + 1 a frame
        point mouse = frame == 100 ? at(20, 20) : at(38, 2);
        float before = s.curVal;
        s.handleMouseDrag(mouse, dt, noUniverse(), nullptr);
        arrowRepeatBookkeeping(s);
        if (s.curVal != before) stepFrames.push_back(frame);
    }
    // From -1000 past 300 takes 77 frames, then 18 a step from 0; one frame off
    // the arrow (frame 100) starts the long delay again.
    EXPECT_EQ(stepFrames, (std::vector<int>{77, 95, 177}));
}

// ---------------------------------------------------------------- value exchange

TEST(UiExchange, EachClassExportsItsRecordBehindWhatTheVectorsHold)
{
    uiButton pressed(1, 2, 3, 4, nullptr, "Buy", 3);
    uiSlider slider(1, 2, 30, 4, 2, 0, 10, 5);
    uiBar bar(1, 2, 3, 4, 0, 10, 7);
    uiScroller scroller(1, 2, 30, 4, 2, 0, 10, 5);
    uiBox text(1, 2, 3, 4, "Hi", nullptr, true);
    struct Case {
        uiDisplayBase* element;
        std::vector<float> floats;
        std::vector<std::string> strings;
    } cases[] = {
        {&pressed, {1, 1, 1, 2, 3, 4}, {"Buy"}},
        {&slider, {2, 1, 2, 30, 4, 2, 0, 10, 5}, {}},
        {&bar, {3, 1, 2, 3, 4, 0, 10, 7}, {}},
        {&scroller, {4, 1, 2, 30, 4, 2, 0, 10, 5}, {}},
        {&text, {5, 1, 2, 3, 4}, {"Hi"}},  // a borderless box is still a box
    };
    for (Case& c : cases) {
        std::vector<float> f{99};
        std::vector<std::string> s{"kept"};
        c.element->exportVals(f, s);
        c.floats.insert(c.floats.begin(), 99);
        c.strings.insert(c.strings.begin(), "kept");
        EXPECT_EQ(f, c.floats);
        EXPECT_EQ(s, c.strings);
    }
}

TEST(UiExchange, ImportReadsTheTableOnTopAndNormalisesTheRectangle)
{
    Script script("");
    lua_State* L = script.L;
    uiButton button(0, 0, 1, 1, nullptr, "old", 1);
    uiSlider slider(0, 0, 1, 1, 1, 0, 10, 5);
    uiBar bar(0, 0, 1, 1, 0, 10, 5);
    uiBox box(0, 0, 1, 1, "old", nullptr, false);
    luaL_dostring(L, "return {x1 = 9, y1 = 8, x2 = 1, y2 = 2, state = 1, text = 'new', leftVal = 3, rightVal = 4}");
    for (uiDisplayBase* e : std::vector<uiDisplayBase*>{&button, &slider, &bar, &box}) {
        e->importVals(L);
        EXPECT_EQ(lua_gettop(L), 1);
        EXPECT_EQ(std::vector<float>({e->x1, e->y1, e->x2, e->y2}), std::vector<float>({1, 2, 9, 8}));
    }
    EXPECT_EQ(button.state, 2);  // exactly 1 means pressed
    EXPECT_EQ(button.text, "new");
    EXPECT_EQ(box.text, "new");
    EXPECT_EQ(slider.curVal, 0);  // missing numbers read as 0, even outside the range
    EXPECT_EQ(slider.arrowWidth, 0);
    EXPECT_EQ(bar.leftVal, 3);
    EXPECT_EQ(bar.curVal, 0);
    luaL_dostring(L, "return {state = 2}");
    button.importVals(L);
    EXPECT_EQ(button.state, 0);
    EXPECT_EQ(button.text, "");
}

TEST(UiExchange, BoxesTakeColourRectangleAndTextCommandsAndIgnoreShortOnes)
{
    struct Case {
        std::vector<float> f;
        std::vector<std::string> s;
        std::vector<float> rectAndRed;
        std::string text;
    } cases[] = {
        {{1, 10, 20, 5, 8}, {}, {5, 8, 10, 20, 0.8f}, "t"}, {{0, 0.1f, 0.2f, 0.3f}, {}, {0, 0, 1, 1, 0.1f}, "t"},
        {{2}, {"new"}, {0, 0, 1, 1, 0.8f}, "new"},        {{2}, {}, {0, 0, 1, 1, 0.8f}, "t"},
        {{1, 10, 20}, {}, {0, 0, 1, 1, 0.8f}, "t"},         {{}, {"x"}, {0, 0, 1, 1, 0.8f}, "t"},
    };
    for (Case& c : cases) {
        uiBox box(0, 0, 1, 1, "t", nullptr, false);
        box.modify(c.f, c.s);
        EXPECT_EQ(std::vector<float>({box.x1, box.y1, box.x2, box.y2, box.colour[0]}), c.rectAndRed);
        EXPECT_EQ(box.text, c.text);
    }
}

// ---------------------------------------------------------------- the addUI bridge

TEST(UiBridge, ElementsAreAddedInTheReverseOfTheReturnedOrder)
{
    Script script(R"(
        function addUI(kind, a, b, c)
            received = table.concat({kind, a, b, c}, " ")
            return {type = "button", name = "b", x1 = 1, y1 = 2, x2 = 3, y2 = 4, text = "Go", initialState = 2.9},
                   {type = "slider", name = "s", x2 = 20, y2 = 2, arrowWidth = 1, rightVal = 9, curVal = 3},
                   {type = "bar", name = "r"}, {type = "scroller", name = "c"},
                   {type = "box", name = "x", text = "boxed"}, {type = "text", name = "t", text = "plain"},
                   "market"
        end)");
    Panels p;
    std::string out = p.event(script);
    EXPECT_TRUE(has(out, "Event type 1 calling\n")) << out;
    EXPECT_TRUE(has(out, "Set name: market\n")) << out;
    EXPECT_EQ(script.global("received"), "1 6.4000000953674 9.3999996185303 -94");
    ASSERT_EQ(p.universe.uiDisplays.size(), 1u);
    uiDisplay& panel = p.last();
    EXPECT_EQ(panel.name, "market");
    std::string names;
    for (uiDisplayBase* e : panel.elements) names += e->name;
    EXPECT_EQ(names, "txcrsb");
    auto* text = dynamic_cast<uiBox*>(panel.elements[0]);
    auto* box = dynamic_cast<uiBox*>(panel.elements[1]);
    ASSERT_TRUE(text && box);
    EXPECT_TRUE(text->borderless);
    EXPECT_FALSE(box->borderless);
    EXPECT_TRUE(dynamic_cast<uiScroller*>(panel.elements[2]) && dynamic_cast<uiBar*>(panel.elements[3]));
    auto* slider = dynamic_cast<uiSlider*>(panel.elements[4]);
    auto* button = dynamic_cast<uiButton*>(panel.elements[5]);
    ASSERT_TRUE(slider && button);
    EXPECT_EQ(slider->curVal, 3);
    EXPECT_FALSE(slider->vertical);
    EXPECT_EQ(button->state, 2);
    EXPECT_EQ(button->text, "Go");
    EXPECT_EQ(button->font, p.fonts[0]);
    EXPECT_EQ(lua_gettop(script.L), 0);
}

TEST(UiBridge, BadElementsAreReportedAndSkippedAndTheRestAreBuilt)
{
    struct Case {
        const char* value;
        const char* report;
    } cases[] = {
        {"{type = 'Button'}", "Error, bad LUA UI element number.  Full stack dump follows.\n"},
        {"{name = 'untyped'}", "Error, bad LUA UI element number.  Full stack dump follows.\n"},
        {"{type = {}}", "Error, bad LUA UI element number.  Full stack dump follows.\n"},
        {"42", "Error, LUA UI element is a number, not a table; skipped\n"},
        {"true", "Error, LUA UI element is a boolean, not a table; skipped\n"},
        {"nil", "Error, LUA UI element is a nil, not a table; skipped\n"},
        {"print", "Error, LUA UI element is a function, not a table; skipped\n"},
        {"'button'", "Error, LUA UI element is a string, not a table; skipped\n"},
    };
    for (const Case& c : cases) {
        Script script(std::string("function addUI() return {type = 'bar', name = 'first'}, ") + c.value +
                      ", {type = 'box', name = 'last'}, 'p' end");
        Panels p;
        std::string out = p.event(script);
        EXPECT_TRUE(has(out, c.report)) << c.value << "\n" << out;
        ASSERT_EQ(p.universe.uiDisplays.size(), 1u) << c.value;
        ASSERT_EQ(p.last().size(), 2) << c.value;
        EXPECT_EQ(p.last().elements[0]->name, "last");
        EXPECT_EQ(lua_gettop(script.L), 0);
    }
}

TEST(UiBridge, FontIndicesOutsideTheListGetTheFirstFontAndStatesAreClamped)
{
    Script script(R"(
        function addUI()
            return {type = "button", font = 1, initialState = 7}, {type = "button", font = 9, initialState = -2},
                   {type = "box", font = -1}, {type = "text", font = 0/0}, "p"
        end)");
    Panels p;
    p.event(script);
    const auto& e = p.last().elements;  // reversed: text, box, second button, first button
    EXPECT_EQ(static_cast<uiBox*>(e[0])->font, p.fonts[0]);
    EXPECT_EQ(static_cast<uiBox*>(e[1])->font, p.fonts[0]);
    EXPECT_EQ(static_cast<uiButton*>(e[2])->font, p.fonts[0]);
    EXPECT_EQ(static_cast<uiButton*>(e[2])->state, 0);
    EXPECT_EQ(static_cast<uiButton*>(e[3])->font, p.fonts[1]);
    EXPECT_EQ(static_cast<uiButton*>(e[3])->state, 3);
    std::vector<Font*> noFonts;
    p.event(script, &noFonts);
    EXPECT_EQ(static_cast<uiButton*>(p.last().elements[3])->font, nullptr);
}

TEST(UiBridge, ReturnsThatBuildNoPanelLeaveTheStackEmpty)
{
    struct Case {
        const char* body;
        const char* report;
    } cases[] = {
        {"return 'lonely'", ""},
        {"return {type = 'bar'}, 3, {}", "Error, display name undefined in LUA, aborting, LUA stack dump follows\n"
                                         "Stack dump.  Size: 3\ntable . 3 . table . \n"},
        {"return", "Error, display name undefined in LUA, aborting"},
        {"error('broken')", "Lua event error, [string \"function addUI() error('broken') end\"]:1: broken\n"},
        {"error('two\\nlines')", "]:1: two lines\n"},
        {"error({})", "Lua event error, (error object is a table value)\n"},
        // The instruction budget or the clock, whichever a loaded machine meets first.
        {"while true do end", "Lua event error, [string \"function addUI() while true do end end\"]:1: addUI ran past its "},
        {"while true do pcall(function() while true do end end) end", "addUI ran past its "},
    };
    for (const Case& c : cases) {
        Script script(std::string("function addUI() ") + c.body + " end");
        Panels p;
        std::string out = p.event(script);
        EXPECT_TRUE(has(out, c.report)) << c.body << "\n" << out;
        EXPECT_TRUE(p.universe.uiDisplays.empty()) << c.body;
        EXPECT_EQ(lua_gettop(script.L), 0) << c.body;
    }
    Script none("");
    Panels p;
    EXPECT_TRUE(has(p.event(none), "Lua event error, ")) << "no addUI at all";
    p.args.clear();
    EXPECT_EQ(p.event(none), "");  // no event values: the script is not called
}

TEST(UiBridge, TwoHundredElementsAreAllBuilt)
{
    Script script(R"(
        function addUI()
            local all = {}
            for i = 1, 200 do all[i] = {type = "bar", name = "b" .. i} end
            all[201] = "big"
            return unpack(all)
        end)");
    Panels p;
    p.event(script);
    ASSERT_EQ(p.last().size(), 200);
    EXPECT_EQ(p.last().elements[0]->name, "b200");
    EXPECT_EQ(p.last().elements[199]->name, "b1");
}

// ---------------------------------------------------------------- the updateUI exchange

namespace {
// A panel built through the bridge from `elements`, with an updateUI that
// records what it was sent and returns what `reply` gives.
struct Exchange {
    Script script;
    Panels p;
    Exchange(const std::string& elements, const std::string& reply)
        : script("calls = 0\nfunction addUI() return " + elements + ", 'panel' end\n"
                 "function updateUI(panel, ...)\n calls = calls + 1\n sent = {...}\n sentPanel = panel\n" +
                 reply + "\nend")
    {
        p.event(script);
    }
    uiDisplay& panel() { return p.last(); }
    std::string update(bool& kept)
    {
        StdoutCapture out;
        kept = panel().update(script.L);
        return out.text();
    }
};
const char* THREE = "{type = 'button', name = 'go', x2 = 10, y2 = 10}, {type = 'bar', name = 'level', rightVal = 10},"
                    " {type = 'text', name = 'label', text = 'hi'}";
}  // namespace

TEST(UiUpdate, NothingIsSentUntilTheUserChangesAnElement)
{
    Exchange x(THREE, "return ...");
    bool kept = false;
    EXPECT_EQ(x.update(kept), "");
    EXPECT_TRUE(kept);
    EXPECT_EQ(x.script.global("calls"), "0");
}

TEST(UiUpdate, AClickSendsEveryElementWithOnlyTheClickedOneModified)
{
    Exchange x(THREE, "");
    bool kept = false;
    std::string out = x.p.clickThenUpdate(x.script, kept);
    EXPECT_TRUE(kept);
    EXPECT_TRUE(has(out, "i:0, type5\ni:1, type3\ni:2, type1\nExports done\nStack dump.  Size: 5\n")) << out;
    EXPECT_TRUE(has(out, "numArgs 4\n")) << out;
    EXPECT_TRUE(has(out, "pcall done\nStack dump.  Size: 0\n")) << out;
    EXPECT_EQ(x.script.global("sentPanel"), "panel");
    EXPECT_EQ(x.script.global("#sent"), "3");
    EXPECT_EQ(x.script.global("sent[1].name .. sent[1].text .. tostring(sent[1].modified)"), "labelhifalse");
    EXPECT_EQ(x.script.global("sent[2].rightVal .. tostring(sent[2].modified)"), "10false");
    EXPECT_EQ(x.script.global("sent[3].state .. sent[3].x2 .. tostring(sent[3].modified)"), "110true");
    for (uiDisplayBase* e : x.panel().elements) EXPECT_FALSE(e->modified);
    EXPECT_EQ(x.update(kept), "");  // flags cleared: no second exchange
}

TEST(UiUpdate, ReturnedTablesRewriteOrDeleteElementsByName)
{
    struct Case {
        const char* reply;
        std::vector<std::string> left;  // names, then a check of the rewritten values
        std::string label;
        int buttonState;
        const char* report;
    } cases[] = {
        {"", {"label", "level", "go"}, "hi", 3, ""},
        {"return ...", {"label", "level", "go"}, "hi", 2, "Table match go\n"},
        {"sent[1].text = 'new' return sent[1]", {"label", "level", "go"}, "new", 3, "Table match label\n"},
        {"return {name = 'label', text = 'first'}, {name = 'label', text = 'second'}", {"label", "level", "go"},
         "first", 3, ""},
        {"return {name = 'level', delete = 1}", {"label", "go"}, "hi", 3, "Table match level\nDeleting level\n"},
        {"return {name = 'nobody', delete = 1}", {"label", "level", "go"}, "hi", 3, ""},
        {"return 'oops'", {"label", "level", "go"}, "hi", 3,
         "Error in uidisplay, update function: LUA script returned non-table type: string\n"},
        {"error('bad')", {"label", "level", "go"}, "hi", 3,
         "LUA encountered an error in uiDisplay update function: [string"},
        {"while true do end", {"label", "level", "go"}, "hi", 3,
         "LUA encountered an error in uiDisplay update function: [string \"calls = 0...\"]:7: updateUI for panel "
         "\"panel\" ran past its "},
    };
    for (const Case& c : cases) {
        Exchange x(THREE, c.reply);
        bool kept = false;
        std::string out = x.p.clickThenUpdate(x.script, kept);
        EXPECT_TRUE(has(out, c.report)) << c.reply << "\n" << out;
        EXPECT_TRUE(kept);
        std::vector<std::string> names;
        for (uiDisplayBase* e : x.panel().elements) names.push_back(e->name);
        EXPECT_EQ(names, c.left) << c.reply;
        EXPECT_EQ(static_cast<uiBox*>(x.panel().elements[0])->text, c.label) << c.reply;
        EXPECT_EQ(static_cast<uiButton*>(x.panel().elements.back())->state, c.buttonState) << c.reply;
        EXPECT_EQ(lua_gettop(x.script.L), 0) << c.reply;
        for (uiDisplayBase* e : x.panel().elements) EXPECT_FALSE(e->modified);
    }
}

TEST(UiUpdate, OneTableReachesEveryElementOfItsNameAndAnEmptiedPanelSaysSo)
{
    Exchange x("{type = 'button', name = 'twin', x2 = 10, y2 = 10}, {type = 'text', name = 'twin'}",
               "return {name = 'twin', delete = 1}");
    bool kept = true;
    std::string out = x.p.clickThenUpdate(x.script, kept);
    EXPECT_FALSE(kept);
    EXPECT_EQ(x.panel().size(), 0);
    EXPECT_TRUE(has(out, "Table match twin\nDeleting twin\nTable match twin\nDeleting twin\n")) << out;
}

TEST(UiUpdate, TwoHundredElementsAreAllSent)
{
    Script script(R"(
        function addUI()
            local all = {}
            for i = 1, 200 do all[i] = {type = "button", name = "b" .. i, x2 = 10, y2 = 10} end
            all[201] = "big"
            return unpack(all)
        end
        function updateUI(panel, ...) count = select("#", ...) end)");
    Panels p;
    p.event(script);
    bool kept = false;
    p.clickThenUpdate(script, kept);
    EXPECT_TRUE(kept);
    EXPECT_EQ(script.global("count"), "200");
}

// ---------------------------------------------------------------- hostile scripts

namespace {
// Each script is a whole ui.lua that tries to escape, crash or hang the game at
// load time, in addUI or in updateUI; MARK is a file it must never manage to make.
struct Hostile {
    const char* what;
    const char* script;
    const char* line;  // printed while the game goes on
    const char* repeated = "";  // the script goes on with this, `times` over, then `tail`
    int times = 0;
    const char* tail = "";
};

const char* const UPDATE = " function addUI() return {type = 'button', name = 'b', x2 = 10, y2 = 10}, 'p' end\n";

const Hostile HOSTILE[] = {
    {"shell at load time", "os.execute('touch ' .. MARK)", "ui.lua:1: attempt to call field 'execute' (a nil value)\n"},
    {"pipe in addUI", "function addUI() io.popen('touch ' .. MARK) end", "attempt to index global 'io' (a nil value)"},
    {"file in updateUI", "function updateUI() io.open(MARK, 'w'):write('x') end", "attempt to index global 'io'"},
    {"native code", "function addUI() package.loadlib('libc.so.6', 'system')('touch ' .. MARK) end",
     "attempt to index global 'package'"},
    {"require", "function addUI() require('io').open(MARK, 'w') end", "attempt to call global 'require'"},
    {"hook switched off", "function addUI() debug.sethook() while true do end end", "attempt to index global 'debug'"},
    {"bytecode", "function addUI() assert(loadstring(string.dump(function() end)))() end",
     "binary chunks are not loaded"},
    {"bytecode through a reader",
     "function addUI() local c = string.dump(function() end) assert(load(function() local p = c c = nil return p end))() end",
     "binary chunks are not loaded"},
    {"files through the loaders", "function addUI() dofile(MARK) end", "attempt to call global 'dofile'"},
    {"environment", "function addUI() getfenv(0).os.execute('touch ' .. MARK) end", "attempt to call field 'execute'"},
    {"environment of a function", "function addUI() getfenv(print).io.open(MARK, 'w') end", "attempt to index field 'io'"},
    {"raising __index on an element",
     "function addUI() return setmetatable({type = 'bar'}, {__index = function() error('caught') end}), 'p' end",
     "Set name: p\n"},
    {"raising __index on a result",
     "function updateUI() return setmetatable({name = 'b'}, {__index = function() while true do end end}) end",
     "Table match b\n"},
    {"strict globals without updateUI",
     "updateUI = nil setmetatable(_G, {__index = function(_, k) error('no global ' .. k) end})",
     "LUA encountered an error in uiDisplay update function: attempt to call a nil value\n"},
    {"addUI a table", "addUI = {}", "Lua event error, attempt to call a table value\n"},
    {"raising finalizers",
     "function addUI() for i = 1, 3000 do getmetatable(newproxy(true)).__gc = function() error('gc') end end end",
     "attempt to call global 'newproxy'"},
    {"collector switched off", "function addUI() collectgarbage('stop') end", "only \"count\" is open to scripts"},
    {"endless loop", "function addUI() while true do end end", "addUI ran past its"},
    {"fresh coroutines",
     "function addUI() while true do coroutine.wrap(function() for i = 1, 990 do end end)() end end",
     "addUI ran past its"},
    {"one long-lived coroutine",
     "local co = coroutine.wrap(function() while true do coroutine.yield() end end)\n"
     "function updateUI() while true do co() end end",
     "updateUI for panel \"p\" ran past its"},
    {"pcall wrapper", "function addUI() while true do pcall(function() while true do end end) end end",
     "addUI ran past its"},
    {"xpcall wrapper",
     "function addUI() while true do xpcall(function() while true do end end, function() while true do end end) end end",
     "addUI ran past its"},
    {"string.rep", "function addUI() while true do local s = string.rep('x', 4000000) end end", "addUI ran past its time limit"},
    {"string.format", "function addUI() while true do string.format('%099d%099d%099d', 1, 2, 3) end end",
     "addUI ran past its"},
    // The ceiling, or the clock where allocation is slow (the sanitizer build).
    {"memory bomb", "function addUI() local t = {} for i = 1, 1e9 do t[i] = string.rep(i .. ',', 500000) end end",
     "addUI ran past its "},
    {"memory bomb at load time", "local s = 'x' while true do s = s .. s end", "Lua ui.lua stopped: ran past its memory ceiling (64 MB)\n"},
    {"memory bomb caught by pcall",
     "function addUI() local t = {} while true do pcall(function() t[#t + 1] = string.rep('y', 1e7) end) end end",
     "addUI ran past its"},
    {"tables 200 deep",
     "function addUI() local t = {type = 'box'} for i = 1, 200 do t = {type = 'box', text = t, name = t, x1 = t} end "
     "return t, 'p' end",
     "Set name: p\n"},
    // One C call each: the pattern's depth and steps, the positions, the counts and the compiles are bounded.
    {"deep pattern at load time", "string.find(('a'):rep(2e5), ('a?'):rep(2e5))", "pattern too complex"},
    {"backtracking pattern", "function addUI() return string.find(('a'):rep(5000), ('a-'):rep(40) .. 'b') end",
     "addUI ran past its"},
    {"lazy pattern on 1 MB", "function addUI() return string.find(('a'):rep(1e6), '.-b') end", "addUI ran past its"},
    {"plain find of 8 MB in 16 MB",
     "function addUI() error('found ' .. tostring(string.find(('a'):rep(16e6), ('a'):rep(8e6 - 1) .. 'b', 1, true))) end",
     "found nil"},
    {"far table.insert", "function addUI() table.insert({}, -2147483000, 1) end", "would move more than"},
    {"empty string.rep", "function addUI() string.rep('', 2 ^ 31 - 1) end", "string.rep: a count of"},
    {"loadstring of 60,000 elseif",
     "function addUI() local s = {'if x then'} for i = 1, 60000 do s[#s + 1] = 'elseif x then' end "
     "s[#s + 1] = 'end' loadstring(table.concat(s, ' ')) end",
     "addUI ran past its"},
    {"ui.lua of 150,000 elseif", "if x then ", "ui.lua: larger than the 1 MB a file of its kind may be\n", "elseif x then ", 150000, "end"},
    {"24 MB table constructor", "t = {", "ui.lua: larger than the 1 MB a file of its kind may be\n", "1,", 12000000, "}"},
    // What the script returns is bounded before the game copies it.
    {"element text of 16 MB", "function addUI() return {type = 'box', name = 'b', text = ('x'):rep(16e6)}, 'p' end",
     "1 texts longer than 16 KB were cut to that"},
    {"element text of 4 M characters",
     "function addUI() return {type = 'button', name = 'b', text = ('x'):rep(4e6)}, 'p' end",
     "1 texts longer than 16 KB were cut to that"},
    {"200 boxes sharing a 16 MB text",
     "local s = ('x'):rep(16e6) function addUI() local t = {} for i = 1, 200 do "
     "t[i] = {type = 'box', name = 'b' .. i, text = s} end t[201] = 'p' return unpack(t) end",
     "200 texts longer than 16 KB were cut to that"},
    {"300 references to a 16 MB string",
     "local s = ('x'):rep(16e6) local t = {} for i = 1, 300 do t[i] = s end return unpack(t)",
     "... (16000000 bytes)' . ... (236 more) . "},
    {"7,990 buttons of one name and one click",
     "function addUI() local t = {} for i = 1, 7990 do t[i] = {type = 'button', name = 'b', x2 = 10, y2 = 10} end "
     "t[7991] = 'p' return unpack(t) end function updateUI(name, ...) return ... end",
     "past 10000 element updates"},
    {"7,990 buttons: the panel's bound", "function addUI() local t = {} for i = 1, 7990 do "
     "t[i] = {type = 'button', name = 'b'} end t[7991] = 'p' return unpack(t) end",
     "holds 1000 elements; 6990 more left out"},
};

std::string repeated(const Hostile& h)
{
    std::string text;
    text.reserve(std::strlen(h.repeated) * size_t(h.times));
    for (int i = 0; i < h.times; ++i) text += h.repeated;
    return text + h.tail;
}

// The sandboxed state after running `source` as ui.lua; the load's output goes to `out`.
// An empty source runs the ui.lua already written there.
lua_State* loadHostile(const std::string& dir, const std::string& source, std::string& out)
{
    if (!source.empty()) writeFile(dir, "ui.lua", source);
    lua_State* L = newScriptState();
    OutputCapture capture;
    if (loadScriptFile(L, (dir + "/ui.lua").c_str()) == 0) callLuaBudgeted(L, "ui.lua", 0, LUA_MULTRET);
    stackDump(L);  // as the game does after ui.lua; a refused file's message is there
    lua_settop(L, 0);
    out += capture.text();
    return L;
}
}  // namespace

TEST(HostileScript, NothingEscapesCrashesOrHangsAndEachStopIsOneLine)
{
    const std::string dir = makeScratchDir(), mark = dir + "/escaped";
    for (const Hostile& h : HOSTILE) {
        const std::string prefix = "MARK = '" + mark + "' ";
        const bool updates = std::string(h.script).find("updateUI") != std::string::npos &&
                             std::string(h.script).find("function addUI") == std::string::npos;

        std::string out;
        writeFile(dir, "ui.lua", prefix + h.script + repeated(h) + (updates ? UPDATE : ""));
        const auto start = std::chrono::steady_clock::now();
        {
            ReportLog log;  // standard error's lines too
            lua_State* L = loadHostile(dir, "", out);
            Panels p;
            out += p.event(L);
            if (!p.universe.uiDisplays.empty()) {
                for (uiDisplayBase* e : p.last().elements) e->modified = true;
                p.last().update(L);
            }
            for (const Report& r : log.records) out += reportText(r) + "\n";
            EXPECT_LE(scriptMemoryPeak(L), SCRIPT_MEMORY_CEILING + (1 << 20)) << h.what;
            EXPECT_EQ(lua_gettop(L), 0) << h.what;
            closeScriptState(L);
        }
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const size_t at = out.find(h.line);
        EXPECT_EQ(out.find(h.line, at + 1), std::string::npos) << h.what << ": said more than once";
        EXPECT_TRUE(has(out, h.line)) << h.what << "\n" << out;
        EXPECT_FALSE(std::ifstream(mark).good()) << h.what;
        EXPECT_LT(seconds, 2.0) << h.what;
        if (std::getenv("VUMTAL_CASE_TIMES")) std::fprintf(stderr, "%s: %.2f s\n", h.what, seconds);
    }
}

// ---------------------------------------------------------------- the shipped ui.lua

namespace {
// The shipped galaxy and script with the game API installed; Terra is planet 2.
struct ShippedScript {
    TablesGuard tables;
    Panels p{VUMTAL_ASSETS_DIR "/test.xml", VUMTAL_ASSETS_DIR "/projectiles.xml"};
    Player player{point{0, 0}};
    Script script{""};
    ShippedScript()
    {
        Universe& u = p.universe;
        u.worlds.push_back(WorldState());
        u.player = &player;
        StdoutCapture quiet;
        EXPECT_EQ(luaL_dofile(script.L, VUMTAL_ASSETS_DIR "/ui.lua"), 0);
        initializeStars(u, script.L);
        initLua(u, script.L);
        quiet.text();
    }
    uiDisplayBase* element(const std::string& name)
    {
        for (uiDisplayBase* e : p.last().elements)
            if (e->name == name) return e;
        return nullptr;
    }
    std::string text(const std::string& name)  // a box's or a button's
    {
        std::vector<float> f;
        std::vector<std::string> s;
        element(name)->exportVals(f, s);
        return s.at(0);
    }
    // Clicks the middle of the element, or off it by (dx, dy), and lets the panel
    // talk to the script.
    void click(const std::string& name, float dx = 0, float dy = 0)
    {
        uiDisplayBase* e = element(name);
        ASSERT_TRUE(e) << name;
        point middle{(e->x1 + e->x2) / 2 + dx, (e->y1 + e->y2) / 2 + dy};
        p.last().mouseClick(middle, p.universe, script.L);
        StdoutCapture quiet;
        if (!p.last().update(script.L)) p.universe.uiDisplays.pop_back();
    }
};
}  // namespace

TEST(ShippedUi, InFlightTheMarketSaysSoAndASecondPressAddsNoPanel)
{
    ShippedScript s;
    s.p.event(s.script);
    s.p.event(s.script);
    ASSERT_EQ(s.p.universe.uiDisplays.size(), 1u);
    EXPECT_EQ(s.text("notice"), "The ship is not landed");
    s.click("close");
    EXPECT_TRUE(s.p.universe.uiDisplays.empty());
    s.p.event(s.script);
    EXPECT_EQ(s.p.universe.uiDisplays.size(), 1u);  // closed, so it opens again

    // Landed with the notice still open: the panel becomes the market.
    EXPECT_LT(s.element("title")->x2, 0);  // parked off screen
    s.player.setLanded(2);
    s.click("open");
    EXPECT_EQ(s.text("title"), "Market of Terra");
    EXPECT_GT(s.element("title")->x1, 0);
    EXPECT_LT(s.element("notice")->x2, 0);
}

TEST(ShippedUi, LandedTheMarketTradesPicksAndSwitchesSteering)
{
    ShippedScript s;
    s.player.setLanded(2);
    s.p.event(s.script);
    ASSERT_EQ(s.p.universe.uiDisplays.size(), 1u);
    std::set<std::string> kinds;
    for (uiDisplayBase* e : s.p.last().elements) kinds.insert(typeid(*e).name());
    EXPECT_EQ(kinds.size(), 5u);  // boxes serve both "box" and "text"
    EXPECT_TRUE(s.element("frame") && !static_cast<uiBox*>(s.element("frame"))->borderless);
    EXPECT_EQ(s.text("title"), "Market of Terra");
    EXPECT_EQ(s.text("row1"), "> Grain                   10 cr");
    EXPECT_EQ(s.text("row5"), "  Hull Plating [eq]      600 cr");
    EXPECT_EQ(s.text("credits"), "Credits: 1000");

    struct Step {
        const char* click;
        float dx, dy;
        const char* textName;
        const char* expected;
        bool steering;
    } steps[] = {
        {"buy", 0, 0, "credits", "Credits: 990", true},
        {"buy", 0, 0, "cargo", "Hold: 2 Grain", true},
        {"sell", 0, 0, "credits", "Credits: 990", true},
        {"picker", 0, -11, "chosen", "Selected: Textiles, 25 cr each", true},  // the low arrow: down the list
        {"sell", 0, 0, "status", "The hold has only 0 Textiles", true},
        {"quantity", 0, 0, "cost", "Quantity 1, cost 25 cr", true},  // the track: a click sets nothing
        {"quantity", 19.5f, 0, "cost", "Quantity 2, cost 50 cr", true},
        {"buy", 0, 0, "cargo", "Hold: 1 Grain, 2 Textiles", true},
        {"steer", 0, 0, "steer", "Steering off", false},
        {"takeoff", 0, 0, nullptr, nullptr, false},
        {"buy", 0, 0, "row3", "  Shield Booster [eq]   1200 cr", false},  // landed elsewhere: new stock, no trade
        {"steer", 0, 0, "title", "Market of Aqua", true},
        {"buy", 0, 0, "credits", "Credits: 910", true},  // two Water, from Aqua's list
        {"close", 0, 0, nullptr, nullptr, true},
    };
    for (const Step& step : steps) {
        if (std::string(step.click) == "takeoff") {  // flown to Aqua (planet 7) with the panel open
            s.player.setLanded(7);
            continue;
        }
        s.click(step.click, step.dx, step.dy);
        if (step.textName) EXPECT_EQ(s.text(step.textName), step.expected) << step.click;
        EXPECT_EQ(s.player.input, step.steering) << step.click;
    }
    EXPECT_TRUE(s.p.universe.uiDisplays.empty());
}


namespace {
const Rgb RED{255, 0, 0}, GREY{230, 230, 230}, BORDER{204, 204, 204}, BLUE{0, 0, 255};

class UiDrawTest : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        if (IsSkipped()) return;
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(0, 100, 0, 100, -1, 1);  // the panels' projection
        glMatrixMode(GL_MODELVIEW);
    }
    void TearDown() override { uiTextures = saved; }
    std::vector<unsigned> saved = uiTextures;
};
}  // namespace

TEST_F(UiDrawTest, AnUprightSliderIsDrawnUprightWithItsLowEndAtTheBottom)
{
    uiSlider slider(45, 10, 55, 90, 10, 0, 10, 5);
    glColor3f(0, 0, 0);  // the arrows take the current colour when there is no arrow image
    slider.draw();
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    ColourBox fill = colourBox(RED, 0, 0, 1280, 1024);
    ColourBox track = colourBox(GREY, 0, 0, 1280, 1024);
    // x 45..55, the track y 20..80 between the arrows and the fill half of it,
    // in the window's 1280 x 1024 pixels
    EXPECT_NEAR(fill.x0, 576, 2);
    EXPECT_NEAR(fill.x1, 704, 2);
    EXPECT_NEAR(fill.y0, 205, 2);
    EXPECT_NEAR(fill.y1, 512, 2);
    EXPECT_NEAR(track.x0, 576, 2);
    EXPECT_NEAR(track.y1, 819, 2);
    EXPECT_EQ(slider.x1, 45);  // its own rectangle is given back after the draw
    EXPECT_EQ(slider.y2, 90);
}

TEST_F(UiDrawTest, EmptyRangesAndZeroTracksDrawAnEmptyFillAndNoNonsense)
{
    std::vector<std::unique_ptr<uiDisplayBase>> elements;
    elements.emplace_back(new uiSlider(10, 10, 50, 14, 5, 3, 3, 3));
    elements.emplace_back(new uiSlider(10, 20, 20, 24, 5, 0, 10, 5));  // arrows cover the whole length
    elements.emplace_back(new uiScroller(10, 30, 50, 34, 5, 2, 2, 9));
    elements.emplace_back(new uiBar(10, 40, 50, 44, 1, 1, 1));
    elements.emplace_back(new uiBar(10, 50, 50, 54, 0, 10, std::nanf("")));
    for (auto& e : elements) {
        glClear(GL_COLOR_BUFFER_BIT);
        glColor3f(0, 0, 0);
        e->draw();
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
        ColourBox red = colourBox(RED, 0, 0, 1280, 1024);
        EXPECT_GT(red.count, 0);
        // Sliders and bars: the fill is a line at its start; the scroller's
        // handle sits at the low end of its run.
        EXPECT_LE(red.x1 - red.x0, 2 + (dynamic_cast<uiScroller*>(e.get()) ? 64 : 0));
    }
}

TEST_F(UiDrawTest, BoxesDrawTheirBorderTextsDoNotAndButtonsShowTheirStateImage)
{
    uiTextures = {solidTexture(RED), solidTexture(RED), solidTexture(BLUE), solidTexture(BLUE), 0};
    glEnable(GL_TEXTURE_2D);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    uiBox box(10, 10, 20, 20, "", nullptr, false), text(30, 10, 40, 20, "no font", nullptr, true);
    box.draw();
    text.draw();
    EXPECT_GT(colourBox(BORDER, 120, 100, 150, 120).count, 100);
    EXPECT_EQ(litPixels(380, 100, 140, 120), 0);

    uiButton down(60, 10, 70, 20, nullptr, "", 2), hovered(80, 10, 90, 20, nullptr, "", 1);
    down.draw();
    hovered.draw();
    batch.flush();
    glDisable(GL_TEXTURE_2D);
    EXPECT_GT(colourBox(BLUE, 768, 102, 128, 102).count, 12000);
    EXPECT_GT(colourBox(RED, 1024, 102, 128, 102).count, 12000);
}

TEST_F(UiDrawTest, AnEmptiedPanelIsErasedAndTheNextIsStillDrawnAndUpdatedThatFrame)
{
    Script script(R"(
        function addUI(kind)
            if kind == 1 then return {type = "box", name = "gone", x1 = 10, y1 = 10, x2 = 20, y2 = 20}, "first" end
            return {type = "box", name = "stays", x1 = 30, y1 = 10, x2 = 40, y2 = 20}, "second"
        end
        function updateUI(panel, t)
            updated = (updated or "") .. panel
            if panel == "first" then return {name = "gone", delete = 1} end
        end)");
    Panels p;
    p.event(script);
    p.args[0] = 2;
    p.event(script);
    for (uiDisplay& panel : p.universe.uiDisplays) panel.elements[0]->modified = true;
    StdoutCapture quiet;
    drawAndUpdatePanels(p.universe.uiDisplays, script.L);
    quiet.text();
    ASSERT_EQ(p.universe.uiDisplays.size(), 1u);
    EXPECT_EQ(p.universe.uiDisplays[0].name, "second");
    EXPECT_EQ(script.global("updated"), "firstsecond");
    EXPECT_GT(colourBox(BORDER, 380, 100, 140, 120).count, 100);
}
