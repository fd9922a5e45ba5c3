#pragma once
// Removing and exchanging entries, and the rules by which the current position follows the
// entry that was current.
#include <stdint.h>

// Removes the entry at the current position; the following entry takes its place (the new last
// entry becomes current when the last one was removed). Shrinks the array when more than 256
// records stand free. Returns -1 when there is no array, 1 when the array has been released, else
// 0. Without an entry at the current position nothing changes.
int PlaylistDeleteCurrent();

// Exchanges two whole records when both indexes name entries and differ; else does nothing.
// The current position does not move.
void PlaylistSwap(int32_t a, int32_t b);

// Removes the entry at position (clamped into the list) while the current entry stays current;
// when the current entry itself is removed, the one that followed it becomes current. Returns
// what PlaylistDeleteCurrent returned.
int PlaylistDeleteAt(int32_t position);

// Exchanges two entries and moves the current position with the current entry. The position
// moves (clamped) before the indexes are checked.
void PlaylistSwapItemsKeepingCurrent(int32_t a, int32_t b);
