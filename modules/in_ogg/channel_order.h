#pragma once
// Vorbis and Opus streams of 3 to 8 channels order them front left, centre, front right, ...;
// a WAVE output expects front left, front right, centre, LFE, ... This puts interleaved samples
// in the WAVE order; 1 and 2 channels are left as they are.
#include <stdint.h>

void ToWaveChannelOrder(int16_t* pcm, int32_t frames, int32_t channels);
