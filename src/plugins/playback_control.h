#pragma once
// Calls into the current input plugin (the one prepared by the latest start attempt) on behalf of
// the engine. Without one, each gives its neutral value or does nothing. While a start or stop is
// in progress (playBusy) the plugin is between states, so the two queries answer their neutral
// values instead of calling it.
#include <stdint.h>

// Output time in milliseconds; 0 without a plugin.
int32_t PluginPosition();
// Length in whole seconds, truncated toward zero; a quotient below 1 other than -1 is reported as
// 1 (a short or unknown-but-playing track is at least one second long). -1 without a plugin.
int32_t PluginLengthSeconds();
void PluginSeek(int32_t milliseconds);
void PluginSetVolume(int32_t value);
void PluginSetPan(int32_t value);
void PluginStop();
// Non-zero: pause; zero: unpause.
void PluginPause(int32_t pause);
