// Initialize and Deinitialize: start and stop the one engine of the process.
#include "control/automation_control.h"
#include "engine/engine_context.h"
#include "engine/lifecycle.h"
#include "win/guarded.h"

void AutomationControl::StopBeingEventTarget()
{
    if (engine.controlObject == this) engine.controlObject = nullptr;
}

HRESULT AutomationControl::Initialize()
{
    return GuardedCom([&]() -> HRESULT {
        InitializeEngine(this);
        return S_OK;
    });
}

HRESULT AutomationControl::Deinitialize()
{
    return GuardedCom([&]() -> HRESULT {
        DeinitializeEngine();
        return S_OK;
    });
}
