#pragma once
// The order walked in shuffle mode. It is rebuilt at the first shuffle step after entries were
// added or removed.

struct ShuffleOrder {
    bool stale = true;  // set by every append and delete
};

// Forces a rebuild at the next shuffle step.
void MarkShuffleOrderStale();
