#pragma once
// FLAC through libFLAC, native or inside Ogg: samples of 4 to 32 bits, 1 to 8 channels, any rate.
// Samples of more than 16 bits are rounded to the nearest 16-bit value (halves upwards, no
// dither); fewer bits are scaled up exactly. Sample-accurate seeking when the source seeks.
#include <FLAC/stream_decoder.h>

#include "audio_decoder.h"
#include "win/unique_resource.h"

struct FlacDecoderTraits {
    using Type = FLAC__StreamDecoder*;
    static Type None() noexcept { return nullptr; }
    static void Close(Type value) noexcept { FLAC__stream_decoder_delete(value); }
};

class FlacDecoder final : public AudioDecoder {
public:
    FlacDecoder() = default;
    FlacDecoder(const FlacDecoder&) = delete;
    FlacDecoder& operator=(const FlacDecoder&) = delete;

    // Whether the streams opened from now on are carried inside Ogg pages.
    void SetOgg(bool ogg) { ogg_ = ogg; }
    bool Open(ByteSource* source) override;
    const AudioInfo& Info() const override { return info_; }
    int32_t Decode(int16_t* pcm, int32_t frames) override;
    bool Seek(int64_t sample) override;
    void Close() override;

private:
    // libFLAC's callbacks, on the thread that drives the decoder (inside Open, Decode and Seek).
    static FLAC__StreamDecoderReadStatus ReadBytes(const FLAC__StreamDecoder*, FLAC__byte buffer[], size_t* bytes,
                                                   void* self);
    static FLAC__StreamDecoderSeekStatus SeekBytes(const FLAC__StreamDecoder*, FLAC__uint64 offset, void* self);
    static FLAC__StreamDecoderTellStatus TellBytes(const FLAC__StreamDecoder*, FLAC__uint64* offset, void* self);
    static FLAC__StreamDecoderLengthStatus LengthBytes(const FLAC__StreamDecoder*, FLAC__uint64* length, void* self);
    static FLAC__bool AtEnd(const FLAC__StreamDecoder*, void* self);
    static FLAC__StreamDecoderWriteStatus WriteFrame(const FLAC__StreamDecoder*, const FLAC__Frame* frame,
                                                     const FLAC__int32* const buffer[], void* self);
    static void Metadata(const FLAC__StreamDecoder*, const FLAC__StreamMetadata* metadata, void* self);
    static void Error(const FLAC__StreamDecoder*, FLAC__StreamDecoderErrorStatus, void*) {}

    bool ogg_ = false;
    ByteSource* source_ = nullptr;
    UniqueResource<FlacDecoderTraits> decoder_;
    bool hasStreamInfo_ = false;
    AudioInfo info_;
    // The last decoded frame, converted, and how much of it has been handed out.
    int32_t pendingStart_ = 0;
    int32_t pendingFrames_ = 0;
    int16_t pending_[65535 * 8];
};
