#pragma once
// Choosing the entry that NextTrack and PreviousTrack make current, by the shuffle and repeat
// rules. Making it current, the event and the play-or-stop step are the members' own.

// Next: the following entry (wrapping to the first with repeat), or the next place of the shuffle
// order (skipping a place that holds the entry that was current). False when nothing was chosen,
// at the end without repeat or, in shuffle mode, on an empty list.
bool SelectNextEntry();

// Previous: the entry before (wrapping to the last with repeat), or the place before in the shuffle
// order. Returns 0 when an entry was chosen, 1 when the shuffle order was already at its first
// place (the entry there is current, nothing else happens), -1 when nothing was chosen.
int SelectPreviousEntry();
