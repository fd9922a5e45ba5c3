// GetVersion: the engine's and the COM layer's version texts.
#include "control/automation_control.h"

namespace {
constexpr wchar_t kEngineVersion[] = L"2.6F";
constexpr wchar_t kComVersion[] = L"1.0";
}  // namespace

HRESULT AutomationControl::GetVersion(VARIANT* tunaraVer, VARIANT* comVer)
{
    if (!tunaraVer || !comVer) return E_POINTER;
    VariantInit(tunaraVer);
    VariantInit(comVer);
    BSTR engineText = SysAllocString(kEngineVersion);
    BSTR comText = SysAllocString(kComVersion);
    if (!engineText || !comText) {
        SysFreeString(engineText);
        SysFreeString(comText);
        return E_OUTOFMEMORY;
    }
    tunaraVer->vt = VT_BSTR;
    tunaraVer->bstrVal = engineText;
    comVer->vt = VT_BSTR;
    comVer->bstrVal = comText;
    return S_OK;
}
