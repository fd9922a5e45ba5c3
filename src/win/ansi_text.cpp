#include "win/ansi_text.h"

#include <windows.h>

#include <cstring>

namespace {

// The length of text's longest prefix of whole characters that is at most limit bytes long.
size_t WholeCharPrefix(const char* text, size_t limit)
{
    const char* end = text;
    while (*end) {
        const char* next = CharNextA(end);
        if (static_cast<size_t>(next - text) > limit) break;
        end = next;
    }
    return static_cast<size_t>(end - text);
}

}  // namespace

size_t BoundedLength(const char* source, size_t size)
{
    if (!source) return 0;
    // A text that fits whole needs no walk over its characters.
    const size_t length = std::strlen(source);
    return length < size ? length : WholeCharPrefix(source, size - 1);
}

bool CopyBounded(char* dest, size_t size, const char* source)
{
    if (!source) source = "";
    if (size == 0) return *source == '\0';
    const size_t kept = BoundedLength(source, size);
    std::memcpy(dest, source, kept);
    dest[kept] = '\0';
    return source[kept] == '\0';
}

bool AppendBounded(char* dest, size_t size, const char* source)
{
    size_t used = size ? strnlen(dest, size - 1) : 0;
    return CopyBounded(dest + used, size - used, source);
}
