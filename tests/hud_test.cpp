// The head-up display: pointer and markers, boundary, radar, map and the
// statistics overlay, drawn in the projections the frame loop sets.
#include <gtest/gtest.h>

#include <GL/glew.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "entities/worldState.h"
#include "data/defaultVals.h"
#include "entities/player.h"
#include "game/gameMain.h"
#include "game/hud.h"
#include "render/font.h"
#include "render/textures.h"
#include "support/glFixture.h"
#include "support/testFiles.h"

namespace {

const Rgb RED{255, 0, 0}, GREEN{0, 255, 0}, YELLOW{255, 255, 0}, GREY{60, 60, 60}, NAVY{30, 30, 90};

// The frame loop's projections: the camera leaves the model-view at z = -1.
void overlay(double left, double right, double bottom, double top)
{
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(0, 0, -1);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluOrtho2D(left, right, bottom, top);
    glMatrixMode(GL_MODELVIEW);
}

point offset(point p, float dx, float dy) { return point{p.x + dx, p.y + dy}; }

class HudTest : public GlTest {
protected:
    void SetUp() override
    {
        GlTest::SetUp();
        if (IsSkipped()) return;
        // Solid colours stand in for the images, so each marker shows which it is.
        textures.assign(TEX_COUNT, 0);
        textures[TEX_RADAR] = textures[TEX_MAP] = twoToneTexture(GREY, NAVY);
        textures[TEX_PLAYER_RADAR] = solidTexture(YELLOW);
        textures[TEX_ENEMY_RADAR] = solidTexture(GREEN);
        textures[TEX_WHITE_DOT] = solidTexture(Rgb{255, 255, 255});
        textures[TEX_MOUSE] = textures[TEX_DUST] = solidTexture(RED);
        glEnable(GL_TEXTURE_2D);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
        glDisable(GL_BLEND);
        if (SHIPDATA.size() < 2) SHIPDATA.assign(2, std::vector<float>{0, 0, -1, 10, 0});
    }
    void TearDown() override
    {
        if (IsSkipped()) return;
        glDeleteTextures(GLsizei(textures.size()), textures.data());
        textures.clear();
        glDisable(GL_TEXTURE_2D);
    }
    // A horizontal line at integer y may land on the row either side of it.
    static bool lineAt(int x, int y, Rgb c) { return near(pixelAt(x, y - 1), c) || near(pixelAt(x, y), c); }

    WorldState world;
    Player player{point{1000, 2000}};
};

}  // namespace

TEST(RadarRange, OnlyThingsStrictlyCloserThanTheRangeAreShown)
{
    point me{1000, 2000};
    EXPECT_TRUE(withinRange(offset(me, 0, -9999), me, RADAR_RANGE));
    EXPECT_FALSE(withinRange(offset(me, 0, -10000), me, RADAR_RANGE));
    EXPECT_TRUE(withinRange(offset(me, 60000, 79999), me, MAP_RANGE));
    EXPECT_FALSE(withinRange(offset(me, 60000, 80000), me, MAP_RANGE));
}

TEST_F(HudTest, RadarShowsThePlayerAtItsCentreAndShipsInRangeAtScale)
{
    world.ships.push_back(Ship(offset(player.location, 5000, 0), 1, 1));
    world.ships.push_back(Ship(offset(player.location, 0, -10000), 1, 2));
    overlay(0, w, -h, 0);
    topLeftUI(world, &player);

    // The frame fills the top-left 200 x 200, its image's first row at the top.
    EXPECT_TRUE(near(pixelAt(3, 1020), GREY));
    EXPECT_TRUE(near(pixelAt(196, 1024 - 197), NAVY));
    EXPECT_FALSE(near(pixelAt(203, 1020), GREY));

    ColourBox me = colourBox(YELLOW, 0, 824, 200, 200);
    EXPECT_NEAR(me.cx(), 100, 0.6);  // 100 px from the left and from the top
    EXPECT_NEAR(me.cy(), 1024 - 100, 0.6);
    EXPECT_NEAR(me.x1 - me.x0, 2 * 500 * 0.00825, 1.0);

    // 5000 units is 41.25 px; the ship exactly 10000 below is not drawn.
    ColourBox ships = colourBox(GREEN, 0, 824, 200, 200);
    EXPECT_NEAR(ships.cx(), 100 + 41.25, 0.6);
    EXPECT_NEAR(ships.cy(), 1024 - 100, 0.6);
    EXPECT_EQ(ships.y0, me.y0);
    EXPECT_EQ(ships.count, me.count);
    EXPECT_TRUE(near(pixelAt(100, 1024 - 183), NAVY));  // where the ship at 10000 would be
}

TEST_F(HudTest, MapShowsStarsAndPlanetsInRangeWithThePlayerOffCentre)
{
    const point me = player.location;
    Star nearStar(offset(me, -50000, 0), 500, 1, TEX_BLUESTAR, "near");
    Planet farPlanet(0, 100, 1, 1000, 0, 0, 0, 0, TEX_MARS, "far");
    farPlanet.location = offset(me, -100000, 0);
    nearStar.planets.push_back(farPlanet);
    Star farStar(offset(me, 100000, 0), 500, 1, TEX_BLUESTAR, "far");
    Planet nearPlanet(1, 100, 1, 1000, 0, 0, 0, 0, TEX_MARS, "near");
    nearPlanet.location = offset(me, 0, -60000);
    farStar.planets.push_back(nearPlanet);
    world.stars = {nearStar, farStar};

    overlay(-w, 0, -h, 0);
    topRightUI(world, &player);

    // The box is w + 200 by h + 200 units over the window.
    const float unitX = 1280.0f / 1480, unitY = 1024.0f / 1224;
    const float originX = 1280 - 86.5f, originY = 1024 - 83.66f;
    ColourBox me1 = colourBox(YELLOW, 1000, 700, 280, 324);
    EXPECT_NEAR(me1.cx(), originX, 0.6);
    EXPECT_NEAR(me1.cy(), originY, 0.6);

    ColourBox stars = colourBox(Rgb{255, 51, 51}, 1000, 700, 280, 324);
    EXPECT_NEAR(stars.cx(), originX - 50000 * 0.00084f * unitX, 0.6);
    EXPECT_NEAR(stars.cy(), originY, 0.6);
    EXPECT_NEAR(stars.x1 - stars.x0, 2 * 10000 * 0.00084f * unitX, 1.0);  // only the star in range

    ColourBox planets = colourBox(Rgb{0, 255, 51}, 1000, 700, 280, 324);
    EXPECT_NEAR(planets.cx(), originX, 0.6);  // its star is out of range, the planet is not
    EXPECT_NEAR(planets.cy(), originY - 60000 * 0.00084f * unitY, 0.6);
    EXPECT_NEAR(planets.y1 - planets.y0, 2 * 8000 * 0.00084f * unitY, 1.0);

    // The frame in the top-right 200 x 200, its image's first row at the bottom.
    EXPECT_TRUE(near(pixelAt(1083, 1020), NAVY));
    EXPECT_TRUE(near(pixelAt(1277, 1024 - 197), GREY));
    GLint mode = 0;
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &mode);
    EXPECT_EQ(mode, GL_REPLACE);
}

TEST_F(HudTest, PointerIsASixtyPixelSquareAndLeavesNoTextureBound)
{
    pixelProjection();
    GLint depthBefore = 0, depthAfter = 0, bound = -1;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthBefore);
    drawMouse(point{300, 400});
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depthAfter);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(depthAfter, depthBefore);
    EXPECT_EQ(bound, 0);
    ColourBox pointer = colourBox(RED, 0, 0, 1280, 1024);
    EXPECT_EQ(pointer.x0, 270);
    EXPECT_EQ(pointer.y0, 370);
    EXPECT_EQ(pointer.count, 60 * 60);
}

TEST_F(HudTest, BoundaryOnTheBackLayerMovesAtHalfTheSpeedAndKeepsTheColour)
{
    GameLoop loop;
    setCamera(loop, point{99000, 0});
    glDisable(GL_TEXTURE_2D);
    glColor4f(0, 0.7f, 0, 1);
    drawBoundary();
    float colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_FLOAT_EQ(colour[1], 0.7f);
    EXPECT_FLOAT_EQ(colour[0], 0);

    // The edge x = 100000 lies 1000 units right of the player: 256 px on the
    // world plane, 10000 / 20001 of that behind it.
    ColourBox white = colourBox(Rgb{255, 255, 255}, 0, 500, 1280, 24);
    ColourBox red = colourBox(RED, 0, 500, 1280, 24);
    EXPECT_NEAR(white.cx(), 640 + 1000 * 0.256f * 10000 / 10001, 1.0);
    EXPECT_NEAR(red.cx(), 640 + 1000 * 0.256f * 10000 / 20001, 1.0);
}

TEST_F(HudTest, FrameGraphRunsFromOldestAtLeftAndWritesOneEmptyLine)
{
    std::vector<int> frameTimes(5000, 20);
    std::fill(frameTimes.begin() + 2500, frameTimes.end(), 10);  // from frameIndex on: the oldest
    glDisable(GL_TEXTURE_2D);
    overlay(0, w, 0, h);
    StdoutCapture out;
    drawFrameGraph(frameTimes, 2500);
    drawFrameGraph(frameTimes, 2500);
    EXPECT_EQ(out.text(), "\n\n");

    const Rgb graph{77, 77, 255}, grid{51, 51, 51};
    EXPECT_TRUE(lineAt(320, 5 + 3 * 10, graph));
    EXPECT_FALSE(lineAt(320, 5 + 3 * 20, graph));
    EXPECT_TRUE(lineAt(960, 5 + 3 * 20, graph));
    EXPECT_FALSE(lineAt(960, 5 + 3 * 10, graph));
    for (int y = 5; y <= 32; y += 3) EXPECT_TRUE(lineAt(100, y, grid)) << y;
    EXPECT_FALSE(lineAt(100, 35, grid));
}

struct CountedTimer : TimerBase {
    void execute(int, WorldState&) override {}
    std::unique_ptr<TimerBase> clone() const override { return std::make_unique<CountedTimer>(*this); }
};

TEST_F(HudTest, DebugTextsCountTheWorldAndDrawSixLinesBottomUp)
{
    Font font(std::string(VUMTAL_ASSETS_DIR) + "/subatomic.quelvane.ttf");
    ASSERT_EQ(font.ready, 1);
    world.timers.emplace_back(std::make_unique<CountedTimer>());
    world.ships.push_back(Ship(point{0, 0}, 1, 1));
    world.ships.push_back(Ship(point{0, 0}, 1, 2));
    DebugTexts texts;
    texts.fps = "FPS: 60.0394";
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    overlay(0, w, 0, h);

    drawDebugTexts(texts, world, &player, nullptr);
    EXPECT_EQ(litPixels(0, 0, 1280, 1024), 0);
    EXPECT_EQ(texts.ships, "Ships: 2");
    EXPECT_EQ(texts.timers, "Timers: 1");
    EXPECT_EQ(texts.projectiles, "Projectiles: 0");
    EXPECT_EQ(texts.hitPoints, "Player HP: 1000");

    drawDebugTexts(texts, world, &player, &font);
    for (int y = 0; y <= 150; y += 30) EXPECT_GT(litPixels(0, y + 2, 400, 20), 20) << "line at " << y;
    EXPECT_EQ(litPixels(0, 190, 1280, 834), 0);
    EXPECT_EQ(litPixels(400, 0, 880, 190), 0);
    glDisable(GL_BLEND);
    world.timers.clear();
}
