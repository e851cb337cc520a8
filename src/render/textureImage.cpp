#include "render/textureImage.h"

#include <fcntl.h>
#include <png.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <new>

#include "core/dataFiles.h"

// Debian's stb_image, built here with its TGA reader only: no other of its
// decoders is ever handed a file.
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_TGA
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_MAX_DIMENSIONS 8192
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#include <stb_image.h>
#pragma GCC diagnostic pop

static_assert(STBI_MAX_DIMENSIONS == LARGEST_IMAGE_SIDE, "the TGA reader refuses what the header check refuses");

namespace {

std::atomic<int> largestDriverSide{0};
std::atomic<size_t> imageBytesTaken{0};

bool isPowerOfTwo(png_uint_32 n) { return n != 0 && (n & (n - 1)) == 0; }

png_uint_32 powerOfTwoAbove(png_uint_32 n)
{
    png_uint_32 p = 1;
    while (p < n) p <<= 1;
    return p;
}

bool fail(TextureImage& out, const std::string& why)
{
    out.failure = why;
    return false;
}

std::string sizeText(png_uint_32 width, png_uint_32 height)
{
    return std::to_string(width) + " x " + std::to_string(height);
}

// A side over the limit is refused before any pixel is decoded.
bool checkSides(png_uint_32 width, png_uint_32 height, TextureImage& out)
{
    if (width == 0 || height == 0) return fail(out, "unreadable image: it declares " + sizeText(width, height) + " pixels");
    const int driver = largestDriverSide.load();
    const png_uint_32 largest = png_uint_32(driver > 0 ? std::min(driver, LARGEST_IMAGE_SIDE) : LARGEST_IMAGE_SIDE);
    if (width <= largest && height <= largest) return true;
    return fail(out, "image refused: it declares " + sizeText(width, height) + " pixels, over the largest of " +
                         sizeText(largest, largest));
}

// What the image holds once decoded, scaled to powers of two and mipmapped.
size_t imageBytes(png_uint_32 width, png_uint_32 height, int channels)
{
    size_t w = powerOfTwoAbove(width), h = powerOfTwoAbove(height), total = 0;
    for (;;) {
        total += w * h * size_t(channels);
        if (w == 1 && h == 1) return total;
        w = std::max<size_t>(w / 2, 1);
        h = std::max<size_t>(h / 2, 1);
    }
}

// Takes the image's share of the budget, or refuses it.
bool chargeBudget(size_t bytes, TextureImage& out)
{
    const size_t before = imageBytesTaken.fetch_add(bytes);
    if (bytes <= IMAGE_BUDGET_BYTES && before + bytes <= IMAGE_BUDGET_BYTES) return true;
    imageBytesTaken.fetch_sub(bytes);
    return fail(out, "image refused: its " + std::to_string(bytes >> 20) + " MB decoded would pass the " +
                         std::to_string(IMAGE_BUDGET_BYTES >> 20) + " MB that all images may take together");
}

void refund(size_t bytes) { imageBytesTaken.fetch_sub(bytes); }

struct PngReader {
    FILE* file = nullptr;
    png_structp png = nullptr;
    png_infop info = nullptr;
    std::string message;
    ~PngReader()
    {
        if (png) png_destroy_read_struct(&png, info ? &info : nullptr, nullptr);
        if (file) std::fclose(file);
    }
};

// libpng reports errors by longjmp back into readHeader or readRows, whose
// frames hold nothing that needs a destructor; its words end the failure line.
void keepError(png_structp png, png_const_charp message)
{
    static_cast<PngReader*>(png_get_error_ptr(png))->message = message;
    png_longjmp(png, 1);
}
void quietWarning(png_structp, png_const_charp) {}

bool readHeader(PngReader& r, png_uint_32& width, png_uint_32& height)
{
    if (setjmp(png_jmpbuf(r.png))) return false;
    png_init_io(r.png, r.file);
    png_set_sig_bytes(r.png, 8);
    png_read_info(r.png, r.info);
    return png_get_IHDR(r.png, r.info, &width, &height, nullptr, nullptr, nullptr, nullptr, nullptr) != 0;
}

// Every kind of PNG becomes 8-bit grey, grey and alpha, RGB or RGBA.
bool expandToBytes(PngReader& r)
{
    if (setjmp(png_jmpbuf(r.png))) return false;
    png_set_expand(r.png);  // palettes to RGB, small greys to 8 bits, transparency to alpha
    png_set_strip_16(r.png);
    png_set_interlace_handling(r.png);
    png_read_update_info(r.png, r.info);
    return true;
}

bool readRows(PngReader& r, png_bytepp rows)
{
    if (setjmp(png_jmpbuf(r.png))) return false;
    png_read_image(r.png, rows);
    return true;
}

// Opens without waiting on a FIFO, and takes regular files only.
FILE* openImage(const std::string& file, TextureImage& out)
{
    const int fd = open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        out.missing = true;
        fail(out, "Unable to open file");
        return nullptr;
    }
    struct stat about;
    if (fstat(fd, &about) != 0 || !S_ISREG(about.st_mode)) {
        close(fd);
        fail(out, "unreadable image: not a regular file");
        return nullptr;
    }
    FILE* in = fdopen(fd, "rb");
    if (!in) close(fd);
    return in;
}

void keep(TextureImage& out, int width, int height, int channels, std::vector<unsigned char> pixels)
{
    out.width = width;
    out.height = height;
    out.channels = channels;
    out.levels.clear();
    out.levels.push_back(std::move(pixels));
}

// The PNG after its 8-byte signature.
bool readPng(FILE* file, TextureImage& out)
{
    PngReader r;
    r.file = file;
    r.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &r, keepError, quietWarning);
    if (!r.png) return fail(out, "out of memory");
    r.info = png_create_info_struct(r.png);
    if (!r.info) return fail(out, "out of memory");

    png_uint_32 width = 0, height = 0;
    if (!readHeader(r, width, height)) return fail(out, "unreadable image: " + r.message);
    if (!checkSides(width, height, out)) return false;
    if (!expandToBytes(r)) return fail(out, "unreadable image: " + r.message);
    const int channels = png_get_channels(r.png, r.info);
    const size_t rowBytes = size_t(width) * size_t(channels);
    if (channels < 1 || channels > 4 || png_get_rowbytes(r.png, r.info) != rowBytes)
        return fail(out, "unreadable image: an unexpected PNG layout");
    const size_t charged = imageBytes(width, height, channels);
    if (!chargeBudget(charged, out)) return false;

    std::vector<unsigned char> pixels(rowBytes * height);
    // Rows are written bottom-up: the texture's row 0 is the image's last row.
    std::vector<png_bytep> rows(height);
    for (png_uint_32 y = 0; y < height; ++y) rows[y] = pixels.data() + rowBytes * (height - 1 - y);
    if (!readRows(r, rows.data())) {
        refund(charged);
        return fail(out, "unreadable image: " + r.message);
    }
    keep(out, int(width), int(height), channels, std::move(pixels));
    return true;
}

unsigned little16(const unsigned char* p) { return unsigned(p[0]) | unsigned(p[1]) << 8; }

// The TGA kinds the game's reader takes: colour-mapped, true-colour or grey,
// plain or run-length coded.
bool checkTgaHeader(const unsigned char* h, TextureImage& out)
{
    const int mapType = h[1], type = h[2], mapBits = h[7], bits = h[16];
    const bool mapped = type == 1 || type == 9;
    const bool known = mapped || type == 2 || type == 3 || type == 10 || type == 11;
    if (!known || mapType > 1 || (mapped && mapType != 1)) return fail(out, "unreadable image: neither a PNG nor a TGA file");
    if (bits != 8 && bits != 15 && bits != 16 && bits != 24 && bits != 32)
        return fail(out, "unreadable image: a TGA of " + std::to_string(bits) + " bits a pixel");
    if (mapped && mapBits != 15 && mapBits != 16 && mapBits != 24 && mapBits != 32)
        return fail(out, "unreadable image: a TGA palette of " + std::to_string(mapBits) + " bits an entry");
    return checkSides(little16(h + 12), little16(h + 14), out);
}

// The TGA after the 18-byte header, read no further than its pixels can reach.
bool readTga(FILE* file, const unsigned char* header, TextureImage& out)
{
    const size_t width = little16(header + 12), height = little16(header + 14);
    const size_t mapBytes = header[1] ? size_t(little16(header + 5)) * ((header[7] + 7) / 8) : 0;
    const size_t most = 18 + header[0] + mapBytes + width * height * (1 + (header[16] + 7) / 8);  // all runs of one
    std::vector<unsigned char> bytes(header, header + 18);
    unsigned char block[65536];
    for (size_t got; bytes.size() < most && (got = std::fread(block, 1, sizeof block, file)) > 0;)
        bytes.insert(bytes.end(), block, block + std::min(got, most - bytes.size()));
    if (std::ferror(file)) return fail(out, "unreadable image: a read error");
    // stb_image reads zeros past the end: a few bytes would decode to the
    // largest image. Every pixel needs its bytes, or a run's header and one pixel per 128.
    const size_t pixelBytes = (header[16] + 7) / 8, count = width * height;
    const size_t least = 18 + header[0] + mapBytes + (header[2] >= 9 ? (count + 127) / 128 * (1 + pixelBytes) : count * pixelBytes);
    if (bytes.size() < least) return fail(out, "unreadable image: the TGA file ends before its pixels do");

    int w = 0, h = 0, channels = 0;
    if (!stbi_info_from_memory(bytes.data(), int(bytes.size()), &w, &h, &channels))
        return fail(out, std::string("unreadable image: ") + stbi_failure_reason());
    if (channels < 1 || channels > 4) return fail(out, "unreadable image: an unexpected TGA layout");
    const size_t charged = imageBytes(png_uint_32(w), png_uint_32(h), channels);
    if (!chargeBudget(charged, out)) return false;
    unsigned char* top = stbi_load_from_memory(bytes.data(), int(bytes.size()), &w, &h, &channels, 0);
    if (!top) {
        refund(charged);
        return fail(out, std::string("unreadable image: ") + stbi_failure_reason());
    }
    const size_t rowBytes = size_t(w) * size_t(channels);
    std::vector<unsigned char> pixels(rowBytes * size_t(h));
    for (int y = 0; y < h; ++y)
        std::memcpy(pixels.data() + rowBytes * size_t(h - 1 - y), top + rowBytes * size_t(y), rowBytes);
    stbi_image_free(top);
    keep(out, w, h, channels, std::move(pixels));
    return true;
}

}  // namespace

void setLargestTextureSide(int side) { largestDriverSide.store(side); }

void resetImageBudget() { imageBytesTaken.store(0); }

bool readPngForTexture(const std::string& file, TextureImage& out)
{
    FILE* in = openImage(file, out);
    if (!in) return false;
    png_byte signature[8];
    if (std::fread(signature, 1, 8, in) != 8 || png_sig_cmp(signature, 0, 8) != 0) {
        std::fclose(in);
        return fail(out, "unreadable image: not a PNG file");
    }
    return readPng(in, out);
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
    FILE* in = openImage(file, out);
    if (!in) return false;
    unsigned char header[18];
    const size_t got = std::fread(header, 1, sizeof header, in);
    if (got >= 8 && png_sig_cmp(header, 0, 8) == 0) {
        std::fseek(in, 8, SEEK_SET);
        return readPng(in, out);  // closes the file
    }
    const bool read = got == sizeof header && checkTgaHeader(header, out) && readTga(in, header, out);
    std::fclose(in);
    if (got != sizeof header) return fail(out, "unreadable image: neither a PNG nor a TGA file");
    return read;
}

bool decodeTextureImage(const std::string& file, TextureImage& out)
{
    out = TextureImage{};
    // A refused file is not opened at all: a FIFO would hold the game.
    if (dataFileExists(file)) {
        const std::string refused = dataFileProblem(file, MAX_IMAGE_FILE);
        if (!refused.empty()) return fail(out, refused);
    }
    try {
        if (!readImageWithSoil(file, out)) return false;
        if (isPowerOfTwo(png_uint_32(out.width)) && isPowerOfTwo(png_uint_32(out.height))) buildMipmaps(out);
        return true;
    } catch (const std::bad_alloc&) {
        out = TextureImage{};
        return fail(out, "image refused: out of memory");
    }
}
