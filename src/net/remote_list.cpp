#include "net/remote_list.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

#include "engine/engine_context.h"
#include "net/download.h"
#include "playlist/resource_strings.h"
#include "playlist/string_ids.h"
#include "win/ansi_text.h"
#include "win/unique_resource.h"

namespace {

constexpr char kTemporaryExtension[] = ".tmp";
// Names tried before giving up when others keep existing.
constexpr int kNameAttempts = 64;

// A file of its own for one fetch: "<temporary path without .tmp>.<process>.<number>.tmp",
// created new (never an existing file), so that two containers fetching at the same time, or a
// fetch asked for from inside another, never share one. Deleted when the fetch ends. Without a
// temporary path (before Initialize) there is no file, and the download fails to create one.
class TemporaryListFile {
public:
    TemporaryListFile()
    {
        char stem[kPathSize];
        CopyBounded(stem, engine.tempFilePath);
        const size_t length = std::strlen(stem);
        const size_t extension = sizeof kTemporaryExtension - 1;
        if (length == 0) return;
        if (length > extension && _stricmp(stem + length - extension, kTemporaryExtension) == 0)
            stem[length - extension] = '\0';
        for (int attempt = 0; attempt < kNameAttempts && !created_; ++attempt) {
            const int written = std::snprintf(path_, sizeof path_, "%s.%lx.%lu.tmp", stem,
                                              static_cast<unsigned long>(GetCurrentProcessId()),
                                              static_cast<unsigned long>(++engine.temporaryListSequence));
            if (written < 0 || static_cast<size_t>(written) >= sizeof path_) break;
            UniqueFile file(CreateFileA(path_, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW, 0, nullptr));
            if (file) {
                created_ = true;
            } else if (GetLastError() != ERROR_FILE_EXISTS) {
                break;
            }
        }
        if (!created_) path_[0] = '\0';
    }
    TemporaryListFile(const TemporaryListFile&) = delete;
    TemporaryListFile& operator=(const TemporaryListFile&) = delete;
    ~TemporaryListFile()
    {
        if (created_) DeleteFileA(path_);
    }

    const char* Path() const { return path_; }

private:
    char path_[kPathSize] = "";
    bool created_ = false;
};

}  // namespace

int ReadRemoteList(const char* url, ListReader reader)
{
    const char* caption = LoadResString(IDS_RETRIEVING_PLAYLIST, nullptr, 0);
    TemporaryListFile file;
    if (DownloadUrlToFile(GetDesktopWindow(), url, file.Path(), caption) != 0) return 1;
    return reader(file.Path(), ListOrigin::kFetched);
}
