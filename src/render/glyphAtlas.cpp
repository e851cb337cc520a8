#include "render/glyphAtlas.h"

#include <algorithm>
#include <climits>
#include <numeric>

namespace {

const int BORDER = 1;

int paddedWidth(const GlyphBitmap& g) { return g.width > 0 && g.rows > 0 ? g.width + 2 * BORDER : 0; }
int paddedHeight(const GlyphBitmap& g) { return g.width > 0 && g.rows > 0 ? g.rows + 2 * BORDER : 0; }

// Shelves filled left to right, tallest glyphs first; the height this width
// needs, and each glyph's padded corner when `at` is given. `wider` gets the
// least width at which some glyph would move up a shelf: the layout, and so
// the height, is the same for every width below it.
long shelfHeight(const std::vector<GlyphBitmap>& glyphs, const std::vector<size_t>& order, int width,
                 std::vector<AtlasBox>* at, long& wider)
{
    long x = 0, y = 0, shelf = 0;
    wider = LONG_MAX;
    for (size_t i : order) {
        const int w = paddedWidth(glyphs[i]), h = paddedHeight(glyphs[i]);
        if (w == 0) continue;
        if (x + w > width) {
            wider = std::min(wider, x + w);
            y += shelf;
            x = 0;
            shelf = 0;
        }
        if (at) (*at)[i] = AtlasBox{int(x) + BORDER, int(y) + BORDER, glyphs[i].width, glyphs[i].rows};
        x += w;
        shelf = std::max(shelf, long(h));
    }
    return y + shelf;
}

// i modulo n, into 0..n-1 for i from -1 to n.
int wrap(int i, int n) { return (i + n) % n; }

}  // namespace

bool GlyphAtlas::pack(const std::vector<GlyphBitmap>& glyphs, int maxSide)
{
    boxes.assign(glyphs.size(), AtlasBox{});
    width = height = 0;
    std::vector<size_t> order(glyphs.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return paddedHeight(glyphs[a]) > paddedHeight(glyphs[b]); });
    long widest = 0, total = 0;
    for (const GlyphBitmap& g : glyphs) {
        widest = std::max(widest, long(paddedWidth(g)));
        total += paddedWidth(g);
    }
    if (total == 0) return true;
    if (widest > maxSide) return false;
    long bestArea = -1, wider = 0;
    int bestWidth = 0;
    // Only the narrowest width of each layout can give its smallest area.
    for (long w = widest; w <= std::min(total, long(maxSide)); w = wider) {
        const long h = shelfHeight(glyphs, order, int(w), nullptr, wider);
        if (h <= maxSide && (bestArea < 0 || w * h < bestArea)) {
            bestArea = w * h;
            bestWidth = int(w);
        }
    }
    if (bestArea < 0) return false;
    width = bestWidth;
    height = int(shelfHeight(glyphs, order, width, &boxes, wider));
    return true;
}

std::vector<unsigned char> GlyphAtlas::image(const std::vector<GlyphBitmap>& glyphs) const
{
    std::vector<unsigned char> texels(size_t(width) * size_t(height), 0);
    for (size_t g = 0; g < glyphs.size() && g < boxes.size(); ++g) {
        const GlyphBitmap& glyph = glyphs[g];
        const AtlasBox& box = boxes[g];
        if (box.width == 0 || box.height == 0) continue;
        for (int j = -BORDER; j < box.height + BORDER; ++j) {
            // Image row j (bottom first) is bitmap row height - 1 - j.
            const unsigned char* row = &glyph.coverage[size_t(box.height - 1 - wrap(j, box.height)) * size_t(box.width)];
            unsigned char* out = &texels[size_t(box.y + j) * size_t(width) + size_t(box.x)];
            for (int i = -BORDER; i < box.width + BORDER; ++i) out[i] = row[wrap(i, box.width)];
        }
    }
    return texels;
}
