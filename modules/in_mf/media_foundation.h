#pragma once
// The platform's Media Foundation, loaded at run time so that the module loads (and claims
// nothing) on an edition of the system without it. Start and Stop run on the host's thread
// (init and quit); the entry points may be called from any thread in between.
#include <windows.h>
#include <mfapi.h>
#include <mfidl.h>
#include <mfreadwrite.h>
#include <mftransform.h>

#include "win/unique_resource.h"

class MediaFoundation {
public:
    MediaFoundation() = default;
    MediaFoundation(const MediaFoundation&) = delete;
    MediaFoundation& operator=(const MediaFoundation&) = delete;
    ~MediaFoundation() { Stop(); }

    // Loads the libraries and starts the platform. False, with nothing held, when a library, an
    // entry point or the start fails; Why then tells which.
    bool Start();
    void Stop();
    bool Started() const { return started_; }
    const char* Why() const { return why_; }

    using CreateReaderFn = HRESULT(WINAPI*)(LPCWSTR url, IMFAttributes* attributes, IMFSourceReader** reader);
    using CreateMediaTypeFn = HRESULT(WINAPI*)(IMFMediaType** type);
    using EnumTransformsFn = HRESULT(WINAPI*)(GUID category, UINT32 flags, const MFT_REGISTER_TYPE_INFO* input,
                                              const MFT_REGISTER_TYPE_INFO* output, IMFActivate*** found,
                                              UINT32* count);
    using StartupFn = HRESULT(WINAPI*)(ULONG version, DWORD flags);
    using ShutdownFn = HRESULT(WINAPI*)();
    // A thread that may outlive the module's own use of the platform (an open left waiting)
    // starts it once more and shuts it down when done, so the platform stays up until then.
    StartupFn startup = nullptr;
    ShutdownFn shutdown = nullptr;
    CreateReaderFn createReader = nullptr;
    CreateMediaTypeFn createMediaType = nullptr;
    EnumTransformsFn enumTransforms = nullptr;

private:
    bool Fail(const char* why);

    UniqueModule platform_;
    UniqueModule readers_;
    bool started_ = false;
    const char* why_ = "";
};
