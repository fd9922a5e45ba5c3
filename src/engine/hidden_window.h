#pragma once
// The hidden window: the engine's message target on the container's thread. Plugins post
// WM_ENGINE_ADVANCE to it at the end of a stream; the engine and the plugins' host services
// send or post the other messages; its procedure turns them into advances and events.
#include <windows.h>

#include "tunara_plugin.h"

// The numbers are part of the plugin interface: plugins post them too.
constexpr UINT WM_ENGINE_ADVANCE = TUNARA_WM_ENGINE_ADVANCE;
constexpr UINT WM_ENGINE_EVENT = TUNARA_WM_ENGINE_EVENT;
constexpr UINT WM_ENGINE_STATUS = TUNARA_WM_ENGINE_STATUS;
constexpr UINT WM_ENGINE_CUT = TUNARA_WM_ENGINE_CUT;
static_assert(WM_ENGINE_ADVANCE == WM_USER + 2 && WM_ENGINE_CUT == WM_USER + 5, "engine messages");

LRESULT CALLBACK HiddenWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Registers the class (a class that already exists is reused) and creates the window into
// hiddenWindow (null when creation fails).
void CreateHiddenWindow();
// Destroys hiddenWindow if it still names a window, and clears it.
void DestroyHiddenWindow();
// Removes the class, so that a later load of the module does not find the old procedure.
void UnregisterHiddenWindowClass();
