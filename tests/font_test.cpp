// The font: glyph textures and metrics, text placement and centring, bad input.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "render/font.h"
#include "support/glFixture.h"
#include "support/testFiles.h"

namespace {

const std::string realFontFile = std::string(VUMTAL_ASSETS_DIR) + "/subatomic.quelvane.ttf";

struct Box {
    int x0 = 1 << 30, y0 = 1 << 30, x1 = -1, y1 = -1, count = 0;  // x1, y1 exclusive
};

// The lit pixels of the whole window: their bounding box and how many.
Box litBox()
{
    std::vector<unsigned char> rgba(1280 * 1024 * 4);
    // No glReadBuffer: the window's pixels live in a framebuffer object
    // under sdl12-compat, where GL_BACK is not a valid read buffer.
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, 1280, 1024, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    Box b;
    for (int y = 0; y < 1024; ++y)
        for (int x = 0; x < 1280; ++x) {
            if (rgba[(size_t(y) * 1280 + x) * 4] <= 20) continue;
            b.x0 = std::min(b.x0, x), b.y0 = std::min(b.y0, y);
            b.x1 = std::max(b.x1, x + 1), b.y1 = std::max(b.y1, y + 1);
            ++b.count;
        }
    return b;
}

class FontTest : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        if (IsSkipped()) return;
        std::memcpy(savedMetrics, letterMetrics, sizeof savedMetrics);
        pixelProjection();
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    }
    void TearDown() override
    {
        if (!IsSkipped()) std::memcpy(letterMetrics, savedMetrics, sizeof savedMetrics);
        glDisable(GL_BLEND);
    }
    void drawFresh(Font& font, const std::string& s, float x, float y, float scale, bool center)
    {
        glClear(GL_COLOR_BUFFER_BIT);
        font.displayText(s, x, y, scale, center);
    }
    GlyphMetrics savedMetrics[128];
};

}  // namespace

TEST(FontCentring, ShiftIsHalfTheWidthToTheLastRightEdgeAndHalfTheHeightOfA)
{
    GlyphMetrics saved[128];
    std::memcpy(saved, letterMetrics, sizeof saved);
    letterMetrics[int('A')] = GlyphMetrics{0, 0, 12800, 640, 14080, -1920, 11520};
    letterMetrics[int('B')] = GlyphMetrics{0, 0, 10240, 0, 6400, 0, 9600};
    float dx, dy;

    textCentreOffset("A", 0.002f, dx, dy);
    EXPECT_FLOAT_EQ(dx, -0.5f * 0.002f * 12800);
    EXPECT_FLOAT_EQ(dy, -0.5f * 0.002f * 16000);

    textCentreOffset("AB", 0.002f, dx, dy);
    EXPECT_FLOAT_EQ(dx, -0.5f * 0.002f * (11520 + 10240));
    EXPECT_FLOAT_EQ(dy, -0.5f * 0.002f * 16000);  // always the height of "A"

    // Codes of 128 and above have no glyph and take no room, even at the end.
    textCentreOffset("A\xC3\xA9" "B\xFF", 0.002f, dx, dy);
    EXPECT_FLOAT_EQ(dx, -0.5f * 0.002f * (11520 + 10240));

    textCentreOffset("", 0.002f, dx, dy);
    EXPECT_EQ(dx, 0);
    EXPECT_EQ(dy, 0);
    std::memcpy(letterMetrics, saved, sizeof saved);
}

TEST_F(FontTest, MissingFileIsReportedOnceAndNothingIsEverDrawn)
{
    StdoutCapture out;
    Font font("no-such-dir/missing.ttf");
    font.displayText("Hello", 100, 100, 100, false);
    font.displayText("Hello", 100, 100, 100, true);
    EXPECT_EQ(out.text(), "Error initializing face no-such-dir/missing.ttf\n");
    EXPECT_EQ(font.ready, 0);
    EXPECT_EQ(litPixels(0, 0, 1280, 1024), 0);
}

TEST_F(FontTest, FileThatIsNoFontIsReportedAsUnsupported)
{
    std::string path = writeFile(makeScratchDir(), "junk.ttf", std::string(4096, 'x'));
    StdoutCapture out;
    Font font(path);
    EXPECT_EQ(out.text(),
              "the font file could be opened and read, but it appears ... that its font format is unsupported\n");
    EXPECT_EQ(font.ready, 0);
}

TEST_F(FontTest, GlyphTexturesHaveTheBitmapSizeAndAreStoredUpsideDown)
{
    Font font(realFontFile);
    ASSERT_EQ(font.ready, 1);
    ASSERT_EQ(FT_Load_Char(face, 'T', FT_LOAD_RENDER), 0);
    const FT_Bitmap& bitmap = face->glyph->bitmap;
    const int width = int(bitmap.width), rows = int(bitmap.rows);
    ASSERT_EQ(bitmap.pitch, width);

    GLint texWidth = 0, texHeight = 0;
    glBindTexture(GL_TEXTURE_2D, letterTextures[int('T')]);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &texWidth);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &texHeight);
    ASSERT_EQ(texWidth, width);
    ASSERT_EQ(texHeight, rows);

    std::vector<unsigned char> image(size_t(width) * rows * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, image.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    int mismatches = 0;
    for (int r = 0; r < rows; ++r)
        for (int x = 0; x < width; ++x) {
            const unsigned char* texel = &image[(size_t(rows - 1 - r) * width + x) * 4];
            if (texel[0] != 255 || texel[3] != bitmap.buffer[r * width + x]) ++mismatches;
        }
    EXPECT_EQ(mismatches, 0);

    const GlyphMetrics& t = letterMetrics[int('T')];
    EXPECT_EQ(t.xMin, face->glyph->bitmap_left * 64);
    EXPECT_EQ(t.yMax, face->glyph->bitmap_top * 64);
    EXPECT_EQ(t.yMax - t.yMin, int(face->glyph->metrics.height));

    // The space is an empty bitmap: a 0 x 0 texture and an advance only.
    glBindTexture(GL_TEXTURE_2D, letterTextures[int(' ')]);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &texWidth);
    glBindTexture(GL_TEXTURE_2D, 0);
    EXPECT_EQ(texWidth, 0);
    EXPECT_EQ(letterMetrics[int(' ')].xMax, letterMetrics[int(' ')].xMin);
    EXPECT_GT(letterMetrics[int(' ')].advance, 0);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(FontTest, TextIsDrawnFromItsOriginAndCentringShiftsItByHalfItsSize)
{
    Font font(realFontFile);
    ASSERT_EQ(font.ready, 1);
    const GlyphMetrics a = letterMetrics[int('A')];
    const float k = 100 * 0.0001f;

    drawFresh(font, "A", 300, 400, 100, false);
    Box plain = litBox();
    ASSERT_GT(plain.count, 100);
    EXPECT_NEAR(plain.x0, 300 + k * a.xMin, 1.5);
    EXPECT_NEAR(plain.x1, 300 + k * a.xMax, 1.5);
    EXPECT_NEAR(plain.y0, 400 + k * a.yMin, 1.5);
    EXPECT_NEAR(plain.y1, 400 + k * a.yMax, 1.5);

    drawFresh(font, "A", 300, 400, 100, true);
    Box centred = litBox();
    EXPECT_NEAR(centred.x0 - plain.x0, -0.5f * k * a.xMax, 1.0);
    EXPECT_NEAR(centred.y0 - plain.y0, -0.5f * k * (a.yMax - a.yMin), 1.0);
    EXPECT_NEAR(centred.count, plain.count, plain.count / 50);  // sampled at other sub-pixel offsets
}

TEST_F(FontTest, CharactersOutsideSevenBitAsciiAreSkipped)
{
    Font font(realFontFile);
    drawFresh(font, "AB", 200, 300, 80, true);
    Box clean = litBox();
    drawFresh(font, "A\xC3\xA9" "B\x80", 200, 300, 80, true);
    Box withHighCodes = litBox();
    ASSERT_GT(clean.count, 0);
    EXPECT_EQ(withHighCodes.count, clean.count);
    EXPECT_EQ(withHighCodes.x0, clean.x0);
    EXPECT_EQ(withHighCodes.x1, clean.x1);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(FontTest, EmptyTextDrawsNothingAndKeepsTheMatrixStackBalanced)
{
    Font font(realFontFile);
    GLint depthBefore = 0, depthAfter = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthBefore);
    font.displayText("", 640, 512, 100, true);
    font.displayText("", 640, 512, 100, false);
    font.displayText("Hi", 640, 512, 100, true);
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthAfter);
    EXPECT_EQ(depthAfter, depthBefore);
    GLint bound = -1;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(bound, 0);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));

    drawFresh(font, "", 640, 512, 100, true);
    EXPECT_EQ(litPixels(0, 0, 1280, 1024), 0);
}
