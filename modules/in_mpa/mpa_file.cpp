#include "mpa_file.h"

#include <string.h>

#include "win/unique_resource.h"

namespace {

// How far past its tags a file's first frame is looked for.
constexpr DWORD kSearchBytes = 64 * 1024;
// The largest version 2 tag whose texts are read (a larger one is still skipped); also the piece
// in which the frame headers are walked.
constexpr uint32_t kMaxTagRead = 1 << 20;
// How much audio the header walk of a variable bitrate file without a frame count reads at most:
// answering a length reads no more than this, whatever the file's size.
constexpr uint64_t kScanBytes = 4 * 1024 * 1024;
// The largest frame there is and the four header bytes after it that confirm it.
constexpr size_t kFrameAndHeaderBytes = kMaxFrameBytes + 4;

bool ReadAt(HANDLE file, uint64_t offset, void* buffer, DWORD bytes, DWORD* read)
{
    LARGE_INTEGER at;
    at.QuadPart = static_cast<LONGLONG>(offset);
    return SetFilePointerEx(file, at, nullptr, FILE_BEGIN) && ReadFile(file, buffer, bytes, read, nullptr);
}

uint32_t BigEndian32(const unsigned char* b)
{
    return static_cast<uint32_t>(b[0]) << 24 | static_cast<uint32_t>(b[1]) << 16 | static_cast<uint32_t>(b[2]) << 8 | b[3];
}

// The Xing/Info frame and the encoder's tag inside it.
void ReadXing(const unsigned char* frame, size_t bytes, MpaFile* file)
{
    if (file->first.layer != 3) return;
    const size_t at = 4 + (file->first.crc ? 2 : 0) + static_cast<size_t>(file->first.SideInfoBytes());
    if (at + 8 > bytes) return;
    const unsigned char* x = frame + at;
    const bool xing = memcmp(x, "Xing", 4) == 0;
    if (!xing && memcmp(x, "Info", 4) != 0) return;
    const uint32_t flags = BigEndian32(x + 4);
    size_t field = 8;
    file->vbr = xing;
    file->audioStart += static_cast<uint64_t>(file->first.frameBytes);
    if ((flags & 1) && at + field + 4 <= bytes) file->frames = BigEndian32(x + field), field += 4;
    if (flags & 2) field += 4;
    if ((flags & 4) && at + field + 100 <= bytes) {
        memcpy(file->toc, x + field, 100);
        file->hasToc = true;
        field += 100;
    }
    if (flags & 8) field += 4;
    // The encoder's tag follows: 9 bytes of version, then at 21 bytes in, 12 bits each of delay and padding.
    if (field == 120 && at + 144 <= bytes && file->frames) {
        const unsigned char* d = x + 141;
        file->encoderDelay = d[0] << 4 | d[1] >> 4;
        file->encoderPadding = (d[1] & 0x0F) << 8 | d[2];
    }
}

// Where a walk of the frame headers stands: the file offset of the next header, the frames of the
// first frame's stream counted so far and whether any had another bitrate than the first.
struct HeaderWalk {
    uint64_t next = 0;
    uint64_t frames = 0;
    bool bitratesDiffer = false;
};

// Walks the headers in data (the file's bytes from offset base on, the end of the audio when
// atEnd) from walk->next, frame to frame, looking past whatever is not a frame of the stream.
// Leaves walk->next where the next piece should start: the header that lies past data, or the
// first place a frame could start that data holds too little of to confirm.
void WalkHeaders(const unsigned char* data, size_t bytes, uint64_t base, bool atEnd, const FrameHeader& first,
                 HeaderWalk* walk)
{
    size_t at = static_cast<size_t>(walk->next - base);
    while (at + 4 <= bytes) {
        FrameHeader h;
        if (!ParseFrameHeader(data + at, &h, first.freeFrameBytes) || !first.SameStream(h)) {
            const int64_t found = FindFrame(data, bytes, at + 1, atEnd, &first, &h);
            if (found < 0) {
                const size_t unconfirmed = bytes > kFrameAndHeaderBytes ? bytes - kFrameAndHeaderBytes : 0;
                at = atEnd ? bytes : unconfirmed > at ? unconfirmed : at + 1;
                break;
            }
            at = static_cast<size_t>(found);
        }
        if (h.bitrateKbps != first.bitrateKbps) walk->bitratesDiffer = true;
        ++walk->frames;
        at += static_cast<size_t>(h.frameBytes);
    }
    walk->next = base + at;
}

// Goes on walking the headers from walk->next in large pieces until the end of the audio or
// kScanBytes past its start, then counts the frames: exactly when the walk reached the end, else
// in proportion to the bytes walked.
void CountFrames(HANDLE handle, unsigned char* buffer, DWORD room, HeaderWalk* walk, MpaFile* file)
{
    const uint64_t limit = file->audioStart + kScanBytes < file->audioEnd ? file->audioStart + kScanBytes : file->audioEnd;
    while (walk->next < limit) {
        const uint64_t base = walk->next;
        const uint64_t left = file->audioEnd - base;
        const uint64_t want = limit - base < room ? limit - base : room;
        DWORD read = 0;
        if (!ReadAt(handle, base, buffer, static_cast<DWORD>(want), &read) || read == 0) break;
        WalkHeaders(buffer, read, base, read == left, file->first, walk);
        if (walk->next <= base) break;
    }
    // The walk began with a whole frame, so it has walked at least that far.
    const uint64_t audio = file->audioEnd - file->audioStart;
    const uint64_t walked = walk->next < file->audioEnd ? walk->next - file->audioStart : audio;
    const uint64_t frames = walked < audio ? walk->frames * audio / walked : walk->frames;
    file->frames = frames < UINT32_MAX ? static_cast<uint32_t>(frames) : UINT32_MAX;
}

// The frame length of the free-format stream whose header is at data[i]: the distance to the next
// header of the same stream, less this frame's padding, confirmed by the header after that one
// (or the end of the audio); 0 when data holds no such pair.
int FreeFrameBytes(const unsigned char* data, size_t bytes, size_t i, bool atEnd)
{
    const int slot = ((data[i + 1] >> 1) & 3) == 3 ? 4 : 1;  // layer 1 pads by a four-byte slot
    const int padding = ((data[i + 2] >> 1) & 1) * slot;
    for (size_t next = i + 8; next + 4 <= bytes && next - i <= static_cast<size_t>(kMaxFrameBytes); ++next) {
        if (!SameFreeFormatStream(data + i, data + next)) continue;
        const int length = static_cast<int>(next - i) - padding;
        FrameHeader n;
        if (!ParseFrameHeader(data + next, &n, length)) continue;
        const size_t after = next + static_cast<size_t>(n.frameBytes);
        if (after + 4 <= bytes ? SameFreeFormatStream(data + i, data + after) : atEnd && after <= bytes) return length;
    }
    return 0;
}

}  // namespace

int64_t FindFrame(const unsigned char* data, size_t bytes, size_t from, bool atEnd, const FrameHeader* like,
                  FrameHeader* found)
{
    for (size_t i = from; i + 4 <= bytes; ++i) {
        if (data[i] != 0xFF) continue;
        // A free-format stream's frame length comes from the stream: the one being played, or,
        // for a first frame, the distance to the next.
        int freeBytes = like ? like->freeFrameBytes : 0;
        if (!like && (data[i + 2] >> 4) == 0 && (data[i + 1] & 0xE0) == 0xE0) freeBytes = FreeFrameBytes(data, bytes, i, atEnd);
        FrameHeader h;
        if (!ParseFrameHeader(data + i, &h, freeBytes) || (like && !like->SameStream(h))) continue;
        const size_t next = i + static_cast<size_t>(h.frameBytes);
        FrameHeader n;
        const bool confirmed = next + 4 <= bytes ? ParseFrameHeader(data + next, &n, h.freeFrameBytes) && h.SameStream(n)
                                                 : atEnd && next <= bytes;
        if (!confirmed) continue;
        *found = h;
        return static_cast<int64_t>(i);
    }
    return -1;
}

int64_t MpaFile::Samples() const
{
    if (frames) {
        int64_t samples = static_cast<int64_t>(frames) * first.samplesPerFrame;
        if (encoderDelay >= 0 && samples > encoderDelay + encoderPadding) samples -= encoderDelay + encoderPadding;
        return samples;
    }
    return static_cast<int64_t>((audioEnd - audioStart) * 8 * static_cast<uint64_t>(first.sampleRate) /
                                (static_cast<uint64_t>(first.bitrateKbps) * 1000));
}

int32_t MpaFile::LengthMs() const
{
    // Held within 32 bits: a Xing frame may claim four billion frames, a file of gigabytes at
    // 8 kbit/s lasts weeks.
    const int64_t ms = Samples() * 1000 / first.sampleRate;
    return ms < INT32_MAX ? static_cast<int32_t>(ms) : INT32_MAX;
}

int32_t MpaFile::AverageKbps() const
{
    const int64_t ms = LengthMs();
    if (!vbr || ms <= 0) return first.bitrateKbps;
    return static_cast<int32_t>((audioEnd - audioStart) * 8 / static_cast<uint64_t>(ms));
}

uint64_t MpaFile::OffsetForMs(int32_t positionMs) const
{
    const uint64_t bytes = audioEnd - audioStart;
    const int32_t length = LengthMs();
    if (length <= 0 || positionMs <= 0) return audioStart;
    if (positionMs >= length) return audioEnd;
    if (!hasToc) return audioStart + bytes * static_cast<uint64_t>(positionMs) / static_cast<uint64_t>(length);
    // The table gives the offset, in 256ths of the file, at each hundredth of the length.
    const double percent = 100.0 * positionMs / length;
    const int index = static_cast<int>(percent);
    const double low = toc[index];
    const double high = index < 99 ? toc[index + 1] : 256.0;
    const double fraction = (low + (high - low) * (percent - index)) / 256.0;
    return audioStart + static_cast<uint64_t>(fraction * static_cast<double>(bytes));
}

bool ReadMpaFile(const char* path, MpaFile* file)
{
    *file = MpaFile();
    UniqueFile opened(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!opened) return false;
    const HANDLE handle = opened.Get();
    static unsigned char buffer[kMaxTagRead];
    bool ok = false;
    LARGE_INTEGER size;
    DWORD read = 0;
    uint64_t start = 0;
    if (GetFileSizeEx(handle, &size) && size.QuadPart > 4) {
        const uint64_t total = static_cast<uint64_t>(size.QuadPart);
        file->audioEnd = total;
        if (total >= kId3v1Bytes && ReadAt(handle, total - kId3v1Bytes, buffer, kId3v1Bytes, &read) &&
            read == kId3v1Bytes && memcmp(buffer, "TAG", 3) == 0)
            file->audioEnd = total - kId3v1Bytes;
        Tags v1;
        const bool hasV1 = file->audioEnd < total && ReadId3v1(buffer, &v1);
        // Version 2 tags, possibly more than one, before the audio.
        while (ReadAt(handle, start, buffer, kId3v2HeaderBytes, &read) && read == kId3v2HeaderBytes) {
            const uint32_t tagBytes = Id3v2TagBytes(buffer);
            if (!tagBytes) break;
            const DWORD want = tagBytes < kMaxTagRead ? tagBytes : kMaxTagRead;
            if (!file->tags.title[0] && ReadAt(handle, start, buffer, want, &read)) ReadId3v2(buffer, read, &file->tags);
            start += tagBytes;
        }
        if (hasV1) {
            // Version 1 fills only what version 2 left empty.
            Tags* t = &file->tags;
            if (!t->title[0]) memcpy(t->title, v1.title, sizeof t->title);
            if (!t->artist[0]) memcpy(t->artist, v1.artist, sizeof t->artist);
            if (!t->album[0]) memcpy(t->album, v1.album, sizeof t->album);
            if (!t->comment[0]) memcpy(t->comment, v1.comment, sizeof t->comment);
            if (!t->year[0]) memcpy(t->year, v1.year, sizeof t->year);
            if (!t->genre[0]) memcpy(t->genre, v1.genre, sizeof t->genre);
        }
        if (start < file->audioEnd) {
            const uint64_t left = file->audioEnd - start;
            const DWORD want = left < kSearchBytes ? static_cast<DWORD>(left) : kSearchBytes;
            if (ReadAt(handle, start, buffer, want, &read)) {
                const int64_t at = FindFrame(buffer, read, 0, read == left, nullptr, &file->first);
                if (at >= 0) {
                    file->audioStart = start + static_cast<uint64_t>(at);
                    ReadXing(buffer + at, read - static_cast<size_t>(at), file);
                    ok = file->audioStart < file->audioEnd;
                    // Without a frame count the length follows from the first frame's bitrate,
                    // which holds when the frames read so far share it; a file whose bitrate
                    // varies is walked further.
                    if (ok && !file->frames) {
                        HeaderWalk walk;
                        walk.next = file->audioStart;
                        WalkHeaders(buffer, read, start, read == left, file->first, &walk);
                        if (walk.bitratesDiffer) {
                            file->vbr = true;
                            CountFrames(handle, buffer, kMaxTagRead, &walk, file);
                        }
                    }
                }
            }
        }
    }
    return ok && file->Samples() > 0;
}
