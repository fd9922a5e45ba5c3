#pragma once
// The child window of a control that is in-place active in windowed mode.
#include <windows.h>

HWND CreateControlWindow(HWND parent, const RECT& position);
void UnregisterControlWindowClass();
