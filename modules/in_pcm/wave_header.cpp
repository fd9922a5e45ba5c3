#include "wave_header.h"

#include "utf8_text.h"
#include "win/unique_resource.h"

namespace {

constexpr uint16_t kFormatPcm = 1;
constexpr uint16_t kFormatFloat = 3;
constexpr uint16_t kFormatExtensible = 0xFFFE;
// Files with more chunks than this before their samples are not taken for WAVE files.
constexpr int kMaxChunks = 4096;
constexpr uint32_t kMaxInfoBytes = 64 * 1024;
constexpr int32_t kMaxSampleRate = 1000000;

uint16_t Get16(const unsigned char* at) { return static_cast<uint16_t>(at[0] | (at[1] << 8)); }
uint32_t Get32(const unsigned char* at) { return Get16(at) | (static_cast<uint32_t>(Get16(at + 2)) << 16); }
bool IsId(const unsigned char* at, const char* id) { return at[0] == id[0] && at[1] == id[1] && at[2] == id[2] && at[3] == id[3]; }

// Reads bytes at offset of a file of size bytes; false for anything past its end.
bool ReadAt(const UniqueFile& file, uint64_t size, uint64_t offset, void* data, uint32_t bytes)
{
    if (offset > size || bytes > size - offset) return false;
    OVERLAPPED at = {};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD read = 0;
    return ReadFile(file.Get(), data, bytes, &read, &at) && read == bytes;
}

bool ReadFormat(const unsigned char* fmt, uint32_t size, WaveHeader* header)
{
    if (size < 16) return false;
    uint16_t tag = Get16(fmt);
    header->channels = Get16(fmt + 2);
    header->sampleRate = static_cast<int32_t>(Get32(fmt + 4));
    header->blockAlign = Get16(fmt + 12);
    header->bitsPerSample = Get16(fmt + 14);
    if (tag == kFormatExtensible) {
        // The sub-format's first two bytes carry the plain format tag.
        if (size < 40) return false;
        tag = Get16(fmt + 24);
    }
    if (header->channels < 1 || header->channels > 8) return false;
    if (header->sampleRate < 1 || header->sampleRate > kMaxSampleRate) return false;
    if (tag == kFormatPcm) {
        header->kind = SampleKind::kInteger;
    } else if (tag == kFormatFloat) {
        header->kind = SampleKind::kFloat;
    } else if (Get16(fmt) == kFormatExtensible) {
        return false;  // an extensible format other than PCM and float
    } else {
        header->kind = SampleKind::kCompressed;
        header->bytesPerSecond = static_cast<int32_t>(Get32(fmt + 8));
        return header->blockAlign > 0 && header->blockAlign <= kMaxCompressedBlock && header->bytesPerSecond > 0;
    }
    const int32_t bits = header->bitsPerSample;
    if (header->kind == SampleKind::kFloat ? bits != 32 : (bits != 8 && bits != 16 && bits != 24 && bits != 32))
        return false;
    header->bytesPerSecond = header->sampleRate * header->blockAlign;
    return header->blockAlign == header->channels * bits / 8;
}

// A LIST/INFO text: its writer's code page is not recorded; UTF-8 where it is valid UTF-8, else
// the system's.
void ReadInfoText(const unsigned char* text, uint32_t size, char* field)
{
    uint32_t length = 0;
    while (length < size && length < 1024 && text[length]) ++length;
    Utf8FromUnmarked(reinterpret_cast<const char*>(text), static_cast<int>(length), CP_ACP, field,
                     sizeof(Tags::title));
}

void ReadInfo(const unsigned char* list, uint32_t size, WaveHeader* header)
{
    if (size < 4 || !IsId(list, "INFO")) return;
    for (uint32_t at = 4; size - at >= 8;) {
        const unsigned char* item = list + at;
        const uint32_t itemSize = Get32(item + 4);
        if (itemSize > size - at - 8) return;
        const unsigned char* text = item + 8;
        if (IsId(item, "INAM")) ReadInfoText(text, itemSize, header->tags.title);
        else if (IsId(item, "IART")) ReadInfoText(text, itemSize, header->tags.artist);
        else if (IsId(item, "IPRD")) ReadInfoText(text, itemSize, header->tags.album);
        else if (IsId(item, "ICMT")) ReadInfoText(text, itemSize, header->tags.comment);
        else if (IsId(item, "ICRD")) ReadInfoText(text, itemSize, header->tags.year);
        else if (IsId(item, "IGNR")) ReadInfoText(text, itemSize, header->tags.genre);
        at += 8 + itemSize + (itemSize & 1);
        if (at > size) return;
    }
}

}  // namespace

bool ReadWaveHeader(const char* path, WaveHeader* header)
{
    *header = WaveHeader();
    if (!path || !*path) return false;
    const UniqueFile file(CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER fileSize;
    if (!file || !GetFileSizeEx(file.Get(), &fileSize)) return false;
    const uint64_t fileBytes = static_cast<uint64_t>(fileSize.QuadPart);
    unsigned char riff[12];
    if (!ReadAt(file, fileBytes, 0, riff, 12) || !IsId(riff, "RIFF") || !IsId(riff + 8, "WAVE")) return false;
    bool haveFormat = false;
    bool haveData = false;
    uint64_t at = 12;
    for (int chunks = 0; chunks < kMaxChunks && fileBytes - at >= 8; ++chunks) {
        unsigned char chunk[8];
        if (!ReadAt(file, fileBytes, at, chunk, 8)) return false;
        const uint32_t size = Get32(chunk + 4);
        const uint64_t body = at + 8;
        if (size > fileBytes - body) return false;
        if (IsId(chunk, "fmt ") && !haveFormat) {
            const uint32_t wanted = size < kMaxFormatBytes ? size : kMaxFormatBytes;
            if (!ReadAt(file, fileBytes, body, header->format, wanted) || !ReadFormat(header->format, size, header)) return false;
            header->formatBytes = wanted;
            haveFormat = true;
        } else if (IsId(chunk, "data") && !haveData) {
            header->dataOffset = body;
            header->dataBytes = size;
            haveData = true;
        } else if (IsId(chunk, "LIST") && size <= kMaxInfoBytes) {
            // The host calls its plugins from one thread only.
            static unsigned char list[kMaxInfoBytes];
            if (ReadAt(file, fileBytes, body, list, size)) ReadInfo(list, size, header);
        }
        at = body + size + (size & 1);
        if (at > fileBytes) break;
    }
    if (!haveFormat || !haveData) return false;
    header->dataBytes -= header->dataBytes % static_cast<uint64_t>(header->blockAlign);
    return true;
}
