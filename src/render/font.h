// Text drawn with one TrueType face rasterised once at 300 pixels; the glyphs
// of codes 0 to 127 share one texture (render/glyphAtlas.h), and a line of
// text goes through the batch as one quad per glyph.
#pragma once

#include <string>

#include <ft2build.h>
#include FT_FREETYPE_H

#include "render/glyphAtlas.h"

// Metrics of one glyph; the last five in 26.6 fixed point of the 300-pixel rendering.
struct GlyphMetrics {
    int left;
    int top;
    int xMax;
    int xMin;
    int yMax;
    int yMin;
    int advance;
};

extern unsigned letterTextures[128];  // the texture that holds code i: the atlas, for every i
extern GlyphAtlas glyphAtlas;          // where each code lies in it
extern GlyphMetrics letterMetrics[128];
extern FT_Face face;

class Font {
public:
    int ready = 0;  // 1 once all 128 characters are loaded

    explicit Font(std::string fontFile);
    void displayText(std::string s, float x, float y, float scale, bool center);
};

// The shift that centres s on its origin, in caller units; exposed for tests.
void textCentreOffset(const std::string& s, float k, float& dx, float& dy);
