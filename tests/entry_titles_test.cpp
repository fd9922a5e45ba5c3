// Title tidying and the current entry's file name and "%d. %s" display title.
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "playlist/entry_titles.h"
#include "playlist/playlist_position.h"
#include "playlist_fixture.h"
#include "win/ansi_text.h"

namespace {

using CurrentItem = PlaylistTest;

std::string Tidied(std::string text)
{
    std::vector<char> buffer(text.begin(), text.end());
    buffer.push_back('\0');
    EXPECT_EQ(TidyTitle(buffer.data()), buffer.data());
    return buffer.data();
}

}  // namespace

// Underscores and "%20" become single spaces; everything else is kept.
TEST(TidyTitle, ReplacesUnderscoresAndEncodedSpaces)
{
    EXPECT_EQ(Tidied("C:\\my_music\\a%20b.mp3"), "C:\\my music\\a b.mp3");
    EXPECT_EQ(Tidied("My_Song"), "My Song");
    EXPECT_EQ(Tidied("100%%20__%2"), "100%   %2");
    EXPECT_EQ(Tidied("%20%20"), "  ");
    EXPECT_EQ(Tidied(""), "");
    EXPECT_EQ(TidyTitle(nullptr), nullptr);
}

// A title longer than 1023 bytes is cut to 1023 before tidying.
TEST(TidyTitle, CutsLongTitles)
{
    EXPECT_EQ(Tidied(std::string(1500, 'x')), std::string(1023, 'x'));
    EXPECT_EQ(Tidied(std::string(1100, '_')), std::string(1023, ' '));
}

// The current entry gives its file name and its 1-based number before its title.
TEST_F(CurrentItem, NumbersTheTitleFromOne)
{
    Append("Intro");
    Append("Second");
    Append("Artist - Song");
    char file[kFileNameSize];
    char display[kDisplayTitleSize];
    PlaylistCurrentItem(file, sizeof file, display, sizeof display);
    EXPECT_STREQ(file, "C:\\music\\Intro.wav");
    EXPECT_STREQ(display, "1. Intro");
    PlaylistSetPos(2);
    PlaylistCurrentItem(file, sizeof file, display, sizeof display);
    EXPECT_STREQ(display, "3. Artist - Song");
    PlaylistCurrentItem(nullptr, 0, display, sizeof display);
    EXPECT_STREQ(display, "3. Artist - Song");
}

// Without a current entry both texts are empty.
TEST_F(CurrentItem, EmptyWithoutACurrentEntry)
{
    char file[kFileNameSize] = "old";
    char display[kDisplayTitleSize] = "old";
    PlaylistCurrentItem(file, sizeof file, display, sizeof display);
    EXPECT_STREQ(file, "");
    EXPECT_STREQ(display, "");
    Append("a");
    engine.currentIndex = -1;
    CopyBounded(display, "old");
    PlaylistCurrentItem(file, sizeof file, display, sizeof display);
    EXPECT_STREQ(display, "");
    engine.currentIndex = 1;
    PlaylistCurrentItem(file, sizeof file, display, sizeof display);
    EXPECT_STREQ(file, "");
}

// A 399-character title fits the 520-byte display title whole and is cut to fit a smaller
// buffer, without writing past it.
TEST_F(CurrentItem, LongTitlesAreCutToTheBuffer)
{
    std::string title(399, 't');
    Append(title);
    char display[kDisplayTitleSize];
    PlaylistCurrentItem(nullptr, 0, display, sizeof display);
    EXPECT_EQ(std::string(display), "1. " + title);
    char small[kFileNameSize + 8];
    std::memset(small, '#', sizeof small);
    PlaylistCurrentItem(nullptr, 0, small, kFileNameSize);
    EXPECT_EQ(std::string(small), ("1. " + title).substr(0, 259));
    EXPECT_EQ(small[kFileNameSize], '#');
}
