// The image tables: fixed indices, failures keep their slot.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "render/textures.h"
#include "support/glFixture.h"
#include "support/testFiles.h"

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
    // Every image carries its mipmaps down to one texel, sampled between levels.
    for (int index : {int(TEX_PLAYER), int(TEX_DUST), int(TEX_FLAME)}) {
        glBindTexture(GL_TEXTURE_2D, textures[size_t(index)]);
        GLint filter = 0, width = 0, height = 0, last = 0;
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
        int levels = 0;
        while ((std::max(width, height) >> levels) > 1) ++levels;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, levels, GL_TEXTURE_WIDTH, &last);
        EXPECT_EQ(filter, GL_LINEAR_MIPMAP_LINEAR) << index;
        EXPECT_GT(width, 1) << index;
        EXPECT_EQ(last, 1) << index;
    }
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
