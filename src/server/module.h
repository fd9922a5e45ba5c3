#pragma once
// The module's lock count: every live control object, class factory reference and LockServer
// lock holds one. DllCanUnloadNow allows unloading at zero.
#include <windows.h>

void ModuleLock();
void ModuleUnlock();
LONG ModuleLockCount();
// Full path of the control's own module file.
bool ModulePath(wchar_t (&path)[MAX_PATH]);
