#include "game/gameMain.h"

#include <GL/glew.h>
#include <GL/glu.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <memory>

#include "core/dataFiles.h"
#include "core/options.h"
#include "entities/worldState.h"
#include "data/defaultVals.h"
#include "data/emitterData.h"
#include "world/loadGalaxy.h"
#include "data/shaders.h"
#include "entities/player.h"
#include "entities/timer.h"
#include "core/diagnostics.h"
#include "sim/frameProcessing.h"
#include "game/hud.h"
#include "render/batch.h"
#include "render/font.h"
#include "render/imagePreload.h"
#include "render/textures.h"
#include "render/view.h"
#include "script/budgetedCall.h"
#include "script/sandbox.h"
#include "script/startLua.h"
#include "sound/soundBank.h"
#include "sound/soundMixer.h"
#include "ui/uiDisplay.h"
#include "world/loadPlayer.h"

static const float additiveColour[4] = {1, 0, 0, 1};
static const float pointerColour[4] = {0, 0.7f, 0, 1};

// Window, GL context and GLEW. False (after its message) when the game cannot go on.
static bool openWindow()
{
    // Sound starts on its own later: a machine without it still plays.
    if (SDL_Init(SDL_INIT_TIMER | SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "SDL init failed: %s\n", SDL_GetError());
        return false;
    }
    sayLine("SDL initialized");
    std::atexit(SDL_Quit);

    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    static char centred[] = "SDL_VIDEO_CENTERED=center";
    SDL_putenv(centred);
    if (!SDL_SetVideoMode(w, h, 32, SDL_OPENGL)) {
        std::printf("Unable to set %d x %d 32b video: %s\n", w, h, SDL_GetError());
        std::exit(1);
    }
    SDL_WM_SetCaption("Vumtal", "Vumtal?");
    SDL_WM_GrabInput(SDL_GRAB_ON);
    SDL_ShowCursor(SDL_DISABLE);
    SDL_EnableUNICODE(1);

    GLenum glewResult = glewInit();
    if (glewResult != GLEW_OK)
        std::printf("Error, %s\n", reinterpret_cast<const char*>(glewGetErrorString(glewResult)));
    else
        sayLine("Glew is initialized");
    return true;
}

static void initialGlState()
{
    glViewport(0, 0, w, h);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluOrtho2D(-110000.0 * w / h, 110000.0 * w / h, -110000, 110000);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glEnable(GL_BLEND);
}

static void runUiScript(lua_State* L)
{
    sayLine("Loading LUA");
    // Budgeted: a script that never returns must not hold the game at start-up.
    if (loadScriptFile(L, dataFile("ui.lua").c_str()) != 0 || !callLuaBudgeted(L, "ui.lua", 0, LUA_MULTRET)) sayLine("Error opening ui.lua");
    stackDump(L);
    lua_settop(L, 0);  // the later exchanges start from an empty stack
}

int SDL_main(int argc, char** argv)
{
    emitters = readAndExpandEmitterData();  // first: the galaxy loader checks the wormholes against them
    const Options options = parseOptions(argc, argv);  // the entry already turned a bad command line away
    sayLine("Starting this thing");
    // Decoding needs no window: images and sounds decode while the window opens.
    preloadTextureImages([] { decodeSounds(soundFilesOfDataFolders()); });
    if (!openWindow()) return 1;
    initialGlState();

    loadTextures();
    loadUITextures();
    if (!initializeShipArray()) return 1;
    shaders = readShaders();
    sayLine("Ver17");

    // Static, as is the font below: they stay reachable (not leaked) on every
    // way out, early returns included. The loop owns the universe and the player.
    static GameLoop loop;
    loop.reseed(options.seedGiven ? options.seed : std::uint64_t(std::time(nullptr)));
    loop.lastTicks = SDL_GetTicks();
    int ignoredX, ignoredY;
    SDL_GetRelativeMouseState(&ignoredX, &ignoredY);  // the pointer starts exactly at the centre

    auto universe = std::make_unique<Universe>();
    if (!universe->loadError.empty()) {
        std::fprintf(stderr, "%s\n", universe->loadError.c_str());
        return 1;
    }
    universe->worlds.push_back(WorldState());
    // The game clock reads 0 at lastTicks; the spawner's starts once the galaxy's documents are read.
    loop.spawnClock = SDL_GetTicks() - loop.lastTicks;
    loop.pointerPos = point{50, 50};

    std::unique_ptr<Player> player(initializePlayer());
    loop.own(std::move(universe), std::move(player));
    sayLine("Player initialized");

    loop.L = newScriptState();
    if (!loop.L) return 1;
    runUiScript(loop.L);

    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);

    sayLine("Loading font");
    static Font* font = new Font(dataFile("subatomic.quelvane.ttf"));

    sayLine("Initializing stars");
    if (!initializeStars(*loop.universe, loop.L)) return 1;
    loop.fonts.push_back(font);
    loop.aspect = float(w) / float(h);

    initLua(*loop.universe, loop.L);
    testXML();
    finishImagePreload();  // the sounds decode there after the images
    indexSounds();
    for (const projectileData& weapon : WEAPONDATA)
        if (!weapon.sound.empty()) soundNamed(weapon.sound);  // a name that is not there is said now, once

    WorldState& world = loop.universe->currentWorld();
    world.ships.push_back(Ship(point{50, 50}, 1, world.getNewShipID()));

    // Started last: on a machine without sound the search for a device would
    // otherwise take its time from the loading.
    beginOpeningSound(options.mute);
    sayLine("Done with that, now starting main loop");
    for (;;) runFrame(loop);
}

void updateTiming(GameLoop& loop, unsigned int ticks)
{
    loop.dt = int(ticks - loop.lastTicks);
    loop.elapsed += loop.dt;
    loop.frames += 1;
    loop.frameTimes[loop.frameIndex] = loop.dt;
    loop.frameIndex = (loop.frameIndex + 1) % 5000;
    if (loop.elapsed > 1000) {
        loop.texts.fps = "FPS: " + toString(loop.frames / (loop.elapsed / 1000));
        loop.frames = 0;
        loop.elapsed = 0;
    }
    loop.lastTicks = ticks;
}

void setCamera(const GameState& game, point p)
{
    batch.flush();
    float halfH = game.zoom * 0.5f;
    float halfW = game.aspect * halfH;
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glFrustum(-halfW, halfW, -halfH, halfH, 10000 * game.nearScale, 30000 * game.farScale);
    glTranslatef(-p.x, -p.y, 0);
    glTranslatef(0, 0, -10000 * game.nearScale);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(0, 0, -1);
    setView(p, halfW, halfH, 10000 * game.nearScale, 10000 * game.nearScale + 1, h, 30000 * game.farScale);
}

void hoverAndDragPanels(GameLoop& loop)
{
    for (uiDisplay& panel : loop.universe->uiDisplays) panel.mouseHover(loop.pointerPos);
    if (!loop.command.dragging) return;
    for (uiDisplay& panel : loop.universe->uiDisplays) panel.mouseDrag(loop.pointerPos, loop.dt, *loop.universe, loop.L);
}

// A panel whose update leaves it empty goes at once; the next one takes its index.
void drawAndUpdatePanels(std::vector<uiDisplay>& panels, lua_State* L)
{
    for (size_t i = 0; i < panels.size();) {
        panels[i].draw();
        if (panels[i].update(L)) ++i;
        else panels.erase(panels.begin() + long(i));
    }
}

void drawWorld(const GameState& game)
{
    const Universe& universe = *game.universe;
    const Player& player = *universe.player;
    const WorldState& world = universe.worlds[size_t(player.getWorld())];

    setCamera(game, game.seen.camera);
    drawBackground();
    drawBeam(player.beam);

    // Glowing things first, added onto what is behind them.
    batch.colour(additiveColour[0], additiveColour[1], additiveColour[2], additiveColour[3]);
    batch.blend(BLEND_SRC_ALPHA, BLEND_ONE);
    const int gates = game.seen.wormholeWorld;
    if (gates >= 0 && size_t(gates) < universe.worlds.size())
        for (const Wormhole& gate : universe.worlds[size_t(gates)].wormholes) drawWormhole(gate, int(game.now));
    drawWorldBodies(world, player, game.seen, int(game.now));
    clearView();  // the overlays below draw in other projections
}

void drawWorldBodies(const WorldState& world, const Player& player, const SeenFrame& seen, int now)
{
    forEachSeen(world.projectiles, world.fallenProjectiles, [](const Projectile& shot) { drawProjectile(shot); });
    drawPlayerTrailAt(player, seen.playerAt);
    drawTimers(world, now);

    batch.blend(BLEND_SRC_ALPHA, BLEND_ONE_MINUS_SRC_ALPHA);
    drawPlayerAt(player, seen.playerAt, seen.playerAngle);
    forEachSeen(world.ships, world.fallenShips, [](const Ship& ship) {
        ship.trail.draw(ship.location);
        drawEnemy(ship.location, ship.getTheta());
    });
    for (const Star& star : world.stars) drawStarSystem(star);
}

void runFrame(GameLoop& loop)
{
    updateTiming(loop, SDL_GetTicks());
    const Command& command = readCommand(loop);
    hoverAndDragPanels(loop);
    playEventSounds(stepGame(loop, command, loop.dt));

    Universe& universe = *loop.universe;
    Player* player = universe.player;
    drawWorld(loop);
    batch.colour(pointerColour[0], pointerColour[1], pointerColour[2], pointerColour[3]);
    drawMouse(aimPoint(loop, player->location));
    drawBoundary();
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

    // The overlay keeps the model-view translation of the camera.
    loadOrtho(0, w, 0, h);
    drawFrameGraph(loop.frameTimes, loop.frameIndex);
    drawDebugTexts(loop.texts, universe.currentWorld(), player, loop.fonts.empty() ? nullptr : loop.fonts[0]);

    loadOrtho(0, 100, 0, 100);
    drawAndUpdatePanels(universe.uiDisplays, loop.L);

    loadOrtho(0, w, -h, 0);
    topLeftUI(universe.currentWorld(), player);
    loadOrtho(-w, 0, -h, 0);
    topRightUI(universe.currentWorld(), player);

    batch.flush();
    playFrameSounds(player->location, loop.aspect * loop.zoom * 0.5f);
    SDL_GL_SwapBuffers();
    glClear(GL_COLOR_BUFFER_BIT);
}
