#include "sound/soundBank.h"

#include <SDL_mixer.h>

#include <algorithm>
#include <cstdint>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>

#include "core/dataFiles.h"
#include "core/report.h"

namespace {

// A data folder is small; these keep a hostile one from filling memory at start-up.
const size_t MAX_SOUND_FILES = 256;
const std::uintmax_t MAX_SOUND_BYTES = 64u << 20;
const int MAX_FOLDER_DEPTH = 3;

struct Sound {
    std::string file;
    std::vector<unsigned char> bytes;  // as read; dropped once bound
    std::vector<short> samples;        // decoded for a 44,100 Hz stereo device
    bool decoded = false;
    Mix_Chunk* chunk = nullptr;
    std::string refusal;  // why no decoder may see it; empty when one may
};

std::vector<Sound> sounds;
std::map<std::string, int, std::less<>> byName;
std::set<std::string, std::less<>> reportedUnknown;
const size_t MAX_REPORTED_UNKNOWN = 64;  // a script inventing names must not flood the log

unsigned readLittle(const unsigned char* p, int bytes)
{
    unsigned value = 0;
    for (int i = bytes - 1; i >= 0; --i) value = value << 8 | p[i];
    return value;
}


// A chunk the mixer converts itself, for files our own decoder does not take.
Mix_Chunk* loadThroughMixer(const std::vector<unsigned char>& bytes)
{
    if (bytes.empty() || bytes.size() > MAX_SOUND_BYTES) return nullptr;
    SDL_RWops* rw = SDL_RWFromConstMem(bytes.data(), int(bytes.size()));
    return rw ? Mix_LoadWAV_RW(rw, 1) : nullptr;
}

const unsigned MIN_WAV_RATE = 8000, MAX_WAV_RATE = 192000;

// Samples a channel holds in length bytes of a format, or 0 for a format the game does not play.
std::uint64_t samplesPerChannel(unsigned format, unsigned bits, unsigned channels, std::uint64_t length)
{
    switch (format) {
    case 1: return bits == 8 || bits == 16 || bits == 24 || bits == 32 ? length * 8 / (bits * channels) : 0;
    case 3: return bits == 32 || bits == 64 ? length * 8 / (bits * channels) : 0;
    case 6: case 7: return bits == 8 ? length / channels : 0;
    case 2: case 0x11: return bits == 4 ? length * 2 / channels : 0;  // at most two a byte
    default: return 0;
    }
}

std::string formatFault(unsigned format, unsigned channels, unsigned rate)
{
    if (rate < MIN_WAV_RATE || rate > MAX_WAV_RATE)
        return "a WAV at " + std::to_string(rate) + " Hz, outside 8000 to 192000 Hz";
    if (channels < 1 || channels > 2) return "a WAV of " + std::to_string(channels) + " channels (mono or stereo only)";
    const bool known = format == 1 || format == 2 || format == 3 || format == 6 || format == 7 || format == 0x11;
    if (!known)
        return "a WAV of format " + std::to_string(format) + ", which the game does not play";
    return "";
}

// The refusal, and the bytes the samples take converted for the device.
std::string checkWav(const std::vector<unsigned char>& bytes, std::uint64_t& converted)
{
    const size_t size = bytes.size();
    const unsigned char* data = bytes.data();
    if (size < 12 || std::memcmp(data, "RIFF", 4) != 0 || std::memcmp(data + 8, "WAVE", 4) != 0)
        return "not a RIFF WAVE file";
    unsigned format = 0, channels = 0, rate = 0, bits = 0;
    for (size_t at = 12; at + 8 <= size;) {
        const unsigned char* chunk = data + at;
        const std::uint64_t length = readLittle(chunk + 4, 4);
        const size_t body = at + 8;
        if (std::memcmp(chunk, "data", 4) == 0) {
            if (format == 0) return "samples before the format (no fmt chunk first)";
            if (length > MAX_SOUND_BYTES) return "it declares " + std::to_string(length) + " bytes of samples";
            const std::uint64_t frames = samplesPerChannel(format, bits, channels, length);
            converted = (frames * SOUND_RATE / rate + 1) * 4;  // 16-bit stereo
            if (converted > MAX_DECODED_SOUND_BYTES)
                return "it takes " + std::to_string(converted >> 20) + " MB converted, over " +
                       std::to_string(MAX_DECODED_SOUND_BYTES >> 20) + " MB";
            return "";
        }
        if (length > size - body) return "a chunk runs past the end of the file";
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            // The mixer reads one fmt and the decoder another: a second is refused.
            if (format != 0) return "a second fmt chunk";
            if (length < 16) return "a short fmt chunk";
            format = readLittle(chunk + 8, 2);
            channels = readLittle(chunk + 10, 2);
            rate = readLittle(chunk + 12, 4);
            const unsigned frameBytes = readLittle(chunk + 20, 2);
            bits = readLittle(chunk + 22, 2);
            if (format == 0xFFFE && length >= 40) format = readLittle(chunk + 32, 2);  // the extensible kind's own
            const std::string fault = formatFault(format, channels, rate);
            if (!fault.empty()) return fault;
            if (format == 0) return "a WAV of format 0, which the game does not play";
            if (samplesPerChannel(format, bits, channels, 64) == 0)
                return "a WAV of " + std::to_string(bits) + " bits a sample in format " + std::to_string(format);
            // The mixer takes the frame size on trust; a wrong one overruns its buffers.
            const bool adpcm = format == 2 || format == 0x11;
            if (!adpcm && frameBytes != channels * bits / 8)
                return "a WAV whose frames of " + std::to_string(frameBytes) + " bytes do not fit its samples";
        }
        at = body + size_t(length) + (length & 1);
    }
    return "no samples (no data chunk)";
}

}  // namespace

std::string refuseWav(const std::vector<unsigned char>& bytes)
{
    std::uint64_t converted = 0;
    return checkWav(bytes, converted);
}

std::vector<SoundRefusal> refusedSounds()
{
    std::vector<SoundRefusal> refused;
    for (const Sound& sound : sounds)
        if (!sound.refusal.empty()) refused.push_back({sound.file, sound.refusal});
    return refused;
}

std::vector<std::string> findSoundFiles(const std::string& folder)
{
    namespace fs = std::filesystem;
    std::vector<std::string> files;
    std::error_code error;
    fs::recursive_directory_iterator it(folder, fs::directory_options::skip_permission_denied, error);
    for (; !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
        std::error_code dangling;  // a link to nothing is no file; the walk goes on
        if (it.depth() >= MAX_FOLDER_DEPTH) {
            if (it->is_directory(dangling)) it.disable_recursion_pending();
            continue;
        }
        // A link to a file is the file, as for every data file: the reader checks
        // what it is. Links to folders are not walked, so there is no loop.
        if (!it->is_regular_file(dangling)) continue;
        fs::path path = it->path();
        std::string extension = path.extension().string();
        for (char& c : extension) c = char(std::tolower(static_cast<unsigned char>(c)));
        if (extension != ".wav") continue;
        files.push_back(path.lexically_relative(folder).generic_string());
        if (files.size() >= MAX_SOUND_FILES) break;
    }
    std::sort(files.begin(), files.end());
    return files;
}

bool decodeWav(const std::vector<unsigned char>& bytes, std::vector<short>& stereo)
{
    const size_t size = bytes.size();
    const unsigned char* data = bytes.data();
    if (size < 12 || std::memcmp(data, "RIFF", 4) != 0 || std::memcmp(data + 8, "WAVE", 4) != 0) return false;
    int channels = 0;
    bool haveFormat = false;
    for (size_t at = 12; at + 8 <= size;) {
        const unsigned char* chunk = data + at;
        size_t length = readLittle(chunk + 4, 4);
        size_t body = at + 8;
        if (length > size - body) return false;
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            if (length < 16) return false;
            unsigned format = readLittle(chunk + 8, 2);
            channels = int(readLittle(chunk + 10, 2));
            unsigned rate = readLittle(chunk + 12, 4);
            unsigned bits = readLittle(chunk + 22, 2);
            if (format != 1 || bits != 16 || rate != SOUND_RATE || (channels != 1 && channels != 2)) return false;
            haveFormat = true;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            if (!haveFormat) return false;
            size_t frames = length / (2 * size_t(channels));
            stereo.resize(frames * 2);
            for (size_t f = 0; f < frames; ++f) {
                const unsigned char* frame = chunk + 8 + f * 2 * size_t(channels);
                short left = short(readLittle(frame, 2));
                short right = channels == 2 ? short(readLittle(frame + 2, 2)) : left;
                stereo[2 * f] = left;
                stereo[2 * f + 1] = right;
            }
            return frames > 0;
        }
        at = body + length + (length & 1);  // chunks are padded to even sizes
    }
    return false;
}

std::vector<std::string> soundFilesOfDataFolders()
{
    std::vector<std::string> files = findSoundFiles(dataFolders.data.empty() ? "." : dataFolders.data);
    for (const std::string& mod : dataFolders.mods) {
        std::vector<std::string> more = findSoundFiles(mod);
        files.insert(files.end(), more.begin(), more.end());
    }
    std::sort(files.begin(), files.end());
    files.erase(std::unique(files.begin(), files.end()), files.end());
    if (files.size() > MAX_SOUND_FILES) files.resize(MAX_SOUND_FILES);
    return files;
}

void decodeSounds(const std::vector<std::string>& files)
{
    sounds.clear();
    std::uintmax_t total = 0, converted = 0;
    for (const std::string& file : files) {
        Sound sound;
        sound.file = file;
        std::string path = dataFile(file);
        std::string bytes, why;
        if (readDataFile(path, std::min(MAX_SOUND_FILE, MAX_SOUND_BYTES - total), bytes, why)) {
            sound.bytes.assign(bytes.begin(), bytes.end());
            total += sound.bytes.size();
            std::uint64_t takes = 0;
            sound.refusal = checkWav(sound.bytes, takes);
            if (sound.refusal.empty() && converted + takes > SOUND_BUDGET_BYTES)
                sound.refusal = "it would pass the " + std::to_string(SOUND_BUDGET_BYTES >> 20) +
                                " MB that all sounds may take converted";
            if (sound.refusal.empty()) {
                converted += takes;
                sound.decoded = decodeWav(sound.bytes, sound.samples);
            } else {
                sound.bytes = std::vector<unsigned char>();
            }
        } else {
            // Said with the header refusals, on the main thread once the device is open.
            const std::string prefix = path + ": ";
            sound.refusal = why.compare(0, prefix.size(), prefix) == 0 ? why.substr(prefix.size()) : why;
        }
        sounds.push_back(std::move(sound));
    }
}

void indexSounds()
{
    byName.clear();
    for (size_t i = 0; i < sounds.size(); ++i) byName[sounds[i].file] = int(i);
}

void bindSounds(bool deviceOpen, bool nativeFormat)
{
    indexSounds();
    for (Sound& sound : sounds) {
        if (!deviceOpen) {  // nothing will play: keep the names only
            sound = Sound{sound.file, {}, {}, false, nullptr, {}};
            continue;
        }
        if (!sound.refusal.empty()) {
            report({sound.file, "", sound.refusal + "; that sound stays silent", Severity::Error});
            continue;
        }
        if (sound.decoded && nativeFormat) {
            sound.chunk = Mix_QuickLoad_RAW(reinterpret_cast<Uint8*>(sound.samples.data()),
                                            Uint32(sound.samples.size() * sizeof(short)));
        } else {
            // Another device format, or a WAV of another kind: the mixer converts it.
            sound.chunk = loadThroughMixer(sound.bytes);
        }
        sound.bytes = std::vector<unsigned char>();
        if (!sound.chunk)
            report({sound.file, "", "cannot be read as a WAV file; that sound stays silent", Severity::Error});
    }
}

int soundNamed(std::string_view file)
{
    auto found = byName.find(file);
    if (found != byName.end()) return found->second;
    if (reportedUnknown.size() < MAX_REPORTED_UNKNOWN && reportedUnknown.find(file) == reportedUnknown.end()) {
        reportedUnknown.emplace(file);
        report({std::string(file), "", "no such sound file in the data folder; that sound stays silent", Severity::Error});
    }
    return -1;
}

const char* refuseSoundName(std::string_view file)
{
    if (file.empty()) return "an empty name";
    if (file.size() > MAX_SOUND_NAME) return "a name longer than 200 characters";
    if (file.find('\0') != std::string_view::npos) return "a name with a NUL character in it";
    if (file.front() == '/' || file.front() == '\\' || file.find(':') != std::string_view::npos)
        return "an absolute path: sounds are named within the data folder";
    size_t start = 0;
    while (start <= file.size()) {
        size_t end = file.find_first_of("/\\", start);
        if (end == std::string_view::npos) end = file.size();
        if (file.substr(start, end - start) == "..") return "a path out of the data folder";
        start = end + 1;
    }
    return nullptr;
}

Mix_Chunk* soundChunk(int sound)
{
    if (sound < 0 || size_t(sound) >= sounds.size()) return nullptr;
    return sounds[size_t(sound)].chunk;
}
