#pragma once
// What the WAVE reader needs from a file's chunks: the sample format, where the samples are, and
// the LIST/INFO texts. Reads only the chunk headers and the small chunks; every size is checked
// against the file before it is used.
#include <windows.h>
#include <stdint.h>

#include "tags.h"

// kCompressed: any other format tag, converted to PCM by the platform's audio compression manager.
enum class SampleKind { kInteger, kFloat, kCompressed };

// The fmt chunk is kept whole for the compression manager, up to this size (ADPCM's coefficient
// tables fit many times over).
constexpr uint32_t kMaxFormatBytes = 256;
// Compressed blocks larger than this are not taken (the reader converts whole blocks).
constexpr int32_t kMaxCompressedBlock = 64 * 1024;

struct WaveHeader {
    SampleKind kind = SampleKind::kInteger;
    int32_t channels = 0;
    int32_t sampleRate = 0;
    int32_t bitsPerSample = 0;
    int32_t blockAlign = 0;
    int32_t bytesPerSecond = 0;  // of the stored data
    unsigned char format[kMaxFormatBytes] = {};
    uint32_t formatBytes = 0;
    uint64_t dataOffset = 0;
    uint64_t dataBytes = 0;  // whole frames only
    // The LIST/INFO texts, empty when absent.
    Tags tags;

    int64_t BytesPerSecond() const { return bytesPerSecond; }
    // Held within 32 bits: a crafted header (a byte rate of 1) makes days of a few megabytes.
    int32_t LengthMs() const
    {
        const uint64_t ms = dataBytes * 1000 / static_cast<uint64_t>(BytesPerSecond());
        return ms < INT32_MAX ? static_cast<int32_t>(ms) : INT32_MAX;
    }
};

// Reads the header of a RIFF WAVE file with integer PCM of 8, 16, 24 or 32 bits, 32-bit float or
// a compressed format, 1 to 8 channels. False for anything malformed (truncated or oversized
// chunks, zero channels, a block alignment that does not match the format, a data chunk that runs
// past the end of the file). Whether the platform converts a compressed format is known only when
// it plays.
bool ReadWaveHeader(const char* path, WaveHeader* header);
