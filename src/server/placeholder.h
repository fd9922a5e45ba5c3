#pragma once
// What the control shows a container: its bounds as a rectangle and its name in the middle.
#include <windows.h>

void DrawPlaceholder(HDC dc, const RECT& bounds);
