#include "stream_kind.h"

#include <string.h>

namespace {

constexpr int32_t kId3HeaderBytes = 10;
constexpr int32_t kOggPageHeaderBytes = 27;

bool ReadAt(ByteSource* source, int64_t offset, unsigned char* buffer, int32_t bytes)
{
    return source->Seek(offset) && source->Read(buffer, bytes) == bytes;
}

// The first packet of the Ogg page at the start: the page must open a logical stream and its
// first packet must begin on this page.
StreamKind OggKind(ByteSource* source, const unsigned char* page)
{
    if (page[4] != 0 || (page[5] & 0x03) != 0x02) return StreamKind::kUnknown;
    const int segments = page[26];
    if (segments == 0) return StreamKind::kUnknown;
    unsigned char packet[8];
    if (!ReadAt(source, kOggPageHeaderBytes + segments, packet, sizeof packet)) return StreamKind::kUnknown;
    if (memcmp(packet, "OpusHead", 8) == 0) return StreamKind::kOpus;
    if (memcmp(packet, "\x01vorbis", 7) == 0) return StreamKind::kVorbis;
    if (memcmp(packet, "\x7f" "FLAC", 5) == 0) return StreamKind::kOggFlac;
    return StreamKind::kUnknown;
}

}  // namespace

StreamKind SniffStreamKind(ByteSource* source)
{
    unsigned char head[kOggPageHeaderBytes];
    StreamKind kind = StreamKind::kUnknown;
    if (ReadAt(source, 0, head, sizeof head)) {
        if (memcmp(head, "fLaC", 4) == 0) {
            kind = StreamKind::kFlac;
        } else if (memcmp(head, "OggS", 4) == 0) {
            kind = OggKind(source, head);
        } else if (memcmp(head, "ID3", 3) == 0 && !((head[6] | head[7] | head[8] | head[9]) & 0x80)) {
            // The decoder passes over an ID3v2 tag itself; FLAC must follow it.
            const int64_t tagBytes = kId3HeaderBytes + (static_cast<int64_t>(head[6]) << 21 | head[7] << 14 |
                                                        head[8] << 7 | head[9]);
            unsigned char marker[4];
            if (ReadAt(source, tagBytes, marker, sizeof marker) && memcmp(marker, "fLaC", 4) == 0)
                kind = StreamKind::kFlac;
        }
    }
    return source->Seek(0) ? kind : StreamKind::kUnknown;
}
