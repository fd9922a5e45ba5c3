#include "engine/playback_monitor.h"

#include "control/events.h"
#include "engine/engine_context.h"
#include "engine/hidden_window.h"
#include "engine/play_timer.h"
#include "playlist/entry_titles.h"
#include "playlist/playlist_position.h"
#include "playlist/shuffle_order.h"
#include "plugins/host_services.h"
#include "plugins/playback.h"
#include "plugins/playback_control.h"

namespace {

constexpr long kMsgHandlingBegins = 1;
constexpr long kMsgListChanged = 2;
constexpr long kMsgAdvanceHandled = 5;

}  // namespace

int AdvanceAfterTrack()
{
    if (engine.entryCount == 0) {
        StopPlayback(0);
        return 1;
    }
    if (!engine.shuffle) {
        if (PlaylistStep(+1) == -1) {
            if (!engine.repeat) {
                StopPlayback(0);
                return 1;
            }
            PlaylistSetPos(0);
        }
    } else {
        const int32_t previous = engine.currentIndex;
        if (PlaylistShuffleStep(+1) == 1 && !engine.repeat) {
            StopPlayback(0);
            return 0;
        }
        if (engine.currentIndex == previous && engine.entryCount > 1) PlaylistShuffleStep(+1);
    }
    PlaylistCurrentItem(engine.currentFile, sizeof(engine.currentFile), engine.currentTitle,
                        sizeof(engine.currentTitle));
    // A container that stops (or starts another entry) from inside event 2 has the last word.
    const uint32_t stops = engine.stopCount;
    FireMsgEvent(engine.controlObject, kMsgListChanged);
    if (engine.stopCount == stops) PlayCurrentEntry();
    return 1;
}

LRESULT HandleTrackEnd(WPARAM wParam)
{
    if (!engine.isPlaying && wParam != kAdvanceAfterFailedStart) return 0;
    const int result = AdvanceAfterTrack();
    KillPlayTimer();
    FireMsgEvent(engine.controlObject, kMsgHandlingBegins);
    FireMsgEvent(engine.controlObject, kMsgAdvanceHandled);
    return result == 1 ? 0 : -1;
}

void HandleDurationCut(WPARAM check)
{
    if (check != kCutNow) {
        engine.durationCheckPosted = 0;
        const int32_t limit = engine.trackDurationLimit;
        if (limit == -1 || PluginPosition() <= limit) return;
        if (check == kCheckDurationOnce && engine.trackCutPosted.exchange(1) != 0) return;
    }
    if (!engine.isPlaying) return;
    StopPlayback(0);
    if (PlaylistStep(+1) != -1) PlayCurrentEntry();
}
