// Reading lists whatever their extension, and saving the playlist as a list.
#include "control/automation_control.h"
#include "control/string_conversion.h"
#include "playlist/entry_names.h"
#include "playlist/m3u_list.h"
#include "playlist/pls_list.h"
#include "playlist/wide_names.h"
#include "win/bstr.h"
#include "win/guarded.h"
#include "win/unique_resource.h"
#include "win/wide_text.h"

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

// The name the writers write to: the name itself, or where the code page cannot carry it, the
// short name of the file made under it (empty where the file system gives it none).
std::string SavedName(BSTR file, const std::string& name)
{
    const std::wstring given(file ? file : L"", file ? SysStringLen(file) : 0);
    std::string carried;
    if (AnsiCarries(given, carried)) return name;
    UniqueFile made(CreateFileW(given.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!made.Valid()) return std::string();
    made.Reset();
    // Without a short name the stored name is the code page's rendering, which names no file.
    std::wstring wide;
    const std::string stored = StoredNameFor(given.c_str(), given.size(), wide);
    return stored.find('?') == std::string::npos ? stored : std::string();
}

}  // namespace

HRESULT AutomationControl::AppendM3UToPlaylist(BSTR file) { return ReadNamedList(file, ReadM3UList); }

HRESULT AutomationControl::AppendPLSToPlaylist(BSTR file) { return ReadNamedList(file, ReadPLSList); }

// The format follows the extension; what the writer met is not reported. A name the code page
// cannot carry is written through its short name.
HRESULT AutomationControl::SavePlaylist(BSTR file)
{
    return GuardedCom([&]() -> HRESULT {
        const std::string name = BstrToAnsi(file, CP_THREAD_ACP);
        const char* extension = GetExtension(name.c_str());
        const bool m3u = _stricmp(extension, "m3u") == 0 || _stricmp(extension, "m3u8") == 0;
        if (!m3u && _stricmp(extension, "pls") != 0) return S_FALSE;
        const std::string saved = SavedName(file, name);
        if (saved.empty()) return S_OK;
        if (m3u) WriteM3UList(saved.c_str(), _stricmp(extension, "m3u8") == 0);
        else WritePLSList(saved.c_str());
        return S_OK;
    });
}
