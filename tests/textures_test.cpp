// The image tables: fixed indices, failures keep their slot.
#include <gtest/gtest.h>

#include <SOIL.h>
#include <png.h>

#include <algorithm>
#include <filesystem>
#include <tuple>

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
    std::string whole = readFile(files[0]);
    files.push_back(writeFile(dir, "damaged.png", whole.substr(0, whole.size() / 2)));
    for (const std::string& file : files) {
        std::vector<unsigned> ours;
        StdoutCapture out;
        loadSingleTexture(file, ours);
        std::string printed = out.text();
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);  // else SOIL skews the 2-pixel RGB rows
        unsigned soils = SOIL_load_OGL_texture(file.c_str(), SOIL_LOAD_AUTO, SOIL_CREATE_NEW_ID,
                                               SOIL_FLAG_POWER_OF_TWO | SOIL_FLAG_INVERT_Y);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
        if (soils == 0) {
            EXPECT_EQ(ours.at(0), 0u) << file;
            EXPECT_EQ(printed, "SOIL error loading " + file + ": " + SOIL_last_result() + "\n");
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
