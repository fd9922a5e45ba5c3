// Texts in a double-byte ANSI code page (932, set through the test's locale): scans and cuts step
// by whole characters, so a trail byte that equals "\" or "_" is never taken for one, and no
// buffer ends in half a character.
#include <windows.h>

#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "playlist/entry_names.h"
#include "playlist/entry_titles.h"
#include "playlist/m3u_line.h"
#include "playlist/m3u_list.h"
#include "playlist/pls_list.h"
#include "win/ansi_text.h"
#include "playlist_fixture.h"
#include "support/list_files.h"

namespace {

// Two characters of code page 932 whose trail bytes are "\" and "_".
const std::string kTrailBackslash = "\x95\x5C";
const std::string kTrailUnderscore = "\x83\x5F";

class DoubleByte : public PlaylistTest {
protected:
    void SetUp() override
    {
        if (GetACP() != 932) GTEST_SKIP() << "the ANSI code page is " << GetACP() << ", not 932";
        PlaylistTest::SetUp();
    }
};

// True when text ends on a character boundary: walking it by lead bytes lands on its end.
bool EndsWhole(const std::string& text)
{
    size_t at = 0;
    while (at < text.size()) at += IsDBCSLeadByte(static_cast<BYTE>(text[at])) ? 2 : 1;
    return at == text.size();
}

std::string Repeat(const std::string& text, int times)
{
    std::string all;
    for (int i = 0; i < times; ++i) all += text;
    return all;
}

}  // namespace

// The scan starts at the last character and skips trail bytes.
TEST_F(DoubleByte, FindLastOfSkipsTrailBytes)
{
    std::string name = "C:\\dir\\" + kTrailBackslash;
    EXPECT_EQ(FindLastOf(name.c_str(), "\\", -1), 6);
    std::string song = "C:\\song." + kTrailBackslash;
    EXPECT_EQ(std::string(GetExtension(song.c_str())), kTrailBackslash);
    std::string only = kTrailBackslash;
    EXPECT_EQ(FindLastOf(only.c_str(), "\\", -1), -1);
}

// Tidying keeps double-byte characters whole.
TEST_F(DoubleByte, TidyTitleKeepsTrailUnderscores)
{
    std::string title = kTrailUnderscore + "_x%20" + kTrailUnderscore;
    std::vector<char> buffer(title.begin(), title.end());
    buffer.push_back('\0');
    TidyTitle(buffer.data());
    EXPECT_EQ(std::string(buffer.data()), kTrailUnderscore + " x " + kTrailUnderscore);
}

// A bounded copy stops before a character that does not fit whole.
TEST_F(DoubleByte, CopiesEndOnACharacterBoundary)
{
    char three[3];
    EXPECT_FALSE(CopyBounded(three, ("a" + kTrailBackslash).c_str()));
    EXPECT_STREQ(three, "a");
    char four[4];
    EXPECT_TRUE(CopyBounded(four, ("a" + kTrailBackslash).c_str()));
    EXPECT_EQ(std::string(four), "a" + kTrailBackslash);
}

// Titles and locations cut at append end on whole characters.
TEST_F(DoubleByte, AppendCutsWholeCharacters)
{
    std::string title = Repeat(kTrailUnderscore, 200);
    std::string url = "http:///" + Repeat(kTrailBackslash, 130);
    char stored[kFileNameSize];
    ASSERT_EQ(ResolveEntryName(url.c_str(), stored), 0);
    ASSERT_EQ(PlaylistAppendRecord(stored, title.c_str(), -1, 100, -1), 0);
    EXPECT_EQ(std::string(engine.entries[0].title), title.substr(0, 398));
    EXPECT_EQ(std::string(engine.entries[0].filename), url.substr(0, 258));
}

// The display title cut to a 260-byte buffer ends on a whole character.
TEST_F(DoubleByte, DisplayTitleEndsWhole)
{
    Append("x" + Repeat(kTrailBackslash, 199));
    char display[kFileNameSize];
    PlaylistCurrentItem(nullptr, 0, display, sizeof display);
    std::string shown = display;
    EXPECT_EQ(shown.size(), 258u);
    EXPECT_TRUE(EndsWhole(shown));
    EXPECT_EQ(shown, ("1. x" + Repeat(kTrailBackslash, 199)).substr(0, 258));
}

// The separator after an "#EXTINF:" length is one whole character, even a double-byte one.
TEST_F(DoubleByte, InformationSeparatorIsOneWholeCharacter)
{
    std::string line = "#EXTINF:5" + kTrailBackslash + "Title";
    M3ULine parsed = ClassifyM3ULine(line);
    EXPECT_EQ(parsed.length, 5);
    EXPECT_EQ(std::string(parsed.title), "Title");
}

// Titles read from lists are cut to 259 bytes before a character that would not fit whole, and
// the writers keep double-byte names and titles byte for byte. (File names stay single-byte:
// Wine on a host without the matching Unix locale cannot make double-byte file names.)
TEST_F(DoubleByte, ListTitlesKeepWholeCharacters)
{
    CurrentDirectoryGuard guard;
    ScratchFolder folder("dbcs-lists");
    const std::string title = std::string(258, 'a') + kTrailBackslash + "b";  // the cut falls inside
    const std::string song = folder.Touch("song.mp3");
    const std::string m3u = folder.Write("list.m3u", "#EXTM3U\r\n#EXTINF:5," + title + "\r\nsong.mp3\r\n");
    const std::string pls = folder.Write("list.pls", "[playlist]\r\nNumberOfEntries=1\r\nVersion=2\r\nFile1=song.mp3\r\nTitle1=" +
                                                         title + "\r\nLength1=6\r\n");
    ASSERT_EQ(ReadM3UList(m3u.c_str()), 0);
    ASSERT_EQ(ReadPLSList(pls.c_str()), 0);
    ASSERT_EQ(engine.entryCount, 2);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(std::string(engine.entries[i].filename), song);
        EXPECT_EQ(std::string(engine.entries[i].title), std::string(258, 'a'));
        EXPECT_EQ(engine.entries[i].length, 5 + i);
    }

    PlaylistClear();
    const std::string name = "http://h/" + kTrailBackslash + kTrailUnderscore;
    const std::string shortTitle = kTrailBackslash + " title";
    PlaylistAppendRecord(name.c_str(), shortTitle.c_str(), 7, 100, -1);
    const std::string savedM3U = folder.Path() + "\\saved.m3u";
    const std::string savedPLS = folder.Path() + "\\saved.pls";
    ASSERT_EQ(WriteM3UList(savedM3U.c_str()), 0);
    WritePLSList(savedPLS.c_str());
    EXPECT_EQ(ReadBytes(savedM3U), "#EXTM3U\r\n#EXTINF:7," + shortTitle + "\r\n" + name + "\r\n");
    PlaylistClear();
    ASSERT_EQ(ReadM3UList(savedM3U.c_str()), 0);
    ASSERT_EQ(ReadPLSList(savedPLS.c_str()), 0);
    ASSERT_EQ(engine.entryCount, 2);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(std::string(engine.entries[i].filename), name);
        EXPECT_EQ(std::string(engine.entries[i].title), shortTitle);
    }
}
