// The image tables: fixed indices, failures keep their slot.
#include <gtest/gtest.h>

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
