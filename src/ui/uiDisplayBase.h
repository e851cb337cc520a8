// The base of every panel element: an axis-aligned rectangle in UI coordinates
// (0..100 on both axes, y up) that draws itself and reacts to the mouse.
#pragma once

#include <string>
#include <vector>

#include <lua.hpp>

#include "core/basics.h"

class Universe;

// Element type codes shared by the exported records and the script's type names.
enum UiTypeCode { UI_NONE = 0, UI_BUTTON = 1, UI_SLIDER = 2, UI_BAR = 3, UI_SCROLLER = 4, UI_BOX = 5, UI_TEXT = 6 };
// The script's name for a type code ("button" ... "text"); "" for any other code.
const char* uiTypeName(int code);

class uiDisplayBase {
public:
    float x1;  // always the smaller x
    float y1;  // always the smaller y
    float x2;
    float y2;
    std::string name;       // set by uiDisplay::addDisplay
    bool modified = false;  // user input changed it since the last script update

    uiDisplayBase(float ax, float ay, float bx, float by);
    virtual void draw() = 0;
    virtual ~uiDisplayBase() = default;
    virtual void handleKeys(std::string key, Universe& universe, lua_State* L) = 0;
    virtual void handleMouseHover(point& mouse) = 0;
    virtual void handleMouseDrag(point& mouse, int& dt, Universe& universe, lua_State* L) = 0;
    virtual void handleMouseClick(point& mouse, Universe& universe, lua_State* L) = 0;
    virtual void modify(std::vector<float>& floats, std::vector<std::string>& strings) = 0;
    virtual void importVals(lua_State* L) = 0;
    virtual void exportVals(std::vector<float>& floats, std::vector<std::string>& strings) = 0;

    bool mouseOver(point& p);  // strictly inside; the edges do not count
    // Reads "x1", "y1", "x2", "y2" from the table on top of the stack, then puts
    // the smaller of each pair first.
    void importRect(lua_State* L);
};

bool mouseOver2(point& p, point& low, point& high);

// Where an element's drawing lands: turned by `degrees` about `centre` (an
// upright slider is its level drawing turned a quarter), or where it is.
struct Placement {
    point centre{0, 0};
    float degrees = 0;
    point at(point p) const;
};

// Lines through the points in the batch's colour, one batch line per
// segment: the pixels of one GL_LINE_STRIP.
void lineStrip(std::initializer_list<point> points, Placement place = Placement());
// The closed outline of a rectangle, starting and ending at (ax, ay).
void outline(float ax, float ay, float bx, float by, Placement place = Placement());
// A quad of the batch's texture with these corners and texture coordinates.
void texturedQuad(const point (&corners)[4], const point (&texCoords)[4], Placement place = Placement());
// (value - low) / (high - low), or 0 when the range is empty or the result is
// not a finite number: nothing the script sends may reach GL as NaN or infinity.
float rangeFraction(float value, float low, float high);
