// Stopping, pausing and resuming the playing track.
#include <windows.h>

#include "engine/engine_context.h"
#include "engine/hidden_window.h"
#include "playlist/entry_titles.h"
#include "plugins/playback.h"
#include "plugins/playback_control.h"

namespace {
// The window an input plugin may show while it opens a stream; a stop requested during a start
// acts only by closing it.
constexpr char kStreamWindowTitle[] = "MPEG HTTP/BROADwire streaming...";
}  // namespace

void StopPlayback(int32_t keepEntry)
{
    if (engine.playBusy) {
        HWND streamWindow = FindWindowA(nullptr, kStreamWindowTitle);
        if (!streamWindow) return;
        SendMessageA(streamWindow, WM_CLOSE, 0, 0);
    }
    engine.playBusy = 1;
    ++engine.stopCount;
    if (engine.isPlaying) {
        engine.isPaused = 0;
        engine.isPlaying = 0;
        PluginStop();
    }
    // The plugin has stopped: an end-of-track or cut it posted before must not move on now.
    DiscardPendingTrackMessages();
    if (!keepEntry) {
        PlaylistCurrentItem(engine.currentFile, sizeof(engine.currentFile), engine.currentTitle,
                            sizeof(engine.currentTitle));
    }
    SetPriorityClass(GetCurrentProcess(), NORMAL_PRIORITY_CLASS);
    engine.playBusy = 0;
}

void PausePlayback()
{
    if (!engine.isPlaying || engine.isPaused) return;
    engine.isPaused = 1;
    PluginPause(1);
}

void ResumePlayback()
{
    if (!engine.isPlaying || !engine.isPaused) return;
    PluginPause(0);
    engine.isPaused = 0;
}
