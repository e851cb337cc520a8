// The real SDL 1.2 OpenGL window, opened once per test binary, so drawing code
// runs against real GL (Mesa llvmpipe under Xvfb) and tests can read pixels back.
#pragma once

#include <gtest/gtest.h>

#include <GL/glew.h>

#include <array>
#include <vector>

#include "core/basics.h"

// Opens the 1280 x 1024 window on first use; false when there is no display.
bool ensureGlWindow();

struct Rgb {
    int r, g, b;
};

bool near(std::array<unsigned char, 4> p, Rgb c, int tolerance = 12);

// Bounding box (x1, y1 exclusive) and count of the pixels of one colour in a region.
struct ColourBox {
    int x0 = 1 << 30, y0 = 1 << 30, x1 = -1, y1 = -1, count = 0;
    float cx() const { return 0.5f * (x0 + x1); }
    float cy() const { return 0.5f * (y0 + y1); }
};
ColourBox colourBox(Rgb c, int x, int y, int width, int height);

// A 4 x 4 texture: `low` where t < 0.5, `high` above.
unsigned twoToneTexture(Rgb low, Rgb high);
unsigned solidTexture(Rgb c);

// The shipped shader programs, with the shipped images loaded beside them: built
// once per test binary from the assets folder, with what the loaders print kept
// out of the test log.
const std::vector<unsigned int>& shippedPrograms();

// Base for tests that draw: skips when no window can be had, and starts each
// test from a cleared buffer, identity matrices and no GL error pending.
class GlTest : public ::testing::Test {
protected:
    void SetUp() override;
    // RGBA of the pixel at window coordinates (x, y), origin bottom-left.
    static std::array<unsigned char, 4> pixelAt(int x, int y);
    // Pixels in the rectangle whose red, green or blue exceeds the threshold.
    static int litPixels(int x0, int y0, int width, int height, int threshold = 20);
    // Loads an orthographic projection x 0..1280, y 0..1024 (pixels, origin bottom-left).
    static void pixelProjection();
};
