#include "sound/soundLaw.h"

#include <algorithm>
#include <cmath>
#include <numeric>

SoundPlace placeSound(point source, point listener, float halfWidth)
{
    SoundPlace place;
    float distance = pointDistance(source, listener);
    if (!(distance < SOUND_RANGE)) return place;  // NaN stays silent too
    float beyondNear = std::max(0.0f, distance - SOUND_NEAR) / (SOUND_RANGE - SOUND_NEAR);
    place.volume = (1 - beyondNear) * (1 - beyondNear);
    if (halfWidth > 0) place.pan = std::clamp((source.x - listener.x) / halfWidth, -1.0f, 1.0f);
    return place;
}

void earGains(float pan, float& left, float& right)
{
    left = 1 - (1 - FAR_EAR) * std::max(0.0f, pan);
    right = 1 - (1 - FAR_EAR) * std::max(0.0f, -pan);
}

float mergeGain(int count)
{
    if (count <= 1) return 1;
    return std::min(MERGE_MAX_GAIN, 1 + 0.25f * std::log2(float(count)));
}

std::vector<SoundRequest> mergeSameFrame(const std::vector<SoundRequest>& requests, point listener)
{
    std::vector<SoundRequest> merged;
    std::vector<int> counts;
    for (const SoundRequest& request : requests) {
        auto same = std::find_if(merged.begin(), merged.end(),
                                 [&](const SoundRequest& m) { return m.sound == request.sound; });
        if (same == merged.end()) {
            merged.push_back(request);
            counts.push_back(1);
            continue;
        }
        counts[size_t(same - merged.begin())] += 1;
        if (sqPointDistance(request.where, listener) < sqPointDistance(same->where, listener))
            same->where = request.where;
    }
    for (size_t i = 0; i < merged.size(); ++i) merged[i].gain *= mergeGain(counts[i]);
    return merged;
}

std::vector<int> assignChannels(const std::vector<float>& loudness, std::vector<ChannelClaim>& channels)
{
    std::vector<int> given(loudness.size(), -1);
    std::vector<size_t> order(loudness.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return loudness[a] > loudness[b]; });
    for (size_t i : order) {
        if (!(loudness[i] > 0)) break;
        int pick = -1;
        for (size_t c = 0; c < channels.size(); ++c) {
            if (!channels[c].busy) {
                pick = int(c);
                break;
            }
            if (channels[c].loudness < loudness[i] && (pick < 0 || channels[c].loudness < channels[size_t(pick)].loudness))
                pick = int(c);
        }
        if (pick < 0) continue;
        channels[size_t(pick)] = ChannelClaim{true, loudness[i]};
        given[i] = pick;
    }
    return given;
}
