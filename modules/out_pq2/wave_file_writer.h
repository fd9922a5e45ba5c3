#pragma once
// One WAVE file being written: a 44-byte PCM header whose sizes are patched whenever another
// kPatchEveryBytes of samples have gone out, when the file is full, cut back, committed (the output
// does at a pause) or closed. A process
// that ends in the middle of a track leaves a valid WAVE file that holds all but at most the last
// kPatchEveryBytes of its samples. (Rewriting the first page after every write costs more than
// the writes themselves: the system waits for the page's write-back each time.)
// The sizes are 32-bit: at the limit the file stops growing, a valid WAVE file of whole frames,
// and what comes after is dropped.
#include <windows.h>
#include <stdint.h>

#include "win/unique_resource.h"

class WaveFileWriter {
public:
    // The largest file the format's sizes describe: the RIFF size counts all but its first 8 bytes.
    static constexpr uint64_t kMaxFileBytes = 0xFFFFFFFFull + 8;
    // About 3 s of 44.1 kHz stereo.
    static constexpr uint32_t kPatchEveryBytes = 512 * 1024;

    WaveFileWriter() = default;
    WaveFileWriter(const WaveFileWriter&) = delete;
    WaveFileWriter& operator=(const WaveFileWriter&) = delete;
    ~WaveFileWriter() { Close(); }

    // Creates (or replaces) the file and writes its header; false when it cannot be created.
    // maxFileBytes (at most kMaxFileBytes) is where the file stops growing.
    bool Open(const char* path, int32_t sampleRate, int32_t channels, int32_t bitsPerSample,
              uint64_t maxFileBytes = kMaxFileBytes);
    // Appends the data; the whole frames past the limit are dropped.
    bool Append(const char* data, uint32_t bytes);
    // Whether the file has reached its limit: nothing more is written.
    bool Full() const { return dataBytes_ >= maxDataBytes_; }
    // Cuts the samples back to the first dataBytes (never lengthens them).
    void Truncate(uint64_t dataBytes);
    uint32_t DataBytes() const { return dataBytes_; }
    // Patches the sizes where they lag behind the samples written.
    void Commit();
    // Commits and closes the file.
    void Close();
    bool IsOpen() const { return file_.Valid(); }

private:
    bool WriteAt(uint64_t offset, const void* data, uint32_t bytes);
    // Patches the sizes; the file pointer is left at the end of the samples, where appends go.
    bool PatchSizes();
    bool SeekToEnd();

    static constexpr uint32_t kHeaderBytes = 44;

    UniqueFile file_;
    // The header as written; its sizes are patched in one write from the RIFF size to the data size.
    unsigned char header_[kHeaderBytes] = {};
    uint32_t dataBytes_ = 0;
    uint32_t patchedBytes_ = 0;  // the data size the header holds
    uint32_t maxDataBytes_ = 0;
};
