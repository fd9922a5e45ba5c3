#pragma once
// The one playlist of the engine: its array of entries, their count and allocated capacity, and
// read access to single entries. Positions are 0-based. Out-of-range reads give neutral values.
#include <stddef.h>
#include <stdint.h>

constexpr int32_t kPlainEntryVolume = 100;  // percent of the engine volume
constexpr int32_t kNoDurationLimit = -1;
constexpr int32_t kUnknownLength = -1;

int32_t PlaylistCount();

// Releases the array; count, capacity and current position become 0.
void PlaylistClear();

// Copies the entry's file name and title into the buffers that are given (either may be null),
// cut at a character boundary to fit. Returns 1, buffers untouched, when index names no entry;
// else 0.
int PlaylistGetEntry(int32_t index, char* filename, size_t filenameSize, char* title,
                     size_t titleSize);

// The entry's length in seconds; -1 when index names no entry.
int32_t EntryLength(int32_t index);

// Fields of the entry at the current position, with neutral values when there is none.
int32_t CurrentVolume();           // 100 without a current entry
int32_t CurrentDuration();         // -1 without a current entry

// Adjusts the capacity for need entries: grows by half (to at least need + 128) when need
// exceeds it; shrinks to need and half as much again once less than a third would be used and
// more than 256 records would stand free, and so releases the array at 0. Returns 0, or -1
// (nothing changed) when memory for the new array cannot be had.
int ReserveEntries(int32_t need);

// Appends one record at the end: storedName is already resolved; the title is cut to fit. Marks
// the shuffle order stale. The current position does not move. Returns 0, or -1 when the array
// cannot grow (nothing appended).
int PlaylistAppendRecord(const char* storedName, const char* title, int32_t length,
                         int32_t volumePercent, int32_t duration);

// Replaces the entry's title, cut to fit. Returns 0, or -1 (title unchanged) when index names no
// entry or memory for the title cannot be had.
int PlaylistSetTitle(int32_t index, const char* title);

// Removes the record at index, the records after it moving up one; nothing else changes (the
// current position, the capacity). Does nothing when index names no entry.
void PlaylistRemoveRecord(int32_t index);
