#include "reader_opening.h"

#include <mfapi.h>

#include <new>

#include "win/unique_resource.h"

namespace {

constexpr LONGLONG kUnitsPerMs = 10000;
// Lengths are held within 32 bits of milliseconds.
constexpr LONGLONG kLongestMs = 0x7fffffff;
constexpr DWORD kAudio = static_cast<DWORD>(MF_SOURCE_READER_FIRST_AUDIO_STREAM);

// An address inside this module, by which an opening thread holds the module loaded.
const char kModuleAnchor = 0;

UniqueModule OwnReference()
{
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCWSTR>(&kModuleAnchor), &module))
        return UniqueModule();
    return UniqueModule(module);
}

// Shared by the caller and the opening thread; the last of the two to let go frees it.
struct OpenJob {
    volatile LONG holders = 2;
    MediaFoundation::CreateReaderFn createReader = nullptr;
    MediaFoundation::CreateMediaTypeFn createMediaType = nullptr;
    wchar_t path[MAX_PATH] = L"";
    OpenedReader opened;
    bool succeeded = false;
    UniqueHandle done{CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    // Taken for the thread: this module, and the platform.
    UniqueModule own;
    PlatformHold platform;
};

void LetGo(OpenJob* job)
{
    if (InterlockedDecrement(&job->holders) == 0) delete job;
}

bool Configure(OpenJob* job)
{
    OpenedReader& opened = job->opened;
    if (FAILED(job->createReader(job->path, nullptr, opened.reader.Out()))) return false;
    ComPtr<IMFMediaType> pcm, current;
    UINT32 rate = 0, channels = 0;
    IMFSourceReader* reader = opened.reader.Get();
    if (FAILED(job->createMediaType(pcm.Out())) ||
        FAILED(reader->SetStreamSelection(static_cast<DWORD>(MF_SOURCE_READER_ALL_STREAMS), FALSE)) ||
        FAILED(reader->SetStreamSelection(kAudio, TRUE)) || FAILED(pcm->SetGUID(MF_MT_MAJOR_TYPE, MFMediaType_Audio)) ||
        FAILED(pcm->SetGUID(MF_MT_SUBTYPE, MFAudioFormat_PCM)) || FAILED(pcm->SetUINT32(MF_MT_AUDIO_BITS_PER_SAMPLE, 16)) ||
        FAILED(reader->SetCurrentMediaType(kAudio, nullptr, pcm.Get())) ||
        FAILED(reader->GetCurrentMediaType(kAudio, current.Out())) ||
        FAILED(current->GetUINT32(MF_MT_AUDIO_SAMPLES_PER_SECOND, &rate)) ||
        FAILED(current->GetUINT32(MF_MT_AUDIO_NUM_CHANNELS, &channels)) || rate == 0 || rate > 768000 ||
        channels == 0 || channels > 8)
        return false;
    opened.rate = static_cast<int32_t>(rate);
    opened.channels = static_cast<int32_t>(channels);
    PROPVARIANT duration;
    PropVariantInit(&duration);
    if (SUCCEEDED(reader->GetPresentationAttribute(static_cast<DWORD>(MF_SOURCE_READER_MEDIASOURCE), MF_PD_DURATION,
                                                   &duration)) &&
        duration.vt == VT_UI8) {
        const LONGLONG ms = static_cast<LONGLONG>(duration.uhVal.QuadPart / kUnitsPerMs);
        opened.lengthMs = static_cast<int32_t>(ms < kLongestMs ? ms : kLongestMs);
    }
    PropVariantClear(&duration);
    return true;
}

// The opening thread.
DWORD WINAPI OpenMain(void* param)
{
    OpenJob* job = static_cast<OpenJob*>(param);
    HMODULE own = job->own.Detach();
    {
        PlatformHold platform(std::move(job->platform));
        const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED));
        job->succeeded = Configure(job);
        if (!job->succeeded) job->opened.reader.Reset();
        // A caller still waiting takes the reader; one that gave up left it to go with the job.
        SetEvent(job->done.Get());
        LetGo(job);
        if (com) CoUninitialize();
    }
    // The last reference may unload this module: the call does not come back here.
    FreeLibraryAndExitThread(own, 0);
    return 0;
}

}  // namespace

bool OpenReader(const MediaFoundation& platform, const wchar_t* path, OpenedReader* opened)
{
    if (!platform.Started() || lstrlenW(path) >= MAX_PATH) return false;
    OpenJob* job = new (std::nothrow) OpenJob;
    if (!job) return false;
    job->createReader = platform.createReader;
    job->createMediaType = platform.createMediaType;
    lstrcpynW(job->path, path, MAX_PATH);
    job->own = OwnReference();
    job->platform = platform.Hold();
    UniqueHandle thread;
    if (job->done && job->own && job->platform.Held())
        thread.Reset(CreateThread(nullptr, 0, OpenMain, job, 0, nullptr));
    if (!thread) {
        delete job;
        return false;
    }
    const bool answered = WaitForSingleObject(job->done.Get(), kOpenWaitMs) == WAIT_OBJECT_0;
    const bool succeeded = answered && job->succeeded;
    if (succeeded) *opened = std::move(job->opened);
    LetGo(job);
    return succeeded;
}
