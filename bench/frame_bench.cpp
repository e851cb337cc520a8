// Per-frame cost of each driver on the shared crowded scene, at 100, 1,000 and
// 2,000 ships with ten shots each; with --gl also with a real GL context (the
// drawing then runs through the driver) and the real game's frame; with --sound
// too the game's mixer is open (SDL_AUDIODRIVER picks the device) and the sound
// step of a busy frame is timed on its own.
#include <benchmark/benchmark.h>

#include <GL/glew.h>
#include <SDL.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <cstring>
#include <ctime>
#include <map>
#include <string>
#include <unistd.h>

#include <lua.hpp>

#include "entities/worldState.h"
#include "data/defaultVals.h"
#include "data/emitterData.h"
#include "data/shaders.h"
#include "world/loadGalaxy.h"
#include "world/loadPlayer.h"
#include "entities/timer.h"
#include "sim/frameProcessing.h"
#include "game/gameMain.h"
#include "render/font.h"
#include "render/textures.h"
#include "overlays.h"
#include "scene.h"
#if __has_include("render/batch.h")
#include "render/batch.h"
#define HAVE_BATCH 1
#endif
#if __has_include("entities/shipGrid.h")
#include "entities/shipGrid.h"
#define HAVE_SHIP_GRID 1
#endif
#if __has_include("sound/soundMixer.h")
#include "core/dataFiles.h"
#include "sound/soundBank.h"
#include "sound/soundMixer.h"
#define HAVE_SOUND 1
#endif

namespace {

const int NOW = 100000;
const int DT = 16;
bool withGl = false;
const char* shotFolder = nullptr;  // --shots DIR: the screen after each game/empty run, as a PNG
bool withSound = false;

using Driver = void (*)(WorldState&, Player&);
void projectiles(WorldState& world, Player&) { processProjectiles(world, DT, NOW); }
void timers(WorldState& world, Player&) { runTimer(NOW, world); }
void ships(WorldState& world, Player& player) { processShips(world, &player, DT); }
void stars(WorldState& world, Player& player) { processStars(world, &player, DT); }
// The world's part of a frame: its step and, with a GL context, its drawing.
void frame(WorldState& world, Player& player)
{
    benchFrame(world, player, DT, NOW);
    if (!withGl) return;
    SeenFrame seen;
    seen.playerAt = player.location;
    seen.playerAngle = player.getAngle();
    batch.blend(BLEND_SRC_ALPHA, BLEND_ONE);
    drawWorldBodies(world, player, seen, NOW);
}

void finishDrawing()
{
#ifdef HAVE_BATCH
    batch.flush();
#endif
    glFinish();
}

// Every pass starts from the same scene, copied while the clock is stopped.
void runDriver(benchmark::State& state, Driver driver)
{
    QuietStdout quiet;
    benchTables();
    const WorldState scene = benchScene(int(state.range(0)), 10, NOW);
    Player player(benchPlayerPlace());
    GameLoop view;
    for (auto _ : state) {
        state.PauseTiming();
        WorldState world = scene;
        Player copy = player;
        if (withGl) {
            setCamera(view, copy.location);
            glClear(GL_COLOR_BUFFER_BIT);
        }
        state.ResumeTiming();
        driver(world, copy);
        if (withGl) finishDrawing();  // the drawing is part of the cost
        benchmark::DoNotOptimize(world.ships.size());
        state.PauseTiming();
        world.timers.clear();  // shared with the scene; its own new ones are few
        state.ResumeTiming();
    }
}

// The game as it starts, on the shipped galaxy; made once per run. Null
// without the assets folder.
GameLoop* gameLoop()
{
    static GameLoop* loop = nullptr;
    if (!loop) {
        if (chdir(VUMTAL_ASSETS_DIR) != 0) return nullptr;
        glViewport(0, 0, w, h);
        glClearColor(0, 0, 0, 0);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE);
        glEnable(GL_BLEND);
        loadTextures();
        loadUITextures();
        initializeShipArray();
        // The effects as the game has them: flame, wormholes, and every ship's trail.
        emitters = readAndExpandEmitterData();
        shaders = readShaders();
        loop = new GameLoop;
        loop->universe = new Universe();
        loop->universe->worlds.push_back(WorldState());
        loop->universe->player = initializePlayer();
        loop->L = luaL_newstate();
        luaL_openlibs(loop->L);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        loop->fonts.push_back(new Font("subatomic.quelvane.ttf"));
        initializeStars(*loop->universe, loop->L);
    }
    return loop;
}

// Resident memory of this process, MB.
double residentMb()
{
    std::ifstream statm("/proc/self/statm");
    double pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * double(sysconf(_SC_PAGESIZE)) / (1024 * 1024);
}

double processCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1000 + double(t.tv_nsec) / 1e6;
}

// The screen as the last frame left it: the game clears its buffer after each
// swap, so the shot comes from the X server, as the end-to-end tests take theirs.
void writeShot(const std::string& path)
{
    const std::string command = "xwd -root -silent | convert xwd:- '" + path + "'";
    if (std::system(command.c_str()) != 0) std::fprintf(stderr, "no shot taken: %s\n", command.c_str());
}

// The current world emptied of ships and shots.
WorldState& emptyWorld(GameLoop& loop)
{
    WorldState& world = loop.universe->currentWorld();
    world.ships.clear();
    world.projectiles.clear();
    return world;
}

// The measured frames, with the camera this far out; no ship spawns meanwhile.
void runFrames(benchmark::State& state, GameLoop& loop, float zoom)
{
    loop.spawnClock = ~0u / 2;  // the count stays as set
    const float saved = loop.zoom;
    loop.zoom = zoom;
    loop.lastTicks = SDL_GetTicks();
    const double cpuBefore = processCpuMs();
    for (auto _ : state) {
        runFrame(loop);
        glFinish();
    }
    // Every thread's CPU, llvmpipe's rasterisers included: what the frame would
    // cost with the cores to itself, whatever else the machine is doing.
    if (state.iterations() > 0) state.counters["all_cpu_ms"] = (processCpuMs() - cpuBefore) / double(state.iterations());
    loop.zoom = saved;
    state.counters["ships"] = double(loop.universe->currentWorld().ships.size());
}

// The real frame loop on the shipped galaxy with extra ships spread over the
// playfield as the spawn timer spreads them.
void gameFrame(benchmark::State& state)
{
    QuietStdout quiet;
    GameLoop* loop = gameLoop();
    if (!loop) return state.SkipWithError("no assets folder");
    std::srand(7);
    WorldState& world = emptyWorld(*loop);
    for (int i = 0; i < int(state.range(0)); ++i)
        world.ships.push_back(Ship(point{randLoc(), randLoc()}, 1, unsigned(world.getNewShipID())));
    runFrames(state, *loop, loop->zoom);
}

// The empty game (no ships) zoomed out by the given number of wheel clicks:
// what the background costs.
void emptyFrame(benchmark::State& state)
{
    QuietStdout quiet;
    GameLoop* loop = gameLoop();
    if (!loop) return state.SkipWithError("no assets folder");
    emptyWorld(*loop);
    runFrames(state, *loop, loop->zoom * std::pow(1.2f, float(state.range(0))));
    if (shotFolder) writeShot(std::string(shotFolder) + "/empty-" + std::to_string(state.range(0)) + "-clicks.png");
}

// Zoomed out by 22 wheel clicks, the whole playfield in view: pursuers spread
// over it at top speed, each with its full trail behind it.
void zoomedFrame(benchmark::State& state)
{
    QuietStdout quiet;
    GameLoop* loop = gameLoop();
    if (!loop) return state.SkipWithError("no assets folder");
    std::srand(7);
    WorldState& world = emptyWorld(*loop);
    const point me = loop->universe->player->location;
    for (int i = 0; i < int(state.range(0)); ++i) {
        Ship ship(point{randLoc(), randLoc()}, 1, unsigned(world.getNewShipID()));
        point toPlayer = normalize(point{me.x - ship.location.x, me.y - ship.location.y});
        ship.velocity = point{toPlayer.x * ship.maxSpeed, toPlayer.y * ship.maxSpeed};
        ship.calcTheta();
        Trail& trail = ship.trail;
        for (int k = 0; k <= trail.length; ++k) {
            float back = float(trail.length - k) * float(trail.interval);
            trail.points[size_t(k)] = point{ship.location.x - ship.velocity.x * back, ship.location.y - ship.velocity.y * back};
        }
        trail.head = trail.length;
        world.ships.push_back(ship);
    }
    runFrames(state, *loop, loop->zoom * std::pow(1.2f, 22.f));
    state.counters["rss_mb"] = residentMb();
    world.ships.clear();
}

// The statistics text, or the market panel, alone over the last frame.
void overlayFrame(benchmark::State& state, bool panel)
{
    QuietStdout quiet;
    GameLoop* loop = gameLoop();
    if (!loop) return state.SkipWithError("no assets folder");
    if (panel) benchMarketPanel(state, loop->fonts[0]);
    else benchOverlayText(state, loop->fonts[0]);
}

bool openWindow()
{
    if (SDL_Init(SDL_INIT_VIDEO) != 0 || !SDL_SetVideoMode(w, h, 32, SDL_OPENGL) || glewInit() != GLEW_OK) {
        std::fprintf(stderr, "--gl needs an X display: %s\n", SDL_GetError());
        return false;
    }
#ifdef HAVE_SOUND
    if (withSound) {  // as the game opens it; SDL_AUDIODRIVER picks the device
        dataFolders.data = VUMTAL_ASSETS_DIR;
        decodeSounds(soundFilesOfDataFolders());
        dataFolders = DataFolders();
        openSound(false);
    }
#endif
    return true;
}

#ifdef HAVE_SOUND
// The sound step of a busy frame: twenty explosions and a shot of every weapon
// across the view, the engine and the beam held, a click; then the mixer's turn.
void soundFrame(benchmark::State& state)
{
    std::srand(7);
    const char* weapons[] = {"pulseGun.wav", "shockwavePod.wav", "seeker.wav", "scattergun.wav", "flak.wav",
                             "bowTurret.wav"};
    int click = soundNamed("click.wav");
    auto near = [] { return point{float(std::rand() % 6000 - 3000), float(std::rand() % 6000 - 3000)}; };
    for (auto _ : state) {
        for (int i = 0; i < 20; ++i) startSound(SOUND_EXPLOSION, near());
        for (const char* weapon : weapons) startSound(weapon, near());
        holdLoop(LOOP_ENGINE, SOUND_ENGINE, point{0, 0});
        holdLoop(LOOP_BEAM, "beam.wav", point{0, 0});
        startPanelSound(click);
        playFrameSounds(point{0, 0}, 2500);
    }
}
#endif

// Keeps every figure (the median when repeated) for the goal lines: real time,
// and the main thread's CPU time, which other load on the machine disturbs less.
class Recorder : public benchmark::ConsoleReporter {
public:
    std::map<std::string, std::pair<double, double>> ms;
    void ReportRuns(const std::vector<Run>& runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name != "median") continue;
            std::string name = run.run_name.function_name + "/" + run.run_name.args;
            if (run.run_type == Run::RT_Iteration && ms.count(name)) continue;  // keep the median
            double toMs = 1000 / benchmark::GetTimeUnitMultiplier(run.time_unit);
            ms[name] = {run.GetAdjustedRealTime() * toMs, run.GetAdjustedCPUTime() * toMs};
        }
    }
    std::pair<double, double> at(const std::string& name) const
    {
        auto it = ms.find(name);
        return it == ms.end() ? std::make_pair(0.0, 0.0) : it->second;
    }
};

void goalLines(const Recorder& recorder)
{
    std::string prefix = withGl ? "gl/" : "sim/";
    auto small = recorder.at(prefix + "frame/ships:100"), big = recorder.at(prefix + "frame/ships:1000"),
         huge = recorder.at(prefix + "frame/ships:2000");
    if (small.first > 0 && big.first > 0) {
        std::printf("\n%s frame, real (CPU) ms: 100 ships x 1,000 shots %.3f (%.3f), 1,000 x 10,000 %.3f (%.3f), "
                    "2,000 x 20,000 %.3f (%.3f)\n",
                    prefix.c_str(), small.first, small.second, big.first, big.second, huge.first, huge.second);
        std::printf("  10x ships and shots cost %.1fx real, %.1fx CPU (goal at most 11x); 2x more %.2fx real\n",
                    big.first / small.first, big.second / small.second, huge.first / big.first);
        if (!withGl) std::printf("  1,000 x 10,000 in %.3f ms real (goal under 3 ms)\n", big.first);
    }
    double open = recorder.at("game/zoomed/ships:0").first, two = recorder.at("game/zoomed/ships:2000").first,
           four = recorder.at("game/zoomed/ships:4000").first;
    if (open > 0 && two > 0 && four > 0)
        std::printf("  zoomed out: empty %.2f ms, 2,000 ships %.2f ms (%.2fx, goal at most 1.3x), 4,000 ships %.2f ms; "
                    "%.2f us per visible ship (goal at most 1.5)\n",
                    open, two, two / open, four, (four - open) * 1000 / 4000);
    double empty = recorder.at("game/frame/ships:0").first, crowded = recorder.at("game/frame/ships:2000").first;
    if (empty > 0 && crowded > 0)
        std::printf("  real frame: empty %.2f ms (%.1f FPS), 2,000 ships %.2f ms (%.1f FPS): %+.1f%% (goal at most +10%%)\n",
                    empty, 1000 / empty, crowded, 1000 / crowded, (crowded / empty - 1) * 100);
}

}  // namespace

int main(int argc, char** argv)
{
    // Our own flags first; the rest go to the benchmark library.
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--gl") == 0)
            withGl = true;
#ifdef HAVE_SHIP_GRID
        else if (std::strcmp(argv[i], "--no-grid") == 0)
            ShipGrid::enabled = false;
#endif
        else if (std::strcmp(argv[i], "--sound") == 0)
            withSound = true;
        else if (std::strcmp(argv[i], "--shots") == 0 && i + 1 < argc) {
            shotFolder = argv[++i];
            if (std::strchr(shotFolder, '\'')) {  // it goes into a shell command between quotes
                std::fprintf(stderr, "--shots: a folder without a ' in its name, please\n");
                return 2;
            }
        }
        else
            argv[kept++] = argv[i];
    }
    argc = kept;
    if (withGl && !openWindow()) return 77;

    std::string prefix = withGl ? "gl/" : "sim/";
    const std::pair<const char*, Driver> drivers[] = {
        {"projectiles", projectiles}, {"timers", timers}, {"ships", ships}, {"stars", stars}, {"frame", frame}};
    for (const auto& [name, driver] : drivers)
        benchmark::RegisterBenchmark((prefix + name).c_str(), runDriver, driver)
            ->ArgName("ships")->Arg(100)->Arg(1000)->Arg(2000)->Unit(benchmark::kMillisecond)->UseRealTime();
    if (withGl)
        benchmark::RegisterBenchmark("game/frame", gameFrame)->ArgName("ships")->Arg(0)->Arg(2000)
            ->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);
    if (withGl)
        benchmark::RegisterBenchmark("game/empty", emptyFrame)->ArgName("clicks")->Arg(0)->Arg(3)->Arg(9)
            ->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);
    if (withGl)
        benchmark::RegisterBenchmark("game/zoomed", zoomedFrame)->ArgName("ships")->Arg(0)->Arg(250)->Arg(500)
            ->Arg(1000)->Arg(2000)->Arg(4000)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);
    if (withGl) {
        benchmark::RegisterBenchmark("overlay/text", overlayFrame, false)->Unit(benchmark::kMicrosecond)->UseRealTime();
        benchmark::RegisterBenchmark("overlay/panel", overlayFrame, true)->Unit(benchmark::kMicrosecond)->UseRealTime();
    }
#ifdef HAVE_SOUND
    if (withGl && withSound)
        benchmark::RegisterBenchmark("sound/frame", soundFrame)->Unit(benchmark::kMicrosecond)->UseRealTime();
#endif

    benchmark::Initialize(&argc, argv);
    Recorder recorder;
    benchmark::RunSpecifiedBenchmarks(&recorder);
    goalLines(recorder);
    benchmark::Shutdown();
    return 0;
}
