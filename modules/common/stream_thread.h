#pragma once
// What every playing stream of an input module shares, whatever it decodes: the output it plays
// through, the decoding thread that feeds it, and the requests (stop, seek) that the host's
// thread leaves for that thread. Stop, Pause, Seek and the setters run on the host's thread.
#include <windows.h>
#include <stdint.h>

#include "tunara_plugin.h"

struct StreamHost {
    HWND window = nullptr;                                 // receives the end of the stream
    TunaraHostServiceFn checkDurationLimitOnce = nullptr;  // asked while playing
    TunaraSendStatusFn sendStatus = nullptr;               // reaches the container; never waits
};

class StreamThread {
public:
    StreamThread(const StreamThread&) = delete;
    StreamThread& operator=(const StreamThread&) = delete;

    // Ends the thread, closes the output and the source; does nothing when not playing.
    void Stop();
    bool Playing() const { return thread_ != nullptr; }
    void Pause(bool paused);
    void Seek(int32_t positionMs);
    void SetVolume(int32_t volume);
    void SetPan(int32_t pan);
    int32_t PositionMs() const;

protected:
    StreamThread() : stopEvent_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    // The derived stream stops itself first: Stop calls back into it.
    ~StreamThread()
    {
        if (stopEvent_) CloseHandle(stopEvent_);
    }

    // Whether a stream can start on this output at all.
    bool CanStart(const OutputPluginRecord* output) const
    {
        return stopEvent_ && output && output->open && output->write && output->canWrite;
    }
    // With the source open: hands the output the volume and pan, opens it for 16-bit samples and
    // starts the thread. False, with the source closed, when the output or the thread fails.
    bool Launch(OutputPluginRecord* output, const StreamHost& host, int32_t volume, int32_t pan, int32_t sampleRate,
                int32_t channels);

    // Ends a round of the decoding loop. Once the feeding has ended, posts the end of the stream
    // after the output has played everything it was given (once, until RestartEnding); asks for
    // the duration limit at most every 50 ms; idles until the next round, or a stop, when nothing
    // was fed.
    void EndRound(bool ended, bool fed);
    // After a seek: the stream may end, and be announced, again.
    void RestartEnding() { endPosted_ = false; }

    // The decoding thread's body: runs until stopRequested_ is set.
    virtual void Run() = 0;
    // Closes the file and the decoder.
    virtual void CloseSource() = 0;

    OutputPluginRecord* output_ = nullptr;
    StreamHost host_;
    volatile LONG stopRequested_ = 0;
    HANDLE stopEvent_;  // set by Stop with stopRequested_: wakes an idle thread at once
    volatile LONG seekRequest_ = -1;

private:
    static DWORD WINAPI ThreadMain(void* self);

    HANDLE thread_ = nullptr;
    bool endPosted_ = false;
    DWORD lastLimitCheck_ = 0;
};
