// The font: the glyph atlas and metrics, text placement and centring, bad input.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "render/batch.h"
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
    batch.flush();
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

TEST(GlyphAtlasPacking, BoxesKeepTheirBorderInsideTheAtlasAndWhatCannotFitFails)
{
    auto glyph = [](int width, int rows) { return GlyphBitmap{width, rows, std::vector<unsigned char>(size_t(width * rows), 9)}; };
    GlyphAtlas atlas;
    EXPECT_TRUE(atlas.pack({}, 64));
    EXPECT_EQ(atlas.width * atlas.height, 0);
    ASSERT_TRUE(atlas.pack({glyph(0, 0), glyph(10, 5), glyph(3, 0)}, 64));  // only one takes room
    EXPECT_EQ(atlas.width, 12);
    EXPECT_EQ(atlas.height, 7);
    EXPECT_EQ(atlas.boxes[1].x, 1);
    EXPECT_EQ(atlas.boxes[1].y, 1);
    EXPECT_EQ(atlas.boxes[0].width + atlas.boxes[2].width, 0);
    // Side by side would be 24 x 7; stacked, 12 x 14: the same area, both fit in 24.
    ASSERT_TRUE(atlas.pack({glyph(10, 5), glyph(10, 5)}, 24));
    EXPECT_EQ(atlas.width * atlas.height, 168);
    EXPECT_FALSE(atlas.pack({glyph(10, 5), glyph(10, 5)}, 11));  // no side may exceed 11
    EXPECT_FALSE(atlas.pack({glyph(10, 5), glyph(10, 5)}, 13));  // 12 wide means 14 tall
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

TEST_F(FontTest, AtlasHoldsEveryGlyphUpsideDownInABorderCopiedFromItsOppositeEdges)
{
    Font font(realFontFile);
    ASSERT_EQ(font.ready, 1);
    const GlyphAtlas& atlas = glyphAtlas;
    for (unsigned name : letterTextures) ASSERT_EQ(name, atlas.texture);
    GLint texWidth = 0, texHeight = 0;
    glBindTexture(GL_TEXTURE_2D, atlas.texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &texWidth);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &texHeight);
    ASSERT_EQ(texWidth, atlas.width);
    ASSERT_EQ(texHeight, atlas.height);
    // Read back as (i, 0, 0, 1) from an intensity atlas and (l, 0, 0, a) from a
    // luminance-alpha one: the smaller of red and alpha is the coverage either
    // way. That it samples as white shows in the pixels of the next test.
    std::vector<unsigned char> texels(size_t(texWidth) * texHeight * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
    glBindTexture(GL_TEXTURE_2D, 0);

    // Each padded box lies inside the atlas and over no other.
    std::vector<int> owners(size_t(texWidth) * texHeight, 0);
    int mismatches = 0, overlaps = 0, outside = 0, empty = 0;
    for (int code = 0; code < 128; ++code) {
        ASSERT_EQ(FT_Load_Char(face, FT_ULong(code), FT_LOAD_RENDER), 0);
        const FT_Bitmap& bitmap = face->glyph->bitmap;
        const int width = int(bitmap.width), rows = int(bitmap.rows);
        const AtlasBox& box = atlas.boxes[size_t(code)];
        if (width == 0 || rows == 0) {
            EXPECT_EQ(box.width * box.height, 0) << code;
            ++empty;
            continue;
        }
        ASSERT_EQ(box.width, width) << code;
        ASSERT_EQ(box.height, rows) << code;
        for (int j = -1; j <= rows; ++j)
            for (int i = -1; i <= width; ++i) {
                const int x = box.x + i, y = box.y + j;
                if (x < 0 || y < 0 || x >= texWidth || y >= texHeight) {
                    ++outside;
                    continue;
                }
                overlaps += owners[size_t(y) * texWidth + x]++ > 0;
                // Atlas row j of the box is bitmap row rows - 1 - j; the border wraps round.
                const int r = rows - 1 - (j + rows) % rows, c = (i + width) % width;
                const unsigned char* texel = &texels[(size_t(y) * texWidth + x) * 4];
                if (std::min(texel[0], texel[3]) != bitmap.buffer[r * bitmap.pitch + c]) ++mismatches;
            }
    }
    EXPECT_EQ(mismatches, 0);
    EXPECT_EQ(overlaps, 0);
    EXPECT_EQ(outside, 0);
    EXPECT_GE(empty, 1);  // the space at least

    const GlyphMetrics& t = letterMetrics[int('T')];
    ASSERT_EQ(FT_Load_Char(face, 'T', FT_LOAD_RENDER), 0);
    EXPECT_EQ(t.xMin, face->glyph->bitmap_left * 64);
    EXPECT_EQ(t.yMax, face->glyph->bitmap_top * 64);
    EXPECT_EQ(t.yMax - t.yMin, int(face->glyph->metrics.height));
    EXPECT_EQ(letterMetrics[int(' ')].xMax, letterMetrics[int(' ')].xMin);
    EXPECT_GT(letterMetrics[int(' ')].advance, 0);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
}

namespace {

// The drawing before the atlas, for comparison: one texture per glyph, wrapping
// round at its edges (GL's default GL_REPEAT) with linear filtering, and each
// quad placed through the matrix stack.
struct OneTexturePerGlyph {
    unsigned names[128] = {};
    OneTexturePerGlyph()
    {
        glGenTextures(128, names);
        for (int code = 0; code < 128; ++code) {
            FT_Load_Char(face, FT_ULong(code), FT_LOAD_RENDER);
            const FT_Bitmap& bitmap = face->glyph->bitmap;
            std::vector<unsigned char> image(size_t(bitmap.width) * bitmap.rows * 2);
            for (unsigned r = 0; r < bitmap.rows; ++r)
                for (unsigned x = 0; x < bitmap.width; ++x) {
                    image[((bitmap.rows - 1 - r) * bitmap.width + x) * 2] = 255;
                    image[((bitmap.rows - 1 - r) * bitmap.width + x) * 2 + 1] = bitmap.buffer[r * bitmap.pitch + x];
                }
            glBindTexture(GL_TEXTURE_2D, names[code]);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
            glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
            glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, GLsizei(bitmap.width), GLsizei(bitmap.rows), 0, GL_LUMINANCE_ALPHA,
                         GL_UNSIGNED_BYTE, image.empty() ? nullptr : image.data());
        }
        glBindTexture(GL_TEXTURE_2D, 0);
    }
    ~OneTexturePerGlyph() { glDeleteTextures(128, names); }
    void draw(const std::string& s, float x, float y, float scale, bool center) const
    {
        const float k = scale * 0.0001f;
        glPushMatrix();
        glTranslatef(x, y, 0);
        float dx = 0, dy = 0;
        if (center) textCentreOffset(s, k, dx, dy);
        glTranslatef(dx, dy, 0);
        for (char ch : s) {
            const GlyphMetrics& m = letterMetrics[int(ch)];
            glBindTexture(GL_TEXTURE_2D, names[int(ch)]);
            glBegin(GL_QUADS);
            glTexCoord2f(0, 0);
            glVertex2f(k * m.xMin, k * m.yMin);
            glTexCoord2f(0, 1);
            glVertex2f(k * m.xMin, k * m.yMax);
            glTexCoord2f(1, 1);
            glVertex2f(k * m.xMax, k * m.yMax);
            glTexCoord2f(1, 0);
            glVertex2f(k * m.xMax, k * m.yMin);
            glEnd();
            glTranslatef(k * m.advance, 0, 0);
        }
        glBindTexture(GL_TEXTURE_2D, 0);
        glPopMatrix();
    }
};

std::vector<unsigned char> windowPixels()
{
    std::vector<unsigned char> rgba(1280 * 1024 * 4);
    batch.flush();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, 1280, 1024, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    return rgba;
}

}  // namespace

// The atlas's border stands in for the wrap: the same pixels as one texture per glyph.
TEST_F(FontTest, TextFromTheAtlasHasThePixelsOfOneTexturePerGlyph)
{
    Font font(realFontFile);
    ASSERT_EQ(font.ready, 1);
    const OneTexturePerGlyph before;
    struct Case {
        const char* text;
        float x, y, scale;
        bool center, panel;  // panel: in the panels' 0..100 projection
    };
    const Case cases[] = {{"Ships: 1234567890", 0, 30, 20, false, false},
                          {"Projectiles: 42", 3.3f, 60.6f, 20, false, false},
                          {"The quick brown fox jumps over the lazy dog", 640, 512, 60, true, false},
                          {"~!@#$%^&*()_+{}|:<>?,./;'[]\\-=`", 100.25f, 800.75f, 150, false, false},
                          {"Sell all", 50, 50, 1, true, true},
                          {"Market: Aqua", 23.4f, 87.1f, 1, true, true}};
    glEnable(GL_TEXTURE_2D);
    for (const Case& c : cases) {
        // White under GL_REPLACE, the colour under GL_MODULATE, by turns.
        glColor4f(0.3f, 0.3f, 1, 0.8f);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &c - cases & 1 ? GL_MODULATE : GL_REPLACE);
        if (c.panel) {
            glMatrixMode(GL_PROJECTION);
            glLoadIdentity();
            glOrtho(0, 100, 0, 100, -1, 1);
            glMatrixMode(GL_MODELVIEW);
        }
        glClear(GL_COLOR_BUFFER_BIT);
        before.draw(c.text, c.x, c.y, c.scale, c.center);
        const std::vector<unsigned char> old = windowPixels();
        glClear(GL_COLOR_BUFFER_BIT);
        font.displayText(c.text, c.x, c.y, c.scale, c.center);
        const std::vector<unsigned char> now = windowPixels();
        size_t differing = 0, lit = 0;
        int worst = 0;
        for (size_t i = 0; i < old.size(); i += 4) {
            int most = 0;
            for (size_t k = 0; k < 4; ++k) most = std::max(most, std::abs(int(old[i + k]) - int(now[i + k])));
            differing += most > 0;
            lit += old[i + 2] > 20;
            worst = std::max(worst, most);
        }
        EXPECT_GT(lit, 100u) << c.text;
        EXPECT_LE(worst, 2) << c.text << ": " << differing << " pixels differ";
        EXPECT_LE(differing, old.size() / 4 / 1000) << c.text;
    }
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

    // A quad for each glyph but the space, all in one draw.
    const size_t shapes = batch.shapes, drawCalls = batch.drawCalls;
    drawFresh(font, "A B", 300, 400, 100, false);
    batch.flush();
    EXPECT_EQ(batch.shapes - shapes, 2u);
    EXPECT_EQ(batch.drawCalls - drawCalls, 1u);
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
    batch.flush();
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthAfter);
    EXPECT_EQ(depthAfter, depthBefore);
    GLint bound = -1;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(bound, 0);
    EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));

    drawFresh(font, "", 640, 512, 100, true);
    EXPECT_EQ(litPixels(0, 0, 1280, 1024), 0);
}
