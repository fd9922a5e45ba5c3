#pragma once
// The 256 ms playback timer, a thread timer whose tick does nothing: Play and resume start it;
// Stop, pause, the end-of-track handling and Deinitialize kill it.

// Kills the running timer, then starts a new one.
void StartPlayTimer();
// Kills the running timer; nothing when none runs.
void KillPlayTimer();
