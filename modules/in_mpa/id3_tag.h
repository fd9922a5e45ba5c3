#pragma once
// ID3 tags at the ends of an MPEG audio file: version 2 (2.2, 2.3, 2.4) before the audio, version 1
// in its last 128 bytes. Texts come out in UTF-8, cut on character boundaries.
#include <stddef.h>
#include <stdint.h>

#include "tags.h"

constexpr size_t kId3v2HeaderBytes = 10;
constexpr size_t kId3v1Bytes = 128;

// The whole size of the version 2 tag whose header is at header (10 bytes): header, frames and
// footer; 0 when the bytes are no such header.
uint32_t Id3v2TagBytes(const unsigned char* header);
// Reads the text frames of a whole version 2 tag (header included, bytes long) into tags. Frames
// that run past the tag, compressed or encrypted frames and unknown encodings are skipped.
void ReadId3v2(const unsigned char* tag, size_t bytes, Tags* tags);
// Fills the fields still empty from a version 1 tag; false when the bytes are no such tag.
bool ReadId3v1(const unsigned char* tag, Tags* tags);
