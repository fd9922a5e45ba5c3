#pragma once
// What a file holds, told by its first bytes rather than by its name: native FLAC (after any ID3v2
// tag), or an Ogg stream whose first packet is FLAC's, Vorbis's or Opus's identification header.
#include "byte_source.h"

enum class StreamKind { kUnknown, kFlac, kOggFlac, kVorbis, kOpus };

// Reads the source's first bytes and leaves it at its start again.
StreamKind SniffStreamKind(ByteSource* source);
