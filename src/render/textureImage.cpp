#include "render/textureImage.h"

#include <SOIL.h>
#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>

#include "core/dataFiles.h"

namespace {

const png_uint_32 LARGEST_SIDE = 16384;

// libpng reports errors by longjmp back into readHeader or readRows, whose
// frames hold nothing that needs a destructor. Its messages are not printed:
// a file it refuses goes to SOIL, which reports in its own words.
void quietError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void quietWarning(png_structp, png_const_charp) {}

bool isPowerOfTwo(png_uint_32 n) { return n != 0 && (n & (n - 1)) == 0; }

int channelsOf(int colorType)
{
    switch (colorType) {
    case PNG_COLOR_TYPE_GRAY: return 1;
    case PNG_COLOR_TYPE_GRAY_ALPHA: return 2;
    case PNG_COLOR_TYPE_RGB: return 3;
    case PNG_COLOR_TYPE_RGB_ALPHA: return 4;
    default: return 0;  // palette images go to SOIL
    }
}

struct PngReader {
    FILE* file = nullptr;
    png_structp png = nullptr;
    png_infop info = nullptr;
    ~PngReader()
    {
        if (png) png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
        if (file) std::fclose(file);
    }
};

bool readHeader(PngReader& r, png_uint_32& width, png_uint_32& height, int& depth, int& colorType, int& interlace)
{
    if (setjmp(png_jmpbuf(r.png))) return false;
    png_init_io(r.png, r.file);
    png_set_sig_bytes(r.png, 8);
    png_read_info(r.png, r.info);
    return png_get_IHDR(r.png, r.info, &width, &height, &depth, &colorType, &interlace, nullptr, nullptr) != 0;
}

bool readRows(PngReader& r, png_bytepp rows)
{
    if (setjmp(png_jmpbuf(r.png))) return false;
    png_read_image(r.png, rows);
    return true;
}

}  // namespace

bool readPngForTexture(const std::string& file, TextureImage& out)
{
    PngReader r;
    r.file = std::fopen(file.c_str(), "rb");
    if (!r.file) return false;
    png_byte signature[8];
    if (std::fread(signature, 1, 8, r.file) != 8 || png_sig_cmp(signature, 0, 8) != 0) return false;
    r.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, quietError, quietWarning);
    if (!r.png) return false;
    r.info = png_create_info_struct(r.png);
    if (!r.info) return false;

    png_uint_32 width = 0, height = 0;
    int depth = 0, colorType = 0, interlace = 0;
    if (!readHeader(r, width, height, depth, colorType, interlace)) return false;
    int channels = channelsOf(colorType);
    if (depth != 8 || channels == 0 || interlace != PNG_INTERLACE_NONE) return false;
    if (!isPowerOfTwo(width) || !isPowerOfTwo(height) || width > LARGEST_SIDE || height > LARGEST_SIDE) return false;

    size_t rowBytes = size_t(width) * size_t(channels);
    std::vector<unsigned char> pixels(rowBytes * height);
    // Rows are written bottom-up: the texture's row 0 is the image's last row.
    std::vector<png_bytep> rows(height);
    for (png_uint_32 y = 0; y < height; ++y) rows[y] = pixels.data() + rowBytes * (height - 1 - y);
    if (!readRows(r, rows.data())) return false;

    out.width = int(width);
    out.height = int(height);
    out.channels = channels;
    out.levels.clear();
    out.levels.push_back(std::move(pixels));
    return true;
}

static std::vector<unsigned char> halve(const std::vector<unsigned char>& source, int width, int height, int channels)
{
    // A side already at one texel stays at one: its "pair" is the texel itself.
    const int nextWidth = std::max(width / 2, 1), nextHeight = std::max(height / 2, 1);
    const size_t dx = width > 1 ? size_t(channels) : 0;
    const size_t dy = height > 1 ? size_t(width) * size_t(channels) : 0;
    std::vector<unsigned char> next(size_t(nextWidth) * size_t(nextHeight) * size_t(channels));
    unsigned char* out = next.data();
    for (int y = 0; y < nextHeight; ++y) {
        const unsigned char* row = source.data() + size_t(2 * y) * size_t(width) * size_t(channels);
        for (int x = 0; x < nextWidth; ++x) {
            const unsigned char* p = row + size_t(2 * x) * size_t(channels);
            for (int c = 0; c < channels; ++c)
                *out++ = static_cast<unsigned char>((p[c] + p[c + dx] + p[c + dy] + p[c + dx + dy] + 2) / 4);
        }
    }
    return next;
}

void buildMipmaps(TextureImage& image)
{
    if (image.levels.empty()) return;
    image.levels.resize(1);
    int width = image.width, height = image.height;
    while (width > 1 || height > 1) {
        image.levels.push_back(halve(image.levels.back(), width, height, image.channels));
        width = std::max(width / 2, 1);
        height = std::max(height / 2, 1);
    }
}

bool readImageWithSoil(const std::string& file, TextureImage& out)
{
    int width = 0, height = 0, channels = 0;
    unsigned char* data = SOIL_load_image(file.c_str(), &width, &height, &channels, SOIL_LOAD_AUTO);
    if (!data) return false;
    const bool usable = isPowerOfTwo(png_uint_32(width)) && isPowerOfTwo(png_uint_32(height)) && channels >= 1 &&
                        channels <= 4;
    if (usable) {
        const size_t rowBytes = size_t(width) * size_t(channels);
        std::vector<unsigned char> pixels(rowBytes * size_t(height));
        for (int y = 0; y < height; ++y)
            std::memcpy(pixels.data() + rowBytes * size_t(height - 1 - y), data + rowBytes * size_t(y), rowBytes);
        out.width = width;
        out.height = height;
        out.channels = channels;
        out.levels.clear();
        out.levels.push_back(std::move(pixels));
    }
    SOIL_free_image_data(data);
    return usable;
}

bool decodeTextureImage(const std::string& file, TextureImage& out)
{
    // A refused file is not opened at all; the loader names it.
    if (dataFileExists(file) && !dataFileProblem(file, MAX_IMAGE_FILE).empty()) return false;
    try {
        if (!readPngForTexture(file, out) && !readImageWithSoil(file, out)) return false;
        buildMipmaps(out);
        return true;
    } catch (const std::bad_alloc&) {
        out = TextureImage{};
        return false;
    }
}
