#include "playlist/pls_list.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

#include "net/remote_list.h"
#include "playlist/list_entry.h"
#include "playlist/list_location.h"
#include "playlist/playlist_entry.h"
#include "win/ansi_text.h"

namespace {

constexpr char kSection[] = "playlist";
// Values this long cannot be stored whole; one byte more tells them from values that fit.
constexpr DWORD kFileValueSize = kFileNameSize + 1;
// Titles are read longer than they are kept, so that the cut falls on a character boundary.
constexpr DWORD kTitleValueSize = 1024;

std::string Key(const char* stem, int32_t number) { return stem + std::to_string(number); }

// The key names of the section, each ended by a NUL, the list ended by an empty name.
std::vector<char> SectionKeyNames(const std::string& path)
{
    std::vector<char> names(16384);
    for (;;) {
        DWORD got = GetPrivateProfileStringA(kSection, nullptr, "", names.data(),
                                             static_cast<DWORD>(names.size()), path.c_str());
        if (got + 2 < names.size()) return names;
        names.resize(names.size() * 2);
    }
}

// The numbers n for which the section holds a key File<n> (n without leading zeros), ascending.
// Only these are asked for, so a huge NumberOfEntries, or numbers far apart, do not make the
// reader ask for billions of missing keys.
std::vector<int32_t> FileKeyNumbers(const std::string& path)
{
    std::vector<int32_t> numbers;
    std::vector<char> names = SectionKeyNames(path);
    for (const char* name = names.data(); *name; name += std::strlen(name) + 1) {
        if (_strnicmp(name, "File", 4) != 0 || name[4] < '1' || name[4] > '9') continue;
        int64_t number = 0;
        const char* digit = name + 4;
        while (*digit >= '0' && *digit <= '9' && number <= INT32_MAX) number = number * 10 + (*digit++ - '0');
        if (*digit == '\0' && number <= INT32_MAX) numbers.push_back(static_cast<int32_t>(number));
    }
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    return numbers;
}

bool ReadEntry(const std::string& path, int32_t number, bool withTitles, ListOrigin origin)
{
    char file[kFileValueSize];
    DWORD length = GetPrivateProfileStringA(kSection, Key("File", number).c_str(), "", file, sizeof file,
                                            path.c_str());
    if (length == 0 || length >= kFileNameSize) return false;
    char title[kListTitleSize] = "";
    int32_t seconds = -1;
    if (withTitles) {
        char fullTitle[kTitleValueSize];
        GetPrivateProfileStringA(kSection, Key("Title", number).c_str(), "", fullTitle, sizeof fullTitle,
                                 path.c_str());
        CopyBounded(title, fullTitle);
        seconds = static_cast<int32_t>(
            GetPrivateProfileIntA(kSection, Key("Length", number).c_str(), -1, path.c_str()));
    }
    return AppendListEntry(file, title, seconds, origin);
}

int ReadPLSFile(const char* name, ListOrigin origin)
{
    const std::string path = ListFullPath(name);
    if (origin == ListOrigin::kLocal) EnterListDirectory(path);
    // Without a count (other programs write such lists) every File<n> present is read.
    char countText[16] = "";
    GetPrivateProfileStringA(kSection, "NumberOfEntries", "", countText, sizeof countText, path.c_str());
    const int32_t count = countText[0]
        ? static_cast<int32_t>(GetPrivateProfileIntA(kSection, "NumberOfEntries", -1, path.c_str()))
        : INT32_MAX;
    const UINT version = GetPrivateProfileIntA(kSection, "Version", 1, path.c_str());
    int32_t added = 0;
    try {
        const std::vector<int32_t> numbers = count > 0 ? FileKeyNumbers(path) : std::vector<int32_t>();
        if (numbers.empty()) {
            ReportUnusableList();
            return 1;
        }
        for (int32_t number : numbers) {
            if (number > count) break;
            if (ReadEntry(path, number, version > 1, origin)) ++added;
        }
    } catch (const std::exception&) {
        // The key names do not fit in memory: what was added stays.
    }
    return ListReadResult(added);
}

}  // namespace

int ReadPLSList(const char* name)
{
    if (!name) name = "";
    if (IsRemoteListName(name)) return ReadRemoteList(name, ReadPLSFile);
    return ReadPLSFile(name, ListOrigin::kLocal);
}
