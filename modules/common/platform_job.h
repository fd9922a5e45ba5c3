#pragma once
// Work that calls into Media Foundation without holding the host's thread for long: the platform
// may wait forever (measured: Wine's media source, on an MPEG-4 file cut inside its header). The
// work runs on a thread of its own, with COM started there (multithreaded); the caller, on the
// host's thread, waits for it at most a bound. Work still going on then is left to end on its
// own: its thread holds this module and the platform's libraries loaded, keeps the platform
// started, and frees the job (with whatever it made) when it ends.
#include <windows.h>

#include <new>

#include "media_foundation.h"
#include "win/unique_resource.h"

class PlatformJob {
public:
    PlatformJob(const PlatformJob&) = delete;
    PlatformJob& operator=(const PlatformJob&) = delete;

    // A new job from the process heap (the C++ library's allocation would bring its exception
    // support, and with it a thread-local storage slot, into the module); null when there is no
    // memory for it.
    template <class Job>
    static Job* Make()
    {
        void* memory = HeapAlloc(GetProcessHeap(), 0, sizeof(Job));
        return memory ? new (memory) Job : nullptr;
    }

    // On the host's thread: runs job's Work and waits at most waitMs. True when it finished in
    // that time and succeeded: the caller may then take its results. Either way the caller lets go
    // of the job with Release once (after taking them), and never deletes it.
    static bool Run(const MediaFoundation& platform, PlatformJob* job, DWORD waitMs);
    // The last of the caller and the job's thread to let go destroys the job and frees its memory.
    void Release();

protected:
    PlatformJob() = default;
    virtual ~PlatformJob() = default;
    // On the job's thread.
    virtual bool Work() = 0;

private:
    static DWORD WINAPI Main(void* param);

    volatile LONG holders_ = 1;
    bool succeeded_ = false;
    UniqueHandle done_{CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    // Taken for the thread: this module, and the platform.
    UniqueModule own_;
    PlatformHold platform_;
};
