#pragma once
// A file's tags as the platform's media source describes them (its property store). Read on the
// host's thread.
#include <stdint.h>

#include <mfidl.h>
#include <mfreadwrite.h>

#include "tags.h"

// The tags, with the encoding bitrate the source tells (0 when it tells none).
struct MfTags : Tags {
    int32_t kbps = 0;
};

// Fills tags from the reader's source; what the source does not tell stays empty.
void ReadMfTags(IMFSourceReader* reader, MfTags* tags);
