#pragma once
// One MPEG audio file playing: the file, the decoder, the output it plays through and the decoding
// thread that feeds it. Start, Stop, Pause and the setters run on the host's thread; the thread
// only reads the requests they leave (stop, seek) and talks to the output.
#include <windows.h>
#include <stdint.h>

#include "mpa_file.h"
#include "mpeg_decoder.h"
#include "tunara_plugin.h"

struct StreamHost {
    HWND window = nullptr;                                 // receives the end of the stream
    TunaraHostServiceFn checkDurationLimitOnce = nullptr;  // asked while playing
};

class MpaStream {
public:
    MpaStream() : stopEvent_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    ~MpaStream()
    {
        Stop();
        if (stopEvent_) CloseHandle(stopEvent_);
    }
    MpaStream(const MpaStream&) = delete;
    MpaStream& operator=(const MpaStream&) = delete;

    // Opens the decoder and the output (16 bits at the stream's rate and channels) and starts the
    // thread. False when the file, the codec, the output or the thread cannot be had; nothing is
    // left open then.
    bool Start(const char* path, const MpaFile& file, OutputPluginRecord* output, const StreamHost& host,
               int32_t volume, int32_t pan);
    // Ends the thread and closes the output; does nothing when not playing.
    void Stop();
    bool Playing() const { return thread_ != nullptr; }
    void Pause(bool paused);
    void Seek(int32_t positionMs);
    void SetVolume(int32_t volume);
    void SetPan(int32_t pan);
    int32_t PositionMs() const;
    const MpaFile& File() const { return file_; }
    const char* Path() const { return path_; }

private:
    static DWORD WINAPI ThreadMain(void* self);
    void Run();
    // Moves the reading to the frames before the position and arranges for the samples from
    // there on to be played.
    void Jump(int32_t positionMs);
    // Decodes the next frames into the PCM buffer; false at the end of the audio.
    bool DecodeMore();
    // Frames read from the file into frames (room bytes); the bytes taken, 0 at the end.
    int32_t NextFrames(unsigned char* frames, int32_t room);
    void CloseSource();

    MpaFile file_;
    char path_[MAX_PATH] = "";
    OutputPluginRecord* output_ = nullptr;
    StreamHost host_;
    HANDLE handle_ = INVALID_HANDLE_VALUE;
    MpegDecoder decoder_;
    HANDLE thread_ = nullptr;
    volatile LONG stopRequested_ = 0;
    HANDLE stopEvent_;  // set by Stop with stopRequested_: wakes an idle thread at once
    volatile LONG seekRequest_ = -1;

    // The decoding thread's state.
    uint64_t readOffset_ = 0;  // of the first byte not yet read into the input buffer
    int32_t inputStart_ = 0;
    int32_t inputEnd_ = 0;
    bool restart_ = false;      // the next decode follows a jump
    bool drained_ = false;      // the codec has given back what it held at the end
    int64_t skipSamples_ = 0;   // decoded samples still to drop (codec and encoder delay, after a jump)
    int64_t leftSamples_ = -1;  // samples still to play when the exact length is known
    int32_t pcmStart_ = 0;
    int32_t pcmEnd_ = 0;
};
