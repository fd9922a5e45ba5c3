#pragma once
// The 256 ms playback timer, which runs while a track plays. Playback starts it; the engine
// kills it when playback stops and at Deinitialize.

// Kills the running timer; nothing when none runs.
void KillPlayTimer();
