// The frame loop's own steps: timing, spawning, events, pointer and camera.
#include <gtest/gtest.h>

#include <GL/glew.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <vector>

#include "entities/worldState.h"
#include "data/defaultVals.h"
#include "data/shaders.h"
#include "entities/player.h"
#include "entities/timer.h"
#include "entities/timerClasses.h"
#include "sim/frameProcessing.h"
#include "game/gameMain.h"
#include "game/hud.h"
#include "render/background.h"
#include "render/batch.h"
#include "render/font.h"
#include "render/textures.h"
#include "render/view.h"
#include "support/busyGame.h"
#include "support/dataTables.h"
#include "support/glFixture.h"
#include "support/testFiles.h"
#include "ui/uiBar.h"
#include "ui/uiBox.h"
#include "ui/uiButton.h"
#include "ui/uiDisplay.h"
#include "ui/uiScroller.h"
#include "ui/uiSlider.h"

class LoopTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SHIPDATA = {{0, 0, -1, 10, 5}, {1, 0.01f, 1, 10, 5}};
        universe.worlds.push_back(WorldState());
        universe.player = &player;
        loop.universe = &universe;
    }

    SDL_Event keyDown(SDLKey key)
    {
        SDL_Event event{};
        event.type = SDL_KEYDOWN;
        event.key.keysym.sym = key;
        return event;
    }
    SDL_Event button(Uint8 which)
    {
        SDL_Event event{};
        event.type = SDL_MOUSEBUTTONDOWN;
        event.button.button = which;
        return event;
    }

    // An event as a frame takes it: into the command, then the step applies it.
    EventResult press(const SDL_Event& event)
    {
        EventResult result = handleEvent(loop, event);
        applyActions(loop, loop.command.pressed);
        loop.command.pressed.clear();
        return result;
    }

    TablesGuard tables;
    Universe universe{"/nonexistent/test.xml", "/nonexistent/projectiles.xml"};
    Player player{point{0, 0}};
    GameLoop loop;
};

TEST_F(LoopTest, FpsTextWaitsForMoreThanOneSecond)
{
    loop.lastTicks = 0;
    unsigned t = 0;
    for (int i = 0; i < 60; ++i) updateTiming(loop, t += 16);  // 960 ms
    updateTiming(loop, t += 40);                                 // exactly 1000 ms
    EXPECT_EQ(loop.texts.fps, "");
    updateTiming(loop, t += 16);  // 61 frames... 62 frames over 1016 ms
    EXPECT_EQ(loop.texts.fps, "FPS: " + toString(62 / (1016.0f / 1000)));
    EXPECT_EQ(loop.frames, 0);
    EXPECT_EQ(loop.elapsed, 0);
    EXPECT_EQ(loop.lastTicks, t);
    EXPECT_EQ(loop.now, 0u);  // the game clock is the step's, not the wall's
}

TEST_F(LoopTest, FrameTimesRingWrapsAndKeepsTheNewest)
{
    loop.lastTicks = 0;
    for (unsigned i = 1; i <= 5001; ++i) updateTiming(loop, loop.lastTicks + (i % 7));
    EXPECT_EQ(loop.frameIndex, 1u);
    EXPECT_EQ(loop.frameTimes[0], 5001 % 7);
    EXPECT_EQ(loop.frameTimes[4999], 5000 % 7);
}

TEST_F(LoopTest, SpawnsOneShipPerFrameOnlyAfterTheInterval)
{
    loop.spawnClock = 1000;
    loop.now = 1500;  // not strictly after 1000 + 500
    spawnEnemies(loop);
    EXPECT_TRUE(universe.worlds[0].ships.empty());
    loop.now = 100000;  // a long backlog still gives one ship
    spawnEnemies(loop);
    ASSERT_EQ(universe.worlds[0].ships.size(), 1u);
    EXPECT_EQ(universe.worlds[0].ships.front().id, 1u);
    EXPECT_EQ(loop.spawnClock, 100000u);
    spawnEnemies(loop);
    EXPECT_EQ(universe.worlds[0].ships.size(), 1u);
}

TEST_F(LoopTest, SpawnedShipsKeepTheirDistanceFromThePlayer)
{
    for (int i = 0; i < 300; ++i) {
        loop.now += 1000;
        spawnEnemies(loop);
    }
    ASSERT_EQ(universe.worlds[0].ships.size(), 300u);
    for (const Ship& ship : universe.worlds[0].ships) EXPECT_GE(pointDistance(ship.location, player.location), 20000);
}

TEST_F(LoopTest, KeysChangeSpawnIntervalCameraAndWeapon)
{
    press(keyDown(SDLK_MINUS));
    press(keyDown(SDLK_MINUS));
    EXPECT_FLOAT_EQ(loop.spawnInterval, 2000);
    for (int i = 0; i < 5; ++i) press(keyDown(SDLK_EQUALS));
    EXPECT_FLOAT_EQ(loop.spawnInterval, 62.5f);
    press(keyDown(SDLK_n));
    EXPECT_FLOAT_EQ(loop.nearScale, 1.2f);
    press(keyDown(SDLK_m));
    EXPECT_FLOAT_EQ(loop.nearScale, 1);
    press(keyDown(SDLK_c));
    press(keyDown(SDLK_c));
    EXPECT_NEAR(loop.farScale, 0.6944f, 1e-4);
    press(keyDown(SDLK_x));
    EXPECT_NEAR(loop.farScale, 0.8333f, 1e-4);
    player.input = false;  // the weapon still changes
    press(keyDown(SDLK_7));
    EXPECT_EQ(player.weapon, 6);
    press(keyDown(SDLK_1));
    EXPECT_EQ(player.weapon, 0);
    press(keyDown(SDLK_8));
    EXPECT_EQ(player.weapon, 0);
    loop.now += 100000;
    spawnEnemies(loop);
    StdoutCapture capture;
    press(keyDown(SDLK_p));
    EXPECT_EQ(capture.text(), "Counts: ships 1, projectiles 0, timers 0, world 0\n");
}

TEST_F(LoopTest, WheelZoomsAndQuitRequestsEndTheGame)
{
    for (int i = 0; i < 3; ++i) press(button(SDL_BUTTON_WHEELUP));
    EXPECT_NEAR(loop.zoom, 2314.81f, 0.01f);
    press(button(SDL_BUTTON_WHEELDOWN));
    EXPECT_NEAR(loop.zoom, 2777.78f, 0.01f);
    EXPECT_EQ(handleEvent(loop, keyDown(SDLK_q)), EventResult::Quit);
    EXPECT_EQ(handleEvent(loop, keyDown(SDLK_w)), EventResult::Continue);
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    loop.L = luaL_newstate();
    EXPECT_EQ(handleEvent(loop, quit), EventResult::Quit);
    EXPECT_EQ(loop.L, nullptr);
}

TEST_F(LoopTest, ETellsTheScriptAndLeftClicksReachEveryPanel)
{
    loop.L = luaL_newstate();
    luaL_dostring(loop.L, "function addUI(kind, a, b, c) return {type = 'button', x1 = 40, y1 = 40, x2 = 60, y2 = 60},"
                          " 'p' .. kind .. ' ' .. a .. ' ' .. b .. ' ' .. c end");
    StdoutCapture out;
    handleEvent(loop, keyDown(SDLK_e));
    handleEvent(loop, keyDown(SDLK_e));
    std::string once = "Firing event\nEvent type 1 calling\nSet name: p1 6.4000000953674 9.3999996185303 -94\nEvent completed\n";
    EXPECT_EQ(out.text(), once + once);
    ASSERT_EQ(universe.uiDisplays.size(), 2u);
    handleEvent(loop, button(SDL_BUTTON_RIGHT));
    handleEvent(loop, button(SDL_BUTTON_LEFT));
    for (uiDisplay& panel : universe.uiDisplays) {
        EXPECT_EQ(static_cast<uiButton*>(panel.elements[0])->state, 3);
        EXPECT_TRUE(panel.elements[0]->modified);
    }
    lua_close(loop.L);
}

// Each factor stops at a bound instead of reaching 0 or infinity, so the way back
// always works: 442 wheel clicks used to leave the zoom infinite for good.
TEST_F(LoopTest, ZoomCameraAndSpawnFactorsStayWithinBoundsBothWays)
{
    struct Case {
        SDL_Event push, back;
        float GameState::*factor;
        float low, high;
    } cases[] = {
        {button(SDL_BUTTON_WHEELDOWN), button(SDL_BUTTON_WHEELUP), &GameState::zoom, 100, 1000000},
        {keyDown(SDLK_n), keyDown(SDLK_m), &GameState::nearScale, 1.0f / 64, 64},
        {keyDown(SDLK_x), keyDown(SDLK_c), &GameState::farScale, 1.0f / 64, 64},
        {keyDown(SDLK_MINUS), keyDown(SDLK_EQUALS), &GameState::spawnInterval, 1, 3600000},
    };
    for (const Case& c : cases) {
        for (int i = 0; i < 500; ++i) press(c.push);
        EXPECT_EQ(loop.*c.factor, c.high);
        for (int i = 0; i < 1000; ++i) press(c.back);
        EXPECT_EQ(loop.*c.factor, c.low);
        press(c.push);
        EXPECT_GT(loop.*c.factor, c.low);
    }
}

TEST_F(LoopTest, PointerClampsWithoutOvershoot)
{
    point p{50, 50};
    movePointer(p, -1000, 0);
    EXPECT_FLOAT_EQ(p.x, 0);
    movePointer(p, 10, 20);  // screen y down moves the pointer down
    EXPECT_FLOAT_EQ(p.x, 1.5f);
    EXPECT_FLOAT_EQ(p.y, 47);
    movePointer(p, 0, -1000);
    EXPECT_FLOAT_EQ(p.y, 100);
}

TEST_F(LoopTest, AimPointFollowsZoomAroundThePlayer)
{
    point at = aimPoint(loop, point{100, 200});
    EXPECT_FLOAT_EQ(at.x, 100);
    EXPECT_FLOAT_EQ(at.y, 200);
    loop.pointerPos = point{0, 100};
    at = aimPoint(loop, point{100, 200});
    EXPECT_FLOAT_EQ(at.x, 100 - 2500);  // halfW = 1.25 * 2000
    EXPECT_FLOAT_EQ(at.y, 200 + 2000);
}

class CameraTest : public GlTest {
protected:
    // Window coordinates (and depth) of a world point under the current matrices.
    static void project(double x, double y, double z, GLdouble& wx, GLdouble& wy, GLdouble& wz)
    {
        GLdouble model[16], proj[16];
        GLint view[4];
        glGetDoublev(GL_MODELVIEW_MATRIX, model);
        glGetDoublev(GL_PROJECTION_MATRIX, proj);
        glGetIntegerv(GL_VIEWPORT, view);
        gluProject(x, y, z, model, proj, view, &wx, &wy, &wz);
    }
};

// The world plane z = 0 fills the screen with zoom by zoom*aspect units around the player.
TEST_F(CameraTest, WorldWindowAroundThePlayerFillsTheScreen)
{
    GameLoop loop;
    for (float nearScale : {1.0f, 2.5f}) {
        loop.nearScale = nearScale;
        setCamera(loop, point{1000, -500});
        GLdouble x, y, z;
        project(1000 + 2500, -500 + 2000, 0, x, y, z);
        EXPECT_NEAR(x, 1280, 0.2);
        EXPECT_NEAR(y, 1024, 0.2);
        project(1000, -500, 0, x, y, z);
        EXPECT_NEAR(x, 640, 0.01);
        EXPECT_NEAR(y, 512, 0.01);
    }
}

TEST_F(CameraTest, BackgroundLayerShowsParallaxAndFarPlaneCutsIt)
{
    GameLoop loop;
    setCamera(loop, point{0, 0});
    GLdouble x, y, z;
    project(2500, 0, -10000, x, y, z);
    EXPECT_NEAR(x - 640, 640 * 10000.0 / 20001.0, 0.5);  // about half scale
    EXPECT_LT(z, 1.0);
    loop.farScale = 1 / (1.2f * 1.2f * 1.2f);  // "c" three times: far plane 17361 < 20001
    setCamera(loop, point{0, 0});
    project(2500, 0, -10000, x, y, z);
    EXPECT_GT(z, 1.0);  // beyond the far plane: clipped away
}

// Things wholly outside the view are not drawn, and nothing else changes: the
// same world under several cameras gives the same pixels with culling on and
// off. Drawing shape by shape through the matrix stack, as the game did before
// it batched, gives the batched picture too, but for corners turned on the CPU
// rounding apart by a level or two on a few edge pixels.
TEST_F(CameraTest, CullingAndBatchingLeaveEveryPixelAsItWas)
{
    TablesGuard tables;
    shaders = shippedPrograms();  // the ribbon program, for the ships' trails
    WEAPONDATA.assign(4, projectileData());
    WEAPONDATA[0].size = 30;
    WEAPONDATA[3].homingRange = 6000;
    SHIPDATA = {{0, 0, -1, 10, 5}};
    struct Camera {
        point at;
        float zoom;
        float nearScale;
        int lit;  // at least this many pixels show something
    };
    // The default camera, three with zoom and parallax, and 22 wheel clicks out.
    const Camera cameras[] = {{{0, 0}, 4000, 1, 2000},
                              {{2600, -1900}, 1500, 1, 2000},
                              {{-3000, 1000}, 20000, 2.5f, 2000},
                              {{500, 300}, 9000, 1.5f, 2000},
                              {{0, 0}, 4000 * std::pow(1.2f, 22.f), 1, 40}};

    // Ships, shots, bodies and effects inside, across the edges and outside
    // every view, on a grid that leaves some straddling each border.
    WorldState world;
    for (float x = -9000; x <= 9000; x += 1150)
        for (float y = -7000; y <= 7000; y += 1270) {
            world.ships.push_back(Ship(point{x, y}, 0, unsigned(world.getNewShipID())));
            // An 800-unit trail behind each ship, turning a quarter each ship, so
            // that some reach into a view their ship lies outside.
            Ship& ship = world.ships.back();
            Trail& trail = ship.trail;
            const point back = world.ships.size() % 2 ? point{40, 0} : point{0, -40};
            const float sign = world.ships.size() % 4 < 2 ? 1.f : -1.f;
            for (int i = 0; i <= trail.length; ++i)
                trail.points[size_t(i)] = point{x + sign * back.x * float(trail.length - i), y + sign * back.y * float(trail.length - i)};
            trail.head = trail.length;
            ship.theta = x * 0.001f + y * 0.0007f;  // every heading, for the corners turned on the CPU
            world.projectiles.push_back(Projectile(point{x + 400, y + 300}, x, world, int(x + y) & 1 ? 3 : 0, 0, 0));
        }
    Star star(point{2800, 2100}, 600, 1, TEX_BLUESTAR, "Edge");
    star.addPlanet(Planet(0, 300, 1, 3000, 0, 200, 0, 30, TEX_MARS, "Far"));
    world.stars.push_back(star);
    world.stars[0].planets[0].location = point{-2600, -2000};
    world.timers.emplace_back(std::make_unique<TExplosion>(900, 1000, point{-2400, 1600}));
    world.timers.emplace_back(std::make_unique<TShockwave>(200, 0, 2000, point{2500, -1700}));
    world.timers.emplace_back(std::make_unique<TShockwave>(200, 0, 2000, point{9000, 9000}));

    // A short trail just above the second view: its samples are 13.75 units
    // beyond the edge, and only the ribbon's width reaches in.
    Trail edge(20, point{0, 0}, 20, 10, 1, 0, 0);
    for (int i = 0; i <= edge.length; ++i) edge.points[size_t(i)] = point{2580.f + float(i), -1136.25f};
    edge.head = edge.length;

    Player player{point{300, -200}};
    player.setAngle(0.7f);

    // The overlays on top: the statistics text, and a panel whose labels lie on
    // their buttons and whose outlines cross the world below and each other.
    const std::vector<unsigned> savedUiTextures = uiTextures;
    {
        ScopedWorkingDir cd(VUMTAL_ASSETS_DIR);
        StdoutCapture quiet;
        loadUITextures();
    }
    Font font(std::string(VUMTAL_ASSETS_DIR) + "/subatomic.quelvane.ttf");
    ASSERT_EQ(font.ready, 1);
    std::vector<std::unique_ptr<uiDisplayBase>> elements;
    elements.emplace_back(new uiBox(20, 20, 80, 80, "Market: Aqua", &font, false));
    elements.emplace_back(new uiButton(25, 60, 45, 70, &font, "Buy", 0));
    elements.emplace_back(new uiButton(34, 58, 75, 68, &font, "Sell all", 2));
    elements.emplace_back(new uiBar(25, 48, 75, 53, 0, 100, 37));
    elements.emplace_back(new uiSlider(25, 30, 75, 38, 5, 0, 10, 7));
    elements.emplace_back(new uiSlider(82, 20, 88, 80, 6, 0, 10, 3));
    elements.emplace_back(new uiScroller(86, 20, 96, 80, 0, 10, 4));
    elements.emplace_back(new uiBox(5, 5, 60, 15, "Credits: 1200", &font, true));
    uiDisplay panel("market");
    for (auto& element : elements) panel.addDisplay(element.get(), "");
    auto overlayProjection = [](double right, double top) {
        batch.flush();
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluOrtho2D(0, right, 0, top);
        glMatrixMode(GL_MODELVIEW);
    };

    auto picture = [&](const Camera& camera, bool culling, bool immediate) {
        cullingEnabled = culling;
        batch.immediate = immediate;
        WorldState copy = world;
        GameLoop loop;
        loop.zoom = camera.zoom;
        loop.nearScale = camera.nearScale;
        glClear(GL_COLOR_BUFFER_BIT);
        glEnable(GL_TEXTURE_2D);
        glEnable(GL_BLEND);
        glColor4f(1, 0, 0, 1);
        glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);  // as every frame after the first
        glBlendFunc(GL_SRC_ALPHA, GL_ONE);
        setCamera(loop, camera.at);
        processProjectiles(copy, 0, 1000);
        runTimer(1000, copy);
        processShips(copy, &player, 0);
        processStars(copy, &player, 0);
        // Then drawn as the frame draws the world: what fell into the star still shows.
        forEachSeen(copy.projectiles, copy.fallenProjectiles, [](const Projectile& shot) { drawProjectile(shot); });
        drawTimers(copy, 1000);
        batch.blend(BLEND_SRC_ALPHA, BLEND_ONE_MINUS_SRC_ALPHA);
        player.draw();
        forEachSeen(copy.ships, copy.fallenShips, [](const Ship& ship) {
            ship.trail.draw(ship.location);
            drawEnemy(ship.location, ship.getTheta());
        });
        for (const Star& star : copy.stars) drawStarSystem(star);
        edge.draw(point{2601, -1136.25f});
        clearView();
        overlayProjection(1280, 1024);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        batch.colour(0.3f, 0.3f, 1);  // the frame graph's, as in the game
        DebugTexts texts{"FPS: 60", "", "", "", ""};
        drawDebugTexts(texts, copy, &player, &font);
        overlayProjection(100, 100);
        panel.draw();
        std::vector<unsigned char> pixels(1280 * 1024 * 4);
        batch.flush();
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, 1280, 1024, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        cullingEnabled = true;
        batch.immediate = false;
        return pixels;
    };
    for (const Camera& camera : cameras) {
        const std::vector<unsigned char> everything = picture(camera, false, true);
        const std::vector<unsigned char> culled = picture(camera, true, true);
        const size_t shapes = batch.shapes, drawCalls = batch.drawCalls;
        const std::vector<unsigned char> batched = picture(camera, true, false);
        // Trails and hulls alternate ship by ship; where they lie apart on screen
        // (at the default camera, not in the crush 22 clicks out) they share runs.
        if (&camera == &cameras[0]) EXPECT_LT((batch.drawCalls - drawCalls) * 3, batch.shapes - shapes);
        EXPECT_GT(litPixels(0, 0, 1280, 1024), camera.lit) << "zoom " << camera.zoom;
        EXPECT_TRUE(everything == culled) << "zoom " << camera.zoom;
        size_t differing = 0;
        int worst = 0;
        for (size_t i = 0; i < culled.size(); i += 4) {
            int most = 0;
            for (size_t c = 0; c < 4; ++c) most = std::max(most, std::abs(int(culled[i + c]) - int(batched[i + c])));
            differing += most > 0;
            worst = std::max(worst, most);
        }
        EXPECT_LE(worst, 2) << "zoom " << camera.zoom << ", " << differing << " pixels differ";
        EXPECT_LE(differing, culled.size() / 4 / 1000) << "zoom " << camera.zoom;
    }
    uiTextures = savedUiTextures;
}

// The starfield's one pass of two texture units stands in for its two blended
// quads: the same picture within two levels (the two passes round to eight
// bits in between, the one pass does not), at the default camera,
// three and nine clicks out and with parallax; where a layer's edge or the far
// plane is in view the two passes are drawn as ever.
TEST_F(CameraTest, StarfieldInOnePassShowsWhatItsTwoLayersShowed)
{
    shippedPrograms();  // the shipped images, the starfield among them
    struct Camera {
        point at;
        int clicks;
        float nearScale, farScale;
        int worst;  // largest channel difference allowed
    } cameras[] = {{{1234, -567}, 0, 1, 1, 2}, {{-20000, 31000}, 3, 1, 1, 2}, {{5000, 5000}, 9, 1, 1, 2},
                   {{0, 0}, 2, 2.5f, 1, 2},    {{-98000, 0}, 0, 1, 1, 0},     {{0, 0}, 22, 1, 1, 0},
                   {{0, 0}, 0, 1, 1 / 1.728f, 0}};
    auto picture = [](const Camera& camera, bool twoPasses) {
        dustInTwoPasses = twoPasses;
        GameLoop loop;
        loop.zoom *= std::pow(1.2f, float(camera.clicks));
        loop.nearScale = camera.nearScale;
        loop.farScale = camera.farScale;
        glClear(GL_COLOR_BUFFER_BIT);
        glEnable(GL_TEXTURE_2D);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);  // as every frame after the first
        glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
        setCamera(loop, camera.at);
        drawBackground();
        clearView();
        dustInTwoPasses = false;
        std::vector<unsigned char> pixels(1280 * 1024 * 4);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, 1280, 1024, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    };
    for (const Camera& camera : cameras) {
        const std::vector<unsigned char> two = picture(camera, true), one = picture(camera, false);
        int worst = 0;
        size_t differing = 0, lit = 0;
        for (size_t i = 0; i < two.size(); i += 4) {
            int most = 0;
            for (size_t c = 0; c < 3; ++c) most = std::max(most, std::abs(int(two[i + c]) - int(one[i + c])));
            worst = std::max(worst, most);
            differing += most > 0;
            lit += two[i] + two[i + 1] + two[i + 2] > 30;
        }
        EXPECT_GT(lit, 5000u) << camera.clicks << " clicks";
        EXPECT_LE(worst, camera.worst) << camera.clicks << " clicks, " << differing << " pixels differ";
        // A filter chosen by the zoom must not change the pass's own state.
        GLint bound = 0, mode = 0, filter = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &mode);
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &filter);
        EXPECT_EQ(unsigned(bound), textureAt(textures, TEX_DUST));
        EXPECT_EQ(mode, GL_REPLACE);
        EXPECT_EQ(filter, GL_LINEAR_MIPMAP_NEAREST);
        EXPECT_EQ(glGetError(), GLenum(GL_NO_ERROR));
    }
}

// A box lights a pixel only if a pixel centre lies in it; the answer errs
// toward drawing wherever the camera or the numbers are not known.
TEST_F(CameraTest, OnlyABoxHoldingAPixelCentreMayLightAPixel)
{
    GameLoop loop;
    setCamera(loop, point{0, 0});  // the window's centre, 640.0, shows x = 0
    const float pixel = pixelSize();
    const float centre = 0.5f * pixel;  // the middle of pixel 640
    const struct {
        point low, high;
        bool culling, lights;
    } cases[] = {
        {{0.1f * pixel, 0.1f * pixel}, {0.4f * pixel, 0.4f * pixel}, true, false},  // between centres
        {{centre - 0.05f, centre - 0.05f}, {centre + 0.05f, centre + 0.05f}, true, true},
        {{centre - 0.05f, 0.1f * pixel}, {centre + 0.05f, 0.4f * pixel}, true, false},  // one axis only
        {{0.6f * pixel, 0.6f * pixel}, {1.4f * pixel, 1.4f * pixel}, true, false},
        {{0.6f * pixel, 0.6f * pixel}, {1.6f * pixel, 1.6f * pixel}, true, true},
        {{NAN, 0}, {NAN, 1}, true, true},
        {{0.1f * pixel, 0.1f * pixel}, {0.4f * pixel, 0.4f * pixel}, false, true},  // culling off draws all
    };
    for (const auto& c : cases) {
        cullingEnabled = c.culling;
        EXPECT_EQ(mayLightPixel(c.low, c.high), c.lights) << c.low.x / pixel << " to " << c.high.x / pixel;
    }
    cullingEnabled = true;
    clearView();
    EXPECT_TRUE(mayLightPixel(point{0.1f * pixel, 0.1f * pixel}, point{0.4f * pixel, 0.4f * pixel}));
}

// Drawing reads the state and changes nothing in it: the same game drawn after
// every step comes out as the one never drawn, and a state drawn twice without
// a step between (as a paused game is) gives the same picture.
class DrawnGame : public GlTest {};

TEST_F(DrawnGame, DrawingChangesNothingAndTheSameStateDrawsTheSamePicture)
{
    BusyGame plain(1234);
    plain.run(300);
    BusyGame drawn(1234);
    drawn.run(300, [](const GameState& game) {
        drawWorld(game);
        batch.flush();
        glClear(GL_COLOR_BUFFER_BIT);
    });
    EXPECT_EQ(drawn.hash(), plain.hash());

    auto picture = [&] {
        glClear(GL_COLOR_BUFFER_BIT);
        drawWorld(drawn.game);
        batch.flush();
        std::vector<unsigned char> pixels(1280 * 1024 * 4);
        glReadPixels(0, 0, 1280, 1024, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    };
    const unsigned long long before = drawn.hash();
    const std::vector<unsigned char> first = picture();
    EXPECT_TRUE(picture() == first);
    EXPECT_GT(litPixels(0, 0, 1280, 1024), 1000);
    EXPECT_EQ(drawn.hash(), before);
}
