#pragma once
// Loading a module of our own installation (plugins, helpers) by its full path.
#include <windows.h>

// Loads the module at path, which must be a full path. The module's own dependencies are looked
// for in its folder and the system folders only, never in the current directory or on PATH: a
// container (or a playlist reader) may stand in any folder, and a module planted there must not
// run in the container. Systems that refuse that search order (ERROR_INVALID_PARAMETER, before
// the update that brought it) get the module's folder first and then the usual order. Null on
// failure.
HMODULE LoadLibraryFromFullPath(const char* path);

#include "win/unique_resource.h"

// The named export of a loaded module; null when the module or the export is missing.
inline FARPROC ModuleExport(const UniqueModule& module, const char* name)
{
    return module ? GetProcAddress(module.Get(), name) : nullptr;
}
