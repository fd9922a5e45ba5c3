// The playlist with 100,000 entries, each operation beside its floor measured in the same run:
// - append through five input plugins (in-process records that answer like real ones), beside
//   the same name resolution, plugin title calls and title tidying without the store;
// - sort by title, beside the library quicksort of a copy of the same records;
// - randomize, beside the same draws and record exchanges on a copy.
#include <windows.h>
#include <psapi.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <utility>
#include <vector>

#include "bench_clock.h"
#include "engine/engine_context.h"
#include "playlist/entry_names.h"
#include "playlist/entry_titles.h"
#include "playlist/playlist_append.h"
#include "playlist/playlist_position.h"
#include "playlist/playlist_reorder.h"
#include "playlist/playlist_store.h"
#include "playlist/title_lookup.h"

namespace {

constexpr int kEntries = 100000;

int32_t __cdecl ClaimsNothing(const char*) { return 0; }

void __cdecl FileInfo(const char* name, char* title, int32_t* lengthMs)
{
    const char* last = strrchr(name, '\\');
    snprintf(title, 512, "%s", last ? last + 1 : name);
    *lengthMs = 215000;
}

InputPluginRecord records[5];
const char* const kExtensions[5] = {"OGG\0Vorbis\0", "FLAC\0Flac\0", "WAV\0Wave\0", "MOD;XM;S3M\0Tracker\0",
                                    "MP3;MP2\0Mpeg\0"};

int FoldCase(unsigned char c) { return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c; }

int CompareTitles(const void* left, const void* right)
{
    auto a = reinterpret_cast<const unsigned char*>(static_cast<const PlaylistEntry*>(left)->title);
    auto b = reinterpret_cast<const unsigned char*>(static_cast<const PlaylistEntry*>(right)->title);
    for (;; ++a, ++b) {
        int difference = FoldCase(*a) - FoldCase(*b);
        if (difference != 0 || *a == 0) return difference;
    }
}

// The process's working set and its peak, in MB: what the store's pages cost shows there (each
// first touch of a page is a fault the system serves).
struct MemoryFigures {
    double workingMb;
    double peakMb;
};

MemoryFigures Memory()
{
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return {counters.WorkingSetSize / 1048576.0, counters.PeakWorkingSetSize / 1048576.0};
}

void Report(const char* what, double floorMs, double ownMs, double goal)
{
    printf("%s: floor %.1f ms, playlist %.1f ms, ratio %.2f (goal <= %.1f)\n", what, floorMs, ownMs,
           ownMs / floorMs, goal);
}

void BenchAppend()
{
    std::vector<std::string> names;
    names.reserve(kEntries);
    for (int i = 0; i < kEntries; ++i) {
        names.push_back("C:\\music\\artist_" + std::to_string(i % 97) + "\\track_" + std::to_string(i) + ".mp3");
    }

    // What every append must do whatever the store: the stored name and the plugin's title. The
    // floor and the appends alternate in pieces of 10,000 names, so that both meet the same load.
    constexpr int kPiece = 10000;
    double floorMs = 0;
    double appendMs = 0;
    size_t checksum = 0;
    const MemoryFigures before = Memory();
    for (int first = 0; first < kEntries; first += kPiece) {
        BenchClock floorClock;
        for (int i = first; i < first + kPiece; ++i) {
            char stored[kFileNameSize];
            if (ResolveEntryName(names[i].c_str(), stored) != 0) continue;
            checksum += strlen(TidyTitle(QueryFileTitle(stored)));
        }
        floorMs += floorClock.Milliseconds();
        BenchClock appendClock;
        for (int i = first; i < first + kPiece; ++i) PlaylistAppendFile(names[i].c_str());
        appendMs += appendClock.Milliseconds();
    }
    const MemoryFigures after = Memory();

    if (PlaylistCount() != kEntries || checksum == 0) printf("append: wrong count %d\n", PlaylistCount());
    Report("append 100,000 entries, 5 plugins", floorMs, appendMs, 1.5);
    printf("  store: %d records of %u bytes allocated and %.1f MB of text blocks (%.1f MB in all); working set "
           "+%.1f MB, peak +%.1f MB\n",
           engine.entryCapacity, static_cast<unsigned>(sizeof(PlaylistEntry)),
           engine.entryTexts.HeldBytes() / 1048576.0,
           (engine.entryCapacity * static_cast<double>(sizeof(PlaylistEntry)) + engine.entryTexts.HeldBytes()) /
               1048576.0,
           after.workingMb - before.workingMb, after.peakMb - before.peakMb);
    PlaylistClear();
}

void FillForReordering()
{
    for (int i = 0; i < kEntries; ++i) {
        std::string title = "Title " + std::to_string((i * 7919) % 100003);
        PlaylistAppendRecord("C:\\music\\x.mp3", title.c_str(), 200, kPlainEntryVolume, kNoDurationLimit);
    }
}

std::vector<PlaylistEntry> CopyOfEntries()
{
    return std::vector<PlaylistEntry>(engine.entries.begin(), engine.entries.begin() + engine.entryCount);
}

void BenchSort()
{
    FillForReordering();
    std::vector<PlaylistEntry> copy = CopyOfEntries();
    BenchClock floorClock;
    qsort(copy.data(), copy.size(), sizeof(PlaylistEntry), CompareTitles);
    const double floorMs = floorClock.Milliseconds();

    PlaylistSetPos(kEntries / 2);
    BenchClock sortClock;
    PlaylistSortRange(0);
    const double sortMs = sortClock.Milliseconds();

    if (strcmp(engine.entries[0].title, copy[0].title) != 0) printf("sort: different first title\n");
    Report("sort 100,000 entries by title", floorMs, sortMs, 1.2);
    PlaylistClear();
}

void BenchRandomize()
{
    FillForReordering();
    std::vector<PlaylistEntry> copy = CopyOfEntries();
    srand(7);
    BenchClock floorClock;
    for (size_t i = 0; i + 1 < copy.size(); ++i) {
        size_t j = i + 1 + static_cast<size_t>(rand()) % (copy.size() - i - 1);
        if (static_cast<size_t>(rand()) % (copy.size() - i) != 0) std::swap(copy[i], copy[j]);
    }
    const double floorMs = floorClock.Milliseconds();

    srand(7);
    BenchClock randomizeClock;
    PlaylistRandomizeEntries();
    const double randomizeMs = randomizeClock.Milliseconds();

    if (strcmp(engine.entries[kEntries - 1].title, copy[kEntries - 1].title) != 0) {
        printf("randomize: different order\n");
    }
    Report("randomize 100,000 entries", floorMs, randomizeMs, 1.2);
    PlaylistClear();
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
    }
    BenchAppend();
    BenchSort();
    BenchRandomize();
    return 0;
}
