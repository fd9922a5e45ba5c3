// Initialize and Deinitialize: start and stop the one engine of the process.
#include "control/automation_control.h"
#include "engine/lifecycle.h"

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
