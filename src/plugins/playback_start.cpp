// Starting the current entry: the open test, the plugin's start and what each result means.
#include <windows.h>

#include <string.h>

#include "engine/engine_context.h"
#include "engine/hidden_window.h"
#include "playlist/entry_titles.h"
#include "playlist/playlist_store.h"
#include "playlist/title_lookup.h"
#include "plugins/playback.h"
#include "plugins/playback_control.h"
#include "plugins/plugin_call.h"
#include "plugins/plugin_matching.h"
#include "win/unique_resource.h"

namespace {

constexpr int32_t kNoChain = -2;
constexpr int32_t kStartFailed = -1;
constexpr int32_t kStartRefused = -31337;
constexpr long kMsgTrackStarted = 4;
constexpr long kMsgRefused = 100;
constexpr long kMsgStartFailed = 102;
constexpr long kMsgCannotOpen = 104;
constexpr DWORD kSequentialNormal = FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN;

bool CanOpenForReading(const char* name)
{
    UniqueFile file(CreateFileA(name, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, kSequentialNormal, nullptr));
    return file.Valid();
}

void FillCurrentItem()
{
    PlaylistCurrentItem(engine.currentFile, sizeof(engine.currentFile), engine.currentTitle,
                        sizeof(engine.currentTitle));
}

// volumePercent of the engine volume, computed in double precision and truncated toward zero;
// a result outside 32 bits is held at its end rather than left undefined. Each product is stored
// as a double: the x87 unit would otherwise keep extended precision, and 29 % of 200 (57.99...
// in doubles) would come out as 58.
int32_t ScaledVolume(int32_t volumePercent)
{
    volatile double fraction = volumePercent * 0.01;
    volatile double scaled = fraction * engine.volume;
    if (scaled >= 2147483647.0) return INT32_MAX;
    if (scaled <= -2147483648.0) return INT32_MIN;
    return static_cast<int32_t>(scaled);
}

void EndFailedStart()
{
    StopPlayback(0);
    engine.failedStartBudget = kNoChain;
    engine.playBusy = 0;
}

}  // namespace

int32_t StartInputPlugin(const char* name, int32_t volumePercent, int32_t durationMs)
{
    engine.currentInputPlugin = PrepareInputPlugin(name);
    if (!engine.currentInputPlugin) return kStartFailed;
    PluginSetVolume(ScaledVolume(volumePercent));
    PluginSetPan(engine.pan);
    // Taken before play: the plugin's threads may test the limit as soon as they run.
    engine.trackDurationLimit = durationMs;
    engine.trackCutPosted = 0;
    // Read again: the container may have unloaded the plugins from inside the calls before.
    InputPluginRecord* plugin = engine.currentInputPlugin;
    return plugin && plugin->play ? CallPlugin(plugin->play, name) : kStartFailed;
}

void ApplyPlaybackPriority()
{
    static const DWORD kClasses[] = {IDLE_PRIORITY_CLASS, NORMAL_PRIORITY_CLASS, HIGH_PRIORITY_CLASS,
                                     REALTIME_PRIORITY_CLASS};
    if (engine.priorityLevel > 3) engine.priorityLevel = 1;
    SetProcessPriority(kClasses[engine.priorityLevel]);
}

void SetProcessPriority(DWORD priorityClass)
{
    if (engine.processPriorityClass == priorityClass) return;
    engine.processPriorityClass = SetPriorityClass(GetCurrentProcess(), priorityClass) ? priorityClass : 0;
}

void RefreshPlayingEntry()
{
    if (!engine.isPlaying || !engine.currentInputPlugin) return;
    RefreshCurrentTitle();
    FillCurrentItem();
}

void PlayCurrentEntry()
{
    const bool wasPlaying = engine.isPlaying != 0;
    if (wasPlaying) StopPlayback(0);
    if (engine.playBusy) return;
    engine.playBusy = 1;
    // Nothing plays now: a queued advance (from a failed start before this one) must not skip
    // the entry this start is about to play. The stop just made has dropped them already.
    if (!wasPlaying) DiscardPendingTrackMessages();
    FillCurrentItem();
    if (engine.failedStartBudget == kNoChain) engine.failedStartBudget = engine.entryCount;

    if (!strstr(engine.currentFile, "://") && !CanOpenForReading(engine.currentFile)) {
        engine.playBusy = 0;
        SendEngineEvent(kMsgCannotOpen);
        return;
    }

    const uint32_t generation = engine.pluginGeneration;
    const int32_t result = StartInputPlugin(engine.currentFile, CurrentVolume(), CurrentDuration());
    if (engine.pluginGeneration != generation) {
        // The container unloaded the plugins from inside the start (its plugin stopped first):
        // nothing of this start stands.
        engine.failedStartBudget = kNoChain;
        engine.playBusy = 0;
        return;
    }
    if (result == 0) {
        engine.failedStartBudget = kNoChain;
        ApplyPlaybackPriority();
        RefreshCurrentTitle();
        FillCurrentItem();
        engine.isPlaying = 1;
        engine.isPaused = 0;
        engine.playBusy = 0;
        SendEngineEvent(kMsgTrackStarted);
        return;
    }
    if (result == kStartRefused) {
        SendEngineEvent(kMsgRefused);
        EndFailedStart();
        return;
    }
    if (result != 1 && result != 2) SendEngineEvent(kMsgStartFailed);
    if (result == kStartFailed && --engine.failedStartBudget != 0) {
        // The hidden window's handler moves on and starts the next entry.
        PostEngineMessage(WM_ENGINE_ADVANCE, kAdvanceAfterFailedStart);
        engine.playBusy = 0;
        return;
    }
    EndFailedStart();
}
