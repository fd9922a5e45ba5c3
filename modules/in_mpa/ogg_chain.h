#pragma once
// A live Ogg stream of chained Vorbis or Opus streams (a station), decoded to 16-bit PCM as its
// bytes arrive: it cannot seek, and each chained stream brings its own comments, rate and
// channels. Open runs on the host's thread before the decoding thread starts; Decode and Close
// then run on that thread (Close on the host's thread once it has ended).
#include <stdint.h>

#include "byte_source.h"
#include "opus_file_decoder.h"
#include "tags.h"
#include "vorbis_decoder.h"

enum class OggCodec { kNone, kVorbis, kOpus };

// What the first page of an Ogg stream opens: Vorbis, Opus, or something else (kNone).
OggCodec OggStartCodec(const unsigned char* page, int32_t bytes);

struct OggLink {
    int32_t sampleRate = 0;
    int32_t channels = 0;
    int32_t nominalKbps = 0;
    Tags tags;
};

class OggChain {
public:
    static constexpr int32_t kMaxChannels = 8;

    OggChain() = default;
    ~OggChain() { Close(); }
    OggChain(const OggChain&) = delete;
    OggChain& operator=(const OggChain&) = delete;

    // Opens the codec's stream on source, whose first bytes (already read from it) are start.
    // False, with nothing open, when the headers are not that codec's or name more channels than
    // an output takes.
    bool Open(OggCodec codec, ByteSource* source, const unsigned char* start, int32_t bytes);
    // Decodes into pcm (room samples, for any count of channels): the sample frames given, 0 at
    // the end of the stream or after an error that ends it. *newStream is set when these frames
    // begin a chained stream other than the one before; Current() then tells its format.
    int32_t Decode(int16_t* pcm, int32_t room, bool* newStream);
    const OggLink& Current() const { return link_; }
    void Close();

private:
    // Reads the playing stream's format and comments; false when an output cannot take them.
    bool ReadCurrent();

    OggVorbis_File vorbisFile_ = {};
    UniqueResource<VorbisFileTraits> vorbis_;  // &vorbisFile_ once opened
    UniqueResource<OpusFileTraits> opus_;
    OggLink link_;
    long serial_ = 0;           // the playing stream's serial number
    bool vorbisOrder_ = false;  // Opus channel mapping family 1: the channels in Vorbis order
};
