// Texts in a double-byte ANSI code page (932, set through the test's locale): scans and cuts step
// by whole characters, so a trail byte that equals "\" or "_" is never taken for one, and no
// buffer ends in half a character.
#include <windows.h>

#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "playlist/entry_names.h"
#include "playlist/entry_titles.h"
#include "win/ansi_text.h"
#include "playlist_fixture.h"

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
