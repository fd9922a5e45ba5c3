#pragma once
// One WAVE file playing: the file, the output it plays through and the decoding thread that feeds
// it. Start, Stop, Pause and the setters run on the host's thread; the thread only reads the
// requests they leave (stop, seek) and talks to the output.
#include <windows.h>
#include <stdint.h>

#include "acm_decoder.h"
#include "tunara_plugin.h"
#include "wave_header.h"

struct StreamHost {
    HWND window = nullptr;                                     // receives the end of the stream
    TunaraHostServiceFn checkDurationLimitOnce = nullptr;      // asked while playing
};

class WaveStream {
public:
    WaveStream() : stopEvent_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    ~WaveStream()
    {
        Stop();
        if (stopEvent_) CloseHandle(stopEvent_);
    }
    WaveStream(const WaveStream&) = delete;
    WaveStream& operator=(const WaveStream&) = delete;

    // Opens the output with the header's rate and channels (16 bits) and starts the thread.
    // False when the file, the output or the thread cannot be had; nothing is left open then.
    bool Start(const char* path, const WaveHeader& header, OutputPluginRecord* output, const StreamHost& host,
               int32_t volume, int32_t pan);
    // Ends the thread and closes the output; does nothing when not playing.
    void Stop();
    bool Playing() const { return thread_ != nullptr; }
    void Pause(bool paused);
    void Seek(int32_t positionMs);
    void SetVolume(int32_t volume);
    void SetPan(int32_t pan);
    int32_t PositionMs() const;
    const WaveHeader& Header() const { return header_; }
    const char* Path() const { return path_; }

private:
    static DWORD WINAPI ThreadMain(void* self);
    void Run();
    // Reads and writes one piece while the output takes it; false at the end of the samples.
    bool Feed(int32_t room);
    bool FeedCompressed(int32_t room);
    // Closes the file and the decoder.
    void CloseSource();

    WaveHeader header_;
    char path_[MAX_PATH] = "";
    OutputPluginRecord* output_ = nullptr;
    StreamHost host_;
    HANDLE file_ = INVALID_HANDLE_VALUE;
    AcmDecoder decoder_;
    HANDLE thread_ = nullptr;
    volatile LONG stopRequested_ = 0;
    HANDLE stopEvent_;  // set by Stop with stopRequested_: wakes an idle thread at once
    volatile LONG seekRequest_ = -1;
    uint64_t readBytes_ = 0;  // into the data chunk
};
