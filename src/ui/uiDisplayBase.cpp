#include "ui/uiDisplayBase.h"

#include <algorithm>
#include <cmath>

#include "core/luaTable.h"
#include "render/batch.h"

const char* uiTypeName(int code)
{
    static const char* const names[] = {"", "button", "slider", "bar", "scroller", "box", "text"};
    return code > UI_NONE && code <= UI_TEXT ? names[code] : "";
}

uiDisplayBase::uiDisplayBase(float ax, float ay, float bx, float by)
    : x1(std::min(ax, bx)), y1(std::min(ay, by)), x2(std::max(ax, bx)), y2(std::max(ay, by))
{
}

bool uiDisplayBase::mouseOver(point& p) { return x1 < p.x && p.x < x2 && y1 < p.y && p.y < y2; }

bool mouseOver2(point& p, point& low, point& high)
{
    return low.x < p.x && p.x < high.x && low.y < p.y && p.y < high.y;
}

void uiDisplayBase::importRect(lua_State* L)
{
    x1 = getLuaTableFloat(L, "x1", -1);
    y1 = getLuaTableFloat(L, "y1", -1);
    x2 = getLuaTableFloat(L, "x2", -1);
    y2 = getLuaTableFloat(L, "y2", -1);
    if (x1 > x2) std::swap(x1, x2);
    if (y2 < y1) std::swap(y1, y2);
}

point Placement::at(point p) const
{
    if (degrees == 0) return p;
    return turnedAbout(centre, degrees, point{p.x - centre.x, p.y - centre.y});
}

void lineStrip(std::initializer_list<point> points, Placement place)
{
    const point* previous = nullptr;
    for (const point& p : points) {
        if (previous) batch.line(place.at(*previous), place.at(p));
        previous = &p;
    }
}

void outline(float ax, float ay, float bx, float by, Placement place)
{
    lineStrip({{ax, ay}, {ax, by}, {bx, by}, {bx, ay}, {ax, ay}}, place);
}

void texturedQuad(const point (&corners)[4], const point (&texCoords)[4], Placement place)
{
    if (place.degrees == 0) return batch.quad(point{0, 0}, 0, corners, texCoords);
    const point c = place.centre;
    const point offsets[4] = {{corners[0].x - c.x, corners[0].y - c.y}, {corners[1].x - c.x, corners[1].y - c.y},
                              {corners[2].x - c.x, corners[2].y - c.y}, {corners[3].x - c.x, corners[3].y - c.y}};
    batch.quad(c, place.degrees, offsets, texCoords);
}

float rangeFraction(float value, float low, float high)
{
    float span = high - low;
    if (span == 0) return 0;
    float t = (value - low) / span;
    return std::isfinite(t) ? t : 0;
}
