// The image tables: fixed indices, failures keep their slot.
#include <gtest/gtest.h>

#include <SOIL.h>
#include <png.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <tuple>

#include "core/report.h"

#include "render/imagePreload.h"
#include "render/textures.h"
#include "support/glFixture.h"
#include "support/testFiles.h"

// Every image carries its mipmaps down to one texel, sampled between levels
// (the background, which fills the screen twice a frame, from the nearest level).
// Returns the width of level 0.
static GLint expectMipmapsToOneTexel(unsigned name, const std::string& label, GLint minFilter = GL_LINEAR_MIPMAP_LINEAR)
{
    glBindTexture(GL_TEXTURE_2D, name);
    GLint filter = 0, width = 0, height = 0, last = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    int levels = 0;
    while ((std::max(width, height) >> levels) > 1) ++levels;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, levels, GL_TEXTURE_WIDTH, &last);
    EXPECT_EQ(filter, minFilter) << label;
    EXPECT_EQ(last, 1) << label;
    return width;
}

class TextureTables : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        resetImageBudget();
        textures.clear();
        projTextures.clear();
        uiTextures.clear();
    }
    void TearDown() override
    {
        textures.clear();
        projTextures.clear();
        uiTextures.clear();
    }
};

TEST_F(TextureTables, MissingImageKeepsItsIndexAndIsReported)
{
    std::string dir = makeScratchDir();
    std::string assets = VUMTAL_ASSETS_DIR;
    for (const auto& entry : std::filesystem::directory_iterator(assets))
        if (entry.path().filename() != "laser.png")
            std::filesystem::copy(entry.path(), dir + "/" + entry.path().filename().string());
    ScopedWorkingDir in(dir);
    StdoutCapture out;
    loadTextures();
    std::string printed = out.text();
    ASSERT_EQ(textures.size(), size_t(TEX_COUNT));
    EXPECT_EQ(textures[TEX_LASER], 0u);
    EXPECT_NE(printed.find("SOIL error loading laser.png: "), std::string::npos) << printed;
    if (!std::filesystem::exists(assets + "/bulletDot.png")) GTEST_SKIP() << "images not generated yet";
    EXPECT_NE(textures[TEX_BULLET_DOT], 0u);
    for (int index : {int(TEX_PLAYER), int(TEX_DUST), int(TEX_FLAME)})
        EXPECT_GT(expectMipmapsToOneTexel(textures[size_t(index)], std::to_string(index),
                                          index == TEX_DUST ? GL_LINEAR_MIPMAP_NEAREST : GL_LINEAR_MIPMAP_LINEAR),
                  1)
            << index;
    ASSERT_EQ(projTextures.size(), size_t(PROJTEX_COUNT));
    for (unsigned name : projTextures) {
        EXPECT_NE(name, 0u);
        EXPECT_NE(name, textures[TEX_BULLET_DOT]);
        EXPECT_NE(name, textures[TEX_FRAGMENT]);
        EXPECT_NE(name, textures[TEX_SHOCKWAVE_BULLET]);
    }
}

TEST_F(TextureTables, UiImagesHaveTheirOwnFailureLine)
{
    ScopedWorkingDir in(makeScratchDir());
    StdoutCapture out;
    loadUITextures();
    ASSERT_EQ(uiTextures.size(), size_t(UITEX_COUNT));
    EXPECT_EQ(uiTextures[UITEX_ARROW], 0u);
    EXPECT_NE(out.text().find("SOIL loading error on arrow.png: "), std::string::npos);
}

TEST(TextureLookup, IndexNamingNothingGivesNoTexture)
{
    std::vector<unsigned> table{7, 8};
    EXPECT_EQ(textureAt(table, 1), 8u);
    EXPECT_EQ(textureAt(table, 2), 0u);
    EXPECT_EQ(textureAt(table, -1), 0u);
}

TEST_F(TextureTables, ImagesAreFlippedSoTheirTopRowIsAtTheTopOfTheTexture)
{
    // A 4 x 2 targa stored top row first: red above blue.
    std::string targa = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 4, 0, 2, 0, 24, 0x20};
    for (int i = 0; i < 8; ++i) targa += i < 4 ? std::string{0, 0, char(255)} : std::string{char(255), 0, 0};
    std::string dir = makeScratchDir();
    writeFile(dir, "two.tga", targa);
    std::vector<unsigned> table;
    loadSingleTexture(dir + "/two.tga", table);
    ASSERT_NE(table.at(0), 0u);
    unsigned char texels[8 * 4] = {};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
    EXPECT_EQ(texels[2], 255);   // texture row 0, at t = 0, is the image's bottom row: blue
    EXPECT_EQ(texels[16], 255);  // row 1 is its top row: red
}

// A PNG of the given libpng format whose samples count up from 1; a colour-mapped
// one gets a four-entry palette.
static std::string writePng(const std::string& dir, const std::string& name, int width, int height, png_uint_32 format)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(width);
    image.height = png_uint_32(height);
    image.format = format;
    image.colormap_entries = 4;
    std::vector<unsigned char> pixels(PNG_IMAGE_SIZE(image)), palette(PNG_IMAGE_COLORMAP_SIZE(image));
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = (format & PNG_FORMAT_FLAG_COLORMAP) ? i % 4 : 1 + i * 7 % 250;
    for (size_t i = 0; i < palette.size(); ++i) palette[i] = 40 * i % 256;
    std::string path = dir + "/" + name;
    EXPECT_TRUE(png_image_write_to_file(&image, path.c_str(), 0, pixels.data(), 0, palette.data())) << name;
    return path;
}

struct TextureState {
    GLint format = 0, width = 0, height = 0, wrapS = 0, wrapT = 0, magFilter = 0;
    std::vector<unsigned char> texels;
    bool operator==(const TextureState& o) const
    {
        return std::tie(format, width, height, wrapS, wrapT, magFilter, texels) ==
               std::tie(o.format, o.width, o.height, o.wrapS, o.wrapT, o.magFilter, o.texels);
    }
};

static TextureState stateOf(unsigned name)
{
    TextureState s;
    glBindTexture(GL_TEXTURE_2D, name);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_INTERNAL_FORMAT, &s.format);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &s.width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &s.height);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &s.wrapS);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &s.wrapT);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &s.magFilter);
    s.texels.resize(size_t(s.width) * size_t(s.height) * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    if (!s.texels.empty()) glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, s.texels.data());
    return s;
}

TEST_F(TextureTables, DecodedImagesMatchWhatSoilMakesOfThem)
{
    struct Case {
        const char* name;
        int width, height;
        png_uint_32 format;
    };
    const Case cases[] = {
        {"grey.png", 4, 2, PNG_FORMAT_GRAY},      {"greyAlpha.png", 2, 8, PNG_FORMAT_GA},
        {"rgb.png", 2, 2, PNG_FORMAT_RGB},         // rows of 6 bytes, and 3 at the last level
        {"rgba.png", 16, 4, PNG_FORMAT_RGBA},      {"palette.png", 4, 4, PNG_FORMAT_RGB_COLORMAP},
        {"uneven.png", 3, 5, PNG_FORMAT_RGBA},     // scaled to powers of two
    };
    std::string dir = makeScratchDir();
    std::vector<std::string> files;
    for (const Case& c : cases) files.push_back(writePng(dir, c.name, c.width, c.height, c.format));
    const size_t caseFiles = files.size();
    std::string whole = readFile(files[0]);
    files.push_back(writeFile(dir, "damaged.png", whole.substr(0, whole.size() / 2)));
    // The shipped images load to the textures SOIL made of them.
    for (const char* const* table : {worldFiles, uiFiles})
        for (size_t i = 0; i < (table == worldFiles ? size_t(TEX_COUNT) : size_t(UITEX_COUNT)); ++i)
            files.push_back(std::string(VUMTAL_ASSETS_DIR) + "/" + table[i]);
    for (const std::string& file : files) {
        std::vector<unsigned> ours;
        StdoutCapture out;
        loadSingleTexture(file, ours);
        std::string printed = out.text();
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);  // else SOIL skews the 2-pixel RGB rows
        unsigned soils = SOIL_load_OGL_texture(file.c_str(), SOIL_LOAD_AUTO, SOIL_CREATE_NEW_ID,
                                               SOIL_FLAG_POWER_OF_TWO | SOIL_FLAG_INVERT_Y);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
        if (soils == 0 && file == files[caseFiles]) {
            // SOIL's decoder no longer judges a damaged file: libpng refuses it, in
            // one line on standard error, not SOIL's line on standard output.
            EXPECT_EQ(ours.at(0), 0u) << file;
            EXPECT_EQ(printed, "") << file;
            continue;
        }
        if (soils == 0) {
            // A palette of four colours in 2-bit indices, which SOIL could not read:
            // the bottom row's first index is 0, palette entry 0 is 0, 40, 80.
            ASSERT_NE(ours.at(0), 0u) << file;
            const TextureState made = stateOf(ours[0]);
            EXPECT_EQ(std::vector<unsigned char>(made.texels.begin(), made.texels.begin() + 4),
                      (std::vector<unsigned char>{0, 40, 80, 255}));
            expectMipmapsToOneTexel(ours[0], file);
            continue;
        }
        ASSERT_NE(ours.at(0), 0u) << file;
        TextureState made = stateOf(ours[0]);
        EXPECT_TRUE(made == stateOf(soils)) << file;
        expectMipmapsToOneTexel(ours[0], file);
    }
}

TEST(TextureImages, MipmapsAverageTwoByTwoRoundedDownToOneTexel)
{
    TextureImage row{4, 1, 1, {{0, 3, 10, 255}}};
    buildMipmaps(row);
    EXPECT_EQ(row.levels, (std::vector<std::vector<unsigned char>>{{0, 3, 10, 255}, {2, 133}, {68}}));
    TextureImage square{2, 2, 2, {{10, 0, 20, 255, 30, 255, 41, 255}}};
    buildMipmaps(square);
    EXPECT_EQ(square.levels.back(), (std::vector<unsigned char>{25, 191}));
}

TEST(TextureImages, PreloadHandsEachDecodedFileOutOnce)
{
    std::string dir = makeScratchDir();
    writePng(dir, "a.png", 1, 2, PNG_FORMAT_RGBA);
    ScopedWorkingDir in(dir);
    startImagePreload({"a.png", "a.png", "missing.png"});
    TextureImage first, second, third;
    EXPECT_TRUE(takeTextureImage("a.png", first));
    EXPECT_TRUE(takeTextureImage("a.png", second));
    EXPECT_TRUE(takeTextureImage("a.png", third));  // past the preload: decoded on the spot
    EXPECT_FALSE(takeTextureImage("missing.png", first));
    EXPECT_EQ(second.levels, third.levels);
    EXPECT_EQ(third.levels.size(), 2u);
    EXPECT_EQ(third.levels[0][0], 29);  // the last row comes first: sample 4, 1 + 4 * 7
}

// A PNG written by libpng's own writer, for the kinds png_image cannot write:
// samples count up from 1 as writePng's do, 16-bit ones with a low byte that
// reading drops.
static std::string writeRawPng(const std::string& dir, const std::string& name, int width, int height, int depth,
                               int interlace)
{
    const std::string path = dir + "/" + name;
    FILE* file = std::fopen(path.c_str(), "wb");
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_init_io(png, file);
    png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), depth, PNG_COLOR_TYPE_RGB_ALPHA, interlace,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    const size_t samples = size_t(width) * 4, sampleBytes = size_t(depth / 8);
    std::vector<unsigned char> pixels(samples * size_t(height) * sampleBytes);
    for (size_t i = 0; i < samples * size_t(height); ++i) {
        pixels[i * sampleBytes] = (unsigned char)(1 + i * 7 % 250);
        if (sampleBytes == 2) pixels[i * 2 + 1] = 0x55;
    }
    std::vector<png_bytep> rows{size_t(height)};
    for (int y = 0; y < height; ++y) rows[size_t(y)] = pixels.data() + size_t(y) * samples * sampleBytes;
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
    return path;
}

TEST_F(TextureTables, SixteenBitAndInterlacedPngsLoadAsTheirPlainSelves)
{
    std::string dir = makeScratchDir();
    std::vector<unsigned> table;
    for (const std::string& file : {writePng(dir, "plain.png", 8, 4, PNG_FORMAT_RGBA),
                                    writeRawPng(dir, "deep.png", 8, 4, 16, PNG_INTERLACE_NONE),
                                    writeRawPng(dir, "interlaced.png", 8, 4, 8, PNG_INTERLACE_ADAM7)})
        loadSingleTexture(file, table);
    ASSERT_EQ(table.size(), 3u);
    ASSERT_NE(table[0], 0u);
    EXPECT_TRUE(stateOf(table[1]) == stateOf(table[0]));
    EXPECT_TRUE(stateOf(table[2]) == stateOf(table[0]));
}

TEST_F(TextureTables, HostileImagesAreRefusedInOneLineAndDrawAsMissing)
{
    struct Case {
        const char* name;
        std::string bytes;
        const char* why;
    };
    const Case cases[] = {
        {"huge.tga", hugeTgaBytes(), "declares 32768 x 32769 pixels"},
        {"huge-tga.png", hugeTgaBytes(), "declares 32768 x 32769 pixels"},  // told apart by content
        {"huge.png", hugePngBytes(16384, 16384, 1 << 20), "declares 16384 x 16384 pixels"},
        {"not-an-image.png", "GIF89a and more bytes of it", "neither a PNG nor a TGA file"},
        {"zero.tga", std::string{0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 4, 0, 32, 0}, "declares 0 x 4 pixels"},
    };
    const std::string dir = makeScratchDir();
    for (const Case& c : cases) {
        const std::string file = writeFile(dir, c.name, c.bytes);
        const long memoryBefore = peakResidentMb();
        const auto start = std::chrono::steady_clock::now();
        std::vector<unsigned> table;
        ReportLog log;
        StdoutCapture out;
        loadSingleTexture(file, table);
        const std::string printed = out.text();
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        EXPECT_EQ(table, std::vector<unsigned>{0u}) << c.name;
        ASSERT_EQ(log.records.size(), 1u) << c.name;
        EXPECT_EQ(log.records[0].severity, Severity::Error) << c.name;
        const std::string line = reportText(log.records[0]);
        EXPECT_EQ(line.rfind(file + ": ", 0), 0u) << line;
        EXPECT_NE(line.find(c.why), std::string::npos) << line;
        EXPECT_NE(line.find("; it draws as a missing image"), std::string::npos) << line;
        EXPECT_EQ(printed, "") << c.name;
        EXPECT_LT(seconds, 2.0) << c.name;
        EXPECT_LT(peakResidentMb() - memoryBefore, 64) << c.name;
    }
}

TEST(TextureImages, AllImagesTogetherStayWithinTheBudget)
{
    std::string dir = makeScratchDir();
    // Counted as scaled to 8192 x 8192 with mipmaps, 85 MB; all zeros, quick to write and read.
    png_image big{};
    big.version = PNG_IMAGE_VERSION;
    big.width = big.height = 4097;
    big.format = PNG_FORMAT_GRAY;
    const std::vector<unsigned char> zeros(PNG_IMAGE_SIZE(big));
    const std::string file = dir + "/big.png";
    ASSERT_TRUE(png_image_write_to_file(&big, file.c_str(), 0, zeros.data(), 0, nullptr));
    resetImageBudget();
    TextureImage image;
    int decoded = 0;
    while (decoded < 10 && readPngForTexture(file, image)) ++decoded;
    EXPECT_EQ(decoded, int(IMAGE_BUDGET_BYTES / (size_t(8192) * 8192 * 4 / 3)));
    EXPECT_NE(image.failure.find("MB that all images may take together"), std::string::npos) << image.failure;
    resetImageBudget();
    EXPECT_TRUE(readPngForTexture(file, image));
    resetImageBudget();
}
