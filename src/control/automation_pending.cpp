// Members whose engine operations are not built yet: they say so with E_NOTIMPL rather than
// pretend to work. Each moves to the file of its subsystem when that subsystem lands.
#include "control/automation_control.h"

HRESULT AutomationControl::GetPlaylistItemHeaderInfos(LONG, TUNARA_VARIANT_OUT_11) { return E_NOTIMPL; }
HRESULT AutomationControl::GetCurrentFileInfos(VARIANT*, VARIANT*, VARIANT*) { return E_NOTIMPL; }
HRESULT AutomationControl::GetURLToLaunch(VARIANT*) { return E_NOTIMPL; }
HRESULT AutomationControl::SetProxy(BSTR) { return E_NOTIMPL; }
HRESULT AutomationControl::SetLaunchURLEXE(BSTR) { return E_NOTIMPL; }
HRESULT AutomationControl::IsStreamPlaying(VARIANT*) { return E_NOTIMPL; }
HRESULT AutomationControl::GetFileHeaderInfos(BSTR, TUNARA_VARIANT_OUT_11) { return E_NOTIMPL; }
