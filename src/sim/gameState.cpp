#include "sim/gameState.h"

#include "entities/player.h"
#include "entities/worldState.h"

GameState::GameState() : random(0) {}
GameState::~GameState() = default;
GameState::GameState(GameState&&) noexcept = default;
GameState& GameState::operator=(GameState&&) noexcept = default;

void GameState::own(std::unique_ptr<Universe> newUniverse, std::unique_ptr<Player> player)
{
    ownedUniverse = std::move(newUniverse);
    ownedPlayer = std::move(player);
    universe = ownedUniverse.get();
    if (universe) universe->player = ownedPlayer.get();
}

void GameState::reseed(std::uint64_t newSeed)
{
    seed = newSeed;
    random = Random(newSeed);
}
