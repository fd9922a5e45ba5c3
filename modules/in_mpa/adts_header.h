#pragma once
// The header that starts every ADTS frame of an AAC stream (7 bytes, 9 with its CRC).
#include <stdint.h>

constexpr int32_t kAdtsHeaderBytes = 7;
// The frame length field's largest value: no frame is longer.
constexpr int32_t kMaxAdtsFrameBytes = 8191;

struct AdtsHeader {
    int profile = 0;          // the audio object type less 1 (1: AAC LC)
    int sampleRateIndex = 0;  // into the standard's table
    int sampleRate = 0;
    int channelConfig = 0;    // 1 to 7
    int channels = 0;
    int frameBytes = 0;       // header included
    // Same stream parameters: a frame of other ones starts a stream of a new format.
    bool SameStream(const AdtsHeader& other) const
    {
        return profile == other.profile && sampleRateIndex == other.sampleRateIndex &&
               channelConfig == other.channelConfig;
    }
};

// False for anything that is not a frame header this module plays: no sync, a layer other than 0,
// a reserved rate, a channel layout left to an in-band element (configuration 0), or a length
// shorter than its header.
bool ParseAdtsHeader(const unsigned char* bytes, AdtsHeader* header);
