#include "reader_opening.h"

#include <mfapi.h>

#include "platform_job.h"

namespace {

constexpr LONGLONG kUnitsPerMs = 10000;
// Lengths are held within 32 bits of milliseconds.
constexpr LONGLONG kLongestMs = 0x7fffffff;
constexpr DWORD kAudio = static_cast<DWORD>(MF_SOURCE_READER_FIRST_AUDIO_STREAM);

// Opens the reader on the job's thread.
class OpenJob final : public PlatformJob {
public:
    MediaFoundation::CreateReaderFn createReader = nullptr;
    MediaFoundation::CreateMediaTypeFn createMediaType = nullptr;
    wchar_t path[MAX_PATH] = L"";
    OpenedReader opened;

private:
    bool Work() override;
};

}  // namespace

bool OpenJob::Work()
{
    if (FAILED(createReader(path, nullptr, opened.reader.Out()))) return false;
    ComPtr<IMFMediaType> pcm, current;
    UINT32 rate = 0, channels = 0;
    IMFSourceReader* reader = opened.reader.Get();
    if (FAILED(createMediaType(pcm.Out())) ||
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

bool OpenReader(const MediaFoundation& platform, const wchar_t* path, OpenedReader* opened)
{
    if (lstrlenW(path) >= MAX_PATH) return false;
    OpenJob* job = PlatformJob::Make<OpenJob>();
    if (!job) return false;
    job->createReader = platform.createReader;
    job->createMediaType = platform.createMediaType;
    lstrcpynW(job->path, path, MAX_PATH);
    const bool succeeded = PlatformJob::Run(platform, job, kOpenWaitMs);
    if (succeeded) *opened = std::move(job->opened);
    job->Release();
    return succeeded;
}
