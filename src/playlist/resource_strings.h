#pragma once
// Strings from the control's string table.
#include <windows.h>

#include <stddef.h>

// Loads string id from the engine's string module into buffer (size bytes), or into the engine's
// shared buffer of 1024 bytes when buffer is null; the shared text lasts until the next such call.
// A missing string, or no string module yet, gives "Error loading string", cut to fit.
// Returns the buffer.
char* LoadResString(UINT id, char* buffer, size_t size);
