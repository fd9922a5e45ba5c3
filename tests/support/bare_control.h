#pragma once
// The automation part of a control without the OLE shell: enough for engine suites to own
// event sinks and to stand in as the engine's controlObject.
#include "control/automation_control.h"

class BareControl final : public AutomationControl {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override
    {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
};
