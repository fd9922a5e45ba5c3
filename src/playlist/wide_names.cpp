#include "playlist/wide_names.h"

#include <windows.h>

#include "engine/engine_context.h"
#include "playlist/entry_titles.h"
#include "win/ansi_text.h"

namespace {

// Whether the code page carries every character of the name, and its ANSI text. A UTF-8 code
// page carries everything (and takes neither the flag nor the question).
bool ToAnsi(const wchar_t* name, int length, std::string& text)
{
    BOOL lossy = FALSE;
    const bool utf8 = GetACP() == CP_UTF8;
    const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL* asked = utf8 ? nullptr : &lossy;
    const int bytes = WideCharToMultiByte(CP_ACP, flags, name, length, nullptr, 0, nullptr, asked);
    text.assign(static_cast<size_t>(bytes > 0 ? bytes : 0), '\0');
    if (bytes > 0) WideCharToMultiByte(CP_ACP, flags, name, length, text.data(), bytes, nullptr, asked);
    return !lossy;
}

// The name without folder and extension, as a plugin makes a title of it.
template <typename Text>
Text BaseName(const Text& path)
{
    using Char = typename Text::value_type;
    const size_t slash = path.find_last_of(static_cast<Char>('\\'));
    Text base = path.substr(slash == Text::npos ? 0 : slash + 1);
    const size_t dot = base.find_last_of(static_cast<Char>('.'));
    if (dot != Text::npos && dot != 0) base.resize(dot);
    return base;
}

// "_" and "%20" become spaces, as TidyTitle does for ANSI titles.
std::wstring Tidy(const std::wstring& text)
{
    std::wstring tidy;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, 3, L"%20") == 0) {
            tidy += L' ';
            i += 2;
        } else {
            tidy += text[i] == L'_' ? L' ' : text[i];
        }
    }
    return tidy;
}

}  // namespace

std::string StoredNameFor(const wchar_t* name, size_t length, std::wstring& wide)
{
    wide.clear();
    std::string text;
    if (!name || length == 0) return text;
    const std::wstring given(name, length);
    if (ToAnsi(given.c_str(), static_cast<int>(given.size()), text) || given.find(L"://") != std::wstring::npos)
        return text;
    wchar_t full[MAX_PATH];
    const DWORD fullLength = GetFullPathNameW(given.c_str(), MAX_PATH, full, nullptr);
    wide = fullLength > 0 && fullLength < MAX_PATH ? std::wstring(full, fullLength) : given;
    wchar_t shortName[MAX_PATH];
    const DWORD shortLength = GetShortPathNameW(wide.c_str(), shortName, MAX_PATH);
    std::string shortText;
    if (shortLength > 0 && shortLength < MAX_PATH && ToAnsi(shortName, static_cast<int>(shortLength), shortText))
        return shortText;
    return text;
}

void KeepWideNameOfLastEntry(const std::wstring& wide)
{
    if (wide.empty() || engine.entryCount <= 0) return;
    engine.wideNames.push_back(wide);
    engine.entries[static_cast<size_t>(engine.entryCount - 1)].wideName = static_cast<uint32_t>(engine.wideNames.size());
}

const std::wstring* EntryWideName(const PlaylistEntry& entry)
{
    if (entry.wideName == 0 || entry.wideName > engine.wideNames.size()) return nullptr;
    return &engine.wideNames[entry.wideName - 1];
}

bool EntryWideTitle(const PlaylistEntry& entry, std::wstring& title)
{
    const std::wstring* wide = EntryWideName(entry);
    if (!wide) return false;
    char base[kTidyScratchSize];
    CopyBounded(base, BaseName(std::string(entry.filename)).c_str());
    if (std::string(entry.title) != TidyTitle(base)) return false;
    title = Tidy(BaseName(*wide));
    return true;
}

bool EntryWideAnswer(int32_t index, std::wstring& name, std::wstring& title)
{
    if (index < 0 || index >= engine.entryCount) return false;
    const PlaylistEntry& entry = engine.entries[static_cast<size_t>(index)];
    const std::wstring* wide = EntryWideName(entry);
    if (!wide) return false;
    name = *wide;
    if (!EntryWideTitle(entry, title)) {
        const int count = MultiByteToWideChar(CP_THREAD_ACP, 0, entry.title, -1, nullptr, 0);
        title.assign(static_cast<size_t>(count > 0 ? count : 1), L'\0');
        if (count > 0) MultiByteToWideChar(CP_THREAD_ACP, 0, entry.title, -1, title.data(), count);
        title.resize(title.size() - 1);
    }
    return true;
}
