#pragma once
// What the WAVE reader needs from a file's chunks: the sample format, where the samples are, and
// the LIST/INFO texts. Reads only the chunk headers and the small chunks; every size is checked
// against the file before it is used.
#include <windows.h>
#include <stdint.h>

enum class SampleKind { kInteger, kFloat };

struct WaveHeader {
    SampleKind kind = SampleKind::kInteger;
    int32_t channels = 0;
    int32_t sampleRate = 0;
    int32_t bitsPerSample = 0;
    int32_t blockAlign = 0;
    uint64_t dataOffset = 0;
    uint64_t dataBytes = 0;  // whole frames only
    // LIST/INFO texts, empty when absent.
    char title[256] = "";
    char artist[256] = "";
    char album[256] = "";
    char comment[256] = "";
    char year[256] = "";
    char genre[256] = "";

    int64_t BytesPerSecond() const { return static_cast<int64_t>(sampleRate) * blockAlign; }
    int32_t LengthMs() const { return static_cast<int32_t>(dataBytes * 1000 / static_cast<uint64_t>(BytesPerSecond())); }
};

// Reads the header of a RIFF WAVE file with integer PCM of 8, 16, 24 or 32 bits or 32-bit float,
// 1 to 8 channels. False for anything else or anything malformed (truncated or oversized chunks,
// zero channels, a block alignment that does not match the format, a data chunk that runs past
// the end of the file).
bool ReadWaveHeader(const char* path, WaveHeader* header);

// The file's name without its folder and extension, cut to fit size bytes.
void BaseTitle(const char* path, char* title, size_t size);
