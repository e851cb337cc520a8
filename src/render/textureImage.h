// Images decoded for upload without touching GL, so that decoding can run
// away from the thread that owns the context.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

struct TextureImage {
    int width = 0;     // of level 0; a power of two unless the upload is to scale it
    int height = 0;
    int channels = 0;  // 1 grey, 2 grey and alpha, 3 RGB, 4 RGBA: what the file holds
    // Level 0 first, bottom row first (the vertical flip SOIL did), then each
    // mipmap level down to one texel: a 2 x 2 box filter, rounded. Sides that
    // are not powers of two have level 0 only: the upload scales them.
    std::vector<std::vector<unsigned char>> levels;
    std::string failure;   // why the file gave no image; empty when it did
    bool missing = false;  // the file could not be opened at all
};

// Every image is checked before its pixels are decoded: sides of at most
// LARGEST_IMAGE_SIDE (and the driver's largest texture, once known), and all
// the images a run decodes together within IMAGE_BUDGET_BYTES, mipmaps counted.
const int LARGEST_IMAGE_SIDE = 8192;
const size_t IMAGE_BUDGET_BYTES = size_t(512) << 20;

// The driver's largest texture side (GL_MAX_TEXTURE_SIZE), for images decoded after it is known.
void setLargestTextureSide(int side);
// Starts the budget afresh (the checker, the tests and the fuzzer load many times).
void resetImageBudget();

// Any PNG (palette, grey, 16 bits a sample, interlaced: all expanded to 8-bit
// grey, grey and alpha, RGB or RGBA) by libpng, after its header is checked.
// False with out.failure set for anything else, damaged or missing files included.
bool readPngForTexture(const std::string& file, TextureImage& out);

// Appends the mipmap levels below level 0.
void buildMipmaps(TextureImage& image);

// Once SOIL's reader; SOIL decodes nothing any more, and this is the checked
// readers' level 0 (PNG or TGA, told apart by content as SOIL did), without mipmaps.
bool readImageWithSoil(const std::string& file, TextureImage& out);

// The image with its mipmaps (level 0 alone when its sides are not powers of
// two); false with out.failure set when it is refused or cannot be read.
bool decodeTextureImage(const std::string& file, TextureImage& out);
