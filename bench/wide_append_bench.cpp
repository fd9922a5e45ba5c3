// Appending 100,000 entries whose names (Cyrillic) and titles the ANSI code page cannot carry,
// beside its floor measured in the same run: the same name conversion and short-name
// resolution, and the same plugin title calls (a module that answers its titles in UTF-8) with
// the tidying, without the store. The names are those of 1,000 real files, each appended 100
// times: a name the code page lacks is stored by its short name, which only a real file has.
#include <windows.h>

#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#include "bench_clock.h"
#include "control/string_conversion.h"
#include "engine/engine_context.h"
#include "playlist/entry_names.h"
#include "playlist/playlist_append.h"
#include "playlist/playlist_store.h"
#include "playlist/title_lookup.h"
#include "playlist/wide_names.h"
#include "win/bstr.h"
#include "win/wide_text.h"

namespace {

constexpr int kFiles = 1000;
constexpr int kRounds = 100;

int32_t __cdecl ClaimsNothing(const char*) { return 0; }

void __cdecl FileInfo(const char*, char* title, int32_t* lengthMs)
{
    snprintf(title, 512, "?????");
    *lengthMs = 215000;
}

// The module's own answer, in UTF-8: a Cyrillic "Artist - Title".
int32_t __cdecl FileTexts(const char* name, int32_t wanted, TunaraFileTexts* texts)
{
    const char* last = strrchr(name, '\\');
    snprintf(texts->displayTitle, sizeof texts->displayTitle, "\xd0\x90\xd1\x80\xd1\x82\xd0\xb8\xd1\x81\xd1\x82 - %s",
             last ? last + 1 : name);
    texts->lengthMs = 215000;
    return wanted & TUNARA_TEXTS_TITLE;
}

InputPluginRecord records[5];
const char* const kExtensions[5] = {"OGG\0Vorbis\0", "FLAC\0Flac\0", "WAV\0Wave\0", "MOD;XM;S3M\0Tracker\0",
                                    "MP3;MP2\0Mpeg\0"};

std::wstring MakeFolder()
{
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    std::wstring folder = std::wstring(temp) + L"tunara_wide_bench";
    CreateDirectoryW(folder.c_str(), nullptr);
    folder += L"\\\u041f\u0435\u0441\u043d\u0438";
    CreateDirectoryW(folder.c_str(), nullptr);
    return folder;
}

}  // namespace

int main()
{
    for (int i = 0; i < 5; ++i) {
        records[i].version = 256;
        records[i].extensionList = kExtensions[i];
        records[i].acceptsFile = ClaimsNothing;
        records[i].getFileInfo = FileInfo;
        engine.inputPlugins[i] = &records[i];
        engine.inputTexts[i] = FileTexts;
    }
    const std::wstring folder = MakeFolder();
    std::vector<Bstr> names;
    for (int i = 0; i < kFiles; ++i) {
        const std::wstring name = folder + L"\\\u0422\u0440\u0435\u043a_" + std::to_wstring(i) + L".mp3";
        HANDLE file = CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
        names.emplace_back(SysAllocString(name.c_str()));
    }

    // What every append must do whatever the store: the stored name and the plugin's title.
    BenchClock floorClock;
    size_t checksum = 0;
    for (int round = 0; round < kRounds; ++round) {
        for (const Bstr& given : names) {
            std::string name;
            std::wstring wide;
            char stored[kFileNameSize];
            if (AppendedName(given.Get(), name, wide) != S_OK || ResolveEntryName(name.c_str(), stored) != 0) continue;
            QueryFileTitle(stored);
            checksum += strlen(TidyLookedUpTitle()) + engine.lookupWideTitle.size() + wide.size();
        }
    }
    const double floorMs = floorClock.Milliseconds();

    // The append member's work.
    BenchClock appendClock;
    for (int round = 0; round < kRounds; ++round) {
        for (const Bstr& given : names) {
            std::string name;
            std::wstring wide;
            if (AppendedName(given.Get(), name, wide) != S_OK) continue;
            if (PlaylistAppendFile(name.c_str()) == 0) KeepWideTextOfLastEntry(wide);
        }
    }
    const double appendMs = appendClock.Milliseconds();

    std::wstring name, title;
    const bool wideKept = EntryWideAnswer(kFiles + 7, name, title) && name == names[7].Get() &&
                          title.compare(0, 9, L"\u0410\u0440\u0442\u0438\u0441\u0442 - ") == 0;
    if (PlaylistCount() != kFiles * kRounds || checksum == 0 || !wideKept)
        printf("wide append: wrong result (%d entries, wide text kept: %d)\n", PlaylistCount(), wideKept);
    printf("append 100,000 entries with wide names and titles: floor %.1f ms, playlist %.1f ms, ratio %.2f (goal <= 1.5)\n",
           floorMs, appendMs, appendMs / floorMs);
    PlaylistClear();
    for (const Bstr& given : names) DeleteFileW(given.Get());
    RemoveDirectoryW(folder.c_str());
    return 0;
}
