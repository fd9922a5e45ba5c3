// Adding names: a list by its extension, or one entry.
#include "control/automation_control.h"
#include "control/string_conversion.h"
#include "playlist/entry_names.h"
#include "playlist/playlist_append.h"

namespace {

bool IsListName(const char* name)
{
    const char* extension = GetExtension(name);
    return _stricmp(extension, "m3u") == 0 || _stricmp(extension, "pls") == 0;
}

}  // namespace

// M3U and PLS lists cannot be read yet: such names are refused with E_NOTIMPL, adding nothing.
HRESULT AutomationControl::AppendFileToPlaylist(BSTR file)
{
    std::string name;
    HRESULT hr = AppendedNameToAnsi(file, name);
    if (hr != S_OK) return hr;
    if (IsListName(name.c_str())) return E_NOTIMPL;
    PlaylistAppendFile(name.c_str());
    return S_OK;
}

HRESULT AutomationControl::AppendFilenameWithArgs(BSTR filename, LONG Volume, LONG duration)
{
    std::string name;
    HRESULT hr = AppendedNameToAnsi(filename, name);
    if (hr != S_OK) return hr;
    if (IsListName(name.c_str())) return E_NOTIMPL;
    PlaylistAppendWithArgs(name.c_str(), Volume, duration);
    return S_OK;
}
