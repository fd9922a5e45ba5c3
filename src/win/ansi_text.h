#pragma once
// The one way to fill a fixed-size ANSI buffer: bounded, always terminated, and never cutting a
// double-byte character of the ANSI code page in half (a cut text ends before a lead byte whose
// trail byte would not fit).
#include <cstddef>

// Copies source into dest (room for size bytes, terminator included). Returns true when the
// whole text fitted, false when it was cut. A null source copies as the empty text; a zero size
// writes nothing.
bool CopyBounded(char* dest, size_t size, const char* source);

// How many bytes of source CopyBounded keeps in a buffer of size bytes (size at least 1).
size_t BoundedLength(const char* source, size_t size);

template <size_t N>
bool CopyBounded(char (&dest)[N], const char* source) { return CopyBounded(dest, N, source); }

// Appends source to the text already in dest, with the same rules.
bool AppendBounded(char* dest, size_t size, const char* source);

template <size_t N>
bool AppendBounded(char (&dest)[N], const char* source) { return AppendBounded(dest, N, source); }
