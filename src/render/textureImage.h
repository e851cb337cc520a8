// Images decoded for upload without touching GL, so that decoding can run
// away from the thread that owns the context.
#pragma once

#include <string>
#include <vector>

struct TextureImage {
    int width = 0;     // of level 0, a power of two
    int height = 0;
    int channels = 0;  // 1 grey, 2 grey and alpha, 3 RGB, 4 RGBA: SOIL's own choice for the file
    // Level 0 first, bottom row first (the vertical flip SOIL does), then each
    // mipmap level down to one texel: a 2 x 2 box filter, rounded.
    std::vector<std::vector<unsigned char>> levels;
};

// Reads the PNGs SOIL would load unchanged: 8 bits a sample, grey, grey and
// alpha, RGB or RGBA, not interlaced, sides powers of two up to 16384. False for
// anything else, damaged or missing files included, and SOIL then loads the
// file itself, so the textures and failure lines stay SOIL's.
bool readPngForTexture(const std::string& file, TextureImage& out);

// Appends the mipmap levels below level 0.
void buildMipmaps(TextureImage& image);

// Any image SOIL reads, with power-of-two sides, decoded by SOIL's reader and
// flipped. Not thread-safe (SOIL keeps its last result in a global).
bool readImageWithSoil(const std::string& file, TextureImage& out);

// The image with its mipmaps, by the PNG reader or else SOIL's; false when
// neither takes it or it is too large to hold (SOIL then loads and reports it).
bool decodeTextureImage(const std::string& file, TextureImage& out);
