#include "sound/soundMixer.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <string>
#include <cstdlib>
#include <thread>
#include <vector>

#include "core/report.h"
#include "sound/soundBank.h"
#include "sound/soundLaw.h"

namespace {

const int BUFFER_SAMPLES = 1024;  // about 23 ms between the game and the ear
// A single sound at full volume plays at half the channel's range, so that a
// merged crowd can be louder and a full mix keeps its headroom.
const float BASE_LEVEL = 0.5f;
const int LOOP_FADE_IN_MS = 40;   // loops start and stop without a click
const int LOOP_FADE_OUT_MS = 120;

struct Start {
    int sound;
    point where;
    float gain;
    bool atShip;
};

struct Hold {
    int key;
    int sound;
    point where;
};

// What the game last put on a channel.
struct Playing {
    int sound = -1;
    point where{0, 0};
    float gain = 1;
    bool atShip = false;
    int loopKey = -1;   // -1: a one-shot, or a loop on its way out
    float loudness = 0;  // as heard this frame
    int volume = -1;     // last values given to the mixer
    int left = -1;
    int right = -1;
};

struct Mixer {
    bool open = false;
    bool muted = false;
    std::vector<SoundRequest> requests;
    std::vector<int> panelRequests;
    std::vector<Hold> holds;
    Playing channels[MIX_CHANNELS];
};

Mixer mixer;

void sayNoDevice(const char* why)
{
    report({"", "", std::string("No audio device: ") + why + "; the game plays on without sound", Severity::Error});
}

SoundPlace heardAt(const Playing& p, point listener, float halfWidth)
{
    if (p.atShip) return SoundPlace{1, 0};
    return placeSound(p.where, listener, halfWidth);
}

void applyPlace(int channel, Playing& p, SoundPlace place)
{
    p.loudness = place.volume * p.gain;
    int volume = std::clamp(int(std::lround(MIX_MAX_VOLUME * BASE_LEVEL * p.loudness)), 0, MIX_MAX_VOLUME);
    // A fade sets the volume itself as it goes, and restores it at its end:
    // ours is given again once the fade is over.
    if (Mix_FadingChannel(channel) != MIX_NO_FADING) {
        p.volume = -1;
    } else {
        if (volume != p.volume) Mix_Volume(channel, volume);
        p.volume = volume;
    }
    float leftShare, rightShare;
    earGains(place.pan, leftShare, rightShare);
    int left = int(std::lround(255 * leftShare)), right = int(std::lround(255 * rightShare));
    if (left != p.left || right != p.right) Mix_SetPanning(channel, Uint8(left), Uint8(right));
    p.left = left;
    p.right = right;
}

bool playing(int channel) { return mixer.channels[channel].sound >= 0 && Mix_Playing(channel); }

// Where every sound already playing is heard from now; finished channels are forgotten.
void placePlaying(point listener, float halfWidth)
{
    for (int c = 0; c < MIX_CHANNELS; ++c) {
        Playing& p = mixer.channels[c];
        if (p.sound < 0) continue;
        if (!Mix_Playing(c)) {
            p = Playing{};
            continue;
        }
        applyPlace(c, p, heardAt(p, listener, halfWidth));
    }
}

std::vector<ChannelClaim> claims(int first, int last)
{
    std::vector<ChannelClaim> result;
    for (int c = first; c < last; ++c) {
        const Playing& p = mixer.channels[c];
        result.push_back(ChannelClaim{playing(c), p.loopKey < 0 && c < LOOP_CHANNELS ? 0 : p.loudness});
    }
    return result;
}

void startOn(int channel, const Start& start, int loopKey, point listener, float halfWidth)
{
    Mix_Chunk* chunk = soundChunk(start.sound);
    if (!chunk) return;
    if (Mix_Playing(channel)) Mix_HaltChannel(channel);
    Playing& p = mixer.channels[channel];
    p = Playing{start.sound, start.where, start.gain, start.atShip, loopKey};
    applyPlace(channel, p, heardAt(p, listener, halfWidth));  // before the first sample is mixed
    int started = loopKey >= 0 ? Mix_FadeInChannel(channel, chunk, -1, LOOP_FADE_IN_MS) : Mix_PlayChannel(channel, chunk, 0);
    if (started < 0) p = Playing{};
}

// Gives channels first to last to the loudest of starts.
void startLoudest(const std::vector<Start>& starts, const std::vector<int>& loopKeys, int first, int last,
                  point listener, float halfWidth)
{
    if (starts.empty()) return;  // most frames: no channel need be looked at
    std::vector<float> loudness;
    for (const Start& s : starts)
        loudness.push_back(s.atShip ? s.gain : placeSound(s.where, listener, halfWidth).volume * s.gain);
    std::vector<ChannelClaim> channels = claims(first, last);
    std::vector<int> given = assignChannels(loudness, channels);
    for (size_t i = 0; i < starts.size(); ++i)
        if (given[i] >= 0) startOn(first + given[i], starts[i], loopKeys.empty() ? -1 : loopKeys[i], listener, halfWidth);
}

void playLoops(point listener, float halfWidth)
{
    for (int c = 0; c < LOOP_CHANNELS; ++c) {
        Playing& p = mixer.channels[c];
        if (p.loopKey < 0) continue;
        auto held = std::find_if(mixer.holds.begin(), mixer.holds.end(),
                                 [&](const Hold& h) { return h.key == p.loopKey && h.sound == p.sound; });
        if (held == mixer.holds.end()) {
            Mix_FadeOutChannel(c, LOOP_FADE_OUT_MS);
            p.loopKey = -1;  // on its way out: any loop may take the channel
            continue;
        }
        p.where = held->where;
        applyPlace(c, p, heardAt(p, listener, halfWidth));
        mixer.holds.erase(held);
    }
    std::vector<Start> starts;
    std::vector<int> keys;
    for (const Hold& h : mixer.holds) {
        starts.push_back(Start{h.sound, h.where, 1, false});
        keys.push_back(h.key);
    }
    startLoudest(starts, keys, 0, LOOP_CHANNELS, listener, halfWidth);
}

void playOneShots(point listener, float halfWidth)
{
    std::vector<Start> starts;
    for (const SoundRequest& r : mergeSameFrame(mixer.requests, listener))
        starts.push_back(Start{r.sound, r.where, r.gain, false});
    std::sort(mixer.panelRequests.begin(), mixer.panelRequests.end());
    mixer.panelRequests.erase(std::unique(mixer.panelRequests.begin(), mixer.panelRequests.end()),
                              mixer.panelRequests.end());
    for (int sound : mixer.panelRequests) starts.push_back(Start{sound, listener, 1, true});
    startLoudest(starts, {}, LOOP_CHANNELS, MIX_CHANNELS, listener, halfWidth);
}

void forgetRequests()
{
    mixer.requests.clear();
    mixer.panelRequests.clear();
    mixer.holds.clear();
}

}  // namespace

namespace {

// What the device opening found, handed from its thread to the game thread.
struct Opening {
    std::thread thread;
    bool started = false;
    std::atomic<bool> finished{false};  // set by the thread as its last step
    bool open = false;
    std::string failure;  // why there is no device
    bool nativeFormat = false;
};

Opening opening;

void openDevice(Opening& o)
{
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        o.failure = SDL_GetError();
        return;
    }
    if (Mix_OpenAudio(SOUND_RATE, AUDIO_S16SYS, 2, BUFFER_SAMPLES) != 0) {
        o.failure = Mix_GetError();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return;
    }
    Mix_AllocateChannels(MIX_CHANNELS);
    int rate = 0, channels = 0;
    Uint16 format = 0;
    Mix_QuerySpec(&rate, &format, &channels);
    o.nativeFormat = rate == SOUND_RATE && format == AUDIO_S16SYS && channels == 2;
    o.open = true;
}

}  // namespace

void beginOpeningSound(bool muted)
{
    mixer.muted = muted;
    if (opening.started) return;
    opening.started = true;
    // Where no device answers, SDL tries every audio system it knows in turn,
    // a tenth of a second or more: the game plays on meanwhile, silent.
    opening.thread = std::thread([] {
        openDevice(opening);
        opening.finished = true;
    });
    // A way out before the device is taken must not leave the thread running
    // into SDL_Quit; registered after it, this runs before it.
    std::atexit([] {
        if (opening.thread.joinable()) opening.thread.join();
        if (opening.open && !mixer.open) Mix_CloseAudio();
    });
}

namespace {

// Takes the device the thread opened (or says there is none) and makes the
// decoded sounds playable on it; once.
void takeDevice()
{
    if (!opening.thread.joinable()) return;
    opening.thread.join();
    if (!opening.open) {
        sayNoDevice(opening.failure.c_str());
        bindSounds(false, false);
        return;
    }
    std::atexit(Mix_CloseAudio);  // runs before SDL_Quit, registered earlier
    bindSounds(true, opening.nativeFormat);
    mixer.open = true;
}

}  // namespace

void openSound(bool muted)
{
    beginOpeningSound(muted);
    takeDevice();
}

void startSound(int sound, point where)
{
    if (sound < 0 || !soundOn()) return;
    mixer.requests.push_back(SoundRequest{sound, where, 1});
}

void startSound(std::string_view file, point where)
{
    if (file.empty() || !soundOn()) return;
    startSound(soundNamed(file), where);
}

void startPanelSound(int sound)
{
    if (sound < 0 || !soundOn()) return;
    mixer.panelRequests.push_back(sound);
}

void holdLoop(int key, std::string_view file, point where)
{
    if (file.empty() || !soundOn()) return;
    int sound = soundNamed(file);
    if (sound >= 0) mixer.holds.push_back(Hold{key, sound, where});
}

void playFrameSounds(point listener, float halfWidth)
{
    if (opening.finished) takeDevice();
    if (soundOn()) {
        placePlaying(listener, halfWidth);
        playLoops(listener, halfWidth);
        playOneShots(listener, halfWidth);
    }
    forgetRequests();
}

void toggleSound()
{
    mixer.muted = !mixer.muted;
    report({"", "", mixer.muted ? "Sound off" : "Sound on", Severity::Error});
    if (!mixer.muted || !mixer.open) return;
    Mix_HaltChannel(-1);
    for (Playing& p : mixer.channels) p = Playing{};
}

bool soundOn() { return mixer.open && !mixer.muted; }
