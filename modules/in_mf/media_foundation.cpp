#include "media_foundation.h"

namespace {

// The system's own copies, never one planted in the container's folder.
HMODULE LoadSystemLibrary(const char* name)
{
    return LoadLibraryExA(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
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
    startup = Entry<StartupFn>(platform_, "MFStartup");
    shutdown = Entry<ShutdownFn>(platform_, "MFShutdown");
    createMediaType = Entry<CreateMediaTypeFn>(platform_, "MFCreateMediaType");
    enumTransforms = Entry<EnumTransformsFn>(platform_, "MFTEnumEx");
    createReader = Entry<CreateReaderFn>(readers_, "MFCreateSourceReaderFromURL");
    if (!startup || !shutdown || !createMediaType || !enumTransforms || !createReader)
        return Fail("Media Foundation lacks the source reader");
    if (FAILED(startup(MF_VERSION, MFSTARTUP_NOSOCKET))) return Fail("Media Foundation does not start");
    started_ = true;
    why_ = "";
    return true;
}

void MediaFoundation::Stop()
{
    if (started_) shutdown();
    started_ = false;
    startup = nullptr;
    shutdown = nullptr;
    createReader = nullptr;
    createMediaType = nullptr;
    enumTransforms = nullptr;
    readers_.Reset();
    platform_.Reset();
}
