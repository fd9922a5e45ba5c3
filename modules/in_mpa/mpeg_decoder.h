#pragma once
// MPEG audio frames decoded to 16-bit PCM by libmpg123, at the stream's rate and channel count.
// The module finds, checks and feeds whole frames itself and cuts the encoder's delay and padding
// by its own reading of the encoder's tag, so the library's own gapless cutting is off: every
// decoded sample comes out. What does not fit the target stays in the library; Decode with no
// frames drains it. The output stays at the first frame's rate and channels: frames of another
// rate are resampled to it, another channel count mixed down or doubled, so a stream that changes
// its format in the middle plays on at the right speed through the same open output. Used by the
// decoding thread (and the host's thread while no thread runs).
#include <stdint.h>

#include <mpg123.h>

#include "mpeg_frame.h"
#include "win/unique_resource.h"

struct Mpg123HandleTraits {
    using Type = mpg123_handle*;
    static Type None() noexcept { return nullptr; }
    static void Close(Type value) noexcept { mpg123_delete(value); }
};

class MpegDecoder {
public:
    // False when the library cannot decode the stream to 16-bit PCM at its own format.
    bool Open(const FrameHeader& stream);
    void Close();
    // Decodes whole frames (bytes may be 0 to drain) into target (room bytes); restart after a
    // jump in the input. The PCM bytes written, or -1.
    int32_t Decode(const unsigned char* frames, int32_t bytes, unsigned char* target, int32_t room, bool restart);

private:
    UniqueResource<Mpg123HandleTraits> handle_;
};
