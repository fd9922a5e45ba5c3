#pragma once
// Opus in Ogg through libopusfile: always 48 kHz, 1 to 8 channels, the stream's pre-skip and end
// trimming applied (exactly the samples the encoder was given), the header's output gain applied,
// rounded to 16 bits without dither; sample-accurate seeking when the source seeks. A chained
// stream plays on while it keeps its first link's channel count.
#include <opus/opusfile.h>

#include "audio_decoder.h"
#include "win/unique_resource.h"

struct OpusFileTraits {
    using Type = OggOpusFile*;
    static Type None() noexcept { return nullptr; }
    static void Close(Type value) noexcept { op_free(value); }
};

class OpusFileDecoder final : public AudioDecoder {
public:
    OpusFileDecoder() = default;
    OpusFileDecoder(const OpusFileDecoder&) = delete;
    OpusFileDecoder& operator=(const OpusFileDecoder&) = delete;

    bool Open(ByteSource* source) override;
    const AudioInfo& Info() const override { return info_; }
    int32_t Decode(int16_t* pcm, int32_t frames) override;
    bool Seek(int64_t sample) override;
    void Close() override;

private:
    UniqueResource<OpusFileTraits> file_;
    AudioInfo info_;
    bool vorbisOrder_ = false;  // channel mapping family 1: the channels in Vorbis order
};
