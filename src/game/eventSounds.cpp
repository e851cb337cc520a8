// The sounds of a step, started from its events in the order they happened.
#include "data/defaultVals.h"
#include "game/gameMain.h"
#include "sound/soundMixer.h"

namespace {

// The weapon sound of a slot; none for a slot the data does not have.
std::string_view weaponSound(int slot)
{
    if (slot < 0 || size_t(slot) >= WEAPONDATA.size()) return {};
    return WEAPONDATA[size_t(slot)].sound;
}

const char* oneShotOf(GameEventKind kind)
{
    switch (kind) {
    case GameEventKind::Warped: return SOUND_WARP;
    case GameEventKind::TookOff: return SOUND_LAUNCH;
    case GameEventKind::LaunchCharging: return SOUND_TAKEOFF_CHARGE;
    case GameEventKind::Landed: return SOUND_LAND_SOFT;
    case GameEventKind::Crashed: return SOUND_LAND_CRASH;
    case GameEventKind::Explosion: return SOUND_EXPLOSION;
    case GameEventKind::Shockwave: return SOUND_SHOCKWAVE;
    case GameEventKind::Rammed: return SOUND_RAM;
    default: return nullptr;
    }
}

}  // namespace

void playEventSounds(const GameEvents& events)
{
    for (const GameEvent& event : events) {
        switch (event.kind) {
        case GameEventKind::EngineBurning: holdLoop(LOOP_ENGINE, SOUND_ENGINE, event.at); break;
        case GameEventKind::BeamFiring: holdLoop(LOOP_BEAM, weaponSound(event.slot), event.at); break;
        case GameEventKind::WormholeNear: holdLoop(LOOP_WORMHOLE + event.slot, SOUND_WORMHOLE_HUM, event.at); break;
        case GameEventKind::ShotFired: startSound(weaponSound(event.slot), event.at); break;
        default:
            if (const char* sound = oneShotOf(event.kind)) startSound(sound, event.at);
            break;
        }
    }
}
