// The real SDL 1.2 OpenGL window, opened once per test binary, so drawing code
// runs against real GL (Mesa llvmpipe under Xvfb) and tests can read pixels back.
#pragma once

#include <gtest/gtest.h>

#include <GL/glew.h>

#include <array>

#include "core/basics.h"

// Opens the 1280 x 1024 window on first use; false when there is no display.
bool ensureGlWindow();

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
