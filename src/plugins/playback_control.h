#pragma once
// Calls into the current input plugin on behalf of the engine.
#include <stdint.h>

// Output time of the current input plugin in milliseconds; 0 when there is none.
int32_t PluginPosition();

// Hands the value to the current input plugin's setVolume; nothing without one.
void PluginSetVolume(int32_t value);
