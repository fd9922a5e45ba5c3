#include "engine/hidden_window.h"

#include "control/events.h"
#include "engine/engine_context.h"
#include "engine/playback_monitor.h"
#include "plugins/playback.h"
#include "win/guarded.h"

namespace {

constexpr char kHiddenWindowClass[] = "TunaraCOM Hidden Window";
// A plugin's status notification with this code means "track started" or, from a stream, "title
// changed": the playing entry is re-read first, so that the event's handlers see the new title.
constexpr WPARAM kStatusTrackStarted = 210;
constexpr long kMsgTrackStarted = 4;

}  // namespace

// Called by the system on the container's thread.
LRESULT CALLBACK HiddenWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return Guarded<LRESULT>(0, 0, [&]() -> LRESULT {
        switch (message) {
        case WM_ENGINE_ADVANCE:
            return HandleTrackEnd(wParam);
        case WM_ENGINE_EVENT:
            FireMsgEvent(engine.controlObject, static_cast<long>(wParam));
            return 0;
        case WM_ENGINE_STATUS:
            if (wParam == kStatusTrackStarted) {
                RefreshPlayingEntry();
                FireMsgEvent(engine.controlObject, kMsgTrackStarted);
            } else {
                FireStatus(engine.controlObject, static_cast<long>(wParam), static_cast<long>(lParam));
            }
            return 0;
        case WM_ENGINE_CUT:
            HandleDurationCut(wParam);
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
        }
    });
}

void SendEngineEvent(long msgId)
{
    if (engine.hiddenWindow) SendMessageA(engine.hiddenWindow.Get(), WM_ENGINE_EVENT, static_cast<WPARAM>(msgId), 0);
}

void PostEngineMessage(UINT message, WPARAM wParam)
{
    if (engine.hiddenWindow) PostMessageA(engine.hiddenWindow.Get(), message, wParam, 0);
}

void DiscardPendingTrackMessages()
{
    if (!engine.hiddenWindow) return;
    MSG message;
    const UINT flags = PM_NOYIELD | PM_QS_POSTMESSAGE;
    HWND window = engine.hiddenWindow.Get();
    // Each look at the queue is a round trip to the system's message server, as costly as the
    // whole rest of an advance. One look covers the engine's messages; usually none waits.
    if (PeekMessageA(&message, window, WM_ENGINE_ADVANCE, WM_ENGINE_CUT, flags | PM_NOREMOVE)) {
        while (PeekMessageA(&message, window, WM_ENGINE_ADVANCE, WM_ENGINE_ADVANCE, flags | PM_REMOVE)) {}
        while (PeekMessageA(&message, window, WM_ENGINE_CUT, WM_ENGINE_CUT, flags | PM_REMOVE)) {}
    }
    // A duration check dropped with the cuts may be asked for again.
    engine.durationCheckPosted = 0;
}

void CreateHiddenWindow()
{
    WNDCLASSA windowClass{};
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = HiddenWindowProc;
    windowClass.hInstance = engine.moduleInstance;
    windowClass.lpszClassName = kHiddenWindowClass;
    RegisterClassA(&windowClass);
    engine.hiddenWindow.Reset(CreateWindowExA(0, kHiddenWindowClass, nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE,
                                              nullptr, engine.moduleInstance, nullptr));
    engine.serviceWindow = engine.hiddenWindow.Get();
}

void DestroyHiddenWindow()
{
    engine.serviceWindow = nullptr;
    engine.hiddenWindow.Reset();
}

void UnregisterHiddenWindowClass()
{
    UnregisterClassA(kHiddenWindowClass, engine.moduleInstance);
}
