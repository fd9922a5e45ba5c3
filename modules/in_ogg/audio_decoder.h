#pragma once
// One decoder of a compressed stream into 16-bit PCM, whatever its codec: it reads its bytes
// from a ByteSource, answers what the stream's headers tell, and hands out interleaved samples in
// the channel order of a WAVE file. A decoder is driven by one thread at a time: the host's
// thread while a file is read for its information, the decoding thread while it plays.
#include <stdint.h>

#include "byte_source.h"
#include "tags.h"

struct AudioInfo {
    int32_t sampleRate = 0;
    int32_t channels = 0;
    int32_t bitsPerSample = 16;  // of the coded samples; the output is 16 bits whatever they are
    int64_t samples = -1;        // per channel, exactly as the source had them; -1 when unknown
    int32_t kbps = 0;            // the average over the whole file, else the nominal one
    bool vbr = false;            // the bitrate varies from packet to packet
    Tags tags;
};

class AudioDecoder {
public:
    // Reads the stream's headers from source, which stays the caller's and must outlive the
    // decoder's use of it (until Close). False, with nothing left open, when the bytes are no
    // stream this decoder plays, or one of a format the output cannot take (more than 8 channels).
    virtual bool Open(ByteSource* source) = 0;
    virtual const AudioInfo& Info() const = 0;
    // Decodes up to frames sample frames into pcm (room for frames * channels samples): the frames
    // given, 0 at the end of the stream, after an error that ends it, or where a chained stream
    // changes its format.
    virtual int32_t Decode(int16_t* pcm, int32_t frames) = 0;
    // Moves to sample (per channel, from 0): the next Decode starts exactly there. False when the
    // stream cannot move there.
    virtual bool Seek(int64_t sample) = 0;
    virtual void Close() = 0;

protected:
    ~AudioDecoder() = default;
};
