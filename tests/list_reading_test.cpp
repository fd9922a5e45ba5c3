// The list readers and writers called directly on the engine: M3U lines and their pending
// information, existence tests, the current directory, long lines and names, lists written by
// other programs, PLS keys, and the exact bytes the writers produce. Without input plugins a
// looked-up title is the stored name itself and the length is unknown.
#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "playlist/m3u_list.h"
#include "playlist/m3u_text_reader.h"
#include "playlist/pls_list.h"
#include "playlist/playlist_position.h"
#include "playlist_fixture.h"
#include "support/list_files.h"

namespace {

struct Entry {
    std::string name, title;
    int length;
    bool operator==(const Entry& o) const { return name == o.name && title == o.title && length == o.length; }
};

std::ostream& operator<<(std::ostream& out, const Entry& e)
{
    return out << "{" << e.name << " | " << e.title << " | " << e.length << "}";
}

class ListReading : public PlaylistTest {
protected:
    static std::vector<Entry> Entries()
    {
        std::vector<Entry> all;
        for (int i = 0; i < engine.entryCount; ++i)
            all.push_back({engine.entries[i].filename, engine.entries[i].title, engine.entries[i].length});
        return all;
    }
    // An entry whose title and length were looked up: the name itself, length unknown.
    Entry LookedUp(const std::string& relative) const
    {
        std::string name = Full(relative);
        return {name, name, -1};
    }
    std::string Full(const std::string& relative) const { return folder_.Path() + "\\" + relative; }

    CurrentDirectoryGuard directory_;
    ScratchFolder folder_{"lists"};
};

}  // namespace

TEST_F(ListReading, InformationAppliesToTheNextEntryOnlyAfterTheHeader)
{
    folder_.Touch("song.mp3");
    folder_.Touch("dir.mp3\\inside");  // a folder named like a file is an entry as it stands
    std::string list = folder_.Write("edges.m3u",
        "#EXTM3U\r\n#EXTINF:215,Artist - Song\r\nsong.mp3\r\n"
        "#EXTINF:215,Title\r\n# a comment clears it\r\nsong.mp3\r\n"
        "#EXTINF:-1,Live\r\nhttp://nowhere.invalid/live\r\n"
        "#EXTINF:215,\r\nsong.mp3\r\n"
        "#EXTINF: 215,Title\r\nsong.mp3\r\n"
        "#EXTINF:300\r\nsong.mp3\r\n"
        "#EXTINF:5,Gone\r\nmissing.mp3\r\nsong.mp3\r\n"
        "   dir.mp3\r\n"
        "mms:\\\\server\\stream\r\n"
        "http://nowhere.invalid/last");
    SetCurrentDirectoryA("C:\\");
    EXPECT_EQ(ReadM3UList(list.c_str()), 0);
    const std::vector<Entry> expected{
        {Full("song.mp3"), "Artist - Song", 215},
        LookedUp("song.mp3"),
        {"http://nowhere.invalid/live", "Live", -1},
        LookedUp("song.mp3"),                      // an empty title means a lookup, length too
        {Full("song.mp3"), "215,Title", 215},      // the blank was the separator
        LookedUp("song.mp3"),                      // nothing after the length: no information
        LookedUp("song.mp3"),                      // the missing file took its information along
        LookedUp("dir.mp3"),
        {"http://nowhere.invalid/last", "http://nowhere.invalid/last", -1}};
    EXPECT_EQ(Entries(), expected);  // ":\\" is no network address in a list: tested, missing
    EXPECT_EQ(CurrentDirectory(), folder_.Path());
    EXPECT_EQ(engine.currentIndex, 0);

    PlaylistClear();
    folder_.Write("plain.m3u", "#EXTINF:215,Artist - Song\nsong.mp3\n");
    EXPECT_EQ(ReadM3UList("plain.m3u"), 0);  // relative to the directory of the last list
    EXPECT_EQ(Entries(), std::vector<Entry>{LookedUp("song.mp3")});
}

TEST_F(ListReading, ResultsForUnreadableEmptyAndUselessLists)
{
    folder_.Touch("a.asf");
    folder_.Write("empty.m3u", "");
    folder_.Write("useless.m3u", "#EXTM3U\r\n# nothing\r\nmissing.mp3\r\n\r\n");
    folder_.Write("asf.m3u", "ASF a.asf\r\nASF missing.asf\r\nASF \r\n");
    EXPECT_EQ(ReadM3UList(Full("absent.m3u").c_str()), 1);
    EXPECT_EQ(ReadM3UList(folder_.Path().c_str()), 1);  // a folder does not open as a list
    EXPECT_EQ(ReadM3UList(Full("empty.m3u").c_str()), 1);
    EXPECT_EQ(ReadM3UList(Full("useless.m3u").c_str()), 1);
    EXPECT_EQ(PlaylistCount(), 0);
    EXPECT_EQ(ReadM3UList(Full("asf.m3u").c_str()), 0);
    EXPECT_EQ(Entries(), std::vector<Entry>{LookedUp("a.asf")});
    EXPECT_EQ(PlaylistCount(), 1);
}

// A long line is one line: a name that cannot be stored whole is skipped, never cut into a
// wrong entry, and a long title keeps its first 259 bytes.
TEST_F(ListReading, LongLinesAreReadWholeAndLongNamesSkipped)
{
    const std::string fits = "http://h/" + std::string(250, 'a');  // 259 characters
    std::string text = "#EXTM3U\n";
    for (size_t length : {290u, 291u, 292u, 300u, 600u}) text += "http://h/" + std::string(length - 9, 'x') + "\n";
    text += "#EXTINF:7," + std::string(1000, 't') + "\n" + fits + "\n";
    text += "#EXTINF:8,Next\n" + std::string(300, ' ') + "http://h/b\n";
    folder_.Write("long.m3u", text);
    EXPECT_EQ(ReadM3UList(Full("long.m3u").c_str()), 0);
    const std::vector<Entry> expected{{fits, std::string(259, 't'), 7}, {"http://h/b", "Next", 8}};
    EXPECT_EQ(Entries(), expected);

    // A local name whose full path does not fit is skipped too.
    PlaylistClear();
    std::string deep = std::string(120, 'd') + "\\" + std::string(120, 'e') + "\\" + std::string(30, 'f') + ".mp3";
    folder_.Write("deep.m3u", "song.mp3\r\n" + deep + "\r\n");
    folder_.Touch("song.mp3");
    EXPECT_EQ(ReadM3UList(Full("deep.m3u").c_str()), 0);
    EXPECT_EQ(Entries(), std::vector<Entry>{LookedUp("song.mp3")});
}

// A relative list name with folders in it is opened by its full path, not again relative to
// the list's own folder; a list in a drive's root makes the root current.
TEST_F(ListReading, RelativeNamesAndTheRootDirectory)
{
    folder_.Touch("sub\\song.mp3");
    folder_.Write("sub\\list.m3u", "song.mp3\n");
    SetCurrentDirectoryA(folder_.Path().c_str());
    EXPECT_EQ(ReadM3UList("sub\\list.m3u"), 0);
    EXPECT_EQ(CurrentDirectory(), Full("sub"));
    EXPECT_EQ(Entries(), std::vector<Entry>{LookedUp("sub\\song.mp3")});

    const std::string root = "C:\\tunara_root_list_" + std::to_string(GetCurrentProcessId()) + ".m3u";
    HANDLE file = CreateFileA(root.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written;
    WriteFile(file, "http://h/r\r\n", 12, &written, nullptr);
    CloseHandle(file);
    EXPECT_EQ(ReadM3UList(root.c_str()), 0);
    DeleteFileA(root.c_str());
    EXPECT_EQ(CurrentDirectory(), "C:\\");
}

// Lists as other programs write them (the samples in tests/data/lists).
TEST_F(ListReading, PeerWrittenM3ULists)
{
    for (const char* file : {"song.mp3", "with space.mp3", "sub\\first.mp3", "second.mp3", "asf file.asf"})
        folder_.Touch(file);
    for (const char* sample : {"peer_crlf.m3u", "peer_lf_no_final_end.m3u", "peer_bom.m3u", "peer_comments.m3u"})
        EXPECT_EQ(ReadM3UList(folder_.CopySample(sample).c_str()), 0) << sample;
    const std::vector<Entry> expected{
        {Full("song.mp3"), "Artist - Song", 215},
        {"http://radio.example:8000/live", "Radio, with comma", -1},
        {Full("with space.mp3"), "Spaced", 42},
        {Full("sub\\first.mp3"), "First", 100},
        {Full("second.mp3"), "Second", 200},      // the last line had no line end
        {Full("song.mp3"), "Marked", 7},          // the byte-order mark hid no header
        LookedUp("song.mp3"),                     // no header yet: information ignored
        LookedUp("asf file.asf"),
        {"http://h/stream", "http://h/stream", -1},
        {Full("second.mp3"), "After the header", 9}};
    EXPECT_EQ(Entries(), expected);
}

// The reader's result does not depend on how the text is cut into pieces.
TEST_F(ListReading, TextPiecesOfAnySizeGiveTheSameEntries)
{
    const std::string text = "\xEF\xBB\xBF#EXTM3U\r\n#EXTINF:1,One\r\nhttp://h/1\r\n\r\n#EXTINF:2,Two\r\nhttp://h/2";
    std::vector<Entry> whole;
    for (size_t piece : {text.size(), size_t{1}, size_t{2}, size_t{5}}) {
        PlaylistClear();
        M3UTextReader reader(ListOrigin::kLocal, false);
        for (size_t at = 0; at < text.size(); at += piece) reader.Feed(std::string_view(text).substr(at, piece));
        reader.Finish();
        EXPECT_EQ(reader.Added(), 2);
        if (whole.empty()) whole = Entries();
        EXPECT_EQ(Entries(), whole) << "pieces of " << piece;
    }
    EXPECT_EQ(whole[1], (Entry{"http://h/2", "Two", 2}));
}

TEST_F(ListReading, PLSKeysVersionsGapsAndCounts)
{
    for (const char* file : {"a.mp3", "b.mp3", "c.mp3"}) folder_.Touch(file);
    SetCurrentDirectoryA("C:\\");
    // Keys in any order and case, blanks around "=", a gap, no version: titles are not read.
    EXPECT_EQ(ReadPLSList(folder_.CopySample("peer_any_order.pls").c_str()), 0);
    EXPECT_EQ(Entries(), (std::vector<Entry>{LookedUp("a.mp3"), LookedUp("c.mp3")}));
    EXPECT_EQ(CurrentDirectory(), folder_.Path());
    PlaylistClear();
    // Named relative to the current directory: the profile functions get the full path.
    folder_.CopySample("peer_version2.pls");
    EXPECT_EQ(ReadPLSList("peer_version2.pls"), 0);
    const std::vector<Entry> expected{{Full("a.mp3"), "A", 100}, LookedUp("b.mp3"),
                                      {"http://radio.example/stream", "Radio", -1}};
    EXPECT_EQ(Entries(), expected);

    PlaylistClear();
    folder_.Write("zero.pls", "[playlist]\r\nNumberOfEntries=0\r\nFile1=a.mp3\r\n");
    folder_.Write("missing.pls", "[playlist]\r\nNumberOfEntries=1\r\nFile1=missing.mp3\r\n");
    folder_.Write("nofiles.pls", "[playlist]\r\nVersion=2\r\nTitle1=a\r\n");
    EXPECT_EQ(ReadPLSList("zero.pls"), 1);
    EXPECT_EQ(ReadPLSList("missing.pls"), 1);
    EXPECT_EQ(ReadPLSList("nofiles.pls"), 1);
    EXPECT_EQ(ReadPLSList("absent.pls"), 1);
    EXPECT_EQ(PlaylistCount(), 0);

    // Without NumberOfEntries, as other programs write lists: every File<n>, in order of n.
    folder_.Write("nocount.pls", "[playlist]\r\nVersion=2\r\nFile12=c.mp3\r\nFile3=b.mp3\r\nTitle3=Bee\r\n"
                                 "File1=a.mp3\r\nFile2000000000=http://h/last\r\n");
    EXPECT_EQ(ReadPLSList("nocount.pls"), 0);
    EXPECT_EQ(Entries(), (std::vector<Entry>{LookedUp("a.mp3"), {Full("b.mp3"), "Bee", -1}, LookedUp("c.mp3"),
                                             {"http://h/last", "http://h/last", -1}}));
    PlaylistClear();

    // A huge count reads only as far as the file keys go; a name too long to store is skipped,
    // a long title is cut, "Version=-1" is above 1 as an unsigned number.
    const std::string longUrl = "http://h/" + std::string(260, 'u');
    folder_.Write("huge.pls", "[playlist]\r\nNumberOfEntries=2000000000\r\nVersion=-1\r\nFile1=" + longUrl +
                                  "\r\nFile7=b.mp3\r\nTitle7=" + std::string(400, 'T') + "\r\nLength7=-5\r\nFile007=c.mp3\r\n");
    EXPECT_EQ(ReadPLSList("huge.pls"), 0);
    EXPECT_EQ(Entries(), std::vector<Entry>{(Entry{Full("b.mp3"), std::string(259, 'T'), -5})});
}

TEST_F(ListReading, M3UWriterOutputIsExactAndLeavesThePositionAlone)
{
    std::string path = Full("out.m3u");
    EXPECT_EQ(WriteM3UList(path.c_str()), 0);
    EXPECT_EQ(ReadBytes(path), "#EXTM3U\r\n");

    PlaylistAppendRecord("C:\\music\\a b.mp3", "Artist, Song", 215, 40, 3000);
    PlaylistAppendRecord("http://h/live", "", -1, 100, -1);
    PlaylistAppendRecord("http://h/two\nlines", "Left out", 1, 100, -1);
    PlaylistAppendRecord("#http://h/comment", "Left out", 1, 100, -1);
    PlaylistAppendRecord("ASF http://h/asf", "Left out", 1, 100, -1);
    PlaylistAppendRecord("http://h/broken", "Line\r\nbreak", 9, 100, -1);
    PlaylistSetPos(4);
    EXPECT_EQ(WriteM3UList(path.c_str()), 0);
    EXPECT_EQ(ReadBytes(path),
              "#EXTM3U\r\n#EXTINF:215,Artist, Song\r\nC:\\music\\a b.mp3\r\n#EXTINF:-1,\r\nhttp://h/live\r\n"
              "#EXTINF:9,Line  break\r\nhttp://h/broken\r\n");
    EXPECT_EQ(engine.currentIndex, 4);
    EXPECT_EQ(WriteM3UList(Full("no such folder\\out.m3u").c_str()), -1);
}

// Keys already in the section keep their place and spelling; new ones follow in writing order.
TEST_F(ListReading, PLSWriterKeyOrderAndWhatAnOlderFileKeeps)
{
    std::string path = Full("out.pls");
    WritePLSList(path.c_str());
    EXPECT_EQ(ReadBytes(path), "[playlist]\r\nNumberOfEntries=0\r\nVersion=2\r\n");

    const auto appendNumbered = [](int count) {
        for (int i = 1; i <= count; ++i) {
            std::string name = "http://h/" + std::to_string(i);
            PlaylistAppendRecord(name.c_str(), ("Title " + std::to_string(i)).c_str(), i * 10, 100, -1);
        }
    };
    appendNumbered(5);
    folder_.Write("kept.pls", "[other]\r\nkey=value\r\n[Playlist]\r\nExtra=kept\r\nfile2=old\r\n");
    std::string kept = Full("kept.pls");
    WritePLSList(kept.c_str());
    PlaylistClear();
    appendNumbered(3);
    PlaylistAppendRecord(" http://h/blank", "Left out", 1, 100, -1);
    PlaylistAppendRecord("\"http://h/quoted\"", "Left out", 1, 100, -1);
    PlaylistAppendRecord("http://h/6", "Two\nlines", 60, 100, -1);
    PlaylistSetPos(2);
    SetCurrentDirectoryA(folder_.Path().c_str());
    WritePLSList("kept.pls");  // relative: the full path goes to the profile functions
    EXPECT_EQ(engine.currentIndex, 2);
    EXPECT_EQ(ReadBytes(kept),
              "[other]\r\nkey=value\r\n[Playlist]\r\nExtra=kept\r\nfile2=http://h/2\r\n"
              "File1=http://h/1\r\nTitle1=Title 1\r\nLength1=10\r\nTitle2=Title 2\r\nLength2=20\r\n"
              "File3=http://h/3\r\nTitle3=Title 3\r\nLength3=30\r\n"
              "File4=http://h/6\r\nTitle4=Two lines\r\nLength4=60\r\n"
              "File5=http://h/5\r\nTitle5=Title 5\r\nLength5=50\r\n"
              "NumberOfEntries=4\r\nVersion=2\r\n");
    PlaylistClear();
    EXPECT_EQ(ReadPLSList(kept.c_str()), 0);
    EXPECT_EQ(Entries(), (std::vector<Entry>{{"http://h/1", "Title 1", 10}, {"http://h/2", "Title 2", 20},
                                             {"http://h/3", "Title 3", 30}, {"http://h/6", "Two lines", 60}}));
}
