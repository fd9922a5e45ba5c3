#pragma once
// Starting and stopping the engine: the work of the Initialize and Deinitialize members.
class AutomationControl;

void InitializeEngine(AutomationControl* control);
void DeinitializeEngine();
