#pragma once
// The "KEY=value" comments that Vorbis, Opus and FLAC streams carry (UTF-8 values, keys in any
// case): TITLE, ARTIST, ALBUM, COMMENT (else DESCRIPTION), DATE and GENRE fill the tags.
#include <stddef.h>

#include "tags.h"

// One comment, bytes long and not terminated, into the field it names when that field is still
// empty, in UTF-8 (bytes that are no valid UTF-8 are read as Latin-1). A DATE that starts with a four-digit year gives the
// year alone.
void ReadVorbisComment(const char* comment, size_t bytes, Tags* tags);
