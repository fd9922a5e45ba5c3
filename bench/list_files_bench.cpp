// Reading and writing a 10,000-entry M3U list with "#EXTINF:" lines (entries naming 100 local
// files, so every entry costs its existence test), each beside its floor measured in the same
// run: reading the file line by line with the same existence calls and no playlist work, and
// writing the same bytes with one write per line. Also a 1,000-entry PLS list beside the same
// profile calls made directly (reading key by key; writing the section once). Each figure is the
// best of five runs.
#include <windows.h>

#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "bench_clock.h"
#include "engine/engine_context.h"
#include "playlist/m3u_list.h"
#include "playlist/pls_list.h"
#include "playlist/playlist_store.h"
#include "support/list_files.h"

namespace {

constexpr int kEntries = 10000;
constexpr int kPlsEntries = 1000;
constexpr int kFiles = 100;
constexpr int kRuns = 5;

double Best(const std::function<void()>& work)
{
    double best = 1e30;
    for (int run = 0; run < kRuns; ++run) {
        BenchClock clock;
        work();
        best = std::min(best, clock.Milliseconds());
    }
    return best;
}

void Report(const char* what, double floorMs, double ownMs)
{
    printf("%-44s floor %8.1f ms   own %8.1f ms   ratio %.2f\n", what, floorMs, ownMs, ownMs / floorMs);
}

// The unavoidable part of reading: the lines, and the existence test of each entry.
void ReadFloor(const std::string& path)
{
    FILE* file = fopen(path.c_str(), "r");
    char line[1024];
    while (fgets(line, sizeof line, file)) {
        if (line[0] == '#') continue;
        line[strcspn(line, "\n")] = '\0';
        char full[MAX_PATH];
        GetFullPathNameA(line, sizeof full, full, nullptr);
        GetFileAttributesA(full);
    }
    fclose(file);
}

void WriteFloor(const std::string& path, const std::vector<std::string>& lines)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written;
    for (const std::string& line : lines) WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(file);
}

// Every key set on its own, as the profile functions offer it: the whole file is rewritten per
// key. Shown for comparison only.
void PlsKeyByKey(const std::string& path)
{
    DeleteFileA(path.c_str());
    for (int i = 0; i < kPlsEntries; ++i) {
        const PlaylistEntry& entry = engine.entries[static_cast<size_t>(i)];
        std::string number = std::to_string(i + 1);
        WritePrivateProfileStringA("playlist", ("File" + number).c_str(), entry.filename, path.c_str());
        WritePrivateProfileStringA("playlist", ("Title" + number).c_str(), entry.title, path.c_str());
        WritePrivateProfileStringA("playlist", ("Length" + number).c_str(), std::to_string(entry.length).c_str(),
                                   path.c_str());
    }
    WritePrivateProfileStringA("playlist", "NumberOfEntries", std::to_string(kPlsEntries).c_str(), path.c_str());
    WritePrivateProfileStringA("playlist", "Version", "2", path.c_str());
}

// The unavoidable part of writing: the section read once and written once.
void PlsWriteFloor(const std::string& path, const std::string& section)
{
    DeleteFileA(path.c_str());
    std::vector<char> old(65536);
    GetPrivateProfileSectionA("playlist", old.data(), static_cast<DWORD>(old.size()), path.c_str());
    WritePrivateProfileSectionA("playlist", section.data(), path.c_str());
}

void PlsReadFloor(const std::string& path)
{
    GetPrivateProfileIntA("playlist", "NumberOfEntries", -1, path.c_str());
    GetPrivateProfileIntA("playlist", "Version", 1, path.c_str());
    for (int i = 1; i <= kPlsEntries; ++i) {
        std::string number = std::to_string(i);
        char file[MAX_PATH + 1], title[1024];
        GetPrivateProfileStringA("playlist", ("File" + number).c_str(), "", file, sizeof file, path.c_str());
        GetPrivateProfileStringA("playlist", ("Title" + number).c_str(), "", title, sizeof title, path.c_str());
        GetPrivateProfileIntA("playlist", ("Length" + number).c_str(), -1, path.c_str());
        char full[MAX_PATH];
        GetFullPathNameA(file, sizeof full, full, nullptr);
        GetFileAttributesA(full);
    }
}

}  // namespace

int main()
{
    ScratchFolder folder("list-bench");
    for (int i = 0; i < kFiles; ++i) folder.Touch("track_" + std::to_string(i) + ".mp3");
    std::string text = "#EXTM3U\n";
    for (int i = 0; i < kEntries; ++i) {
        text += "#EXTINF:" + std::to_string(180 + i % 200) + ",Artist " + std::to_string(i % 97) + " - Title " +
                std::to_string(i) + "\ntrack_" + std::to_string(i % kFiles) + ".mp3\n";
    }
    const std::string source = folder.Write("source.m3u", text);
    SetCurrentDirectoryA(folder.Path().c_str());

    const double readFloor = Best([&] { ReadFloor(source); });
    const double readOwn = Best([&] {
        PlaylistClear();
        ReadM3UList(source.c_str());
    });
    if (PlaylistCount() != kEntries) printf("read %d entries, not %d\n", PlaylistCount(), kEntries);
    // The store's own share of reading: the same records appended directly.
    std::vector<std::string> names, titles;
    for (int i = 0; i < kEntries; ++i) {
        names.push_back(engine.entries[static_cast<size_t>(i)].filename);
        titles.push_back(engine.entries[static_cast<size_t>(i)].title);
    }
    const double storeAppends = Best([&] {
        PlaylistClear();
        for (int i = 0; i < kEntries; ++i)
            PlaylistAppendRecord(names[i].c_str(), titles[i].c_str(), 180, kPlainEntryVolume, kNoDurationLimit);
    });

    // The bytes the writer produces, line by line, for the floor.
    const std::string written = folder.Path() + "\\written.m3u";
    WriteM3UList(written.c_str());
    std::vector<std::string> lines;
    const std::string bytes = ReadBytes(written);
    for (size_t at = 0; at < bytes.size();) {
        size_t end = bytes.find('\n', at) + 1;
        lines.push_back(bytes.substr(at, end - at));
        at = end;
    }
    const std::string floorCopy = folder.Path() + "\\floor.m3u";
    const double writeFloor = Best([&] { WriteFloor(floorCopy, lines); });
    const double writeOwn = Best([&] { WriteM3UList(written.c_str()); });
    if (ReadBytes(floorCopy) != ReadBytes(written)) printf("the floor wrote other bytes\n");

    Report("read 10,000-entry M3U", readFloor, readOwn);
    Report("  the same without the store's appends", readFloor, readOwn - storeAppends);
    Report("write 10,000-entry M3U", writeFloor, writeOwn);

    PlaylistClear();
    for (int i = 0; i < kPlsEntries; ++i) {
        std::string name = folder.Path() + "\\track_" + std::to_string(i % kFiles) + ".mp3";
        std::string title = "Artist " + std::to_string(i % 97) + " - Title " + std::to_string(i);
        PlaylistAppendRecord(name.c_str(), title.c_str(), 180 + i % 200, kPlainEntryVolume, kNoDurationLimit);
    }
    const std::string pls = folder.Path() + "\\list.pls";
    const std::string plsFloor = folder.Path() + "\\floor.pls";
    std::string section;
    for (int i = 0; i < kPlsEntries; ++i) {
        const PlaylistEntry& entry = engine.entries[static_cast<size_t>(i)];
        std::string number = std::to_string(i + 1);
        section += "File" + number + "=" + entry.filename + '\0' + "Title" + number + "=" + entry.title + '\0' +
                   "Length" + number + "=" + std::to_string(entry.length) + '\0';
    }
    section += "NumberOfEntries=" + std::to_string(kPlsEntries) + '\0' + "Version=2" + '\0' + '\0';
    const double plsWriteFloor = Best([&] { PlsWriteFloor(plsFloor, section); });
    const double plsWriteOwn = Best([&] {
        DeleteFileA(pls.c_str());
        WritePLSList(pls.c_str());
    });
    if (ReadBytes(plsFloor) != ReadBytes(pls)) printf("the PLS floor wrote other bytes\n");
    const double plsReadFloor = Best([&] { PlsReadFloor(pls); });
    const double plsReadOwn = Best([&] {
        PlaylistClear();
        ReadPLSList(pls.c_str());
    });
    if (PlaylistCount() != kPlsEntries) printf("read %d PLS entries, not %d\n", PlaylistCount(), kPlsEntries);
    Report("write 1,000-entry PLS", plsWriteFloor, plsWriteOwn);
    const std::string keyByKey = folder.Path() + "\\keys.pls";
    BenchClock keyClock;
    PlsKeyByKey(keyByKey);
    const double keyByKeyMs = keyClock.Milliseconds();
    if (ReadBytes(keyByKey) != ReadBytes(pls)) printf("key by key wrote other bytes\n");
    printf("  (the same keys set one by one: %.1f ms)\n", keyByKeyMs);
    Report("read 1,000-entry PLS", plsReadFloor, plsReadOwn);
    PlaylistClear();
    return 0;
}
