#pragma once
// Fixed-buffer conversions for the modules' texts, which they keep in UTF-8: every result is
// NUL-terminated within size bytes and cut on a character boundary.
#include <stddef.h>

// Copies UTF-8 text, cut before a character that would not fit whole.
void CopyUtf8(char* dest, size_t size, const char* source);
// From UTF-16 (count units, or up to a NUL when count is -1).
void Utf8FromWide(const wchar_t* text, int count, char* dest, size_t size);
// From the ANSI code page (a file name, an address).
void Utf8FromAnsi(const char* text, char* dest, size_t size);
// Bytes whose encoding nothing marks (stream titles, texts of older writers): UTF-8 where they
// are valid UTF-8, else the fallback code page's (kLatin1, or CP_ACP for the system's).
constexpr unsigned kLatin1 = 28591;
void Utf8FromUnmarked(const char* text, int count, unsigned fallback, char* dest, size_t size);
// To the ANSI code page, as the record's texts are handed over (characters it lacks become
// its best fit, else "?").
void AnsiFromUtf8(const char* text, char* dest, size_t size);
