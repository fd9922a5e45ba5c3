#pragma once
// One WAVE file playing: the file, the output it plays through and the decoding thread that feeds
// it. Start, Stop, Pause and the setters run on the host's thread; the thread only reads the
// requests they leave (stop, seek) and talks to the output.
#include <windows.h>
#include <stdint.h>

#include "acm_decoder.h"
#include "stream_thread.h"
#include "tunara_plugin.h"
#include "wave_header.h"
#include "win/unique_resource.h"

class WaveStream final : public StreamThread {
public:
    WaveStream() = default;
    ~WaveStream() { Stop(); }
    WaveStream(const WaveStream&) = delete;
    WaveStream& operator=(const WaveStream&) = delete;

    // Opens the output with the header's rate and channels (16 bits) and starts the thread.
    // False when the file, the output or the thread cannot be had; nothing is left open then.
    bool Start(const char* path, const WaveHeader& header, OutputPluginRecord* output, const StreamHost& host,
               int32_t volume, int32_t pan);
    const WaveHeader& Header() const { return header_; }
    const char* Path() const { return path_; }

private:
    void Run() override;
    // Reads and writes one piece while the output takes it; false at the end of the samples.
    bool Feed(int32_t room);
    bool FeedCompressed(int32_t room);
    void CloseSource() override;

    WaveHeader header_;
    char path_[MAX_PATH] = "";
    UniqueFile file_;
    AcmDecoder decoder_;
    uint64_t readBytes_ = 0;  // into the data chunk
};
