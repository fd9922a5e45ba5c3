#pragma once
// Where the control lives and where its temporary download file goes.
#include <windows.h>

#include <stddef.h>

// Copies source into buffer (size bytes, always terminated) and cuts the copy at its last
// backslash or slash. Returns 1 if it cut, 0 if the text holds no separator.
int CutAtLastSeparator(const char* source, char* buffer, size_t size);

// The directory of the module file of instance, without a trailing separator.
void GetModuleDirectory(HINSTANCE instance, char* buffer, size_t size);

// Asks the sharedir.dll in directory (the control's own folder; never one found by searching)
// for the common data directory through the named export. Returns 1 on success, 0 when the
// directory is empty or the library, the export or the answer fails; the buffer is then empty.
int GetSharedDataFolder(const char* directory, const char* exportName, char* buffer, size_t size);
