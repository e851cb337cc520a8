#include "sim/step.h"

#include <algorithm>

#include "entities/player.h"
#include "entities/timer.h"
#include "entities/worldState.h"
#include "sim/frameProcessing.h"

namespace {

// Each factor is multiplied or divided by a constant per key or click. Unbounded,
// it ends at 0 or infinity, from which no key brings it back; within these the
// camera still shows the world and enemies still come.
const float MIN_ZOOM = 100, MAX_ZOOM = 1000000;             // visible height, game units
const float MIN_SCALE = 1.0f / 64, MAX_SCALE = 64;          // nearScale and farScale
const float MIN_SPAWN_INTERVAL = 1, MAX_SPAWN_INTERVAL = 3600000;  // ms
const float CAMERA_STEP = 1.2f;  // per key or wheel click
const float POINTER_SPEED = 0.15f;  // percent of the view per pixel of mouse motion

void keepInRange(GameState& game)
{
    game.zoom = std::clamp(game.zoom, MIN_ZOOM, MAX_ZOOM);
    game.nearScale = std::clamp(game.nearScale, MIN_SCALE, MAX_SCALE);
    game.farScale = std::clamp(game.farScale, MIN_SCALE, MAX_SCALE);
    game.spawnInterval = std::clamp(game.spawnInterval, MIN_SPAWN_INTERVAL, MAX_SPAWN_INTERVAL);
}

void apply(GameState& game, Action action)
{
    switch (action) {
    case Action::ZoomIn: game.zoom = game.zoom / CAMERA_STEP; break;
    case Action::ZoomOut: game.zoom = game.zoom * CAMERA_STEP; break;
    case Action::NearerLayer: game.nearScale = game.nearScale * CAMERA_STEP; break;
    case Action::FartherLayer: game.nearScale = game.nearScale / CAMERA_STEP; break;
    case Action::FarPlaneOut: game.farScale = game.farScale * CAMERA_STEP; break;
    case Action::FarPlaneIn: game.farScale = game.farScale / CAMERA_STEP; break;
    case Action::SpawnSlower: game.spawnInterval = game.spawnInterval * 2; break;
    case Action::SpawnFaster: game.spawnInterval = game.spawnInterval * 0.5f; break;
    default:
        if (action >= Action::Slot1 && action <= Action::Slot7 && game.universe && game.universe->player)
            game.universe->player->weapon = int(action) - int(Action::Slot1);
        break;
    }
    keepInRange(game);
}

}  // namespace

void spawnEnemies(GameState& game)
{
    if (!(game.now > game.spawnClock + game.spawnInterval)) return;
    Player* player = game.universe->player;
    point candidate;
    do {
        candidate.x = randLoc();
        candidate.y = randLoc();
    } while (pointDistance(candidate, player->location) < 20000);
    WorldState& world = game.universe->currentWorld();
    world.ships.push_back(Ship(candidate, 1, world.getNewShipID()));
    game.spawnClock = game.now;
}

void applyActions(GameState& game, const std::vector<Action>& pressed)
{
    for (Action action : pressed) apply(game, action);
}

void movePointer(point& pointerPos, int dx, int dy)
{
    pointerPos.x += POINTER_SPEED * dx;
    pointerPos.y -= POINTER_SPEED * dy;  // screen y grows downward, the pointer's upward
    pointerPos.x = std::clamp(pointerPos.x, 0.0f, 100.0f);
    pointerPos.y = std::clamp(pointerPos.y, 0.0f, 100.0f);
}

point aimPoint(const GameState& game, point p)
{
    float halfH = game.zoom * 0.5f;
    float halfW = game.aspect * halfH;
    return mouseToGame(game.pointerPos, p.x - halfW, p.x + halfW, p.y - halfH, p.y + halfH);
}

GameEvents stepGame(GameState& game, const Command& command, int dt)
{
    GameEvents events;
    EventScope listen(events);
    RandomScope draws(game.random);
    Universe& universe = *game.universe;
    Player& player = *universe.player;

    game.now += unsigned(dt);
    for (WorldState& world : universe.worlds) {
        world.fallenShips.clear();
        world.fallenProjectiles.clear();
        world.now = int(game.now);
    }
    spawnEnemies(game);
    applyActions(game, command.pressed);
    movePointer(game.pointerPos, command.pointerDx, command.pointerDy);

    player.keys = command.flight;
    player.update(dt);
    if (player.burning) tell({GameEventKind::EngineBurning, player.location});
    game.seen.camera = player.location;

    player.beam.firing = false;
    if (command.fire) player.shoot(game.now, universe.currentWorld(), aimPoint(game, player.location), dt);

    game.seen.wormholeWorld = player.getWorld();
    processWormholes(universe, int(game.now));
    // A warp takes effect for the rest of the step.
    WorldState& world = universe.currentWorld();
    processProjectiles(world, dt, int(game.now));
    player.advanceFlame(dt);
    game.seen.playerAt = player.location;
    game.seen.playerAngle = player.getAngle();
    runTimer(int(game.now), world);
    processShips(world, &player, dt);
    processStars(world, &player, dt);
    return events;
}
