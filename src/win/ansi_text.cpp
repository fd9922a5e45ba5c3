#include "win/ansi_text.h"

#include <cstring>

bool CopyBounded(char* dest, size_t size, const char* source)
{
    if (size == 0) return source == nullptr || *source == '\0';
    if (!source) source = "";
    size_t length = std::strlen(source);
    size_t copied = length < size ? length : size - 1;
    std::memcpy(dest, source, copied);
    dest[copied] = '\0';
    return copied == length;
}

bool AppendBounded(char* dest, size_t size, const char* source)
{
    size_t used = size ? strnlen(dest, size - 1) : 0;
    return CopyBounded(dest + used, size - used, source);
}
