#pragma once
// The 256 ms playback timer. Its callback does nothing: end-of-track detection does not depend
// on it; it only marks that playback runs.

// Kills the running timer, if any, and starts a new one.
void StartPlayTimer();
// Kills the running timer; nothing when none runs.
void KillPlayTimer();
