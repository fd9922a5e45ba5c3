#include "playlist/list_entry.h"

#include <windows.h>

#include <string>

#include "engine/hidden_window.h"
#include "playlist/playlist_entry.h"
#include "playlist/playlist_append.h"

namespace {

constexpr long kMsgListAddedNothing = 105;
constexpr long kMsgListUnusable = 106;

bool Exists(const char* name)
{
    char full[kFileNameSize];
    DWORD length = GetFullPathNameA(name, sizeof full, full, nullptr);
    const char* tested = length > 0 && length < sizeof full ? full : name;
    return GetFileAttributesA(tested) != INVALID_FILE_ATTRIBUTES;
}

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// "C:\..." or "C:/...": a path that names its drive and starts at its root. Two leading
// separators (a share, or a device path such as "\\?\UNC\...") never are.
bool IsAbsoluteDrivePath(const std::string& name)
{
    const unsigned char drive = static_cast<unsigned char>(name[0]);
    return name.size() >= 3 && ((drive >= 'A' && drive <= 'Z') || (drive >= 'a' && drive <= 'z')) &&
           name[1] == ':' && IsSeparator(name[2]);
}

}  // namespace

bool AppendListEntry(std::string_view name, const char* title, int32_t length, ListOrigin origin)
{
    if (name.empty() || name.find('\0') != std::string_view::npos) return false;
    const std::string text(name);
    if (text.find("://") != std::string::npos) {
        if (text.size() >= kFileNameSize) return false;
    } else if (origin == ListOrigin::kFetched && !IsAbsoluteDrivePath(text)) {
        return false;
    } else if (!Exists(text.c_str())) {
        return false;
    }
    const int appended = *title ? PlaylistAppendTitled(text.c_str(), title, length)
                                : PlaylistAppendFile(text.c_str());
    return appended == 0;
}

int ListReadResult(int32_t added)
{
    if (added > 0) return 0;
    SendEngineEvent(kMsgListAddedNothing);
    return 1;
}

void ReportUnusableList() { SendEngineEvent(kMsgListUnusable); }
