// The Lua UI, in the game's sandbox. An input that starts with "-" (a Lua comment)
// is a whole ui.lua: loaded and run as the game runs it. Any other input decodes
// the returns of a C function that stands in for "addUI" and "updateUI": numbers
// (odd ones included), strings, booleans, nil and element tables with any of the
// keys the game reads. uiEvent builds a panel; then every element is marked as
// changed by the user and uiDisplay::update applies what the script returns, for
// a few rounds. An input that starts with "%" draws a pattern from the grammar
// of Lua's patterns, a subject and one of find, match, gmatch and gsub, and runs
// it as a script's call. Reaching Lua's panic handler aborts, so the fuzzer sees it.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <lua.hpp>

#include "entities/worldState.h"
#include "fuzzSupport.h"
#include "script/budgetedCall.h"
#include "script/sandbox.h"
#include "ui/uiDisplay.h"
#include "ui/uiWrapper.h"

namespace {

struct Reader {
    const uint8_t* next;
    size_t left;
    uint8_t byte()
    {
        if (!left) return 0;
        --left;
        return *next++;
    }
};

const char* const KEYS[] = {"type",   "x1",       "y1",       "x2",     "y2",     "font",  "text",
                            "name",   "initialState", "arrowWidth", "leftVal", "rightVal", "curVal",
                            "delete", "state",    "modified", "borderless"};
const char* const WORDS[] = {"button", "slider", "bar", "scroller", "box", "text", "Button", "", "a", "b", "panel"};
const float NUMBERS[] = {0, 1, 2, 3, 4, 5, 6, 7, -1, 0.5f, 2.9f, 100, 1280, 65536, 1e30f, -1e30f, NAN, INFINITY};

template <typename T, size_t N>
const T& pick(const T (&options)[N], Reader& in)
{
    return options[in.byte() % N];
}

void pushValue(lua_State* L, Reader& in, int depth);

void pushTable(lua_State* L, Reader& in, int depth)
{
    lua_newtable(L);
    const int fields = in.byte() % 16;
    for (int i = 0; i < fields; ++i) {
        const char* key = pick(KEYS, in);
        pushValue(L, in, depth + 1);
        lua_setfield(L, -2, key);
    }
}

void pushValue(lua_State* L, Reader& in, int depth)
{
    switch (in.byte() % 8) {
    case 0: lua_pushnil(L); break;
    case 1: lua_pushnumber(L, pick(NUMBERS, in)); break;
    case 2: lua_pushnumber(L, int8_t(in.byte())); break;
    case 3:
    case 4: lua_pushstring(L, pick(WORDS, in)); break;
    case 5: lua_pushboolean(L, in.byte() & 1); break;
    default:
        if (depth < 2)
            pushTable(L, in, depth);
        else
            lua_pushnil(L);
    }
}

int scriptReturns(lua_State* L)
{
    Reader& in = *static_cast<Reader*>(lua_touserdata(L, lua_upvalueindex(1)));
    const int count = in.byte() % 10;
    luaL_checkstack(L, count + 4, "fuzz returns");
    for (int i = 0; i < count; ++i) pushValue(L, in, 0);
    return count;
}

int abortOnPanic(lua_State* L)
{
    std::fprintf(stderr, "Lua panic: %s\n", lua_tostring(L, -1));
    std::abort();
}

void standIn(lua_State* L, Reader& in)
{
    for (const char* function : {"addUI", "updateUI"}) {
        lua_pushlightuserdata(L, &in);
        lua_pushcclosure(L, scriptReturns, 1);
        lua_setglobal(L, function);
    }
}

// Pattern items and what may follow them; repeats of an item reach the depth
// limit and long backtracking.
const char* const ITEMS[] = {".",  "%a", "%d",   "%s",   "%w",     "%W",   "%z", "%p",  "%x", "%u", "%l",
                             "%c", "%S", "[a-c]", "[^%d]", "[%a_]", "[]]", "%b()", "%f[%w]", "%f[%W]", "(",
                             ")",  "()", "%1",   "%2",   "%0",     "^",    "$",  "a",   "b",  "x",  "%",
                             "[",  "[^", "%b",   "%f",   "%%",     "-",    " "};
const char* const QUANTIFIERS[] = {"", "", "*", "+", "-", "?"};
const char* const PIECES[] = {"a", "b", "ab", "aab", "(", ")", "()", "1", "x y", " ", "\n", "%"};
const char* const CALLS[] = {
    "local s, p, n = ... return string.find(s, p, n)",
    "local s, p, n = ... return string.find(s, p, n, true)",
    "local s, p = ... return string.match(s, p)",
    "local s, p = ... local k = 0 for a, b in string.gmatch(s, p) do k = k + 1 if k > 500 then break end end return k",
    "local s, p, n = ... return string.gsub(s, p, '%0-%1%%', n)",
    "local s, p, n = ... return string.gsub(s, p, {a = 'A', b = false}, n)",
    "local s, p = ... return string.gsub(s, p, function(c, d) return d end)",
};

std::string repeatedPick(const char* const* options, size_t count, Reader& in, size_t most)
{
    std::string text;
    const int parts = in.byte() % 24;
    for (int i = 0; i < parts && text.size() < most; ++i) {
        const std::string piece = options[in.byte() % count];
        const int times = (in.byte() & 0x80) ? 1 + in.byte() * 4 : 1;
        for (int k = 0; k < times && text.size() < most; ++k) text += piece;
    }
    return text;
}

void runPatterns(lua_State* L, Reader& in)
{
    std::string pattern;
    const int items = in.byte() % 16;
    for (int i = 0; i < items; ++i) {
        const std::string item = std::string(pick(ITEMS, in)) + pick(QUANTIFIERS, in);
        const int times = (in.byte() & 0xc0) == 0xc0 ? 1 + in.byte() : 1;
        for (int k = 0; k < times; ++k) pattern += item;
    }
    const std::string subject = repeatedPick(PIECES, sizeof PIECES / sizeof *PIECES, in, 1 << 12);
    const char* call = pick(CALLS, in);
    const double number = int8_t(in.byte());
    if (luaL_loadstring(L, call) != 0) std::abort();  // the calls are the fuzzer's own
    lua_pushlstring(L, subject.data(), subject.size());
    lua_pushlstring(L, pattern.data(), pattern.size());
    lua_pushnumber(L, number);
    pcallLuaBudgeted(L, "fuzz", 3, 0, 200000);
    lua_settop(L, 0);
}

void runScript(lua_State* L, const uint8_t* data, size_t size)
{
    writeFile("ui.lua", data, size);
    if (loadScriptFile(L, "ui.lua") == 0) callLuaBudgeted(L, "ui.lua", 0, 0);
    lua_settop(L, 0);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    enterScratchDirectory();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Reader in{data, size};
    lua_State* L = newScriptState();
    lua_atpanic(L, abortOnPanic);
    if (size > 0 && data[0] == '%') {
        in.byte();
        runPatterns(L, in);
        closeScriptState(L);
        return 0;
    }
    const bool script = size > 0 && data[0] == '-';
    if (script)
        runScript(L, data, size);
    else
        standIn(L, in);
    Universe universe("no-galaxy.xml", "no-weapons.xml");  // panels need no documents
    std::vector<float> args{1, 6.4f, 9.4f, -94};
    uiEvent(universe, args, std::vector<Font*>{nullptr}, L);
    for (int round = 0; round < 3 && (script || in.left); ++round) {
        for (size_t p = 0; p < universe.uiDisplays.size();) {
            uiDisplay& panel = universe.uiDisplays[p];
            for (uiDisplayBase* element : panel.elements) element->modified = true;
            if (panel.update(L))
                ++p;
            else
                universe.uiDisplays.erase(universe.uiDisplays.begin() + long(p));
        }
    }
    closeScriptState(L);  // the universe frees the elements of the panels left
    return 0;
}
