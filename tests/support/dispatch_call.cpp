#include "support/dispatch_call.h"

#include <vector>

HRESULT DispatchCall::Invoke(const wchar_t* name, WORD flags, std::initializer_list<VARIANT> args,
                             VARIANT* result)
{
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    HRESULT hr = target_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(hr)) return hr;
    std::vector<VARIANT> reversed(args.begin(), args.end());
    std::vector<VARIANT> ordered(reversed.rbegin(), reversed.rend());
    DISPPARAMS params{ordered.data(), nullptr, static_cast<UINT>(ordered.size()), 0};
    DISPID named = DISPID_PROPERTYPUT;
    if (flags == DISPATCH_PROPERTYPUT) {
        params.rgdispidNamedArgs = &named;
        params.cNamedArgs = 1;
    }
    return target_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, nullptr, nullptr);
}

HRESULT DispatchCall::Method(const wchar_t* name, std::initializer_list<VARIANT> args, VARIANT* result)
{
    return Invoke(name, DISPATCH_METHOD, args, result);
}

HRESULT DispatchCall::Get(const wchar_t* name, VARIANT* result)
{
    return Invoke(name, DISPATCH_PROPERTYGET, {}, result);
}

HRESULT DispatchCall::Put(const wchar_t* name, VARIANT value)
{
    return Invoke(name, DISPATCH_PROPERTYPUT, {value}, nullptr);
}

long DispatchCall::GetLong(const wchar_t* name)
{
    VARIANT result;
    VariantInit(&result);
    if (FAILED(Get(name, &result)) || result.vt != VT_I4) return -9999;
    return result.lVal;
}

VARIANT DispatchCall::Long(long value)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = value;
    return v;
}

VARIANT DispatchCall::Text(const wchar_t* value)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BSTR;
    v.bstrVal = SysAllocString(value);
    return v;
}

VARIANT DispatchCall::Out(VARIANT* target)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_BYREF | VT_VARIANT;
    v.pvarVal = target;
    return v;
}
