#pragma once
// Calls automation members by name through IDispatch, as a script host does. Arguments are
// given first to last; out-parameters are passed as VT_BYREF | VT_VARIANT.
#include <windows.h>
#include <oleauto.h>

#include <initializer_list>

class DispatchCall {
public:
    explicit DispatchCall(IDispatch* target) : target_(target) {}

    HRESULT Method(const wchar_t* name, std::initializer_list<VARIANT> args = {}, VARIANT* result = nullptr);
    HRESULT Get(const wchar_t* name, VARIANT* result);
    HRESULT Put(const wchar_t* name, VARIANT value);
    // The I4 value of a property, or -9999 when the call fails.
    long GetLong(const wchar_t* name);

    static VARIANT Long(long value);
    static VARIANT Text(const wchar_t* value);  // the caller clears it
    static VARIANT Out(VARIANT* target);

private:
    HRESULT Invoke(const wchar_t* name, WORD flags, std::initializer_list<VARIANT> args, VARIANT* result);
    IDispatch* target_;
};
