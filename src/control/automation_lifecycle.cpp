// Initialize and Deinitialize: start and stop the one engine of the process.
#include "control/automation_control.h"
#include "engine/engine_context.h"
#include "engine/lifecycle.h"

// A control released without Deinitialize must not stay the engine's event target: later events
// would go to freed memory. They are dropped until the next Initialize names a new target.
AutomationControl::~AutomationControl()
{
    if (engine.controlObject == this) engine.controlObject = nullptr;
}

HRESULT AutomationControl::Initialize()
{
    InitializeEngine(this);
    return S_OK;
}

HRESULT AutomationControl::Deinitialize()
{
    DeinitializeEngine();
    return S_OK;
}
