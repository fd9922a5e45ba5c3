// GetVersion: the engine's and the COM layer's version texts.
#include "control/automation_control.h"
#include "control/out_variant.h"
#include "win/guarded.h"

namespace {
constexpr wchar_t kEngineVersion[] = L"2.6F";
constexpr wchar_t kComVersion[] = L"1.0";
}  // namespace

HRESULT AutomationControl::GetVersion(VARIANT* tunaraVer, VARIANT* comVer)
{
    return GuardedCom([&]() -> HRESULT {
        if (!tunaraVer || !comVer) return E_POINTER;
        HRESULT engineResult = SetOutText(tunaraVer, kEngineVersion);
        HRESULT comResult = SetOutText(comVer, kComVersion);
        return FAILED(engineResult) ? engineResult : comResult;
    });
}
