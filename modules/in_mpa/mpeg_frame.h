#pragma once
// The four-byte header that starts every MPEG audio frame (MPEG 1, 2 and 2.5, layers 1 to 3).
#include <stdint.h>

// The largest frame there is: layer 2 of MPEG 2.5 at 160 kbit/s and 8 kHz, padded.
constexpr int32_t kMaxFrameBytes = 2881;

struct FrameHeader {
    int version = 0;  // 1 = MPEG 1, 2 = MPEG 2, 25 = MPEG 2.5
    int layer = 0;
    int bitrateKbps = 0;
    int sampleRate = 0;
    int channels = 0;
    int frameBytes = 0;  // header and padding included
    int samplesPerFrame = 0;
    bool crc = false;
    // A free-format stream's frame length without its padding (the header names no bitrate, every
    // frame of the stream has this length); 0 for a stream with a bitrate.
    int freeFrameBytes = 0;
    // Bytes of side information after the header (and its CRC) in a layer 3 frame.
    int SideInfoBytes() const;
    // Same stream parameters: what a frame following this one must share.
    bool SameStream(const FrameHeader& other) const
    {
        return version == other.version && layer == other.layer && sampleRate == other.sampleRate &&
               channels == other.channels && freeFrameBytes == other.freeFrameBytes;
    }
};

// False for anything that is not a frame header this module plays: no sync, reserved version,
// layer, rate or bitrate. A free-format header (bitrate index 0) is one only with the stream's
// frame length (freeFrameBytes, see FrameHeader), which the header itself does not give.
bool ParseFrameHeader(const unsigned char* bytes, FrameHeader* header, int freeFrameBytes = 0);

// Whether a names a free-format frame (bitrate index 0) and b the next header of its stream (the
// same fixed bits: version, layer, rate, channel mode; the padding bit may differ).
bool SameFreeFormatStream(const unsigned char* a, const unsigned char* b);
