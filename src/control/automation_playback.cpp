// The playback members: Play, Stop, Pause, Position, Length, Status.
#include "control/automation_control.h"
#include "control/events.h"
#include "engine/engine_context.h"
#include "engine/play_timer.h"
#include "playlist/entry_titles.h"
#include "plugins/playback.h"
#include "plugins/playback_control.h"
#include "win/guarded.h"

namespace {
constexpr long kMsgHandlingBegins = 1;
}  // namespace

// Event 1 goes to this control's own sinks, even before any Initialize named an event target.
HRESULT AutomationControl::Play()
{
    return GuardedCom([&]() -> HRESULT {
        FireMsgEvent(this, kMsgHandlingBegins);
        PlaylistCurrentItem(engine.currentFile, sizeof(engine.currentFile), engine.currentTitle,
                            sizeof(engine.currentTitle));
        // The container's play gives the process its class whatever set another since.
        engine.processPriorityClass = 0;
        PlayCurrentEntry();
        StartPlayTimer();
        return S_OK;
    });
}

HRESULT AutomationControl::Stop()
{
    return GuardedCom([&]() -> HRESULT {
        // The container's stop gives the process the normal class whatever set another since.
        engine.processPriorityClass = 0;
        StopPlayback(0);
        KillPlayTimer();
        return S_OK;
    });
}

HRESULT AutomationControl::Pause()
{
    return GuardedCom([&]() -> HRESULT {
        if (!engine.isPaused) {
            PausePlayback();
            KillPlayTimer();
        } else {
            ResumePlayback();
            StartPlayTimer();
        }
        return S_OK;
    });
}

HRESULT AutomationControl::get_Position(LONG* pVal)
{
    return GuardedCom([&]() -> HRESULT {
        if (!pVal) return E_POINTER;
        *pVal = engine.isPlaying ? PluginPosition() / 1000 : 0;
        return S_OK;
    });
}

// Seeks the last prepared plugin even while stopped. The product wraps like the 32-bit product
// it is, without overflowing.
HRESULT AutomationControl::put_Position(LONG value)
{
    return GuardedCom([&]() -> HRESULT {
        PluginSeek(static_cast<int32_t>(static_cast<uint32_t>(value) * 1000u));
        return S_OK;
    });
}

HRESULT AutomationControl::get_Length(LONG* pVal)
{
    return GuardedCom([&]() -> HRESULT {
        if (!pVal) return E_POINTER;
        *pVal = PluginLengthSeconds();
        return S_OK;
    });
}

HRESULT AutomationControl::get_Status(LONG* pVal)
{
    return GuardedCom([&]() -> HRESULT {
        if (!pVal) return E_POINTER;
        *pVal = !engine.isPlaying ? 0 : engine.isPaused ? 2 : 1;
        return S_OK;
    });
}
