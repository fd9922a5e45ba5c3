#include "media_foundation.h"

namespace {

// The system's own copies, never one planted in the container's folder.
HMODULE LoadSystemLibrary(const char* name)
{
    return LoadLibraryExA(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
}

// Another reference on a loaded library, found by an address inside it.
UniqueModule Reference(const void* address)
{
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, static_cast<LPCWSTR>(address), &module))
        return UniqueModule();
    return UniqueModule(module);
}

template <typename Fn>
Fn Entry(const UniqueModule& module, const char* name)
{
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module.Get(), name)));
}

}  // namespace

bool MediaFoundation::Fail(const char* why)
{
    Stop();
    why_ = why;
    return false;
}

bool MediaFoundation::Start()
{
    if (started_) return true;
    platform_.Reset(LoadSystemLibrary("mfplat.dll"));
    readers_.Reset(platform_ ? LoadSystemLibrary("mfreadwrite.dll") : nullptr);
    if (!platform_ || !readers_) return Fail("Media Foundation is not installed");
    startup_ = Entry<StartupFn>(platform_, "MFStartup");
    shutdown_ = Entry<ShutdownFn>(platform_, "MFShutdown");
    createMediaType = Entry<CreateMediaTypeFn>(platform_, "MFCreateMediaType");
    enumTransforms = Entry<EnumTransformsFn>(platform_, "MFTEnumEx");
    createSample = Entry<CreateSampleFn>(platform_, "MFCreateSample");
    createMemoryBuffer = Entry<CreateMemoryBufferFn>(platform_, "MFCreateMemoryBuffer");
    createReader = Entry<CreateReaderFn>(readers_, "MFCreateSourceReaderFromURL");
    if (!startup_ || !shutdown_ || !createMediaType || !enumTransforms || !createSample || !createMemoryBuffer ||
        !createReader)
        return Fail("Media Foundation lacks the source reader or its media objects");
    if (FAILED(startup_(MF_VERSION, MFSTARTUP_NOSOCKET))) return Fail("Media Foundation does not start");
    started_ = true;
    why_ = "";
    return true;
}

void MediaFoundation::Stop()
{
    if (started_) shutdown_();
    started_ = false;
    startup_ = nullptr;
    shutdown_ = nullptr;
    createReader = nullptr;
    createMediaType = nullptr;
    enumTransforms = nullptr;
    createSample = nullptr;
    createMemoryBuffer = nullptr;
    readers_.Reset();
    platform_.Reset();
}

PlatformHold MediaFoundation::Hold() const
{
    PlatformHold hold;
    if (!started_) return hold;
    hold.platform_ = Reference(reinterpret_cast<const void*>(startup_));
    hold.readers_ = Reference(reinterpret_cast<const void*>(createReader));
    if (hold.platform_ && hold.readers_ && SUCCEEDED(startup_(MF_VERSION, MFSTARTUP_NOSOCKET))) hold.shutdown_ = shutdown_;
    return hold;
}

void PlatformHold::Release()
{
    if (shutdown_) shutdown_();
    shutdown_ = nullptr;
    readers_.Reset();
    platform_.Reset();
}
