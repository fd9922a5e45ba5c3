#pragma once
// A file's tags as the platform's media source describes them (its property store), in the ANSI
// code page, at most 255 bytes each. Read on the host's thread.
#include <stdint.h>

#include <mfidl.h>
#include <mfreadwrite.h>

struct MfTags {
    char title[256] = "";
    char artist[256] = "";
    char album[256] = "";
    char comment[256] = "";
    char year[16] = "";
    char genre[256] = "";
    int32_t kbps = 0;  // the encoding bitrate the source tells; 0 when it tells none
};

// Fills tags from the reader's source; what the source does not tell stays empty.
void ReadMfTags(IMFSourceReader* reader, MfTags* tags);

// "Artist - Title" when the tags have both, else the title; false when that is empty.
bool TagsTitle(const MfTags& tags, char* title, size_t size);
