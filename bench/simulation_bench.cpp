// Per-frame simulation costs that run without drawing, and the start-up loaders.
// Run: cmake -S . -B build-bench -G Ninja -DVUMTAL_BENCH=ON -DCMAKE_BUILD_TYPE=Release
//      && ninja -C build-bench vumtal_bench && build-bench/bench/vumtal_bench
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <unistd.h>

#include "entities/worldState.h"
#include "data/defaultVals.h"
#include "world/loadGalaxy.h"
#include "entities/star.h"
#include "scene.h"

namespace {

// A world crowded far beyond normal play: many ships and shots around one star,
// all outside it so nothing is swallowed and every frame does the same work.
WorldState crowdedWorld(int ships, int shots)
{
    if (WEAPONDATA.empty()) WEAPONDATA.push_back(projectileData());
    while (SHIPDATA.size() < 2) SHIPDATA.push_back({1, 0.01f, 1, 100, 10});
    WorldState world;
    std::srand(1);
    for (int i = 0; i < ships; ++i)
        world.ships.push_back(Ship(point{1000 + float(std::rand() % 8000), float(std::rand() % 8000)}, 1,
                                   world.getNewShipID()));
    for (int i = 0; i < shots; ++i)
        world.projectiles.push_back(
            Projectile(point{1000 + float(std::rand() % 8000), float(std::rand() % 8000)}, 0, world, 0, 0, 0));
    return world;
}

void BM_GravityOnCrowdedWorld(benchmark::State& state)
{
    WorldState world = crowdedWorld(int(state.range(0)), int(state.range(1)));
    for (auto _ : state) {
        swallowOrPull(world, point{0, 0}, 600, 2, 0);  // dt 0: the same world every pass
        benchmark::DoNotOptimize(world.ships.front().velocity);
    }
    state.SetItemsProcessed(state.iterations() * (state.range(0) + state.range(1)));
}
BENCHMARK(BM_GravityOnCrowdedWorld)->Args({50, 200})->Args({500, 2000});

void BM_SweptHitTestAgainstShips(benchmark::State& state)
{
    WorldState world = crowdedWorld(int(state.range(0)), 1);
    Projectile& shot = world.projectiles.front();
    point previous{shot.location.x - 30, shot.location.y - 30};
    for (auto _ : state) benchmark::DoNotOptimize(shot.handleCollision(previous, world, 0));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_SweptHitTestAgainstShips)->Arg(50)->Arg(500);

void BM_IntersectCircleLine(benchmark::State& state)
{
    point a{0, 0}, b{100, 7}, c{50, 20};
    for (auto _ : state) {
        benchmark::DoNotOptimize(intersectCircleLine(a, b, c, 15));
        c.y = c.y > 40 ? 0 : c.y + 1;
    }
}
BENCHMARK(BM_IntersectCircleLine);

// Start-up: parsing and building the shipped galaxy and weapons.
void BM_LoadShippedGalaxy(benchmark::State& state)
{
    if (chdir(VUMTAL_ASSETS_DIR) != 0) {
        state.SkipWithError("no assets folder");
        return;
    }
    QuietStdout quiet;  // the loader narrates every element
    for (auto _ : state) {
        Universe universe;
        universe.worlds.push_back(WorldState());
        initializeStars(universe, nullptr);
        benchmark::DoNotOptimize(universe.worlds.size());
    }
}
BENCHMARK(BM_LoadShippedGalaxy)->Unit(benchmark::kMicrosecond);

}  // namespace
