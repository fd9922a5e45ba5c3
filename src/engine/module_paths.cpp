#include "engine/module_paths.h"

#include <stdint.h>

#include "win/ansi_text.h"
#include "win/unique_resource.h"
#include "win/library_loading.h"

namespace {
using QuerySharedFolderFn = int32_t(__cdecl*)(char* buffer, uint32_t size);
constexpr char kHelperName[] = "\\sharedir.dll";
}  // namespace

int CutAtLastSeparator(const char* source, char* buffer, size_t size)
{
    if (!buffer || size == 0) return 0;
    CopyBounded(buffer, size, source);
    for (size_t i = strnlen(buffer, size); i > 0; --i) {
        if (buffer[i - 1] == '\\' || buffer[i - 1] == '/') {
            buffer[i - 1] = '\0';
            return 1;
        }
    }
    return 0;
}

void GetModuleDirectory(HINSTANCE instance, char* buffer, size_t size)
{
    char path[MAX_PATH] = "";
    DWORD length = GetModuleFileNameA(instance, path, MAX_PATH);
    if (length >= MAX_PATH) path[MAX_PATH - 1] = '\0';
    CutAtLastSeparator(path, buffer, size);
}

int GetSharedDataFolder(const char* directory, const char* exportName, char* buffer, size_t size)
{
    if (buffer && size) buffer[0] = '\0';
    // Without the control's own folder there is no full path to load the helper from; a path
    // beyond MAX_PATH could not be loaded through the ANSI call.
    char path[MAX_PATH];
    if (!directory || !*directory || !CopyBounded(path, directory) || !AppendBounded(path, kHelperName)) return 0;
    UniqueModule library(LoadLibraryFromFullPath(path));
    if (!library.Get()) return 0;
    auto query = reinterpret_cast<QuerySharedFolderFn>(reinterpret_cast<void*>(ModuleExport(library, exportName)));
    if (!query || !buffer || size == 0) return 0;
    if (query(buffer, static_cast<uint32_t>(size)) < 0) {
        buffer[0] = '\0';
        return 0;
    }
    // Whatever the library wrote, the text ends inside the buffer.
    buffer[size - 1] = '\0';
    return 1;
}
