#include "support/recording_sink.h"

#include <ocidl.h>

#include "tunaraxchat.h"
#include "win/com_ptr.h"

std::vector<long> RecordingSink::MsgIds() const
{
    std::vector<long> ids;
    for (const RecordedEvent& e : log_)
        if (e.sink == name_ && e.dispid == 1) ids.push_back(e.msgId);
    return ids;
}

HRESULT RecordingSink::QueryInterface(REFIID iid, void** out)
{
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
        (answersEventInterface && IsEqualIID(iid, DIID__ITunaraXChatEvents))) {
        *out = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

HRESULT RecordingSink::GetTypeInfoCount(UINT* count)
{
    *count = 0;
    return S_OK;
}

HRESULT RecordingSink::GetTypeInfo(UINT, LCID, ITypeInfo** info)
{
    *info = nullptr;
    return E_NOTIMPL;
}

HRESULT RecordingSink::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }

HRESULT RecordingSink::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT*,
                              EXCEPINFO*, UINT*)
{
    if (!params || flags != DISPATCH_METHOD) return E_INVALIDARG;
    RecordedEvent e{name_, id, 0, 0};
    // Arguments arrive last to first; anything but VT_I4 is recorded as -9999.
    auto value = [&](UINT index) { return params->rgvarg[index].vt == VT_I4 ? params->rgvarg[index].lVal : -9999; };
    if (params->cArgs >= 1) e.msgId = value(params->cArgs - 1);
    if (params->cArgs == 2) e.comp = value(0);
    log_.push_back(e);
    if (onEvent) onEvent();
    return result;
}

DWORD ConnectEvents(IUnknown* control, IUnknown* sink)
{
    auto container = ComPtr<IUnknown>(control).As<IConnectionPointContainer>(IID_IConnectionPointContainer);
    ComPtr<IConnectionPoint> point;
    DWORD cookie = 0;
    if (container && SUCCEEDED(container->FindConnectionPoint(DIID__ITunaraXChatEvents, point.Out())))
        point->Advise(sink, &cookie);
    return cookie;
}

HRESULT DisconnectEvents(IUnknown* control, DWORD cookie)
{
    auto container = ComPtr<IUnknown>(control).As<IConnectionPointContainer>(IID_IConnectionPointContainer);
    ComPtr<IConnectionPoint> point;
    if (!container) return E_NOINTERFACE;
    HRESULT hr = container->FindConnectionPoint(DIID__ITunaraXChatEvents, point.Out());
    return FAILED(hr) ? hr : point->Unadvise(cookie);
}
