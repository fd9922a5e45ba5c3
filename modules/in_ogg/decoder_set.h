#pragma once
// One decoder of each codec, and the choice among them by what a source holds. A set serves one
// thread at a time: the host's thread for the files it asks about, or one stream's decoding thread.
#include "audio_decoder.h"
#include "flac_decoder.h"
#include "opus_file_decoder.h"
#include "stream_kind.h"
#include "vorbis_decoder.h"

class DecoderSet {
public:
    DecoderSet() = default;
    DecoderSet(const DecoderSet&) = delete;
    DecoderSet& operator=(const DecoderSet&) = delete;

    // Tells the source's kind and opens the decoder for it (closing the one open before); null,
    // with nothing open, when no decoder here plays the source. kind, when given, receives the kind.
    AudioDecoder* Open(ByteSource* source, StreamKind* kind = nullptr);
    void Close();

private:
    AudioDecoder* open_ = nullptr;
    FlacDecoder flac_;
    VorbisDecoder vorbis_;
    OpusFileDecoder opus_;
};
