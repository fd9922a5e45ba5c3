#pragma once
// Appending one entry for a name: the stored name is resolved, and the title and length are
// either given (from a list file) or looked up through the input plugins.
#include <stdint.h>

// Looks the title and length up; volume 100 and no play limit. Returns 0, or -1 when nothing
// was appended (the name cannot be stored, or the playlist cannot grow).
int PlaylistAppendFile(const char* name);
// Looks the title and length up; the entry carries the given volume percentage and play limit.
int PlaylistAppendWithArgs(const char* name, int32_t volumePercent, int32_t durationMs);
// Stores the given title (not tidied) and length in seconds.
int PlaylistAppendTitled(const char* name, const char* title, int32_t length);
