#pragma once
// Volume and pan as both outputs apply them to the PCM they are given, so that a file written by
// one sounds as the device output of the other.
#include <stdint.h>

struct PcmGain {
    int32_t volume = 255;  // 0 to 255; 255 is unity gain
    int32_t pan = 0;       // -128 (left only) to 128 (right only); 0 is centred

    // The values an input module hands its output, kept within range; volume -1 changes nothing.
    void SetVolume(int32_t value)
    {
        if (value != -1) volume = value < 0 ? 0 : value > 255 ? 255 : value;
    }
    void SetPan(int32_t value) { pan = value < -128 ? -128 : value > 128 ? 128 : value; }
    // Full volume, centred: the samples pass unchanged.
    bool Unity() const { return volume >= 255 && pan == 0; }
};

// Scales whole frames of integer PCM (8-bit unsigned, 16, 24 or 32-bit signed, little-endian) in
// place. At volume 255 and pan 0 nothing is touched, so such a render is bit-exact.
void ApplyGain(const PcmGain& gain, char* data, int32_t bytes, int32_t bitsPerSample, int32_t channels);
