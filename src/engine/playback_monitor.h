#pragma once
// What the hidden window does with the end of a track and with a duration cut. Both run on the
// container's thread, inside its message loop.
#include <windows.h>

// Moves to the entry that follows by the shuffle and repeat rules and starts it, or stops at the
// end. Returns 1 when it continued or stopped normally, 0 when the shuffle order ran out without
// repeat.
int AdvanceAfterTrack();

// WM_ENGINE_ADVANCE: the advance, then TunaraMsgEvent 1 and 5. Returns 0, or -1 when the advance
// stopped at the end of the shuffle order. An end of track that reaches a stopped engine (a plugin
// that posts after it was stopped, or posts twice) is stale: it is ignored, unless the engine
// posted it itself after a failed start.
LRESULT HandleTrackEnd(WPARAM wParam);

// WM_ENGINE_CUT: stops the track that passed its play limit and starts the entry after it (the
// plain step: no shuffle, no repeat). A cut that reaches a stopped engine is stale and ignored.
// A check that the duration services posted (check, see kCheckDurationEvery) first asks the
// playing plugin for its position and cuts only past the track's limit.
void HandleDurationCut(WPARAM check);
