#pragma once
// MPEG audio frames converted to 16-bit PCM by the platform's audio compression manager, at the
// stream's rate and channel count. The codec keeps decoded data that does not fit the target and
// lags a frame or two behind its input; Decode drains it.
#include <windows.h>
#include <stdint.h>

#include "acm_stream.h"
#include "mpeg_frame.h"

class MpegDecoder {
public:
    MpegDecoder() = default;
    MpegDecoder(const MpegDecoder&) = delete;
    MpegDecoder& operator=(const MpegDecoder&) = delete;

    // False when no installed codec decodes the stream to PCM.
    bool Open(const FrameHeader& stream);
    void Close();
    // Decodes whole frames (bytes may be 0 to drain) into target (room bytes); restart after a
    // jump in the input. The PCM bytes written, or -1.
    int32_t Decode(unsigned char* frames, int32_t bytes, unsigned char* target, int32_t room, bool restart);

private:
    int32_t Convert(unsigned char* source, int32_t bytes, unsigned char* target, int32_t room, DWORD flags);

    UniqueAcmStream stream_;
};
