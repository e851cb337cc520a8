// The game's sounds through SDL_mixer: opened after the window, fed by the
// game thread once a frame, mixed by SDL's audio thread.
#pragma once

#include <string_view>

#include "core/basics.h"

// The shipped sounds the game plays itself; weapons name theirs in projectiles.xml.
const char* const SOUND_ENGINE = "engine.wav";
const char* const SOUND_WORMHOLE_HUM = "wormholeHum.wav";
const char* const SOUND_EXPLOSION = "explosion.wav";
const char* const SOUND_SHOCKWAVE = "shockwave.wav";
const char* const SOUND_LAND_SOFT = "landSoft.wav";
const char* const SOUND_LAND_CRASH = "landCrash.wav";
const char* const SOUND_TAKEOFF_CHARGE = "takeoffCharge.wav";
const char* const SOUND_LAUNCH = "launch.wav";
const char* const SOUND_WARP = "warp.wav";
const char* const SOUND_RAM = "ram.wav";

const int MIX_CHANNELS = 24;
const int LOOP_CHANNELS = 6;  // the first channels; the rest play one-shots

// Loops are held frame by frame under a key; a loop not held in a frame fades out.
const int LOOP_ENGINE = 0;
const int LOOP_BEAM = 1;
const int LOOP_WORMHOLE = 16;  // + the wormhole's index in its world

// Starts opening the audio device (44,100 Hz, 16-bit, stereo) on a thread of
// its own, once the window is open; the first playFrameSounds after it is done
// takes it. Until then the game is silent. No device: one line on standard
// error, and the game plays on in silence. Muted starts it with sound off (the
// toggle turns it on). Make no other SDL audio call meanwhile.
void beginOpeningSound(bool muted);
// The same, waiting for the device here.
void openSound(bool muted);

// A one-shot at a place in the world; a file name of the data folder.
void startSound(std::string_view file, point where);
void startSound(int sound, point where);
// A one-shot heard at the ship, for panels.
void startPanelSound(int sound);
// Keeps loop key playing (starting it if need be) at a place for this frame.
void holdLoop(int key, std::string_view file, point where);

// End of the frame: starts what was asked for (nearest first, repeats merged),
// stops the loops no longer held and moves every playing sound to where it is
// now heard from.
void playFrameSounds(point listener, float halfWidth);

void toggleSound();
bool soundOn();  // a device is open and sound is not muted
