#include "support/glFixture.h"

#include <SDL.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "data/shaders.h"
#include "render/batch.h"
#include "render/textures.h"
#include "render/view.h"
#include "support/testFiles.h"

bool ensureGlWindow()
{
    static int state = 0;  // 0 untried, 1 open, -1 failed
    if (state != 0) return state > 0;
    state = -1;
    if (!std::getenv("DISPLAY")) return false;
    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER) != 0) return false;
    std::atexit(SDL_Quit);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    if (!SDL_SetVideoMode(1280, 1024, 32, SDL_OPENGL)) return false;
    if (glewInit() != GLEW_OK) return false;
    state = 1;
    return true;
}

void GlTest::SetUp()
{
    if (!ensureGlWindow()) GTEST_SKIP() << "no display for the GL window";
    batch.flush();  // nothing an earlier test left pending lands in this one
    clearView();  // a camera set by an earlier test must not hide this test's drawing
    glViewport(0, 0, 1280, 1024);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    glColor4f(1, 1, 1, 1);
    while (glGetError() != GL_NO_ERROR) {
    }
}

std::array<unsigned char, 4> GlTest::pixelAt(int x, int y)
{
    std::array<unsigned char, 4> rgba{};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    batch.flush();  // what was submitted reaches the picture first
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return rgba;
}

int GlTest::litPixels(int x0, int y0, int width, int height, int threshold)
{
    std::vector<unsigned char> rgba(size_t(width) * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    batch.flush();  // what was submitted reaches the picture first
    glReadPixels(x0, y0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    int lit = 0;
    for (size_t i = 0; i < rgba.size(); i += 4)
        if (rgba[i] > threshold || rgba[i + 1] > threshold || rgba[i + 2] > threshold) ++lit;
    return lit;
}

void GlTest::pixelProjection()
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 1280, 0, 1024, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

unsigned twoToneTexture(Rgb low, Rgb high)
{
    std::vector<unsigned char> texels(4 * 4 * 4);
    for (size_t i = 0; i < texels.size(); i += 4) {
        Rgb c = i < texels.size() / 2 ? low : high;
        texels[i] = (unsigned char)c.r, texels[i + 1] = (unsigned char)c.g, texels[i + 2] = (unsigned char)c.b;
        texels[i + 3] = 255;
    }
    unsigned name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 4, 4, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    return name;
}

unsigned solidTexture(Rgb c) { return twoToneTexture(c, c); }

bool near(std::array<unsigned char, 4> p, Rgb c, int tolerance)
{
    return std::abs(p[0] - c.r) <= tolerance && std::abs(p[1] - c.g) <= tolerance && std::abs(p[2] - c.b) <= tolerance;
}

ColourBox colourBox(Rgb c, int x, int y, int width, int height)
{
    std::vector<unsigned char> rgba(size_t(width) * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    batch.flush();  // what was submitted reaches the picture first
    glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    ColourBox b;
    for (int j = 0; j < height; ++j)
        for (int i = 0; i < width; ++i) {
            const unsigned char* p = &rgba[(size_t(j) * width + i) * 4];
            if (!near({p[0], p[1], p[2], p[3]}, c)) continue;
            b.x0 = std::min(b.x0, x + i), b.y0 = std::min(b.y0, y + j);
            b.x1 = std::max(b.x1, x + i + 1), b.y1 = std::max(b.y1, y + j + 1);
            ++b.count;
        }
    return b;
}

const std::vector<unsigned int>& shippedPrograms()
{
    static std::vector<unsigned int> programs;
    if (programs.empty()) {
        ScopedWorkingDir cd(VUMTAL_ASSETS_DIR);
        StdoutCapture quiet;
        if (textures.empty()) loadTextures();
        programs = readShaders();
    }
    return programs;
}
