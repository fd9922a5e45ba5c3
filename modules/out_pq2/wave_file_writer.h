#pragma once
// One WAVE file being written: a 44-byte PCM header whose sizes are patched after every write,
// so the file is complete at any moment, even when the process ends in the middle of a track.
#include <windows.h>
#include <stdint.h>

class WaveFileWriter {
public:
    WaveFileWriter() = default;
    ~WaveFileWriter() { Close(); }
    WaveFileWriter(const WaveFileWriter&) = delete;
    WaveFileWriter& operator=(const WaveFileWriter&) = delete;

    // Creates (or replaces) the file and writes its header; false when it cannot be created.
    bool Open(const char* path, int32_t sampleRate, int32_t channels, int32_t bitsPerSample);
    // Appends the data and patches the sizes. Data past the format's 4 GiB limit is dropped.
    bool Append(const char* data, uint32_t bytes);
    // Cuts the samples back to the first dataBytes (never lengthens them).
    void Truncate(uint32_t dataBytes);
    uint32_t DataBytes() const { return dataBytes_; }
    void Close();
    bool IsOpen() const { return file_ != INVALID_HANDLE_VALUE; }

private:
    bool WriteAt(uint32_t offset, const void* data, uint32_t bytes);

    HANDLE file_ = INVALID_HANDLE_VALUE;
    uint32_t dataBytes_ = 0;
};
