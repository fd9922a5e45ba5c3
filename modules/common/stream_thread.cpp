#include "stream_thread.h"

namespace {

// The output holds about half a second ahead: waking 10 times a second keeps it fed at little cost.
constexpr DWORD kIdleMs = 100;
constexpr DWORD kLimitCheckEveryMs = 50;

// An address inside this module, by which the decoding thread holds the module loaded.
const char kModuleAnchor = 0;

// A reference on the module that holds address; empty when there is none.
UniqueModule ModuleReference(const void* address)
{
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, static_cast<LPCWSTR>(address), &module))
        return UniqueModule();
    return UniqueModule(module);
}

}  // namespace

bool StreamThread::Launch(OutputPluginRecord* output, const StreamHost& host, int32_t volume, int32_t pan,
                          int32_t sampleRate, int32_t channels)
{
    output_ = output;
    host_ = host;
    stopRequested_ = 0;
    ResetEvent(stopEvent_.Get());
    seekRequest_ = -1;
    endPosted_ = false;
    lastLimitCheck_ = GetTickCount();
    if (output_->setVolume) output_->setVolume(volume);
    if (output_->setPan) output_->setPan(pan);
    if (output_->open(sampleRate, channels, 16, -1, -1) < 0) {
        CloseSource();
        return false;
    }
    // The output's code, where its record lives, whatever allocated the record.
    outputModule_ = ModuleReference(reinterpret_cast<const void*>(output_->write));
    ownModule_ = ModuleReference(&kModuleAnchor);
    state_ = kRunning;
    thread_.Reset(ownModule_ ? CreateThread(nullptr, 0, ThreadMain, this, 0, nullptr) : nullptr);
    if (!thread_) {
        state_ = kFinished;
        ownModule_.Reset();
        outputModule_.Reset();
        if (output_->close) output_->close();
        CloseSource();
        return false;
    }
    return true;
}

void StreamThread::Stop()
{
    if (!thread_) return;
    if (state_ != kRunning) {
        // A thread left behind by an earlier stop: forgotten once it has finished.
        if (state_ == kFinished) thread_.Reset();
        return;
    }
    InterlockedExchange(&stopRequested_, 1);
    SetEvent(stopEvent_.Get());
    const bool exited = WaitForSingleObject(thread_.Get(), kStopWaitMs) == WAIT_OBJECT_0;
    // Past the wait the thread is left behind, unless its body returned meanwhile.
    const bool left = !exited && InterlockedCompareExchange(&state_, kLeft, kRunning) == kRunning;
    if (output_->close) output_->close();
    if (left) return;
    thread_.Reset();
    CloseSource();
}

void StreamThread::Pause(bool paused)
{
    if (Playing() && output_->pause) output_->pause(paused ? 1 : 0);
}

void StreamThread::Seek(int32_t positionMs)
{
    if (Playing()) InterlockedExchange(&seekRequest_, positionMs < 0 ? 0 : positionMs);
}

void StreamThread::SetVolume(int32_t volume)
{
    if (Playing() && output_->setVolume) output_->setVolume(volume);
}

void StreamThread::SetPan(int32_t pan)
{
    if (Playing() && output_->setPan) output_->setPan(pan);
}

int32_t StreamThread::PositionMs() const
{
    return Playing() && output_->getOutputTime ? output_->getOutputTime() : 0;
}

// The decoding thread. It holds this module and the output's module loaded while it runs, so a
// thread that Stop left behind never runs in, or calls into, a module the host has released.
DWORD WINAPI StreamThread::ThreadMain(void* param)
{
    StreamThread* self = static_cast<StreamThread*>(param);
    HMODULE own = self->ownModule_.Detach();
    {
        UniqueModule output(std::move(self->outputModule_));
        self->Run();
        if (InterlockedCompareExchange(&self->state_, kFinished, kRunning) == kLeft) {
            self->CloseSource();
            InterlockedExchange(&self->state_, kFinished);
        }
    }
    // The last reference may unload this module: the call does not come back here.
    FreeLibraryAndExitThread(own, 0);
    return 0;
}

void StreamThread::EndRound(bool ended, bool fed)
{
    if (stopRequested_) return;
    if (ended && !endPosted_ && !(output_->isPlaying && output_->isPlaying())) {
        PostMessageA(host_.window, TUNARA_WM_ENGINE_ADVANCE, 0, 0);
        endPosted_ = true;
    }
    const DWORD now = GetTickCount();
    if (host_.checkDurationLimitOnce && now - lastLimitCheck_ >= kLimitCheckEveryMs) {
        lastLimitCheck_ = now;
        host_.checkDurationLimitOnce(0, 0);
    }
    if (!fed) WaitForSingleObject(stopEvent_.Get(), kIdleMs);
}
