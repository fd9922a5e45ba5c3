#pragma once
// The order walked in shuffle mode: a permutation of the entry indexes, built lazily and rebuilt
// at the first shuffle step after entries were added or removed (swap, sort, randomize and clear
// keep it).
#include <stdint.h>

#include <vector>

struct ShuffleOrder {
    std::vector<int32_t> table;  // a permutation of 0 .. builtFor - 1
    int32_t cursor = 0;          // the place of the current entry in the table
    int32_t builtFor = -1023;    // the entry count the table was built for; matches no list at first
    bool stale = true;           // set by every append and delete
};

// Forces a rebuild at the next shuffle step.
void MarkShuffleOrderStale();

// Moves the cursor by delta along the order (rebuilding it first, cursor 0 and the delta not
// applied, when it is stale or was built for another count) and makes the entry found there
// current. Past the end the cursor goes to the first place with repeat on, else stays on the
// last; before the start it stays on the first. Returns 1 when the move ran past an end, else 0.
// Each rebuild draws 18 to 54 warm-up values from rand(), then two per place.
int32_t PlaylistShuffleStep(int32_t delta);
