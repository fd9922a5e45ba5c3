#include "channel_order.h"

namespace {

// For each count of channels, the Vorbis channel that each WAVE channel takes.
const int kFromVorbis[9][8] = {
    {},
    {0},
    {0, 1},
    {0, 2, 1},                 // L C R
    {0, 1, 2, 3},              // FL FR RL RR
    {0, 2, 1, 3, 4},           // FL C FR RL RR
    {0, 2, 1, 5, 3, 4},        // FL C FR RL RR LFE
    {0, 2, 1, 6, 5, 3, 4},     // FL C FR SL SR RC LFE
    {0, 2, 1, 7, 5, 6, 3, 4},  // FL C FR SL SR RL RR LFE
};

}  // namespace

void ToWaveChannelOrder(int16_t* pcm, int32_t frames, int32_t channels)
{
    if (channels < 3 || channels > 8) return;
    const int* from = kFromVorbis[channels];
    for (int32_t f = 0; f < frames; ++f) {
        int16_t* frame = pcm + static_cast<int64_t>(f) * channels;
        int16_t vorbis[8];
        for (int32_t c = 0; c < channels; ++c) vorbis[c] = frame[c];
        for (int32_t c = 0; c < channels; ++c) frame[c] = vorbis[from[c]];
    }
}
