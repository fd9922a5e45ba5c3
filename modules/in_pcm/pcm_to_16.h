#pragma once
// Converts whole frames of a WAVE file's samples to 16-bit PCM, the format the reader hands its
// output: 16-bit is copied, 8-bit unsigned is centred and widened, 24 and 32-bit keep their top
// 16 bits, float is scaled by 32768, rounded to nearest (halves away from zero) and clamped.
#include <stdint.h>

#include "wave_header.h"

void ConvertTo16(const WaveHeader& header, const unsigned char* source, int32_t samples, int16_t* target);
