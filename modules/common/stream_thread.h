#pragma once
// What every playing stream of an input module shares, whatever it decodes: the output it plays
// through, the decoding thread that feeds it, and the requests (stop, seek) that the host's
// thread leaves for that thread. Stop, Pause, Seek and the setters run on the host's thread.
#include <windows.h>
#include <stdint.h>

#include "tunara_plugin.h"
#include "win/unique_resource.h"

struct StreamHost {
    HWND window = nullptr;                                 // receives the end of the stream
    TunaraHostServiceFn checkDurationLimitOnce = nullptr;  // asked while playing
    TunaraSendStatusFn sendStatus = nullptr;               // reaches the container; never waits
};

class StreamThread {
public:
    // How long Stop waits for the decoding thread to end.
    static constexpr DWORD kStopWaitMs = 3000;

    StreamThread(const StreamThread&) = delete;
    StreamThread& operator=(const StreamThread&) = delete;

    // Ends the thread, closes the output and the source; does nothing when not playing. Waits for
    // the thread at most kStopWaitMs: a thread still inside a call that hangs (a decoder, a file
    // on a dead share, an output) is then left to finish on its own. The output is closed all the
    // same; the thread keeps the source, which it closes when it ends, and keeps this module and
    // the output's module loaded until then (the host may release both meanwhile). After the stop
    // it calls the host no more, and the output at most to hand over the piece it was working on
    // (our outputs ignore writes once closed). Until it has ended the stream refuses to start
    // (CanStart is false).
    void Stop();
    bool Playing() const { return thread_ && state_ == kRunning; }
    void Pause(bool paused);
    void Seek(int32_t positionMs);
    void SetVolume(int32_t volume);
    void SetPan(int32_t pan);
    int32_t PositionMs() const;

protected:
    StreamThread() : stopEvent_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    // The derived stream stops itself first: Stop calls back into it.
    ~StreamThread() = default;

    // Whether a stream can start on this output at all: not while a thread that Stop left behind
    // still runs (it still uses the source).
    bool CanStart(const OutputPluginRecord* output) const
    {
        return stopEvent_ && !thread_ && output && output->open && output->write && output->canWrite;
    }
    // With the source open: hands the output the volume and pan, opens it for 16-bit samples and
    // starts the thread. False, with the source closed, when the output or the thread fails.
    bool Launch(OutputPluginRecord* output, const StreamHost& host, int32_t volume, int32_t pan, int32_t sampleRate,
                int32_t channels);

    // Ends a round of the decoding loop. Once the feeding has ended, posts the end of the stream
    // after the output has played everything it was given (once, until RestartEnding); asks for
    // the duration limit at most every 50 ms; idles until the next round, or a stop, when nothing
    // was fed. After a stop it does none of these.
    void EndRound(bool ended, bool fed);
    // After a seek: the stream may end, and be announced, again.
    void RestartEnding() { endPosted_ = false; }
    // Sends the host a status notification; none after a stop (the host may be gone while a
    // thread that Stop left behind runs on).
    void Notify(int32_t code, int32_t value)
    {
        if (host_.sendStatus && !stopRequested_) host_.sendStatus(code, value);
    }

    // The decoding thread's body: runs until stopRequested_ is set.
    virtual void Run() = 0;
    // Closes the file and the decoder: on the host's thread, or on a thread Stop left behind.
    virtual void CloseSource() = 0;

    OutputPluginRecord* output_ = nullptr;
    StreamHost host_;
    volatile LONG stopRequested_ = 0;
    UniqueHandle stopEvent_;  // set by Stop with stopRequested_: wakes an idle thread at once
    volatile LONG seekRequest_ = -1;

private:
    // The thread's states: kRunning until its body has returned; kLeft once Stop has given up
    // waiting (the thread then closes the source itself); kFinished once the thread touches
    // nothing of the stream any more.
    static constexpr LONG kRunning = 0;
    static constexpr LONG kLeft = 1;
    static constexpr LONG kFinished = 2;

    static DWORD WINAPI ThreadMain(void* self);

    UniqueHandle thread_;
    volatile LONG state_ = kFinished;
    // References that Launch takes for the thread, which owns them from its first instruction.
    UniqueModule ownModule_;
    UniqueModule outputModule_;
    bool endPosted_ = false;
    DWORD lastLimitCheck_ = 0;
};
