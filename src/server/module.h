#pragma once
// The module's lock count: every live control object, class factory reference and LockServer
// lock holds one. DllCanUnloadNow allows unloading at zero.
#include <windows.h>

void ModuleLock();
void ModuleUnlock();
LONG ModuleLockCount();

// One lock held for the lifetime of the object that derives from it. As a first base class it is
// given back after everything else of that object is gone: releasing the object's parts may run
// container code that asks whether the module can be unloaded.
class ModuleLockHolder {
protected:
    ModuleLockHolder() { ModuleLock(); }
    ~ModuleLockHolder() { ModuleUnlock(); }
    ModuleLockHolder(const ModuleLockHolder&) = delete;
    ModuleLockHolder& operator=(const ModuleLockHolder&) = delete;
};
// Full path of the control's own module file.
bool ModulePath(wchar_t (&path)[MAX_PATH]);
