#include "platform_job.h"

namespace {

// An address inside this module, by which a job's thread holds the module loaded.
const char kModuleAnchor = 0;

UniqueModule OwnReference()
{
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCWSTR>(&kModuleAnchor), &module))
        return UniqueModule();
    return UniqueModule(module);
}

}  // namespace

void PlatformJob::Release()
{
    if (InterlockedDecrement(&holders_) != 0) return;
    // Jobs derive from this class alone: it starts the memory Make took.
    this->~PlatformJob();
    HeapFree(GetProcessHeap(), 0, this);
}

// The job's thread.
DWORD WINAPI PlatformJob::Main(void* param)
{
    PlatformJob* job = static_cast<PlatformJob*>(param);
    HMODULE own = job->own_.Detach();
    {
        PlatformHold platform(std::move(job->platform_));
        const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED));
        job->succeeded_ = job->Work();
        // A caller still waiting takes the results; one that gave up left them to go with the job,
        // which goes while the platform is still held.
        SetEvent(job->done_.Get());
        job->Release();
        if (com) CoUninitialize();
    }
    // The last reference may unload this module: the call does not come back here.
    FreeLibraryAndExitThread(own, 0);
    return 0;
}

bool PlatformJob::Run(const MediaFoundation& platform, PlatformJob* job, DWORD waitMs)
{
    if (!platform.Started()) return false;
    job->own_ = OwnReference();
    job->platform_ = platform.Hold();
    UniqueHandle thread;
    if (job->done_ && job->own_ && job->platform_.Held()) {
        // One hold for the caller, one for the thread.
        job->holders_ = 2;
        thread.Reset(CreateThread(nullptr, 0, Main, job, 0, nullptr));
        if (!thread) job->holders_ = 1;
    }
    if (!thread) {
        job->own_.Reset();
        job->platform_.Release();
        return false;
    }
    return WaitForSingleObject(job->done_.Get(), waitMs) == WAIT_OBJECT_0 && job->succeeded_;
}
