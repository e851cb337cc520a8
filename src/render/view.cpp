#include "render/view.h"

#include <GL/glew.h>
#include <GL/glu.h>

#include <cmath>

#include "render/batch.h"

const int w = 1280;
const int h = 1024;

bool cullingEnabled = true;

namespace {

struct View {
    bool known = false;
    point centre{0, 0};
    float slopeX = 0;  // half-width of the view per unit of distance from the eye
    float slopeY = 0;
    float eyeDistance = 0;
    float farDistance = INFINITY;
    int heightPixels = 0;
};

View view;

}  // namespace

void setView(point centre, float halfWidth, float halfHeight, float nearDistance, float eyeDistance,
             int heightPixels, float farDistance)
{
    view.heightPixels = heightPixels;
    view.farDistance = farDistance;
    view.centre = centre;
    view.slopeX = std::fabs(halfWidth / nearDistance);
    view.slopeY = std::fabs(halfHeight / nearDistance);
    view.eyeDistance = eyeDistance;
    view.known = std::isfinite(view.slopeX) && std::isfinite(view.slopeY) && std::isfinite(eyeDistance) &&
                 std::isfinite(centre.x) && std::isfinite(centre.y);
}

void clearView() { view.known = false; }

bool viewCamera(point& centre, float& eyeDistance, float& farDistance)
{
    if (!view.known) return false;
    centre = view.centre;
    eyeDistance = view.eyeDistance;
    farDistance = view.farDistance;
    return true;
}

float pixelSize()
{
    if (!view.known || view.heightPixels <= 0) return 0;
    return 2 * view.slopeY * view.eyeDistance / float(view.heightPixels);
}

namespace {

// Window coordinates carry the rounding of a matrix product of coordinates up
// to the playfield's size; a box this much wider is kept whatever it gives.
const float WINDOW_SLACK = 0.01f;

// Whether some whole number plus a half lies in [low, high].
bool holdsCentre(float low, float high) { return std::ceil(low - 0.5f) <= std::floor(high - 0.5f); }

}  // namespace

bool mayLightPixel(point low, point high)
{
    const float pixel = pixelSize();
    if (!cullingEnabled || !(pixel > 0)) return true;
    auto windowX = [&](float x) { return (x - view.centre.x) / pixel + float(w) * 0.5f; };
    auto windowY = [&](float y) { return (y - view.centre.y) / pixel + float(h) * 0.5f; };
    const float x0 = windowX(low.x) - WINDOW_SLACK, x1 = windowX(high.x) + WINDOW_SLACK;
    const float y0 = windowY(low.y) - WINDOW_SLACK, y1 = windowY(high.y) + WINDOW_SLACK;
    if (!std::isfinite(x0 + x1 + y0 + y1)) return true;
    return holdsCentre(x0, x1) && holdsCentre(y0, y1);
}

bool onScreen(point centre, float radius, float depth)
{
    if (!cullingEnabled || !view.known) return true;
    float distance = view.eyeDistance + depth;
    // A pixel's worth of slack and a little more keeps edge-straddling things in.
    float reachX = view.slopeX * distance * 1.001f + std::fabs(radius) + 1;
    float reachY = view.slopeY * distance * 1.001f + std::fabs(radius) + 1;
    // Written so that NaN anywhere keeps the thing on screen.
    return !(std::fabs(centre.x - view.centre.x) > reachX || std::fabs(centre.y - view.centre.y) > reachY);
}

void loadOrtho(double left, double right, double bottom, double top)
{
    batch.flush();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluOrtho2D(left, right, bottom, top);
    glMatrixMode(GL_MODELVIEW);
}
