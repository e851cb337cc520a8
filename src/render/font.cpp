#include "render/font.h"

#include <GL/glew.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "core/dataFiles.h"
#include "core/diagnostics.h"
#include "render/batch.h"

unsigned letterTextures[128];
GlyphMetrics letterMetrics[128];
FT_Face face;
GlyphAtlas glyphAtlas;

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

// The coverage of the rendered glyph, top row first.
static GlyphBitmap bitmapOf(const FT_Bitmap& bitmap)
{
    GlyphBitmap g;
    g.width = int(bitmap.width);
    g.rows = int(bitmap.rows);
    g.coverage.resize(size_t(bitmap.width) * bitmap.rows);
    for (unsigned r = 0; r < bitmap.rows; ++r)
        for (unsigned x = 0; x < bitmap.width; ++x) g.coverage[size_t(r) * bitmap.width + x] = coverage(bitmap, x, r);
    return g;
}

// Rasterises one character into its metrics and bitmap. False stops the loading.
static bool loadGlyph(int code, GlyphBitmap& bitmap)
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
    bitmap = bitmapOf(face->glyph->bitmap);
    return true;
}

// The glyphs are white with their coverage as alpha. Where GL can turn an
// intensity texture's (i, i, i, i) into (1, 1, 1, i) the atlas takes one byte
// a texel; elsewhere it holds luminance-alpha pairs. Both formats take colour
// and alpha from the texture under GL_REPLACE (an alpha-only one would take
// the colour from the fragment), so they sample as the white RGBA glyphs did.
static void uploadTexels(std::vector<unsigned char> alpha)
{
    if (GLEW_ARB_texture_swizzle || GLEW_EXT_texture_swizzle) {
        const GLint white[4] = {GL_ONE, GL_ONE, GL_ONE, GL_ALPHA};
        glTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_RGBA, white);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_INTENSITY8, glyphAtlas.width, glyphAtlas.height, 0, GL_LUMINANCE,
                     GL_UNSIGNED_BYTE, alpha.empty() ? nullptr : alpha.data());
        return;
    }
    std::vector<unsigned char> pairs(alpha.size() * 2, 255);
    for (size_t i = 0; i < alpha.size(); ++i) pairs[2 * i + 1] = alpha[i];
    alpha.clear();
    glTexImage2D(GL_TEXTURE_2D, 0, GL_LUMINANCE_ALPHA, glyphAtlas.width, glyphAtlas.height, 0, GL_LUMINANCE_ALPHA,
                 GL_UNSIGNED_BYTE, pairs.empty() ? nullptr : pairs.data());
}

// Packs the glyphs into the atlas texture.
static bool uploadAtlas(const std::string& fontFile, const std::vector<GlyphBitmap>& glyphs)
{
    GLint maxSide = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSide);
    if (!glyphAtlas.pack(glyphs, maxSide)) {
        report(Report{fontFile, "", "its glyphs do not fit in one texture; no text is drawn", Severity::Error});
        return false;
    }
    glBindTexture(GL_TEXTURE_2D, glyphAtlas.texture);
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);  // the rows are packed tight
    uploadTexels(glyphAtlas.image(glyphs));
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
    const std::string refused = dataFileExists(fontFile) ? dataFileProblem(fontFile, MAX_FONT_FILE) : "";
    if (!refused.empty()) {
        report({fontFile, "", refused + "; no text is drawn", Severity::Error});
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
    glGenTextures(1, &glyphAtlas.texture);
    std::fill(letterTextures, letterTextures + GLYPH_COUNT, glyphAtlas.texture);
    ready = 0;
    if (!openFace(fontFile)) return;
    std::vector<GlyphBitmap> glyphs(GLYPH_COUNT);
    for (int code = 0; code < GLYPH_COUNT; ++code)
        if (!loadGlyph(code, glyphs[size_t(code)])) return;
    if (uploadAtlas(fontFile, glyphs)) ready = 1;
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

// One quad per glyph, each from the origin moved on by the advances before
// it; the atlas stays bound from glyph to glyph, so the line is one run.
void Font::displayText(std::string s, float x, float y, float scale, bool center)
{
    if (!ready || s.empty()) {
        batch.bindTexture(0);
        return;
    }
    float k = scale * 0.0001f;
    point origin{x, y};
    if (center) {
        float dx, dy;
        textCentreOffset(s, k, dx, dy);
        origin.x += dx;
        origin.y += dy;
    }
    const float w = float(glyphAtlas.width), h = float(glyphAtlas.height);
    batch.bindTexture(glyphAtlas.texture);
    for (char ch : s) {
        int code;
        if (!glyphCode(ch, code)) continue;
        const GlyphMetrics& m = letterMetrics[code];
        const AtlasBox& b = glyphAtlas.boxes[size_t(code)];
        if (b.width > 0 && b.height > 0) {
            const float s0 = float(b.x) / w, s1 = float(b.x + b.width) / w;
            const float t0 = float(b.y) / h, t1 = float(b.y + b.height) / h;
            const point corners[4] = {{k * m.xMin, k * m.yMin}, {k * m.xMin, k * m.yMax}, {k * m.xMax, k * m.yMax},
                                      {k * m.xMax, k * m.yMin}};
            const point texCoords[4] = {{s0, t0}, {s0, t1}, {s1, t1}, {s1, t0}};
            batch.quad(origin, 0, corners, texCoords);
        }
        origin.x += k * m.advance;
    }
    batch.bindTexture(0);
}
