// NextTrack and PreviousTrack: the entry is chosen by the shuffle and repeat rules, made current
// (TunaraMsgEvent 2), then played when playback runs, else the engine stays stopped.
#include "control/automation_control.h"
#include "control/events.h"
#include "engine/engine_context.h"
#include "playlist/entry_titles.h"
#include "playlist/playlist_navigation.h"
#include "plugins/playback.h"
#include "win/guarded.h"

namespace {
constexpr long kMsgListChanged = 2;
}  // namespace

// Called with a reference held on the control: a handler of event 2 may release the container's
// last one, and Play is a member of this object.
HRESULT AutomationControl::PlayOrStopNewEntry()
{
    PlaylistCurrentItem(engine.currentFile, sizeof(engine.currentFile), engine.currentTitle,
                        sizeof(engine.currentTitle));
    FireMsgEvent(engine.controlObject, kMsgListChanged);
    if (engine.isPlaying) return Play();
    StopPlayback(0);
    return S_OK;
}

HRESULT AutomationControl::NextTrack()
{
    return GuardedCom([&]() -> HRESULT {
        ComPtr<AutomationControl> self(this);
        if (!SelectNextEntry()) return S_OK;
        return PlayOrStopNewEntry();
    });
}

HRESULT AutomationControl::PreviousTrack()
{
    return GuardedCom([&]() -> HRESULT {
        ComPtr<AutomationControl> self(this);
        switch (SelectPreviousEntry()) {
        case 0:
            return PlayOrStopNewEntry();
        case 1:
            return S_FALSE;
        default:
            return S_OK;
        }
    });
}
