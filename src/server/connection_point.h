#pragma once
// One connection point of the control. It lives inside the control object and shares its
// reference count; its sinks live in a SinkSlots that the control owns.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include "control/sink_slots.h"

class ConnectionPoint final : public IConnectionPoint {
public:
    // Whether the point's interface is a dispatch interface, whose sinks may answer IDispatch alone.
    enum class SinkKind { kDispatch, kVtable };

    ConnectionPoint(IConnectionPointContainer* container, REFIID iid, SinkKind kind, SinkSlots& sinks)
        : container_(container), iid_(iid), kind_(kind), sinks_(sinks) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return container_->AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return container_->Release(); }

    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) override;
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** out) override;
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** out) override;

    const IID& Iid() const { return iid_; }

private:
    IConnectionPointContainer* container_;
    const IID& iid_;
    const SinkKind kind_;
    SinkSlots& sinks_;
};
