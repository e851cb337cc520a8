#include "render/background.h"

#include <GL/glew.h>

#include <algorithm>

#include "render/batch.h"
#include "render/view.h"

bool dustInTwoPasses = false;

namespace {

// Below this many texels to a pixel GL samples the first level alike with or
// without mipmaps (LINEAR_MIPMAP_NEAREST keeps level 0 up to a lambda of 0.5,
// sqrt 2 texels a pixel); without them the driver skips working out the level
// at every pixel. Three wheel clicks out are 1.38 texels a pixel, and the same
// pixels either way.
const float MIPMAPS_UNNEEDED_BELOW = 1.4f;

// Depth rounding near the far plane must not decide which way is taken.
const float FAR_PLANE_MARGIN = 0.999f;

// A layer as seen from the camera: which playfield point each window pixel shows.
struct Flat {
    point centre;          // the point at the window's centre
    float unitsPerPixel;   // on the layer's own plane
    float limit;
    float repeats;

    float windowX(float x) const { return (x - centre.x) / unitsPerPixel + float(w) * 0.5f; }
    float windowY(float y) const { return (y - centre.y) / unitsPerPixel + float(h) * 0.5f; }
    float u(float wx) const { return ((wx - float(w) * 0.5f) * unitsPerPixel + centre.x + limit) / (2 * limit) * repeats; }
    float v(float wy) const { return ((wy - float(h) * 0.5f) * unitsPerPixel + centre.y + limit) / (2 * limit) * repeats; }
    bool coversWindow() const
    {
        return windowX(-limit) <= 0 && windowX(limit) >= float(w) && windowY(-limit) <= 0 && windowY(limit) >= float(h);
    }
};

// The whole playfield at this depth, repeats images across, through the matrices.
void perspectiveLayer(float limit, float depth, float repeats)
{
    const float e = limit;
    glPushMatrix();
    glTranslatef(0, 0, -depth);
    glBegin(GL_QUADS);
    glTexCoord2f(0, 0);
    glVertex3f(-e, -e, 0);
    glTexCoord2f(0, repeats);
    glVertex3f(-e, e, 0);
    glTexCoord2f(repeats, repeats);
    glVertex3f(e, e, 0);
    glTexCoord2f(repeats, 0);
    glVertex3f(e, -e, 0);
    glEnd();
    glPopMatrix();
}

void twoPasses(unsigned texture, float limit, DustLayer nearLayer, DustLayer farLayer)
{
    glBindTexture(GL_TEXTURE_2D, texture);
    perspectiveLayer(limit, nearLayer.depth, nearLayer.repeats);
    perspectiveLayer(limit, farLayer.depth, farLayer.repeats);
}

struct EnvSetting {
    GLenum name;
    GLint value;
};

// Unit 0 puts the near layer over nothing: colour times alpha, and its alpha.
const EnvSetting NEAR_OVER_NOTHING[] = {
    {GL_TEXTURE_ENV_MODE, GL_COMBINE}, {GL_COMBINE_RGB, GL_MODULATE},   {GL_SOURCE0_RGB, GL_TEXTURE},
    {GL_SOURCE1_RGB, GL_TEXTURE},      {GL_OPERAND1_RGB, GL_SRC_ALPHA}, {GL_COMBINE_ALPHA, GL_REPLACE},
    {GL_SOURCE0_ALPHA, GL_TEXTURE},
};
// Unit 1 the far layer over that, with the alpha "over" makes (the constant is 1).
// Blended with (one, one minus source alpha) the two are the two "over" passes in one.
const EnvSetting FAR_OVER_NEAR[] = {
    {GL_TEXTURE_ENV_MODE, GL_COMBINE},   {GL_COMBINE_RGB, GL_INTERPOLATE},  {GL_SOURCE0_RGB, GL_TEXTURE},
    {GL_SOURCE1_RGB, GL_PREVIOUS},       {GL_SOURCE2_RGB, GL_TEXTURE},      {GL_OPERAND2_RGB, GL_SRC_ALPHA},
    {GL_COMBINE_ALPHA, GL_INTERPOLATE},  {GL_SOURCE0_ALPHA, GL_CONSTANT},   {GL_SOURCE1_ALPHA, GL_PREVIOUS},
    {GL_SOURCE2_ALPHA, GL_TEXTURE},
};

template <size_t N>
void setUnit(GLenum unit, unsigned texture, const EnvSetting (&settings)[N])
{
    glActiveTexture(unit);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    for (const EnvSetting& e : settings) glTexEnvi(GL_TEXTURE_ENV, e.name, e.value);
}

void combineUnits(unsigned texture)
{
    const float opaque[4] = {0, 0, 0, 1};
    setUnit(GL_TEXTURE1, texture, FAR_OVER_NEAR);
    glTexEnvfv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_COLOR, opaque);
    setUnit(GL_TEXTURE0, texture, NEAR_OVER_NOTHING);  // unit 0 is left the active one
}

// Back to one unit, in the mode it was in; the combiner settings stay, unused.
void releaseUnits(int mode)
{
    glActiveTexture(GL_TEXTURE1);
    glDisable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, 0);
    glActiveTexture(GL_TEXTURE0);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, mode);
}

void onePass(unsigned texture, const Flat& nearFlat, const Flat& farFlat)
{
    GLint mode = GL_MODULATE;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &mode);
    combineUnits(texture);
    glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, w, 0, h, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    const float xs[4] = {0, 0, float(w), float(w)}, ys[4] = {0, float(h), float(h), 0};
    glBegin(GL_QUADS);
    for (int i = 0; i < 4; ++i) {
        glMultiTexCoord2f(GL_TEXTURE0, nearFlat.u(xs[i]), nearFlat.v(ys[i]));
        glMultiTexCoord2f(GL_TEXTURE1, farFlat.u(xs[i]), farFlat.v(ys[i]));
        glVertex2f(xs[i], ys[i]);
    }
    glEnd();
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    releaseUnits(mode);
}

bool blendIsOver()
{
    GLint source = 0, destination = 0;
    glGetIntegerv(GL_BLEND_SRC, &source);
    glGetIntegerv(GL_BLEND_DST, &destination);
    return glIsEnabled(GL_BLEND) && source == GL_SRC_ALPHA && destination == GL_ONE_MINUS_SRC_ALPHA;
}

float texelsPerPixel(const Flat& f, int imageWidth) { return float(imageWidth) * f.repeats / (2 * f.limit) * f.unitsPerPixel; }

}  // namespace

void drawDust(unsigned texture, float limit, DustLayer nearLayer, DustLayer farLayer)
{
    batch.flush();
    point centre;
    float eye = 0, farthest = 0;
    const float pixel = pixelSize();
    if (!viewCamera(centre, eye, farthest) || !(pixel > 0) || !(eye > 0)) return twoPasses(texture, limit, nearLayer, farLayer);

    // What a pixel spans grows with the distance from the eye.
    const Flat nearFlat{centre, pixel * (eye + nearLayer.depth) / eye, limit, nearLayer.repeats};
    const Flat farFlat{centre, pixel * (eye + farLayer.depth) / eye, limit, farLayer.repeats};
    glBindTexture(GL_TEXTURE_2D, texture);
    GLint imageWidth = 0, minFilter = GL_LINEAR;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &imageWidth);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
    const bool magnified = std::max(texelsPerPixel(nearFlat, imageWidth), texelsPerPixel(farFlat, imageWidth)) <
                           MIPMAPS_UNNEEDED_BELOW;
    if (magnified) glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);

    // Beyond the far plane (the "c" key pulls it in) a layer is clipped away,
    // and where a layer ends inside the window only that layer is drawn there:
    // the passes of their own handle both.
    const bool withinDepth = eye + std::max(nearLayer.depth, farLayer.depth) < farthest * FAR_PLANE_MARGIN;
    const bool single = !dustInTwoPasses && glActiveTexture && blendIsOver() && withinDepth &&
                        nearFlat.coversWindow() && farFlat.coversWindow();
    if (single) onePass(texture, nearFlat, farFlat);
    else twoPasses(texture, limit, nearLayer, farLayer);

    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minFilter);
}
