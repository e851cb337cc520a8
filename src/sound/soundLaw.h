// Where a sound is heard from, which sounds get a channel, and how one sound
// started many times in a frame becomes one: plain arithmetic, no device.
#pragma once

#include <vector>

#include "core/basics.h"

// Full volume up to SOUND_NEAR game units from the ship, falling with the square
// of the remaining distance to silence at SOUND_RANGE. At the default zoom the
// corner of the view is about 3,200 units away and is heard at 60%.
const float SOUND_NEAR = 1500;
const float SOUND_RANGE = 9000;
// At the edge of the view (and beyond) the far ear keeps this share.
const float FAR_EAR = 0.3f;
// Twenty of the same sound in one frame play once, at most this much louder.
const float MERGE_MAX_GAIN = 2.0f;

struct SoundPlace {
    float volume = 0;  // 0 silent to 1 full
    float pan = 0;     // -1 hard left, 0 centre, +1 hard right
};

// The sound at source as heard by a ship at listener whose view is halfWidth
// game units to either side.
SoundPlace placeSound(point source, point listener, float halfWidth);

// The two ears' shares (0 to 1) for a pan.
void earGains(float pan, float& left, float& right);

struct SoundRequest {
    int sound = -1;
    point where{0, 0};
    float gain = 1;  // above 1 when several starts were merged
};

// One request per sound: the one nearest the listener, louder by how many there were.
std::vector<SoundRequest> mergeSameFrame(const std::vector<SoundRequest>& requests, point listener);

// The louder share a merge of count starts gets: 1 for one, rising slowly to the cap.
float mergeGain(int count);

struct ChannelClaim {
    bool busy = false;
    float loudness = 0;  // of what it plays now, as heard this frame
};

// Channels for sounds of the given loudness, loudest first: a free channel, or
// else the busy channel playing the quietest sound if that is quieter still.
// The result holds a channel index per sound, or -1 for a sound that does not
// play; channels is updated with what was given out. Silent sounds never play.
std::vector<int> assignChannels(const std::vector<float>& loudness, std::vector<ChannelClaim>& channels);
