#pragma once
// What becomes of an entry that a list names, and the reader's result events, shared by the
// M3U and PLS readers.
#include <stdint.h>

#include <string_view>

// A title read from a list keeps at most 259 bytes, cut at a character boundary.
constexpr int kListTitleSize = 260;

// Appends the entry when the list may add it: a network address ("://") that fits the stored
// name whole, or a name whose full path (or the name itself, when no full path can be made)
// exists as a file or directory; from a fetched list, only absolute paths on a drive ("C:\...")
// are local names, and nothing else is probed. A name that cannot be stored whole (too long, or holding a NUL)
// is skipped, never cut. With a title the entry takes it and the length; without one both are
// looked up. True when an entry was appended.
#include "playlist/list_location.h"

bool AppendListEntry(std::string_view name, const char* title, int32_t length, ListOrigin origin);

// The reader's result for the number of entries it added: 0, or 1 after sending message 105
// (the list added nothing).
int ListReadResult(int32_t added);

// Sends message 106: the list file is unusable (empty, or without entries to read).
void ReportUnusableList();
