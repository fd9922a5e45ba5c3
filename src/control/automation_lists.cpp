// Reading lists whatever their extension, and saving the playlist as a list.
#include "control/automation_control.h"
#include "control/string_conversion.h"
#include "playlist/entry_names.h"
#include "playlist/m3u_list.h"
#include "playlist/pls_list.h"
#include "win/bstr.h"
#include "win/guarded.h"

namespace {

// The name as the append members take it, read by the list reader of the member's format.
HRESULT ReadNamedList(BSTR file, int (*reader)(const char* name))
{
    return GuardedCom([&]() -> HRESULT {
        std::string name;
        std::wstring wide;
        HRESULT hr = AppendedName(file, name, wide);
        if (hr != S_OK) return hr;
        reader(name.c_str());
        return S_OK;
    });
}

}  // namespace

HRESULT AutomationControl::AppendM3UToPlaylist(BSTR file) { return ReadNamedList(file, ReadM3UList); }

HRESULT AutomationControl::AppendPLSToPlaylist(BSTR file) { return ReadNamedList(file, ReadPLSList); }

// The format follows the extension; what the writer met is not reported.
HRESULT AutomationControl::SavePlaylist(BSTR file)
{
    return GuardedCom([&]() -> HRESULT {
        const std::string name = BstrToAnsi(file, CP_THREAD_ACP);
        const char* extension = GetExtension(name.c_str());
        if (_stricmp(extension, "m3u") == 0 || _stricmp(extension, "m3u8") == 0) {
            WriteM3UList(name.c_str(), _stricmp(extension, "m3u8") == 0);
            return S_OK;
        }
        if (_stricmp(extension, "pls") == 0) {
            WritePLSList(name.c_str());
            return S_OK;
        }
        return S_FALSE;
    });
}
