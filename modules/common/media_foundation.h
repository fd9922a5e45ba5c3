#pragma once
// The platform's Media Foundation, loaded at run time so that a module that uses it loads (and
// plays everything else) on an edition of the system without it. Start and Stop run on the host's
// thread (IN_MF.DLL's init and quit; IN_MPA.DLL starts it at its first AAC station); the entry
// points may be called from any thread in between.
#include <windows.h>
#include <mfapi.h>
#include <mfidl.h>
#include <mfreadwrite.h>
#include <mftransform.h>

#include <utility>

#include "win/unique_resource.h"

// What a thread that may outlive the module's own use of the platform (an open left waiting, a
// decoding thread left behind by a stop) holds: the platform's libraries loaded and the platform
// started once more, until it lets go (on that thread). Taken on the host's thread.
class PlatformHold {
public:
    PlatformHold() = default;
    PlatformHold(PlatformHold&& other) noexcept { *this = std::move(other); }
    PlatformHold& operator=(PlatformHold&& other) noexcept
    {
        if (this != &other) {
            Release();
            platform_ = std::move(other.platform_);
            readers_ = std::move(other.readers_);
            shutdown_ = std::exchange(other.shutdown_, nullptr);
        }
        return *this;
    }
    ~PlatformHold() { Release(); }
    bool Held() const { return shutdown_ != nullptr; }
    void Release();

private:
    friend class MediaFoundation;
    UniqueModule platform_;
    UniqueModule readers_;
    HRESULT(WINAPI* shutdown_)() = nullptr;
};

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
    // Empty (not Held) when the platform is not started or does not start again.
    PlatformHold Hold() const;
    const char* Why() const { return why_; }

    using CreateReaderFn = HRESULT(WINAPI*)(LPCWSTR url, IMFAttributes* attributes, IMFSourceReader** reader);
    using CreateMediaTypeFn = HRESULT(WINAPI*)(IMFMediaType** type);
    using EnumTransformsFn = HRESULT(WINAPI*)(GUID category, UINT32 flags, const MFT_REGISTER_TYPE_INFO* input,
                                              const MFT_REGISTER_TYPE_INFO* output, IMFActivate*** found,
                                              UINT32* count);
    CreateReaderFn createReader = nullptr;
    CreateMediaTypeFn createMediaType = nullptr;
    using CreateSampleFn = HRESULT(WINAPI*)(IMFSample** sample);
    using CreateMemoryBufferFn = HRESULT(WINAPI*)(DWORD maxLength, IMFMediaBuffer** buffer);
    EnumTransformsFn enumTransforms = nullptr;
    CreateSampleFn createSample = nullptr;
    CreateMemoryBufferFn createMemoryBuffer = nullptr;

private:
    using StartupFn = HRESULT(WINAPI*)(ULONG version, DWORD flags);
    using ShutdownFn = HRESULT(WINAPI*)();

    bool Fail(const char* why);

    UniqueModule platform_;
    UniqueModule readers_;
    StartupFn startup_ = nullptr;
    ShutdownFn shutdown_ = nullptr;
    bool started_ = false;
    const char* why_ = "";
};
