#include "id3_tag.h"

#include <windows.h>
#include <stdio.h>
#include <string.h>

#include "utf8_text.h"
#include "win/ansi_text.h"

namespace {

// The genres a version 1 tag numbers (and a version 2 tag may cite as "(n)").
const char* const kGenres[] = {
    "Blues", "Classic Rock", "Country", "Dance", "Disco", "Funk", "Grunge", "Hip-Hop", "Jazz", "Metal",
    "New Age", "Oldies", "Other", "Pop", "R&B", "Rap", "Reggae", "Rock", "Techno", "Industrial",
    "Alternative", "Ska", "Death Metal", "Pranks", "Soundtrack", "Euro-Techno", "Ambient", "Trip-Hop",
    "Vocal", "Jazz+Funk", "Fusion", "Trance", "Classical", "Instrumental", "Acid", "House", "Game",
    "Sound Clip", "Gospel", "Noise", "AlternRock", "Bass", "Soul", "Punk", "Space", "Meditative",
    "Instrumental Pop", "Instrumental Rock", "Ethnic", "Gothic", "Darkwave", "Techno-Industrial",
    "Electronic", "Pop-Folk", "Eurodance", "Dream", "Southern Rock", "Comedy", "Cult", "Gangsta",
    "Top 40", "Christian Rap", "Pop/Funk", "Jungle", "Native American", "Cabaret", "New Wave",
    "Psychadelic", "Rave", "Showtunes", "Trailer", "Lo-Fi", "Tribal", "Acid Punk", "Acid Jazz", "Polka",
    "Retro", "Musical", "Rock & Roll", "Hard Rock"};
constexpr int kGenreCount = sizeof kGenres / sizeof kGenres[0];

uint32_t SyncSafe(const unsigned char* b)
{
    return static_cast<uint32_t>(b[0] & 0x7F) << 21 | static_cast<uint32_t>(b[1] & 0x7F) << 14 |
           static_cast<uint32_t>(b[2] & 0x7F) << 7 | static_cast<uint32_t>(b[3] & 0x7F);
}

uint32_t BigEndian(const unsigned char* b, int bytes)
{
    uint32_t v = 0;
    for (int i = 0; i < bytes; ++i) v = v << 8 | b[i];
    return v;
}

// Removes the unsynchronisation (FF 00 becomes FF) in place; the new length.
size_t Resync(unsigned char* data, size_t bytes)
{
    size_t out = 0;
    for (size_t i = 0; i < bytes; ++i) {
        data[out++] = data[i];
        if (data[i] == 0xFF && i + 1 < bytes && data[i + 1] == 0) ++i;
    }
    return out;
}

// Text of the given ID3 encoding (0 ISO-8859-1, 1 UTF-16 with BOM, 2 UTF-16 big-endian, 3 UTF-8)
// up to its terminator, into dest in UTF-8; the bytes consumed, terminator included.
size_t ConvertText(int encoding, const unsigned char* text, size_t bytes, char* dest, size_t size)
{
    static wchar_t wide[4096];
    int length = 0;
    size_t used = 0;
    if (encoding == 0 || encoding == 3) {
        while (used < bytes && text[used]) ++used;
        const int chars = used > 4000 ? 4000 : static_cast<int>(used);
        length = MultiByteToWideChar(encoding == 0 ? 28591 : CP_UTF8, 0, reinterpret_cast<const char*>(text), chars,
                                     wide, 4095);
        if (used < bytes) ++used;
    } else if (encoding == 1 || encoding == 2) {
        bool big = encoding == 2;
        size_t at = 0;
        if (encoding == 1 && bytes >= 2 && ((text[0] == 0xFE && text[1] == 0xFF) || (text[0] == 0xFF && text[1] == 0xFE))) {
            big = text[0] == 0xFE;
            at = 2;
        }
        for (; at + 1 < bytes; at += 2) {
            const wchar_t c = static_cast<wchar_t>(big ? text[at] << 8 | text[at + 1] : text[at + 1] << 8 | text[at]);
            if (!c) {
                at += 2;
                break;
            }
            if (length < 4095) wide[length++] = c;
        }
        used = at > bytes ? bytes : at;
    } else {
        return bytes;
    }
    Utf8FromWide(wide, length, dest, size);
    return used;
}

// A genre as a name: "(n)", "n" and version 1 numbers become the name they stand for.
void GenreName(const char* text, char* dest, size_t size)
{
    int number = -1;
    char rest = 0;
    if (sscanf(text, "(%d)%c", &number, &rest) >= 1 || sscanf(text, "%d%c", &number, &rest) == 1) {
        if (number >= 0 && number < kGenreCount && !rest) {
            CopyBounded(dest, size, kGenres[number]);
            return;
        }
        if (number >= 0 && number < kGenreCount && text[0] == '(') {
            // "(n)Name": the refinement is the name.
            const char* name = strchr(text, ')');
            CopyBounded(dest, size, name[1] ? name + 1 : kGenres[number]);
            return;
        }
    }
    CopyBounded(dest, size, text);
}

// One text frame (identifier in its version's form) into the field it fills.
void ReadFrame(const char* id, const unsigned char* data, size_t bytes, Tags* tags)
{
    if (bytes < 1) return;
    const int encoding = data[0];
    char* field = nullptr;
    bool comment = false;
    if (!strcmp(id, "TIT2") || !strcmp(id, "TT2")) field = tags->title;
    else if (!strcmp(id, "TPE1") || !strcmp(id, "TP1")) field = tags->artist;
    else if (!strcmp(id, "TALB") || !strcmp(id, "TAL")) field = tags->album;
    else if (!strcmp(id, "TYER") || !strcmp(id, "TYE") || !strcmp(id, "TDRC")) field = tags->year;
    else if (!strcmp(id, "TCON") || !strcmp(id, "TCO")) field = tags->genre;
    else if (!strcmp(id, "COMM") || !strcmp(id, "COM")) field = tags->comment, comment = true;
    if (!field || field[0]) return;
    const unsigned char* text = data + 1;
    size_t left = bytes - 1;
    char description[64];
    if (comment) {
        if (left < 3) return;
        text += 3;  // language
        left -= 3;
        const size_t skip = ConvertText(encoding, text, left, description, sizeof description);
        text += skip;
        left -= skip;
    }
    char value[256];
    ConvertText(encoding, text, left, value, sizeof value);
    if (field == tags->genre) GenreName(value, field, sizeof tags->genre);
    else CopyBounded(field, 256, value);
}

}  // namespace

uint32_t Id3v2TagBytes(const unsigned char* h)
{
    if (memcmp(h, "ID3", 3) != 0 || h[3] < 2 || h[3] > 4 || h[3] == 0xFF || h[4] == 0xFF) return 0;
    if ((h[6] | h[7] | h[8] | h[9]) & 0x80) return 0;
    const uint32_t footer = h[3] == 4 && (h[5] & 0x10) ? 10 : 0;
    return static_cast<uint32_t>(kId3v2HeaderBytes) + SyncSafe(h + 6) + footer;
}

void ReadId3v2(const unsigned char* tag, size_t bytes, Tags* tags)
{
    if (bytes < kId3v2HeaderBytes) return;
    const int major = tag[3];
    const bool unsync = (tag[5] & 0x80) != 0;
    static unsigned char body[1 << 20];
    size_t length = bytes - kId3v2HeaderBytes;
    const size_t declared = SyncSafe(tag + 6);
    if (length > declared) length = declared;
    if (length > sizeof body) length = sizeof body;
    memcpy(body, tag + kId3v2HeaderBytes, length);
    // Versions 2.2 and 2.3 unsynchronise the whole tag, 2.4 each frame.
    if (unsync && major < 4) length = Resync(body, length);
    // An extended header is skipped whole; one that claims more than the tag holds leaves no frames.
    uint64_t extended = 0;
    if ((tag[5] & 0x40) && major == 3 && length >= 4) extended = 4 + static_cast<uint64_t>(BigEndian(body, 4));
    else if ((tag[5] & 0x40) && major == 4 && length >= 4) extended = SyncSafe(body);
    size_t at = extended < length ? static_cast<size_t>(extended) : length;
    const size_t idBytes = major == 2 ? 3 : 4;
    const size_t headBytes = major == 2 ? 6 : 10;
    while (at + headBytes <= length && body[at] != 0) {
        char id[5] = {};
        memcpy(id, body + at, idBytes);
        const uint32_t size = major == 2 ? BigEndian(body + at + 3, 3)
                              : major == 3 ? BigEndian(body + at + 4, 4) : SyncSafe(body + at + 4);
        const unsigned char flags = major == 2 ? 0 : body[at + 9];
        at += headBytes;
        if (size > length - at) break;
        unsigned char* data = body + at;
        size_t dataBytes = size;
        at += size;
        if (major == 3 && (flags & 0xC0)) continue;  // compressed or encrypted
        if (major == 4) {
            if (flags & 0x0C) continue;
            if (flags & 0x01) {  // data length indicator
                if (dataBytes < 4) continue;
                data += 4;
                dataBytes -= 4;
            }
            if ((flags & 0x02) || unsync) dataBytes = Resync(data, dataBytes);
        }
        ReadFrame(id, data, dataBytes, tags);
    }
}

bool ReadId3v1(const unsigned char* tag, Tags* tags)
{
    if (memcmp(tag, "TAG", 3) != 0) return false;
    auto field = [](const unsigned char* from, size_t bytes, char* dest) {
        if (dest[0]) return;
        char text[31] = {};
        memcpy(text, from, bytes);
        for (size_t n = strlen(text); n > 0 && text[n - 1] == ' '; --n) text[n - 1] = 0;
        // Version 1 tags carry no encoding: their writers used the system's code page.
        Utf8FromAnsi(text, dest, sizeof(Tags::title));
    };
    field(tag + 3, 30, tags->title);
    field(tag + 33, 30, tags->artist);
    field(tag + 63, 30, tags->album);
    field(tag + 93, 4, tags->year);
    field(tag + 97, tag[125] == 0 && tag[126] ? 28 : 30, tags->comment);
    if (!tags->genre[0] && tag[127] < kGenreCount) CopyBounded(tags->genre, sizeof tags->genre, kGenres[tag[127]]);
    return true;
}
