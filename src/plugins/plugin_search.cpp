#include "plugins/plugin_search.h"

#include <stdio.h>

#include "engine/engine_context.h"
#include "win/unique_resource.h"

namespace {
constexpr size_t kPatternSize = 1024;
}  // namespace

void ForEachPluginFile(const char* pattern, size_t pathSize,
                       const std::function<bool(const char* path, const char* fileName)>& visit)
{
    char search[kPatternSize];
    int written = snprintf(search, sizeof(search), "%s\\Plugins\\%s", engine.moduleDirectory, pattern);
    if (written < 0 || static_cast<size_t>(written) >= sizeof(search)) return;

    WIN32_FIND_DATAA found;
    UniqueFind handle(FindFirstFileA(search, &found));
    if (!handle) return;
    char path[kPatternSize];
    do {
        written = snprintf(path, sizeof(path), "%s\\Plugins\\%s", engine.moduleDirectory, found.cFileName);
        if (written < 0 || static_cast<size_t>(written) >= pathSize) continue;
        if (!visit(path, found.cFileName)) break;
    } while (FindNextFileA(handle.Get(), &found));
}
