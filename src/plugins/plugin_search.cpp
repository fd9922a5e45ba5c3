#include "plugins/plugin_search.h"

#include <stdio.h>

#include "engine/engine_context.h"

namespace {

constexpr size_t kPatternSize = 1024;

class FindHandle {
public:
    explicit FindHandle(HANDLE h) : h_(h) {}
    ~FindHandle() { if (h_ != INVALID_HANDLE_VALUE) FindClose(h_); }
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;
    HANDLE Get() const { return h_; }

private:
    HANDLE h_;
};

}  // namespace

void ForEachPluginFile(const char* pattern, size_t pathSize,
                       const std::function<bool(const char* path, const char* fileName)>& visit)
{
    char search[kPatternSize];
    int written = snprintf(search, sizeof(search), "%s\\Plugins\\%s", engine.moduleDirectory, pattern);
    if (written < 0 || static_cast<size_t>(written) >= sizeof(search)) return;

    WIN32_FIND_DATAA found;
    FindHandle handle(FindFirstFileA(search, &found));
    if (handle.Get() == INVALID_HANDLE_VALUE) return;
    char path[kPatternSize];
    do {
        written = snprintf(path, sizeof(path), "%s\\Plugins\\%s", engine.moduleDirectory, found.cFileName);
        if (written < 0 || static_cast<size_t>(written) >= pathSize) continue;
        if (!visit(path, found.cFileName)) break;
    } while (FindNextFileA(handle.Get(), &found));
}
