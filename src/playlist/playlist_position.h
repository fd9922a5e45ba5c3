#pragma once
// The primitive moves of the current position. A move past either end leaves the position on
// that end and reports -1; callers jump to an end with deltas of plus or minus 1,000,000,000.
#include <stdint.h>

// Moves the current position by delta and returns it, or -1 when the move was clamped at an
// end. A delta of 0 returns the position unchanged, unclamped, even on an empty list; a move on
// an empty list leaves the position at -1 or 0.
int32_t PlaylistStep(int32_t delta);

// Sets the current position to 0, then steps by index: negative indexes give 0, indexes past the
// end the last entry.
void PlaylistSetPos(int32_t index);
