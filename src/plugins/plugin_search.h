#pragma once
// Walks the files of the control's Plugins folder that match a pattern such as "IN_*.DLL",
// in the directory search's own order.
#include <windows.h>

#include <functional>

// Calls visit(fullPath, fileName) for each file found; visit returns false to stop the walk.
// Names whose full path does not fit pathSize bytes are skipped.
void ForEachPluginFile(const char* pattern, size_t pathSize,
                       const std::function<bool(const char* path, const char* fileName)>& visit);
