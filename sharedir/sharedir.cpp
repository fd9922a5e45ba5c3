// QuerySharedFolderA: the machine's common application data directory as ANSI text.
#include <windows.h>
#include <shlobj.h>

#include <cstdint>

#include "win/ansi_text.h"

namespace {

constexpr int32_t kBadArguments = -1;
constexpr int32_t kFolderUnknown = -2;
constexpr int32_t kBufferTooSmall = -3;

}  // namespace

// Writes the directory (no trailing separator) into buffer, at most size bytes with the
// terminator. Returns its length on success. On failure the buffer holds the empty text, so a
// caller that appends a file name to it gets a name without a cut-off directory in front.
extern "C" int32_t __cdecl QuerySharedFolderA(char* buffer, uint32_t size)
{
    if (!buffer || size == 0) return kBadArguments;
    buffer[0] = '\0';
    char folder[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder))) {
        return kFolderUnknown;
    }
    if (!CopyBounded(buffer, size, folder)) {
        buffer[0] = '\0';
        return kBufferTooSmall;
    }
    return static_cast<int32_t>(lstrlenA(buffer));
}
