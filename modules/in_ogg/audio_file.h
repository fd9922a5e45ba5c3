#pragma once
// What the reader knows of a file before it plays: its kind and what its headers and comments
// tell. Read on the host's thread.
#include <stdint.h>

#include "audio_decoder.h"
#include "stream_kind.h"

struct AudioFile {
    StreamKind kind = StreamKind::kUnknown;
    AudioInfo info;

    // Within 32 bits: at most INT32_MAX; -1 when the stream does not tell its length.
    int32_t LengthMs() const;
};

// False when the file cannot be opened or holds no stream that a decoder here plays.
bool ReadAudioFile(const char* path, AudioFile* file);
