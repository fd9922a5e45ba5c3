#pragma once
// Tidying of looked-up titles, and the current entry's file name and display title.
#include <stddef.h>

constexpr size_t kTidyScratchSize = 1024;

// Turns each "_" and each "%20" of text into one space, in place, and returns text. Text longer
// than 1023 bytes is cut to 1023 first (at a character boundary). Double-byte characters are
// copied whole, so a trail byte that equals "_" stays as it is.
char* TidyTitle(char* text);

// Fills the buffers that are given (either may be null) with the current entry's file name and
// its display title, "%d. %s" with the 1-based position and the title, each cut at a character
// boundary to fit. Both become empty when the current position names no entry.
void PlaylistCurrentItem(char* file, size_t fileSize, char* display, size_t displaySize);
