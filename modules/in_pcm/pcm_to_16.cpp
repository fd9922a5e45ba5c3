#include "pcm_to_16.h"

#include <string.h>

namespace {

int16_t FromFloat(const unsigned char* at)
{
    float value;
    memcpy(&value, at, 4);
    double scaled = static_cast<double>(value) * 32768.0;
    if (!(scaled == scaled)) return 0;  // not a number
    scaled = scaled < 0 ? scaled - 0.5 : scaled + 0.5;
    if (scaled >= 32767.0) return 32767;
    if (scaled <= -32768.0) return -32768;
    return static_cast<int16_t>(static_cast<int32_t>(scaled));
}

}  // namespace

void ConvertTo16(const WaveHeader& header, const unsigned char* source, int32_t samples, int16_t* target)
{
    const int32_t width = header.bitsPerSample / 8;
    if (header.kind == SampleKind::kFloat) {
        for (int32_t i = 0; i < samples; ++i) target[i] = FromFloat(source + i * 4);
        return;
    }
    switch (width) {
    case 1:
        for (int32_t i = 0; i < samples; ++i) target[i] = static_cast<int16_t>((source[i] - 128) * 256);
        break;
    case 2:
        memcpy(target, source, static_cast<size_t>(samples) * 2);
        break;
    default:
        // Little-endian: the top 16 bits are the last two bytes of each sample.
        for (int32_t i = 0; i < samples; ++i) {
            const unsigned char* top = source + i * width + width - 2;
            target[i] = static_cast<int16_t>(top[0] | (top[1] << 8));
        }
        break;
    }
}
