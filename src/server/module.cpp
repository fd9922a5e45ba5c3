// The module entry point, the lock count and DllCanUnloadNow.
#include "server/module.h"

#include "engine/engine_context.h"
#include "engine/hidden_window.h"
#include "server/control_window.h"
#include "server/runtime_release.h"
#include "win/guarded.h"

namespace {
LONG lockCount = 0;
}  // namespace

void ModuleLock() { InterlockedIncrement(&lockCount); }
void ModuleUnlock() { InterlockedDecrement(&lockCount); }
LONG ModuleLockCount() { return InterlockedCompareExchange(&lockCount, 0, 0); }

bool ModulePath(wchar_t (&path)[MAX_PATH])
{
    DWORD length = GetModuleFileNameW(engine.moduleInstance, path, MAX_PATH);
    return length > 0 && length < MAX_PATH;
}

// Called by the loader. A failure refuses a load; at unload the result is ignored.
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    return Guarded<BOOL>(FALSE, FALSE, [&]() -> BOOL {
        if (reason == DLL_PROCESS_ATTACH) {
            engine.moduleInstance = instance;
            DisableThreadLibraryCalls(instance);
        } else if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
            // Unloaded while the process goes on: a later load must not find our old window class.
            UnregisterControlWindowClass();
            UnregisterHiddenWindowClass();
            // Nothing of the runtime's thread support runs in this module after this point.
            ReleaseRuntimeThreadStorage(instance);
        }
        return TRUE;
    });
}

// While the engine runs, its hidden window and the plugins' host services point into this
// module: unloading it then would leave them calling freed code. A failure keeps the module.
STDAPI DllCanUnloadNow()
{
    return Guarded<HRESULT>(S_FALSE, S_FALSE, [] {
        return ModuleLockCount() == 0 && !engine.hiddenWindow ? S_OK : S_FALSE;
    });
}
