// IConnectionPoint of the control's two connection points.
#include "server/connection_point.h"

#include "server/enumerators.h"
#include "win/com_ptr.h"
#include "win/guarded.h"

HRESULT ConnectionPoint::QueryInterface(REFIID iid, void** out)
{
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IConnectionPoint)) {
        *out = static_cast<IConnectionPoint*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

HRESULT ConnectionPoint::GetConnectionInterface(IID* iid)
{
    return GuardedCom([&]() -> HRESULT {
        if (!iid) return E_POINTER;
        *iid = iid_;
        return S_OK;
    });
}

HRESULT ConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** out)
{
    return GuardedCom([&]() -> HRESULT {
        if (!out) return E_POINTER;
        *out = container_;
        container_->AddRef();
        return S_OK;
    });
}

HRESULT ConnectionPoint::Advise(IUnknown* sink, DWORD* cookie)
{
    return GuardedCom([&]() -> HRESULT {
        if (!cookie) return E_POINTER;
        *cookie = 0;
        if (!sink) return E_POINTER;
        // The slot keeps the sink's pointer for this point's interface, which is what firing calls.
        // Many script hosts and containers make event sinks that answer only IDispatch: for a
        // dispatch interface that pointer serves as well.
        ComPtr<IUnknown> typed;
        if (FAILED(sink->QueryInterface(iid_, typed.OutVoid())) && kind_ == SinkKind::kDispatch)
            sink->QueryInterface(IID_IDispatch, typed.OutVoid());
        if (!typed) return CONNECT_E_CANNOTCONNECT;
        *cookie = sinks_.Add(typed.Get());
        return S_OK;
    });
}

HRESULT ConnectionPoint::Unadvise(DWORD cookie)
{
    return GuardedCom([&]() -> HRESULT {
        return sinks_.Remove(cookie) ? S_OK : CONNECT_E_NOCONNECTION;
    });
}

HRESULT ConnectionPoint::EnumConnections(IEnumConnections** out)
{
    return GuardedCom([&]() -> HRESULT {
        return CreateConnectionEnumerator(sinks_.Connections(), out);
    });
}
