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
// Any process may own a window of that title: a hung or hostile one must not hang the container.
constexpr UINT kStreamWindowCloseMs = 1000;
}  // namespace

void StopPlayback(int32_t keepEntry)
{
    if (engine.playBusy) {
        HWND streamWindow = FindWindowA(nullptr, kStreamWindowTitle);
        if (!streamWindow) return;
        DWORD_PTR ignored = 0;
        SendMessageTimeoutA(streamWindow, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, kStreamWindowCloseMs,
                            &ignored);
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
    SetProcessPriority(NORMAL_PRIORITY_CLASS);
    engine.playBusy = 0;
}

void AbandonPlayback()
{
    if (engine.currentInputPlugin && (engine.isPlaying || engine.playBusy)) PluginStop();
    engine.isPlaying = 0;
    engine.isPaused = 0;
    ++engine.stopCount;
    DiscardPendingTrackMessages();
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
