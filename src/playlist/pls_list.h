#pragma once
// PLS list files: an INI-style section "playlist" with the keys File<n>, Title<n>, Length<n>
// (numbered from 1), NumberOfEntries and Version, read key by key and written section by section
// through the platform's profile functions, always with the list's full path.
#include "playlist/list_location.h"

// Appends the entries File<n> present for n from 1 to NumberOfEntries, in order of n, every one
// present when the list has no NumberOfEntries (the playlist is not cleared first); titles and
// lengths are read only when Version is above 1. The directory of a local list becomes the
// current directory (a fetched list adds only network addresses and absolute drive paths).
// Returns 0 when at least one entry was added; 1 after message 106 (an entry count of 0 or less,
// no File<n> key at all, also for a missing file) or 105 (nothing added). A network address is downloaded
// first and its body read as PLS; a failed download gives 1.
int ReadPLSList(const char* name);

// Writes File<k>, Title<k>, Length<k> for every entry in playlist order, then NumberOfEntries
// and Version=2; the current position does not move. Other keys and sections of an existing
// file stay (comment lines inside the "playlist" section excepted). An entry whose name would
// not read back as itself is left out; line breaks in titles are written as spaces. Write
// errors are not reported.
void WritePLSList(const char* path);
