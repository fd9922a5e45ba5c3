#pragma once
// The platform's AAC decoder transform, fed whole ADTS frames (payload type 1: each frame's
// header tells the decoder its format), handing out 16-bit PCM at the rate and channels the
// decoder reports (twice the frames' rate for HE-AAC). It needs no seeking and no length, as a
// live stream has neither. Open runs on the host's thread (the transform is made and set up as a
// platform job, waited for at most a bound); the rest runs on the decoding thread, and Close once
// that has ended (or on the thread Stop left behind). The platform stays started meanwhile (the
// caller holds it).
#include <windows.h>
#include <mfidl.h>
#include <mftransform.h>
#include <stdint.h>

#include "adts_header.h"
#include "media_foundation.h"
#include "win/com_ptr.h"

class AacDecoder {
public:
    enum class Opening {
        kOpened,
        kNoDecoder,  // the platform has no AAC decoder
        kFailed,     // the decoder refused the stream's format, failed, or took longer than the wait
    };
    enum class Output {
        kSamples,     // a piece of samples waits (Pending)
        kNewFormat,   // the decoder now hands out another rate or count of channels
        kNeedsInput,  // everything fed so far has been handed out
        kFailed,
    };
    enum class Feeding { kTaken, kBusy, kFailed };

    AacDecoder() = default;
    ~AacDecoder() { Close(); }
    AacDecoder(const AacDecoder&) = delete;
    AacDecoder& operator=(const AacDecoder&) = delete;

    Opening Open(const MediaFoundation& platform, const AdtsHeader& first, DWORD waitMs);
    void Close();
    int32_t SampleRate() const { return rate_; }
    int32_t Channels() const { return channels_; }

    // One whole ADTS frame; kBusy when the decoder hands out samples first.
    Feeding Feed(const unsigned char* frame, int32_t bytes);
    // The next piece of samples, if the decoder has one. Call it until kNeedsInput before feeding.
    Output Decode();
    // After the last frame, or before frames of a new format: Decode then hands out everything the
    // decoder holds.
    bool Drain();
    // Once drained: sets the decoder up for frames of another format; false when it refuses them.
    bool Reconfigure(const AdtsHeader& header);

    // The decoded samples not yet handed on, in whole sample frames.
    bool Pending() const { return pendingBytes_ > 0; }
    const char* PendingData() const { return pendingData_; }
    int32_t PendingBytes() const { return pendingBytes_; }
    void Consume(int32_t bytes);

private:
    void ReleasePiece();

    ComPtr<IMFTransform> transform_;
    MediaFoundation::CreateMediaTypeFn createMediaType_ = nullptr;
    MediaFoundation::CreateSampleFn createSample_ = nullptr;
    MediaFoundation::CreateMemoryBufferFn createMemoryBuffer_ = nullptr;
    DWORD outputBytes_ = 0;  // room for one piece of samples
    int32_t rate_ = 0;
    int32_t channels_ = 0;
    // The piece being handed on, locked meanwhile.
    ComPtr<IMFMediaBuffer> piece_;
    const char* pendingData_ = nullptr;
    int32_t pendingBytes_ = 0;
};
