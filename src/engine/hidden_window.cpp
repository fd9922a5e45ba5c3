#include "engine/hidden_window.h"

#include "control/events.h"
#include "engine/engine_context.h"

namespace {

constexpr char kHiddenWindowClass[] = "TunaraCOM Hidden Window";
// A plugin's status notification with this code means "track started".
constexpr WPARAM kStatusTrackStarted = 210;
constexpr long kMsgTrackStarted = 4;

}  // namespace

LRESULT CALLBACK HiddenWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ENGINE_EVENT:
        FireMsgEvent(engine.controlObject, static_cast<long>(wParam));
        return 0;
    case WM_ENGINE_STATUS:
        if (wParam == kStatusTrackStarted)
            FireMsgEvent(engine.controlObject, kMsgTrackStarted);
        else
            FireStatus(engine.controlObject, static_cast<long>(wParam), static_cast<long>(lParam));
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

void CreateHiddenWindow()
{
    WNDCLASSA windowClass{};
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = HiddenWindowProc;
    windowClass.hInstance = engine.moduleInstance;
    windowClass.lpszClassName = kHiddenWindowClass;
    RegisterClassA(&windowClass);
    engine.hiddenWindow = CreateWindowExA(0, kHiddenWindowClass, nullptr, 0, 0, 0, 0, 0, nullptr,
                                          nullptr, engine.moduleInstance, nullptr);
}

void DestroyHiddenWindow()
{
    if (!engine.hiddenWindow) return;
    if (IsWindow(engine.hiddenWindow)) DestroyWindow(engine.hiddenWindow);
    engine.hiddenWindow = nullptr;
}

void UnregisterHiddenWindowClass()
{
    UnregisterClassA(kHiddenWindowClass, engine.moduleInstance);
}
