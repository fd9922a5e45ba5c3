#include "utf8_text.h"

#include <windows.h>

#include <string.h>

#include "win/ansi_text.h"

namespace {

// Room for the longest text a module keeps: the host's largest buffer.
constexpr int kWideChars = 2048;

}  // namespace

void CopyUtf8(char* dest, size_t size, const char* source)
{
    if (size == 0) return;
    size_t length = source ? strlen(source) : 0;
    if (length >= size) {
        length = size - 1;
        // Back off to the start of the character the cut falls in.
        while (length > 0 && (static_cast<unsigned char>(source[length]) & 0xC0) == 0x80) --length;
    }
    if (length) memcpy(dest, source, length);
    dest[length] = '\0';
}

void Utf8FromWide(const wchar_t* text, int count, char* dest, size_t size)
{
    if (size == 0) return;
    dest[0] = '\0';
    if (!text || count == 0) return;
    char utf8[kWideChars * 3 + 1];
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, count, utf8, sizeof utf8 - 1, nullptr, nullptr);
    if (bytes <= 0) return;
    utf8[bytes] = '\0';
    CopyUtf8(dest, size, utf8);
}

void Utf8FromAnsi(const char* text, char* dest, size_t size)
{
    if (size == 0) return;
    wchar_t wide[kWideChars];
    const int count = text && *text ? MultiByteToWideChar(CP_ACP, 0, text, -1, wide, kWideChars) : 0;
    if (count <= 0) {
        dest[0] = '\0';
        return;
    }
    wide[kWideChars - 1] = L'\0';
    Utf8FromWide(wide, -1, dest, size);
}

void Utf8FromUnmarked(const char* text, int count, unsigned fallback, char* dest, size_t size)
{
    if (size == 0) return;
    dest[0] = '\0';
    if (!text || count <= 0) return;
    wchar_t wide[kWideChars];
    int chars = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text, count, wide, kWideChars - 1);
    if (chars <= 0) chars = MultiByteToWideChar(fallback, 0, text, count, wide, kWideChars - 1);
    if (chars > 0) Utf8FromWide(wide, chars, dest, size);
}

void AnsiFromUtf8(const char* text, char* dest, size_t size)
{
    if (size == 0) return;
    wchar_t wide[kWideChars];
    char ansi[kWideChars * 2];
    const int count = text && *text ? MultiByteToWideChar(CP_UTF8, 0, text, -1, wide, kWideChars) : 0;
    wide[kWideChars - 1] = L'\0';
    const int bytes = count > 0 ? WideCharToMultiByte(CP_ACP, 0, wide, -1, ansi, sizeof ansi, nullptr, nullptr) : 0;
    if (bytes <= 0) ansi[0] = '\0';
    CopyBounded(dest, size, ansi);
}
