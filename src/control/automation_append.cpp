// Adding names: a list by its extension, or one entry.
#include "control/automation_control.h"
#include "control/list_members.h"
#include "control/string_conversion.h"
#include "playlist/playlist_append.h"
#include "playlist/wide_names.h"
#include "win/guarded.h"

HRESULT AutomationControl::AppendFileToPlaylist(BSTR file)
{
    return GuardedCom([&]() -> HRESULT {
        std::string name;
        std::wstring wide;
        HRESULT hr = AppendedName(file, name, wide);
        if (hr != S_OK) return hr;
        if (ReadListByExtension(name.c_str())) return S_OK;
        if (PlaylistAppendFile(name.c_str()) == 0) KeepWideTextOfLastEntry(wide);
        return S_OK;
    });
}

// A list ignores the two numbers: its entries are plain ones.
HRESULT AutomationControl::AppendFilenameWithArgs(BSTR filename, LONG Volume, LONG duration)
{
    return GuardedCom([&]() -> HRESULT {
        std::string name;
        std::wstring wide;
        HRESULT hr = AppendedName(filename, name, wide);
        if (hr != S_OK) return hr;
        if (ReadListByExtension(name.c_str())) return S_OK;
        if (PlaylistAppendWithArgs(name.c_str(), Volume, duration) == 0) KeepWideTextOfLastEntry(wide);
        return S_OK;
    });
}
