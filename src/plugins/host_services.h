#pragma once
// The services the host writes into every input plugin record. Plugins call them from any thread,
// their own decoding threads included: the ones that act on the engine only post or send to the
// hidden window, so that the action (and every call back into the plugin, such as the position a
// duration check reads) runs on the container's thread; SetMediaInfo stores three atomics and
// RequestUrlLaunch stores the address under its lock.
#include <windows.h>

#include "tunara_plugin.h"

// wParam of the WM_ENGINE_CUT that the duration services post: the container's thread first
// tests the limit (every time, or once per started track). Plugins that post the message
// themselves pass 0, a cut without a test.
constexpr WPARAM kCutNow = 0;
constexpr WPARAM kCheckDurationEvery = 1;
constexpr WPARAM kCheckDurationOnce = 2;

extern "C" {
int32_t __cdecl HostHook24(int32_t first, int32_t second);
int32_t __cdecl HostHook25(int32_t first, int32_t second);
int32_t __cdecl CheckDurationLimit(int32_t first, int32_t second);
int32_t __cdecl HostHook27(int32_t first, int32_t second);
int32_t __cdecl CheckDurationLimitOnce(int32_t first, int32_t second);
int32_t __cdecl HostHook29(int32_t first, int32_t second);
int32_t __cdecl HostHook30(int32_t first, int32_t second);
int32_t __cdecl HostHook31(int32_t first, int32_t second);
int32_t __cdecl HostHook32(int32_t first, int32_t second);
int32_t __cdecl HostHook33(int32_t first, int32_t second);
int32_t __cdecl HostHook34(int32_t first, int32_t second);
int32_t __cdecl SetMediaInfo(int32_t bitrate, int32_t sampleRate, int32_t channels, int32_t fourth);
int32_t __cdecl RequestUrlLaunch(const char* url);
int32_t __cdecl SendStatusNotification(int32_t code, int32_t value);
}

// Writes the host's words of an input record, in the order plugins may rely on: everything but
// SetMediaInfo, which goes in only after init (see InstallSetMediaInfo).
void WriteInputHostWords(InputPluginRecord* record, void* moduleHandle);
void InstallSetMediaInfo(InputPluginRecord* record);
