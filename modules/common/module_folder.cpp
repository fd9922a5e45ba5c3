#include "module_folder.h"

#include "win/ansi_text.h"

bool PathBesideModule(const char* fileName, char* path)
{
    HMODULE self = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            reinterpret_cast<LPCSTR>(&PathBesideModule), &self))
        return false;
    char own[MAX_PATH];
    DWORD length = GetModuleFileNameA(self, own, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return false;
    char* slash = own + length;
    while (slash > own && slash[-1] != '\\' && slash[-1] != '/') --slash;
    *slash = '\0';
    return CopyBounded(path, MAX_PATH, own) && AppendBounded(path, MAX_PATH, fileName);
}
