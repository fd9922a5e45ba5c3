#pragma once
// Reordering the whole list: by title, or at random. The current entry stays current; neither
// marks the shuffle order stale (the same index order is walked over the new arrangement).
#include <stdint.h>

// Sorts the entries from first to the end by title with qsort (not stable), comparing byte by
// byte as unsigned values after folding A to Z to a to z; a prefix sorts first. Does nothing
// unless first names an entry and there are two or more.
void PlaylistSortRange(int32_t first);

// For each i from 0 to n - 2: j = i + 1 + rand() % (n - i - 1), then s = rand() % (n - i), and the
// records at i and j are exchanged when s is not 0. Exactly two rand() calls per step.
void PlaylistRandomizeEntries();
