// IDispatch of the control: names, DISPIDs, argument checks and conversions all come from the
// type library, so every member is reachable by name and by DISPID exactly as declared.
#include "control/automation_control.h"
#include "control/type_info.h"
#include "win/guarded.h"

HRESULT AutomationControl::DispatchTypeInfo(ITypeInfo** info)
{
    if (!typeInfo_) {
        HRESULT hr = LoadControlTypeInfo(IID_ITunaraXChat2, typeInfo_.Out());
        if (FAILED(hr)) return hr;
    }
    *info = typeInfo_.Get();
    return S_OK;
}

HRESULT AutomationControl::GetTypeInfoCount(UINT* count)
{
    return GuardedCom([&]() -> HRESULT {
        if (!count) return E_POINTER;
        *count = 1;
        return S_OK;
    });
}

HRESULT AutomationControl::GetTypeInfo(UINT index, LCID, ITypeInfo** info)
{
    return GuardedCom([&]() -> HRESULT {
        if (!info) return E_POINTER;
        *info = nullptr;
        if (index != 0) return DISP_E_BADINDEX;
        ITypeInfo* held = nullptr;
        HRESULT hr = DispatchTypeInfo(&held);
        if (FAILED(hr)) return hr;
        held->AddRef();
        *info = held;
        return S_OK;
    });
}

HRESULT AutomationControl::GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID,
                                         DISPID* ids)
{
    return GuardedCom([&]() -> HRESULT {
        if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
        if (!names || !ids) return E_POINTER;
        ITypeInfo* info = nullptr;
        HRESULT hr = DispatchTypeInfo(&info);
        if (FAILED(hr)) return hr;
        return info->GetIDsOfNames(names, count, ids);
    });
}

HRESULT AutomationControl::Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params,
                                  VARIANT* result, EXCEPINFO* excep, UINT* argErr)
{
    return GuardedCom([&]() -> HRESULT {
        if (!IsEqualIID(riid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
        if (!params) return E_POINTER;
        ITypeInfo* info = nullptr;
        HRESULT hr = DispatchTypeInfo(&info);
        if (FAILED(hr)) return hr;
        return info->Invoke(static_cast<ITunaraXChat2*>(this), id, flags, params, result, excep,
                            argErr);
    });
}
