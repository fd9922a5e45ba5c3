#include "playlist/entry_names.h"

#include <windows.h>

#include <cstring>
#include <string>

#include "playlist/folder_listing.h"
#include "win/ansi_text.h"
#include "win/wide_text.h"

namespace {

bool IsLocation(const char* name)
{
    return std::strstr(name, "://") != nullptr || std::strstr(name, ":\\\\") != nullptr;
}

// The long name of the file that path names in the code page, when the file exists; empty
// otherwise, and "?" for what the code page lacks.
std::string LongFileName(const char* path)
{
    std::string text;
    AnsiCarries(LongNameOf(WideFromAnsi(path)), text);
    return text;
}

// Replaces a short last component of an existing file by its long name. The path stays as it is
// when the file is missing, the long name is blank, the code page cannot carry it (it comes back
// with "?" for what the code page lacks, which no file name holds: the short name is the one
// that opens), or the long form would not fit.
void ExpandShortLastComponent(char (&path)[kFileNameSize])
{
    if (FindLastOf(path, "~", -1) < 0) return;
    int32_t separator = FindLastOf(path, "\\", -1);
    // A wildcard would make the lookup find some other file.
    if (std::strpbrk(path + separator + 1, "*?")) return;
    std::string longName = LongFileName(path);
    if (longName.find_first_not_of(' ') == std::string::npos || longName.find('?') != std::string::npos) return;
    std::string expanded(path, static_cast<size_t>(separator + 1));
    expanded += longName;
    if (expanded.size() < sizeof path) CopyBounded(path, expanded.c_str());
}

}  // namespace

int32_t FindLastOf(const char* text, const char* set, int32_t notFound)
{
    if (!text || !set || !*text || !*set) return notFound;
    // Without any byte of the set in it, no character of the text can match.
    if (!std::strpbrk(text, set)) return notFound;
    // The scan starts at the last character, not the last byte: the trail byte of a double-byte
    // character may equal a byte of the set.
    const char* at = CharPrevA(text, text + std::strlen(text));
    for (;;) {
        if (std::strchr(set, *at)) return static_cast<int32_t>(at - text);
        if (at == text) return notFound;
        at = CharPrevA(text, at);
    }
}

const char* GetExtension(const char* name)
{
    int32_t found = FindLastOf(name, ".\\", -1);
    if (found < 0 || name[found] == '\\') return "";
    return name + found + 1;
}

int ResolveEntryName(const char* name, char (&stored)[kFileNameSize])
{
    if (!name) name = "";
    if (IsLocation(name)) {
        CopyBounded(stored, name);
        return 0;
    }
    DWORD length = GetFullPathNameA(name, sizeof stored, stored, nullptr);
    if (length == 0) {
        if (CopyBounded(stored, name)) return 0;
    } else if (length < sizeof stored) {
        ExpandShortLastComponent(stored);
        return 0;
    }
    stored[0] = '\0';
    return -1;
}
