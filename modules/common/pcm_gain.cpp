#include "pcm_gain.h"

namespace {

// Per-channel factor in 1/65536 units: the volume, times the pan's cut on the far side.
int64_t ChannelFactor(const PcmGain& gain, int32_t channel, int32_t channels)
{
    int64_t factor = static_cast<int64_t>(gain.volume) * 65536 / 255;
    if (channels == 2) {
        if (channel == 0 && gain.pan > 0) factor = factor * (128 - gain.pan) / 128;
        if (channel == 1 && gain.pan < 0) factor = factor * (128 + gain.pan) / 128;
    }
    return factor;
}

int64_t Scale(int64_t sample, int64_t factor)
{
    int64_t product = sample * factor;
    // Rounds half away from zero, so that scaling is symmetric around silence.
    return product >= 0 ? (product + 32768) >> 16 : -((-product + 32768) >> 16);
}

}  // namespace

void ApplyGain(const PcmGain& gain, char* data, int32_t bytes, int32_t bitsPerSample, int32_t channels)
{
    if (gain.Unity() || channels <= 0) return;
    const int32_t width = bitsPerSample / 8;
    if (width < 1 || width > 4) return;
    int64_t factors[8];
    for (int32_t c = 0; c < 8; ++c) factors[c] = ChannelFactor(gain, c, channels);
    unsigned char* bytesOut = reinterpret_cast<unsigned char*>(data);
    const int32_t samples = bytes / width;
    for (int32_t i = 0; i < samples; ++i) {
        unsigned char* p = bytesOut + static_cast<int64_t>(i) * width;
        const int64_t factor = factors[(i % channels) & 7];
        switch (width) {
        case 1:
            p[0] = static_cast<unsigned char>(Scale(static_cast<int64_t>(p[0]) - 128, factor) + 128);
            break;
        case 2: {
            int16_t s = static_cast<int16_t>(p[0] | (p[1] << 8));
            int32_t v = static_cast<int32_t>(Scale(s, factor));
            p[0] = static_cast<unsigned char>(v);
            p[1] = static_cast<unsigned char>(v >> 8);
            break;
        }
        case 3: {
            int32_t s = static_cast<int32_t>((static_cast<uint32_t>(p[0]) << 8) | (static_cast<uint32_t>(p[1]) << 16) |
                                             (static_cast<uint32_t>(p[2]) << 24)) >> 8;
            int32_t v = static_cast<int32_t>(Scale(s, factor));
            p[0] = static_cast<unsigned char>(v);
            p[1] = static_cast<unsigned char>(v >> 8);
            p[2] = static_cast<unsigned char>(v >> 16);
            break;
        }
        default: {
            int32_t s = static_cast<int32_t>(static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
                                             (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24));
            uint32_t v = static_cast<uint32_t>(static_cast<int32_t>(Scale(s, factor)));
            p[0] = static_cast<unsigned char>(v);
            p[1] = static_cast<unsigned char>(v >> 8);
            p[2] = static_cast<unsigned char>(v >> 16);
            p[3] = static_cast<unsigned char>(v >> 24);
            break;
        }
        }
    }
}
