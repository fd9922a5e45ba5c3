#pragma once
// Compressed WAVE data (ADPCM, mu-law, A-law and whatever else the platform's audio compression
// manager knows) converted to 16-bit PCM at the same rate and channel count, whole blocks at a
// time.
#include <windows.h>
#include <stdint.h>

#include "acm_stream.h"
#include "wave_header.h"

class AcmDecoder {
public:
    AcmDecoder() = default;
    AcmDecoder(const AcmDecoder&) = delete;
    AcmDecoder& operator=(const AcmDecoder&) = delete;

    // False when no installed codec converts the header's format to PCM.
    bool Open(const WaveHeader& header);
    void Close();
    // PCM bytes that one source block may become.
    int32_t BlockOutputBytes() const { return blockOutput_; }
    // Converts whole source blocks into target (room bytes); the PCM bytes written, or -1.
    int32_t Convert(unsigned char* source, int32_t bytes, unsigned char* target, int32_t room);

private:
    UniqueAcmStream stream_;
    int32_t blockOutput_ = 0;
};
