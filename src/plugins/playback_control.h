#pragma once
// Calls into the current input plugin on behalf of the engine.
#include <stdint.h>

// Output time of the current input plugin in milliseconds; 0 when there is none.
int32_t PluginPosition();
