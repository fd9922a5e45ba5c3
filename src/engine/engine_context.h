#pragma once
// The one process-wide engine state. Every part of the engine reads and writes it here; nothing
// else in the engine is global.
#include <windows.h>

class AutomationControl;

struct EngineContext {
    // The control whose event sinks receive every event; set by Initialize, never cleared.
    AutomationControl* controlObject = nullptr;
    // The control's own module: window class, hidden window, module file name, resources.
    HINSTANCE moduleInstance = nullptr;
};

extern EngineContext engine;
