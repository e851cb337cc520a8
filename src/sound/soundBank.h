// Every sound file of the data folder, decoded once at start-up and then
// looked up by name: playing never reads or decodes a file.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct Mix_Chunk;

// The rate the device is opened at and the decoder takes WAVs at unconverted.
const int SOUND_RATE = 44100;

// The folder's WAV files (names relative to it, "/" between folders), in a fixed order.
std::vector<std::string> findSoundFiles(const std::string& folder);
// Every sound file name of the data folder and the mod folders, once each.
std::vector<std::string> soundFilesOfDataFolders();

// Reads and decodes the named files, each from where the data lookup finds it;
// safe on a thread of its own (it only reads the settled data folders), and
// done before bindSounds.
void decodeSounds(const std::vector<std::string>& files);

// Makes the decoded sounds known by name (soundNamed), before any is playable.
void indexSounds();

// Makes a mixer chunk of every decoded sound, on the thread that plays them,
// once the device is open (deviceOpen false: the names are still known,
// nothing plays). nativeFormat says the device takes 44,100 Hz 16-bit stereo
// as decoded; otherwise the mixer converts each file. A file that could not be
// read or decoded is named on standard error once here and stays silent.
void bindSounds(bool deviceOpen, bool nativeFormat);

// The index of a sound file for startSound, or -1. An unknown name is said on
// standard error the first time it is asked for.
int soundNamed(std::string_view file);

// Why a script may not name this sound (empty, too long, a path out of the
// data folder), or null when it may.
const char* refuseSoundName(std::string_view file);
const size_t MAX_SOUND_NAME = 200;

// The chunk of sound index, or null (no device, or the file was unusable).
Mix_Chunk* soundChunk(int sound);

// Why a WAV file is refused before any decoder sees it (SDL_mixer's included),
// or empty when it may be decoded: its RIFF and fmt headers are read here. It
// must be PCM, float, ADPCM or A/mu-law at 8,000 to 192,000 Hz, with samples
// that take at most MAX_DECODED_SOUND_BYTES converted to 44,100 Hz 16-bit stereo.
std::string refuseWav(const std::vector<unsigned char>& bytes);
const size_t MAX_DECODED_SOUND_BYTES = size_t(64) << 20;
// All the sounds together, converted, take at most this.
const size_t SOUND_BUDGET_BYTES = size_t(256) << 20;

struct SoundRefusal {
    std::string file;
    std::string why;
};
// The files decodeSounds refused, in its order (bindSounds names each on standard error).
std::vector<SoundRefusal> refusedSounds();

// The 16-bit stereo samples at 44,100 Hz of a PCM WAV file's bytes; false for
// anything else (another format, a short or broken file).
bool decodeWav(const std::vector<unsigned char>& bytes, std::vector<short>& stereo);
