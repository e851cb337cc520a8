// Every glyph of a font in one texture, so that a line of text is one draw.
// The old one-texture-per-glyph drawing wrapped round at each glyph's edges
// (GL_REPEAT with linear filtering blends an edge texel with the opposite
// edge); a one-texel border copied from the opposite edge keeps those pixels.
#pragma once

#include <vector>

// A rendered glyph's coverage, top row first, width x rows bytes.
struct GlyphBitmap {
    int width = 0, rows = 0;
    std::vector<unsigned char> coverage;
};

// Where a glyph's image lies in the atlas, in texels: x, y is its bottom-left
// corner (the image is stored upside down, bottom row first), and its border
// lies just outside. Empty glyphs (the space) take no room: width and height 0.
struct AtlasBox {
    int x = 0, y = 0, width = 0, height = 0;
};

class GlyphAtlas {
public:
    unsigned texture = 0;
    int width = 0, height = 0;
    std::vector<AtlasBox> boxes;  // one per glyph packed

    // Places the glyphs on shelves, choosing the width that gives the smallest
    // atlas no side of which exceeds maxSide. False when they do not fit.
    bool pack(const std::vector<GlyphBitmap>& glyphs, int maxSide);
    // The atlas's texels, one coverage byte each, bottom row first.
    std::vector<unsigned char> image(const std::vector<GlyphBitmap>& glyphs) const;
};
