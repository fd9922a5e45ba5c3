#include "vorbis_comment.h"

#include <windows.h>
#include <string.h>

#include "utf8_text.h"

namespace {

// More of a value than any field keeps, in whole UTF-8 characters.
constexpr size_t kValueBytes = 1020;

struct Key {
    const char* name;
    size_t field;  // offset of the field in Tags
};

const Key kKeys[] = {
    {"TITLE", offsetof(Tags, title)},     {"ARTIST", offsetof(Tags, artist)},
    {"ALBUM", offsetof(Tags, album)},     {"COMMENT", offsetof(Tags, comment)},
    {"DESCRIPTION", offsetof(Tags, comment)}, {"DATE", offsetof(Tags, year)},
    {"GENRE", offsetof(Tags, genre)},
};

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

void ReadVorbisComment(const char* comment, size_t bytes, Tags* tags)
{
    const char* equals = static_cast<const char*>(memchr(comment, '=', bytes));
    if (!equals) return;
    const size_t keyBytes = static_cast<size_t>(equals - comment);
    char* field = nullptr;
    bool date = false;
    for (const Key& key : kKeys) {
        if (strlen(key.name) == keyBytes && _strnicmp(comment, key.name, keyBytes) == 0) {
            field = reinterpret_cast<char*>(tags) + key.field;
            date = key.field == offsetof(Tags, year);
            break;
        }
    }
    if (!field || field[0]) return;
    const char* value = equals + 1;
    size_t valueBytes = bytes - keyBytes - 1;
    if (date && valueBytes > 4 && IsDigit(value[0]) && IsDigit(value[1]) && IsDigit(value[2]) && IsDigit(value[3]))
        valueBytes = 4;
    if (valueBytes > kValueBytes) {
        // Cut before a continuation byte never splits a character.
        valueBytes = kValueBytes;
        while (valueBytes > 0 && (static_cast<unsigned char>(value[valueBytes]) & 0xC0) == 0x80) --valueBytes;
    }
    Utf8FromUnmarked(value, static_cast<int>(valueBytes), kLatin1, field, sizeof(Tags::title));
}
