#pragma once
// Ogg Vorbis through libvorbisfile: 16-bit samples as the library rounds them, 1 to 8 channels,
// exactly the samples the encoder was given, sample-accurate seeking when the source seeks. A
// chained stream plays on while its format stays that of its first link.
#include <vorbis/vorbisfile.h>

#include "audio_decoder.h"
#include "win/unique_resource.h"

struct VorbisFileTraits {
    using Type = OggVorbis_File*;
    static Type None() noexcept { return nullptr; }
    static void Close(Type value) noexcept { ov_clear(value); }
};

class VorbisDecoder final : public AudioDecoder {
public:
    VorbisDecoder() = default;
    VorbisDecoder(const VorbisDecoder&) = delete;
    VorbisDecoder& operator=(const VorbisDecoder&) = delete;

    bool Open(ByteSource* source) override;
    const AudioInfo& Info() const override { return info_; }
    int32_t Decode(int16_t* pcm, int32_t frames) override;
    bool Seek(int64_t sample) override;
    void Close() override;

private:
    OggVorbis_File file_ = {};
    UniqueResource<VorbisFileTraits> open_;  // &file_ once opened
    AudioInfo info_;
};
