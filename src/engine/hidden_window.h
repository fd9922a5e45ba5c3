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

// Sends TunaraMsgEvent msgId through the hidden window: it fires before this returns when called
// on the container's thread. Nothing happens without a window.
void SendEngineEvent(long msgId);
// Posts a message to the hidden window; nothing without a window (a null window would make it a
// message of the calling thread).
void PostEngineMessage(UINT message, WPARAM wParam = 0);
// wParam of the WM_ENGINE_ADVANCE that the engine posts itself after a failed start; plugins post 0.
constexpr WPARAM kAdvanceAfterFailedStart = 1;
// Drops the end-of-track and duration-cut messages still queued for the hidden window: once
// playback has stopped they would start the next entry by themselves. Call on the window's thread.
void DiscardPendingTrackMessages();

// Registers the class (a class that already exists is reused) and creates the window into
// hiddenWindow (null when creation fails). It is a message-only window: no other process on the
// desktop can find it and post engine messages to it.
void CreateHiddenWindow();
// Destroys hiddenWindow if it still names a window, and clears it.
void DestroyHiddenWindow();
// Removes the class, so that a later load of the module does not find the old procedure.
void UnregisterHiddenWindowClass();
