#pragma once
// Playing the playlist's current entry through its input plugin. Every outcome of a start reaches
// the container as TunaraMsgEvent, sent through the hidden window: 4 started, 100 refused, 101 no
// plugin, 102 failed, 104 cannot be opened. A start that fails with -1 posts WM_ENGINE_ADVANCE so
// that the next entry is tried, at most once per entry of the list (failedStartBudget).
// playBusy guards start and stop against re-entry from the container's event handlers.
#include <windows.h>

#include <stdint.h>

// Starts the current entry (stopping what plays first).
void PlayCurrentEntry();
// Stops the playing track. keepEntry 0 then reloads currentFile and currentTitle. Inside a start or
// stop it acts only when the stream window is open (and closes it).
void StopPlayback(int32_t keepEntry);
// Stops the prepared plugin whatever state the engine thinks it is in (a start may be half done),
// before its module goes; fires nothing.
void AbandonPlayback();
void PausePlayback();
// Re-reads the playing entry's title and length from its plugin, as a start does, and the current
// display title with them (a stream's title changes while it plays); nothing when nothing plays.
void RefreshPlayingEntry();
void ResumePlayback();

// Prepares the plugin for name into currentInputPlugin, hands it the volume (volumePercent of the
// engine volume) and pan, records the play limit for the duration services, and calls its play.
// Returns play's result, or -1 when no plugin could be prepared.
int32_t StartInputPlugin(const char* name, int32_t volumePercent, int32_t durationMs);
// Sets the process priority class of priorityLevel (reset to 1 when above 3).
void ApplyPlaybackPriority();
// Gives the process the priority class, unless the engine gave it that class last.
void SetProcessPriority(DWORD priorityClass);
