#include "aac_decoder.h"

#include <mfapi.h>
#include <mferror.h>
#include <string.h>

#include "platform_job.h"

namespace {

// ADTS, and the part of the wave format's AAC description after its WAVEFORMATEX (payload type,
// profile and level "not given", structure type 0), which the decoder wants as the type's user
// data.
constexpr UINT32 kPayloadAdts = 1;
const BYTE kAacInfo[12] = {1, 0, 0xFE, 0, 0, 0, 0, 0, 0, 0, 0, 0};
// At least a frame of 2048 samples (HE-AAC) in 8 channels of 16 bits.
constexpr DWORD kLeastOutputBytes = 2048 * 8 * 2;

// The decoder's 16-bit PCM output among those it offers now.
bool SetOutput(IMFTransform* transform, int32_t* rate, int32_t* channels)
{
    for (DWORD i = 0;; ++i) {
        ComPtr<IMFMediaType> type;
        if (FAILED(transform->GetOutputAvailableType(0, i, type.Out()))) return false;
        GUID subtype = GUID_NULL;
        UINT32 bits = 0, samplesPerSecond = 0, count = 0;
        if (FAILED(type->GetGUID(MF_MT_SUBTYPE, &subtype)) || subtype != MFAudioFormat_PCM ||
            FAILED(type->GetUINT32(MF_MT_AUDIO_BITS_PER_SAMPLE, &bits)) || bits != 16 ||
            FAILED(type->GetUINT32(MF_MT_AUDIO_SAMPLES_PER_SECOND, &samplesPerSecond)) ||
            FAILED(type->GetUINT32(MF_MT_AUDIO_NUM_CHANNELS, &count)))
            continue;
        if (samplesPerSecond == 0 || samplesPerSecond > 192000 || count == 0 || count > 8) return false;
        if (FAILED(transform->SetOutputType(0, type.Get(), 0))) return false;
        *rate = static_cast<int32_t>(samplesPerSecond);
        *channels = static_cast<int32_t>(count);
        return true;
    }
}

// The input type for frames of header's format, and the 16-bit PCM output the decoder offers for
// it: *rate and *channels.
bool SetTypes(IMFTransform* transform, MediaFoundation::CreateMediaTypeFn createMediaType, const AdtsHeader& header,
              int32_t* rate, int32_t* channels)
{
    ComPtr<IMFMediaType> input;
    return SUCCEEDED(createMediaType(input.Out())) && SUCCEEDED(input->SetGUID(MF_MT_MAJOR_TYPE, MFMediaType_Audio)) &&
           SUCCEEDED(input->SetGUID(MF_MT_SUBTYPE, MFAudioFormat_AAC)) &&
           SUCCEEDED(input->SetUINT32(MF_MT_AAC_PAYLOAD_TYPE, kPayloadAdts)) &&
           SUCCEEDED(input->SetUINT32(MF_MT_AUDIO_SAMPLES_PER_SECOND, static_cast<UINT32>(header.sampleRate))) &&
           SUCCEEDED(input->SetUINT32(MF_MT_AUDIO_NUM_CHANNELS, static_cast<UINT32>(header.channels))) &&
           SUCCEEDED(input->SetUINT32(MF_MT_AUDIO_BITS_PER_SAMPLE, 16)) &&
           SUCCEEDED(input->SetBlob(MF_MT_USER_DATA, kAacInfo, sizeof kAacInfo)) &&
           SUCCEEDED(transform->SetInputType(0, input.Get(), 0)) && SetOutput(transform, rate, channels);
}

// Finds, makes and sets up the decoder on the job's thread. Its answer is whether it came to one:
// a decoder set up, or none there.
class DecoderJob final : public PlatformJob {
public:
    MediaFoundation::EnumTransformsFn enumTransforms = nullptr;
    MediaFoundation::CreateMediaTypeFn createMediaType = nullptr;
    AdtsHeader header;
    ComPtr<IMFTransform> transform;  // empty when the platform has no AAC decoder
    DWORD outputBytes = 0;
    int32_t rate = 0;
    int32_t channels = 0;

private:
    bool Work() override;
};

bool DecoderJob::Work()
{
    const MFT_REGISTER_TYPE_INFO input = {MFMediaType_Audio, MFAudioFormat_AAC};
    IMFActivate** found = nullptr;
    UINT32 count = 0;
    // Synchronous decoders only: an asynchronous one would want its events served.
    const UINT32 flags = MFT_ENUM_FLAG_SYNCMFT | MFT_ENUM_FLAG_LOCALMFT | MFT_ENUM_FLAG_SORTANDFILTER;
    if (FAILED(enumTransforms(MFT_CATEGORY_AUDIO_DECODER, flags, &input, nullptr, &found, &count))) return true;
    ComPtr<IMFTransform> made;
    if (count > 0) found[0]->ActivateObject(IID_IMFTransform, made.OutVoid());
    for (UINT32 i = 0; i < count; ++i) found[i]->Release();
    CoTaskMemFree(found);
    if (count == 0) return true;
    MFT_OUTPUT_STREAM_INFO info = {};
    if (!made || !SetTypes(made.Get(), createMediaType, header, &rate, &channels) ||
        FAILED(made->GetOutputStreamInfo(0, &info)) || (info.dwFlags & MFT_OUTPUT_STREAM_PROVIDES_SAMPLES) ||
        FAILED(made->ProcessMessage(MFT_MESSAGE_NOTIFY_BEGIN_STREAMING, 0)) ||
        FAILED(made->ProcessMessage(MFT_MESSAGE_NOTIFY_START_OF_STREAM, 0)))
        return false;
    outputBytes = info.cbSize > kLeastOutputBytes ? info.cbSize : kLeastOutputBytes;
    transform = made;
    return true;
}

}  // namespace

AacDecoder::Opening AacDecoder::Open(const MediaFoundation& platform, const AdtsHeader& first, DWORD waitMs)
{
    Close();
    DecoderJob* job = PlatformJob::Make<DecoderJob>();
    if (!job) return Opening::kFailed;
    job->enumTransforms = platform.enumTransforms;
    job->createMediaType = platform.createMediaType;
    job->header = first;
    Opening opening = Opening::kFailed;
    if (PlatformJob::Run(platform, job, waitMs)) {
        opening = job->transform ? Opening::kOpened : Opening::kNoDecoder;
        transform_ = std::move(job->transform);
        outputBytes_ = job->outputBytes;
        rate_ = job->rate;
        channels_ = job->channels;
        createMediaType_ = platform.createMediaType;
        createSample_ = platform.createSample;
        createMemoryBuffer_ = platform.createMemoryBuffer;
    }
    job->Release();
    return opening;
}

void AacDecoder::ReleasePiece()
{
    if (piece_) piece_->Unlock();
    piece_.Reset();
    pendingData_ = nullptr;
    pendingBytes_ = 0;
}

void AacDecoder::Close()
{
    ReleasePiece();
    transform_.Reset();
    rate_ = channels_ = 0;
}

void AacDecoder::Consume(int32_t bytes)
{
    pendingData_ += bytes;
    pendingBytes_ -= bytes;
    if (pendingBytes_ <= 0) ReleasePiece();
}

AacDecoder::Feeding AacDecoder::Feed(const unsigned char* frame, int32_t bytes)
{
    // A sample of its own for every frame: the decoder may keep it until it has decoded it.
    ComPtr<IMFSample> sample;
    ComPtr<IMFMediaBuffer> buffer;
    BYTE* data = nullptr;
    if (FAILED(createSample_(sample.Out())) || FAILED(createMemoryBuffer_(static_cast<DWORD>(bytes), buffer.Out())) ||
        FAILED(buffer->Lock(&data, nullptr, nullptr)))
        return Feeding::kFailed;
    memcpy(data, frame, static_cast<size_t>(bytes));
    buffer->Unlock();
    if (FAILED(buffer->SetCurrentLength(static_cast<DWORD>(bytes))) || FAILED(sample->AddBuffer(buffer.Get())))
        return Feeding::kFailed;
    const HRESULT hr = transform_->ProcessInput(0, sample.Get(), 0);
    if (hr == MF_E_NOTACCEPTING) return Feeding::kBusy;
    return SUCCEEDED(hr) ? Feeding::kTaken : Feeding::kFailed;
}

AacDecoder::Output AacDecoder::Decode()
{
    ReleasePiece();
    ComPtr<IMFSample> sample;
    ComPtr<IMFMediaBuffer> buffer;
    if (FAILED(createSample_(sample.Out())) || FAILED(createMemoryBuffer_(outputBytes_, buffer.Out())) ||
        FAILED(sample->AddBuffer(buffer.Get())))
        return Output::kFailed;
    MFT_OUTPUT_DATA_BUFFER out = {};
    out.pSample = sample.Get();
    DWORD status = 0;
    const HRESULT hr = transform_->ProcessOutput(0, 1, &out, &status);
    if (out.pEvents) out.pEvents->Release();
    if (hr == MF_E_TRANSFORM_NEED_MORE_INPUT) return Output::kNeedsInput;
    if (hr == MF_E_TRANSFORM_STREAM_CHANGE) return SetOutput(transform_.Get(), &rate_, &channels_) ? Output::kNewFormat : Output::kFailed;
    BYTE* data = nullptr;
    DWORD bytes = 0;
    if (FAILED(hr) || FAILED(buffer->Lock(&data, nullptr, &bytes))) return Output::kFailed;
    piece_ = buffer;
    const int32_t frame = channels_ * 2;
    pendingData_ = reinterpret_cast<const char*>(data);
    pendingBytes_ = static_cast<int32_t>(bytes) / frame * frame;
    if (pendingBytes_ == 0) ReleasePiece();
    return Output::kSamples;
}

bool AacDecoder::Drain() { return SUCCEEDED(transform_->ProcessMessage(MFT_MESSAGE_COMMAND_DRAIN, 0)); }

bool AacDecoder::Reconfigure(const AdtsHeader& header)
{
    ReleasePiece();
    return SetTypes(transform_.Get(), createMediaType_, header, &rate_, &channels_) &&
           SUCCEEDED(transform_->ProcessMessage(MFT_MESSAGE_NOTIFY_START_OF_STREAM, 0));
}
