#include "control/out_variant.h"

#include "win/bstr.h"

namespace {

HRESULT StoreText(VARIANT* out, BSTR text)
{
    VariantClear(out);
    if (!text) return E_OUTOFMEMORY;
    out->vt = VT_BSTR;
    out->bstrVal = text;
    return S_OK;
}

}  // namespace

HRESULT SetOutText(VARIANT* out, const char* text)
{
    return StoreText(out, AnsiToBstr(text, CP_THREAD_ACP));
}

HRESULT SetOutText(VARIANT* out, const wchar_t* text)
{
    return StoreText(out, SysAllocString(text ? text : L""));
}

void SetOutLong(VARIANT* out, LONG value)
{
    VariantClear(out);
    out->vt = VT_I4;
    out->lVal = value;
}

void SetOutShort(VARIANT* out, SHORT value)
{
    VariantClear(out);
    out->vt = VT_I2;
    out->iVal = value;
}
