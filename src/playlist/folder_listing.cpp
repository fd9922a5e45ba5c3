#include "playlist/folder_listing.h"

#include <windows.h>

#include <cwchar>
#include <unordered_map>

#include "win/unique_resource.h"

namespace {

constexpr DWORD kListingLifeMs = 2000;

// Names are keyed in upper case: the file system matches them without regard to case.
struct FolderListing {
    std::wstring folder;
    std::wstring shortFolder;  // empty where the folder has no short form
    struct Names {
        std::wstring longName;
        std::wstring shortName;  // the long one where the file has none
    };
    std::unordered_map<std::wstring, Names> byLong;
    std::unordered_map<std::wstring, Names> byShort;
    DWORD readAt = 0;
};

std::wstring Upper(std::wstring text)
{
    if (!text.empty()) CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

void Read(const std::wstring& folder, FolderListing& listing)
{
    listing = FolderListing{};
    listing.folder = folder;
    listing.readAt = GetTickCount();
    // A drive's root is asked for with its backslash, and given without.
    const std::wstring asked = folder.back() == L':' ? folder + L"\\" : folder;
    wchar_t shortFolder[MAX_PATH];
    const DWORD length = GetShortPathNameW(asked.c_str(), shortFolder, MAX_PATH);
    if (length > 0 && length < MAX_PATH) {
        listing.shortFolder.assign(shortFolder, length);
        if (listing.shortFolder.back() == L'\\') listing.shortFolder.pop_back();
    }
    WIN32_FIND_DATAW found;
    UniqueFind search(FindFirstFileW((folder + L"\\*").c_str(), &found));
    for (bool more = static_cast<bool>(search); more; more = FindNextFileW(search.Get(), &found) != FALSE) {
        const FolderListing::Names names{found.cFileName,
                                         found.cAlternateFileName[0] ? found.cAlternateFileName : found.cFileName};
        listing.byLong.emplace(Upper(names.longName), names);
        if (found.cAlternateFileName[0]) listing.byShort.emplace(Upper(names.shortName), names);
    }
}

// The listing of the path's folder (read into listing unless it holds it), with the path's last
// component in name; null for a path without a folder or with a wildcard in its name.
const FolderListing* ListingFor(const std::wstring& path, FolderListing& listing, std::wstring& name)
{
    const size_t slash = path.find_last_of(L'\\');
    if (slash == std::wstring::npos || slash == 0) return nullptr;
    name = path.substr(slash + 1);
    if (name.empty() || std::wcspbrk(name.c_str(), L"*?")) return nullptr;
    const std::wstring folder = path.substr(0, slash);
    if (folder != listing.folder || GetTickCount() - listing.readAt > kListingLifeMs) Read(folder, listing);
    return &listing;
}

}  // namespace

std::wstring ShortPathOf(const std::wstring& path)
{
    // The names of one folder's files, as given: kept apart from the listing of the short names
    // they are stored by, which name the same folder otherwise.
    static FolderListing given;
    std::wstring name;
    const FolderListing* listing = ListingFor(path, given, name);
    if (!listing || listing->shortFolder.empty()) return std::wstring();
    const auto known = listing->byLong.find(Upper(name));
    if (known != listing->byLong.end()) return listing->shortFolder + L"\\" + known->second.shortName;
    WIN32_FIND_DATAW found;
    UniqueFind search(FindFirstFileW(path.c_str(), &found));
    if (!search) return std::wstring();
    return listing->shortFolder + L"\\" + (found.cAlternateFileName[0] ? found.cAlternateFileName : found.cFileName);
}

std::wstring LongNameOf(const std::wstring& path)
{
    static FolderListing stored;
    std::wstring name;
    const FolderListing* listing = ListingFor(path, stored, name);
    if (!listing) return std::wstring();
    const std::wstring upper = Upper(name);
    if (const auto known = listing->byShort.find(upper); known != listing->byShort.end()) return known->second.longName;
    if (const auto known = listing->byLong.find(upper); known != listing->byLong.end()) return known->second.longName;
    WIN32_FIND_DATAW found;
    UniqueFind search(FindFirstFileW(path.c_str(), &found));
    return search ? std::wstring(found.cFileName) : std::wstring();
}
