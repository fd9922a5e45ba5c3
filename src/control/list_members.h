#pragma once
// How the append members hand a name to the list readers.
#include <windows.h>

// Reads the name as an M3U or PLS list when its extension ("m3u" or "pls", any case) says so.
// False for any other name. What the list held is not the member's result: the reader tells
// the container through events.
bool ReadListByExtension(const char* name);
