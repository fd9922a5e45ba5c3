#include "support/test_paths.h"

#include <windows.h>

namespace {

std::wstring ExePath()
{
    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    return std::wstring(path, length);
}

}  // namespace

std::wstring ExeDirectory()
{
    const std::wstring full = ExePath();
    return full.substr(0, full.find_last_of(L"\\/"));
}

std::wstring ExeStem()
{
    const std::wstring full = ExePath();
    const std::wstring name = full.substr(full.find_last_of(L"\\/") + 1);
    return name.substr(0, name.find_last_of(L'.'));
}

std::wstring ControlDllPath() { return ExeDirectory() + L"\\TunaraXChat.dll"; }
