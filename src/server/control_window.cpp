#include "server/control_window.h"

#include "engine/engine_context.h"
#include "server/placeholder.h"
#include "win/guarded.h"

namespace {

constexpr wchar_t kClassName[] = L"TunaraXChat Control Window";

// Called by the system on the container's thread.
LRESULT CALLBACK ControlWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return Guarded<LRESULT>(0, 0, [&]() -> LRESULT {
        if (message == WM_PAINT) {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(window, &paint);
            RECT client;
            GetClientRect(window, &client);
            DrawPlaceholder(dc, client);
            EndPaint(window, &paint);
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    });
}

bool EnsureClassRegistered()
{
    WNDCLASSW existing;
    if (GetClassInfoW(engine.moduleInstance, kClassName, &existing)) return true;
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = ControlWindowProc;
    windowClass.hInstance = engine.moduleInstance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kClassName;
    return RegisterClassW(&windowClass) != 0;
}

}  // namespace

HWND CreateControlWindow(HWND parent, const RECT& position)
{
    if (!EnsureClassRegistered()) return nullptr;
    return CreateWindowExW(0, kClassName, nullptr,
                           WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                           position.left, position.top, position.right - position.left,
                           position.bottom - position.top, parent, nullptr,
                           engine.moduleInstance, nullptr);
}

void UnregisterControlWindowClass()
{
    UnregisterClassW(kClassName, engine.moduleInstance);
}
