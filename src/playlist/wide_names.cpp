#include "playlist/wide_names.h"

#include <windows.h>

#include <new>

#include "engine/engine_context.h"
#include "playlist/entry_titles.h"
#include "playlist/folder_listing.h"
#include "win/ansi_text.h"
#include "win/wide_text.h"

namespace {

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

const WideText* EntryWideText(const PlaylistEntry& entry)
{
    if (entry.wideName == 0 || entry.wideName > engine.wideNames.size()) return nullptr;
    return &engine.wideNames[entry.wideName - 1];
}

// Whether the stored title is the tidied base name of the stored name.
bool TitleIsStoredBaseName(const PlaylistEntry& entry)
{
    char base[kTidyScratchSize];
    CopyBounded(base, BaseName(std::string(entry.filename)).c_str());
    return std::string(entry.title) == TidyTitle(base);
}

// The wide text the entry keeps, made for it where it keeps none.
WideText& KeptWideText(PlaylistEntry& entry)
{
    if (!entry.wideName) {
        engine.wideNames.emplace_back();
        entry.wideName = static_cast<uint32_t>(engine.wideNames.size());
    }
    return engine.wideNames[entry.wideName - 1];
}

// The title, cut as stored titles are, answered while the entry stores the title it has now.
void KeepTitle(WideText& kept, const PlaylistEntry& entry, const std::wstring& title)
{
    kept.title = CutWide(title, kTitleSize - 1);
    kept.titleAnsi = entry.title;
}

}  // namespace

std::string StoredNameFor(const wchar_t* name, size_t length, std::wstring& wide)
{
    wide.clear();
    std::string text;
    if (!name || length == 0) return text;
    const std::wstring given(name, length);
    if (AnsiCarries(given, text) || given.find(L"://") != std::wstring::npos) return text;
    wchar_t full[MAX_PATH];
    const DWORD fullLength = GetFullPathNameW(given.c_str(), MAX_PATH, full, nullptr);
    wide = fullLength > 0 && fullLength < MAX_PATH ? std::wstring(full, fullLength) : given;
    std::wstring shortName = ShortPathOf(wide);
    std::string shortText;
    if (!shortName.empty() && shortName.size() < MAX_PATH && AnsiCarries(shortName, shortText)) return shortText;
    return text;
}

std::wstring TidyWideTitle(const std::wstring& text)
{
    const std::wstring cut = CutWide(text, kTidyScratchSize - 1);
    std::wstring tidy;
    for (size_t i = 0; i < cut.size(); ++i) {
        if (cut.compare(i, 3, L"%20") == 0) {
            tidy += L' ';
            i += 2;
        } else {
            tidy += cut[i] == L'_' ? L' ' : cut[i];
        }
    }
    return tidy;
}

void KeepWideTextOfLastEntry(const std::wstring& name, const std::wstring& title)
{
    if ((name.empty() && title.empty()) || engine.entryCount <= 0) return;
    PlaylistEntry& entry = engine.entries[static_cast<size_t>(engine.entryCount - 1)];
    WideText& kept = KeptWideText(entry);
    if (!name.empty()) kept.name = name;
    if (!title.empty()) KeepTitle(kept, entry, title);
}

void KeepWideTitle(int32_t index, const std::wstring& title)
{
    if (title.empty() || index < 0 || index >= engine.entryCount) return;
    try {
        PlaylistEntry& entry = engine.entries[static_cast<size_t>(index)];
        KeepTitle(KeptWideText(entry), entry, title);
    } catch (const std::bad_alloc&) {
        // Without memory the entry answers its stored title, as the code page renders it.
    }
}

bool EntryWideAnswer(int32_t index, std::wstring& name, std::wstring& title)
{
    if (index < 0 || index >= engine.entryCount) return false;
    const PlaylistEntry& entry = engine.entries[static_cast<size_t>(index)];
    const WideText* wide = EntryWideText(entry);
    if (!wide) return false;
    name = wide->name.empty() ? WideFromAnsi(entry.filename, CP_THREAD_ACP) : wide->name;
    if (!wide->title.empty() && wide->titleAnsi == entry.title)
        title = wide->title;
    else if (!wide->name.empty() && TitleIsStoredBaseName(entry))
        title = TidyWideTitle(BaseName(wide->name));
    else
        title = WideFromAnsi(entry.title, CP_THREAD_ACP);
    return true;
}
