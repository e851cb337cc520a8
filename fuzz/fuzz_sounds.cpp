// The sound files: an input is one WAV file, read and checked as the game does
// at start-up and then bound, through SDL_mixer when our decoder does not take
// it, on a dummy audio device that plays nothing.
#include <SDL.h>
#include <SDL_mixer.h>

#include <cstdlib>

#include "core/report.h"
#include "sound/soundBank.h"
#include "fuzzSupport.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    enterScratchDirectory();
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    if (SDL_Init(SDL_INIT_AUDIO) != 0 || Mix_OpenAudio(SOUND_RATE, AUDIO_S16SYS, 2, 1024) != 0) std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    writeFile("sound.wav", data, size);
    ReportLog quiet;
    decodeSounds({"sound.wav"});
    bindSounds(true, false);  // every file the check lets through reaches the mixer
    Mix_Chunk* chunk = soundChunk(0);
    if (chunk) Mix_FreeChunk(chunk);
    decodeSounds({});
    return 0;
}
