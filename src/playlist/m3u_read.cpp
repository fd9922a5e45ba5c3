#include "playlist/m3u_list.h"

#include <windows.h>

#include <exception>
#include <string>

#include "net/remote_list.h"
#include "playlist/list_entry.h"
#include "playlist/entry_names.h"
#include "playlist/list_location.h"
#include "playlist/m3u_text_reader.h"
#include "win/unique_resource.h"

namespace {

constexpr DWORD kReadPieceSize = 16384;

// The file is opened by its full path: by the time it is opened, a relative name would resolve
// against the list's own directory.
int ReadM3UFile(const char* name, ListOrigin origin)
{
    const std::string path = ListFullPath(name);
    if (origin == ListOrigin::kLocal) EnterListDirectory(path);
    UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file.Valid()) return 1;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.Get(), &size) || size.QuadPart == 0) {
        ReportUnusableList();
        return 1;
    }
    M3UTextReader reader(origin, _stricmp(GetExtension(name), "m3u8") == 0);
    try {
        char piece[kReadPieceSize];
        DWORD got = 0;
        while (ReadFile(file.Get(), piece, sizeof piece, &got, nullptr) && got > 0) reader.Feed({piece, got});
        reader.Finish();
    } catch (const std::exception&) {
        // A line too long to hold in memory ends the reading; what was added stays.
    }
    return ListReadResult(reader.Added());
}

}  // namespace

int ReadM3UList(const char* name)
{
    if (!name) name = "";
    if (IsRemoteListName(name)) return ReadRemoteList(name, ReadM3UFile);
    return ReadM3UFile(name, ListOrigin::kLocal);
}
