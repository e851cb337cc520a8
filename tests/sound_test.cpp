// Where sounds are heard from, which get a channel, how repeats merge, which
// names a script may use and which WAV files decode: all without a device.
#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/dataFiles.h"
#include "core/report.h"
#include "sound/soundBank.h"
#include "sound/soundLaw.h"
#include "support/testFiles.h"

TEST(SoundLaw, VolumeFallsWithDistanceAndPanFollowsTheScreen)
{
    const float halfWidth = 2500;  // the default zoom's view
    struct Case {
        point source;
        float volume;
        float pan;
    } cases[] = {
        {{0, 0}, 1, 0},
        {{SOUND_NEAR, 0}, 1, 0.6f},
        {{-2500, 0}, 0.7511f, -1},           // the view's left edge
        {{2500, 2000}, 0.5977f, 1},          // its corner, still well heard
        {{0, 5250}, 0.25f, 0},               // half way from near to silent
        {{SOUND_RANGE, 0}, 0, 0},            // silent from the range on
        {{-40000, 0}, 0, 0},
    };
    for (const Case& c : cases) {
        SoundPlace place = placeSound(c.source, {0, 0}, halfWidth);
        EXPECT_NEAR(place.volume, c.volume, 1e-3) << c.source.x << ", " << c.source.y;
        EXPECT_NEAR(place.pan, c.pan, 1e-3) << c.source.x << ", " << c.source.y;
    }
    EXPECT_EQ(placeSound({std::nanf(""), 0}, {0, 0}, halfWidth).volume, 0);
    EXPECT_NEAR(placeSound({2000, 100}, {1000, 100}, 500).pan, 1, 1e-6);  // relative to the listener

    float left, right;
    earGains(-1, left, right);
    EXPECT_FLOAT_EQ(left, 1);
    EXPECT_FLOAT_EQ(right, FAR_EAR);
    earGains(0.5f, left, right);
    EXPECT_FLOAT_EQ(left, 1 - (1 - FAR_EAR) * 0.5f);
    EXPECT_FLOAT_EQ(right, 1);
}

TEST(SoundLaw, RepeatsInOneFrameMergeIntoTheNearestSomewhatLouder)
{
    std::vector<SoundRequest> requests;
    for (int i = 0; i < 20; ++i) requests.push_back(SoundRequest{3, {float(1000 + 100 * i), 0}, 1});
    requests.push_back(SoundRequest{5, {-700, 0}, 1});
    requests.push_back(SoundRequest{3, {0, 400}, 1});
    std::vector<SoundRequest> merged = mergeSameFrame(requests, {0, 0});
    ASSERT_EQ(merged.size(), 2u);
    EXPECT_EQ(merged[0].sound, 3);
    EXPECT_FLOAT_EQ(merged[0].where.y, 400);  // the nearest of the 21
    EXPECT_FLOAT_EQ(merged[0].gain, MERGE_MAX_GAIN);
    EXPECT_EQ(merged[1].sound, 5);
    EXPECT_FLOAT_EQ(merged[1].gain, 1);

    EXPECT_FLOAT_EQ(mergeGain(1), 1);
    EXPECT_FLOAT_EQ(mergeGain(2), 1.25f);
    EXPECT_FLOAT_EQ(mergeGain(16), 2);
    EXPECT_FLOAT_EQ(mergeGain(1000), MERGE_MAX_GAIN);
}

TEST(SoundLaw, TheNearestWinTheChannels)
{
    struct Case {
        const char* what;
        std::vector<ChannelClaim> channels;
        std::vector<float> loudness;
        std::vector<int> given;
    } cases[] = {
        {"free channels first", {{true, 0.1f}, {false, 0}, {false, 0}}, {0.5f, 0.2f}, {1, 2}},
        {"the quietest playing sound gives way", {{true, 0.3f}, {true, 0.1f}}, {0.2f}, {1}},
        {"nothing quieter to replace", {{true, 0.3f}, {true, 0.4f}}, {0.2f}, {-1}},
        {"more sounds than channels: the loudest play", {{false, 0}, {false, 0}}, {0.1f, 0.9f, 0.5f}, {-1, 0, 1}},
        {"silence never plays", {{false, 0}}, {0.0f}, {-1}},
        {"a sound just started is not replaced in the same frame by a quieter one", {{false, 0}}, {0.6f, 0.5f}, {0, -1}},
    };
    for (Case& c : cases) EXPECT_EQ(assignChannels(c.loudness, c.channels), c.given) << c.what;
}

TEST(SoundNames, ScriptsNameFilesWithinTheDataFolderOnly)
{
    struct Case {
        std::string name;
        bool allowed;
    } cases[] = {
        {"click.wav", true},
        {"sounds/click.wav", true},
        {"a..b.wav", true},
        {"", false},
        {"../secret.wav", false},
        {"sounds/../../x.wav", false},
        {"sounds\\..\\x.wav", false},
        {"/etc/passwd", false},
        {"C:/x.wav", false},
        {std::string("a\0b.wav", 7), false},
        {std::string(MAX_SOUND_NAME + 1, 'a'), false},
    };
    for (const Case& c : cases) EXPECT_EQ(refuseSoundName(c.name) == nullptr, c.allowed) << c.name;
}

namespace {

void putLittle(std::vector<unsigned char>& out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<unsigned char>(value >> (8 * i)));
}

// A WAV file: a "fmt " chunk with the given fields, a padded odd chunk before
// the data, and the samples.
std::vector<unsigned char> wav(int channels, uint32_t rate, int bits, const std::vector<int16_t>& samples)
{
    std::vector<unsigned char> out{'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' '};
    putLittle(out, 16, 4);
    putLittle(out, 1, 2);
    putLittle(out, uint32_t(channels), 2);
    putLittle(out, rate, 4);
    putLittle(out, rate * uint32_t(channels) * 2, 4);
    putLittle(out, uint32_t(channels) * 2, 2);
    putLittle(out, uint32_t(bits), 2);
    out.insert(out.end(), {'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c', 0});
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    putLittle(out, uint32_t(samples.size() * 2), 4);
    for (int16_t s : samples) putLittle(out, uint16_t(s), 2);
    return out;
}

}  // namespace

TEST(SoundFiles, OnlyPcmWavAtTheMixRateDecodesToStereo)
{
    std::vector<short> stereo;
    ASSERT_TRUE(decodeWav(wav(1, 44100, 16, {100, -200}), stereo));
    EXPECT_EQ(stereo, (std::vector<short>{100, 100, -200, -200}));
    ASSERT_TRUE(decodeWav(wav(2, 44100, 16, {1, 2, 3, 4}), stereo));
    EXPECT_EQ(stereo, (std::vector<short>{1, 2, 3, 4}));

    struct Case {
        const char* what;
        std::vector<unsigned char> bytes;
    } refused[] = {
        {"another rate", wav(1, 22050, 16, {1})},
        {"8-bit", wav(1, 44100, 8, {1})},
        {"six channels", wav(6, 44100, 16, {1, 2, 3, 4, 5, 6})},
        {"no samples", wav(1, 44100, 16, {})},
        {"not RIFF", {'R', 'I', 'F', 'X', 0, 0, 0, 0, 'W', 'A', 'V', 'E'}},
        {"cut short", [] { auto b = wav(1, 44100, 16, {1, 2, 3}); b.resize(b.size() - 3); return b; }()},
        {"empty", {}},
    };
    for (const Case& c : refused) EXPECT_FALSE(decodeWav(c.bytes, stereo)) << c.what;
}

TEST(SoundFiles, TheDataFolderIsSearchedForWavFilesWithoutFollowingLinks)
{
    std::string dir = makeScratchDir();
    writeFile(dir, "b.wav", "");
    writeFile(dir, "a.WAV", "");
    writeFile(dir, "notes.txt", "");
    std::filesystem::create_directories(dir + "/sounds/deep");
    writeFile(dir, "sounds/deep/c.wav", "");
    ASSERT_EQ(symlink("/usr", (dir + "/outside").c_str()), 0);
    EXPECT_EQ(findSoundFiles(dir), (std::vector<std::string>{"a.WAV", "b.wav", "sounds/deep/c.wav"}));

    // A mod adds its own files to the data folder's, once each.
    std::string mod = makeScratchDir();
    writeFile(mod, "b.wav", "");
    writeFile(mod, "m.wav", "");
    dataFolders.data = dir;
    dataFolders.mods = {mod};
    const std::vector<std::string> all{"a.WAV", "b.wav", "m.wav", "sounds/deep/c.wav"};
    EXPECT_EQ(soundFilesOfDataFolders(), all);

    // Unreadable or undecodable files keep their names, so they are known and silent.
    decodeSounds(all);
    dataFolders = DataFolders();
    bindSounds(false, false);
    EXPECT_EQ(soundNamed("m.wav"), 2);
    EXPECT_EQ(soundNamed("sounds/deep/c.wav"), 3);
    EXPECT_EQ(soundNamed("missing.wav"), -1);
    EXPECT_EQ(soundChunk(1), nullptr);
    EXPECT_EQ(soundChunk(99), nullptr);
}

TEST(SoundFiles, HostileWavsAreRefusedBeforeAnyDecoderInOneLine)
{
    auto withDataLength = [](std::vector<unsigned char> bytes, uint32_t length) {
        for (int i = 0; i < 4; ++i) bytes[52 + size_t(i)] = static_cast<unsigned char>(length >> (8 * i));
        return bytes;
    };
    auto withFormat = [](std::vector<unsigned char> bytes, uint16_t format) {
        bytes[20] = static_cast<unsigned char>(format);
        bytes[21] = static_cast<unsigned char>(format >> 8);
        return bytes;
    };
    struct Case {
        const char* file;
        std::vector<unsigned char> bytes;
        const char* why;  // nullptr: let through
    } cases[] = {
        {"slow.wav", wav(1, 1, 16, std::vector<int16_t>(512 << 10, 7)), "a WAV at 1 Hz, outside 8000 to 192000 Hz"},
        {"long.wav", withDataLength(wav(1, 44100, 16, {1, 2}), 0xfffffff0u), "it declares 4294967280 bytes of samples"},
        {"stretched.wav", wav(1, 8000, 16, std::vector<int16_t>(3 << 20, 1)), "MB converted, over 64 MB"},
        {"fast.wav", wav(2, 384000, 16, {1, 2}), "a WAV at 384000 Hz"},
        {"many.wav", wav(9, 44100, 16, {1}), "a WAV of 9 channels"},
        {"odd.wav", withFormat(wav(1, 44100, 16, {1}), 0x55), "a WAV of format 85"},
        {"ogg.wav", {'O', 'g', 'g', 'S', 0, 2, 0, 0, 0, 0, 0, 0, 0, 0}, "not a RIFF WAVE file"},
        {"slower.wav", wav(1, 22050, 16, {1, 2}), nullptr},  // the mixer converts it
        {"shipped.wav", wav(1, 44100, 16, {1, 2}), nullptr},
    };
    const std::string dir = makeScratchDir();
    for (const Case& c : cases) {
        writeFile(dir, c.file, std::string(c.bytes.begin(), c.bytes.end()));
        EXPECT_EQ(refuseWav(c.bytes).empty(), c.why == nullptr) << c.file << ": " << refuseWav(c.bytes);
        if (!c.why) continue;
        EXPECT_NE(refuseWav(c.bytes).find(c.why), std::string::npos) << refuseWav(c.bytes);
        const long memoryBefore = peakResidentMb();
        const auto start = std::chrono::steady_clock::now();
        ScopedWorkingDir in(dir);
        ReportLog log;
        decodeSounds({c.file});
        bindSounds(true, true);  // refused files never reach the mixer, open or not
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        EXPECT_EQ(soundChunk(0), nullptr) << c.file;
        EXPECT_EQ(soundNamed(c.file), 0) << c.file;  // known, and silent
        ASSERT_EQ(log.records.size(), 1u) << c.file;
        EXPECT_EQ(log.records[0].severity, Severity::Error);
        EXPECT_EQ(reportText(log.records[0]), std::string(c.file) + ": " + refuseWav(c.bytes) + "; that sound stays silent");
        EXPECT_LT(seconds, 2.0) << c.file;
        EXPECT_LT(peakResidentMb() - memoryBefore, 64) << c.file;
    }
    decodeSounds({});
}
