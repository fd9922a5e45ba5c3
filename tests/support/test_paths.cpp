#include "support/test_paths.h"

#include <windows.h>

std::wstring ExeDirectory()
{
    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring full(path, length);
    return full.substr(0, full.find_last_of(L"\\/"));
}

std::wstring ControlDllPath() { return ExeDirectory() + L"\\TunaraXChat.dll"; }
