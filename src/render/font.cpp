#include "render/font.h"

#include <GL/glew.h>

#include <cstdlib>
#include <vector>

#include "core/diagnostics.h"
#include "render/batch.h"

unsigned letterTextures[128];
GlyphMetrics letterMetrics[128];
FT_Face face;

// FreeType's "unknown file format" code: a readable file that is no font.
static const FT_Error FORMAT_UNSUPPORTED = 2;
static const int GLYPH_PIXELS = 300;
static const int GLYPH_COUNT = 128;

// Codes outside 0..127 have no glyph; char may be signed, so go through unsigned char.
static bool glyphCode(char ch, int& code)
{
    code = static_cast<unsigned char>(ch);
    return code < GLYPH_COUNT;
}

static GlyphMetrics metricsOf(const FT_GlyphSlot slot)
{
    GlyphMetrics m;
    m.left = slot->bitmap_left;
    m.top = slot->bitmap_top;
    m.xMin = m.left * 64;
    m.xMax = m.xMin + int(slot->metrics.width);
    m.yMax = m.top * 64;
    m.yMin = m.yMax - int(slot->metrics.height);
    m.advance = int(slot->advance.x);
    return m;
}

// Coverage (0..255) of bitmap pixel (x, r), r counted from the top row.
static unsigned char coverage(const FT_Bitmap& bitmap, unsigned x, unsigned r)
{
    int pitch = bitmap.pitch;
    // A negative pitch means the rows are stored bottom-up in memory.
    unsigned row = pitch >= 0 ? r : bitmap.rows - 1 - r;
    const unsigned char* line = bitmap.buffer + size_t(row) * size_t(std::abs(pitch));
    if (bitmap.pixel_mode == FT_PIXEL_MODE_MONO) return (line[x / 8] & (0x80 >> (x % 8))) ? 255 : 0;
    return line[x];
}

// White luminance with the glyph's coverage as alpha, bottom row first so
// that texture coordinate 0 is the bottom of the glyph.
static std::vector<unsigned char> glyphImage(const FT_Bitmap& bitmap)
{
    unsigned width = bitmap.width;
    unsigned rows = bitmap.rows;
    std::vector<unsigned char> image(size_t(width) * rows * 2);
    for (unsigned r = 0; r < rows; ++r) {
        unsigned char* out = image.data() + size_t(rows - 1 - r) * width * 2;
        for (unsigned x = 0; x < width; ++x) {
            out[2 * x] = 255;
            out[2 * x + 1] = coverage(bitmap, x, r);
        }
    }
    return image;
}

static void uploadGlyph(unsigned texture, const FT_Bitmap& bitmap)
{
    std::vector<unsigned char> image = glyphImage(bitmap);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);  // the rows are packed tight
    // Empty glyphs such as the space give a 0 x 0 texture, which GL accepts.
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, GLsizei(bitmap.width), GLsizei(bitmap.rows), 0, GL_LUMINANCE_ALPHA,
                 GL_UNSIGNED_BYTE, image.empty() ? nullptr : image.data());
}

// Rasterises one character into its metrics and texture. False stops the loading.
static bool loadGlyph(int code)
{
    FT_Error error = FT_Load_Char(face, FT_ULong(code), FT_LOAD_RENDER);
    if (error == FORMAT_UNSUPPORTED) {
        sayLine("Error loading character");
        return false;
    }
    if (error != 0) {
        // Any other failure leaves this one character blank rather than
        // showing whatever the previous character left in the glyph slot.
        letterMetrics[code] = GlyphMetrics{};
        return true;
    }
    letterMetrics[code] = metricsOf(face->glyph);
    uploadGlyph(letterTextures[code], face->glyph->bitmap);
    return true;
}

static bool openFace(const std::string& fontFile)
{
    static FT_Library library = nullptr;  // one face for the whole run, never released
    if (!library && FT_Init_FreeType(&library) != 0) {
        library = nullptr;
        sayLine("Error initializing freetype library");
        return false;
    }
    FT_Error error = FT_New_Face(library, fontFile.c_str(), 0, &face);
    if (error == FORMAT_UNSUPPORTED) {
        sayLine("the font file could be opened and read, but it appears ... that its font format is unsupported");
        return false;
    }
    if (error != 0) {
        face = nullptr;
        sayLine("Error initializing face " + std::string(fontFile.c_str()));
        return false;
    }
    if (FT_Set_Pixel_Sizes(face, 0, GLYPH_PIXELS) == FORMAT_UNSUPPORTED) {
        sayLine("Error setting font size");
        return false;
    }
    return true;
}

Font::Font(std::string fontFile)
{
    glEnable(GL_TEXTURE_2D);
    glGenTextures(GLYPH_COUNT, letterTextures);
    ready = 0;
    if (!openFace(fontFile)) return;
    for (int code = 0; code < GLYPH_COUNT; ++code)
        if (!loadGlyph(code)) return;
    ready = 1;
}

void textCentreOffset(const std::string& s, float k, float& dx, float& dy)
{
    dx = dy = 0;
    // Every advance but the last character's; that one counts to its right edge.
    int width = 0;
    int lastCode = -1;
    for (char ch : s) {
        int code;
        if (!glyphCode(ch, code)) continue;
        if (lastCode >= 0) width += letterMetrics[lastCode].advance;
        lastCode = code;
    }
    if (lastCode < 0) return;
    width += letterMetrics[lastCode].xMax;
    const GlyphMetrics& a = letterMetrics[int('A')];
    dx = -0.5f * k * float(width);
    dy = -0.5f * k * float(a.yMax - a.yMin);
}

static void drawGlyph(const GlyphMetrics& m, float k)
{
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
}

void Font::displayText(std::string s, float x, float y, float scale, bool center)
{
    batch.flush();
    glBindTexture(GL_TEXTURE_2D, 0);
    if (!ready || s.empty()) return;
    float k = scale * 0.0001f;
    glPushMatrix();
    glTranslatef(x, y, 0);
    if (center) {
        float dx, dy;
        textCentreOffset(s, k, dx, dy);
        glTranslatef(dx, dy, 0);
    }
    for (char ch : s) {
        int code;
        if (!glyphCode(ch, code)) continue;
        const GlyphMetrics& m = letterMetrics[code];
        glBindTexture(GL_TEXTURE_2D, letterTextures[code]);
        drawGlyph(m, k);
        glTranslatef(k * m.advance, 0, 0);
    }
    glBindTexture(GL_TEXTURE_2D, 0);
    glPopMatrix();
}
