#include "playlist/list_location.h"

#include <windows.h>

#include <cstring>

#include "playlist/entry_names.h"

bool IsRemoteListName(const char* name) { return std::strstr(name, "://") != nullptr; }

std::string ListFullPath(const char* name)
{
    DWORD needed = GetFullPathNameA(name, 0, nullptr, nullptr);
    if (needed == 0) return name;
    std::string path(needed, '\0');
    DWORD length = GetFullPathNameA(name, needed, path.data(), nullptr);
    if (length == 0 || length >= needed) return name;
    path.resize(length);
    return path;
}

// The separator is kept: a list in a drive's root names "C:\", where "C:" alone would name that
// drive's own current directory.
void EnterListDirectory(const std::string& fullPath)
{
    int32_t separator = FindLastOf(fullPath.c_str(), "\\", -1);
    if (separator < 0) return;
    SetCurrentDirectoryA(fullPath.substr(0, static_cast<size_t>(separator) + 1).c_str());
}
