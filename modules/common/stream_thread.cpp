#include "stream_thread.h"

namespace {

// The output holds about half a second ahead: waking 20 times a second keeps it fed at little cost.
constexpr DWORD kIdleMs = 50;
constexpr DWORD kLimitCheckEveryMs = 50;

}  // namespace

bool StreamThread::Launch(OutputPluginRecord* output, const StreamHost& host, int32_t volume, int32_t pan,
                          int32_t sampleRate, int32_t channels)
{
    output_ = output;
    host_ = host;
    stopRequested_ = 0;
    ResetEvent(stopEvent_);
    seekRequest_ = -1;
    endPosted_ = false;
    lastLimitCheck_ = GetTickCount();
    if (output_->setVolume) output_->setVolume(volume);
    if (output_->setPan) output_->setPan(pan);
    if (output_->open(sampleRate, channels, 16, -1, -1) < 0) {
        CloseSource();
        return false;
    }
    thread_ = CreateThread(nullptr, 0, ThreadMain, this, 0, nullptr);
    if (!thread_) {
        if (output_->close) output_->close();
        CloseSource();
        return false;
    }
    return true;
}

void StreamThread::Stop()
{
    if (!thread_) return;
    InterlockedExchange(&stopRequested_, 1);
    SetEvent(stopEvent_);
    WaitForSingleObject(thread_, INFINITE);
    CloseHandle(thread_);
    thread_ = nullptr;
    if (output_->close) output_->close();
    CloseSource();
}

void StreamThread::Pause(bool paused)
{
    if (thread_ && output_->pause) output_->pause(paused ? 1 : 0);
}

void StreamThread::Seek(int32_t positionMs)
{
    if (thread_) InterlockedExchange(&seekRequest_, positionMs < 0 ? 0 : positionMs);
}

void StreamThread::SetVolume(int32_t volume)
{
    if (thread_ && output_->setVolume) output_->setVolume(volume);
}

void StreamThread::SetPan(int32_t pan)
{
    if (thread_ && output_->setPan) output_->setPan(pan);
}

int32_t StreamThread::PositionMs() const
{
    return thread_ && output_->getOutputTime ? output_->getOutputTime() : 0;
}

DWORD WINAPI StreamThread::ThreadMain(void* self)
{
    static_cast<StreamThread*>(self)->Run();
    return 0;
}

void StreamThread::EndRound(bool ended, bool fed)
{
    if (ended && !endPosted_ && !(output_->isPlaying && output_->isPlaying())) {
        PostMessageA(host_.window, TUNARA_WM_ENGINE_ADVANCE, 0, 0);
        endPosted_ = true;
    }
    const DWORD now = GetTickCount();
    if (host_.checkDurationLimitOnce && now - lastLimitCheck_ >= kLimitCheckEveryMs) {
        lastLimitCheck_ = now;
        host_.checkDurationLimitOnce(0, 0);
    }
    if (!fed) WaitForSingleObject(stopEvent_, kIdleMs);
}
