// The M3U line classification on its own: every kind of line, the "#EXTINF:" length and title
// rules, blanks, "ASF " lines, and a sweep over every line of one and two bytes.
#include <windows.h>

#include <climits>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#include "playlist/m3u_line.h"

namespace {

struct Info {
    int32_t length;
    std::string title;
};

Info InfoOf(std::string_view line)
{
    M3ULine parsed = ClassifyM3ULine(line);
    EXPECT_EQ(parsed.kind, M3ULineKind::kInfo) << line;
    return {parsed.length, std::string(parsed.title)};
}

void ExpectInfo(std::string_view line, int32_t length, const std::string& title)
{
    Info info = InfoOf(line);
    EXPECT_EQ(info.length, length) << line;
    EXPECT_EQ(info.title, title) << line;
}

void ExpectEntry(std::string_view line, const std::string& name, bool asf = false)
{
    M3ULine parsed = ClassifyM3ULine(line);
    ASSERT_EQ(parsed.kind, M3ULineKind::kEntry) << line;
    EXPECT_EQ(std::string(parsed.name), name) << line;
    EXPECT_EQ(parsed.asf, asf) << line;
    // The name is the end of the line itself, not a copy.
    EXPECT_EQ(parsed.name.data() + parsed.name.size(), line.data() + line.size());
}

M3ULineKind KindOf(std::string_view line) { return ClassifyM3ULine(line).kind; }

}  // namespace

TEST(M3ULine, HeaderOnlyAtTheFirstCharacterAndInCapitals)
{
    EXPECT_EQ(KindOf("#EXTM3U"), M3ULineKind::kHeader);
    EXPECT_EQ(KindOf("#EXTM3U and more"), M3ULineKind::kHeader);
    EXPECT_EQ(KindOf(" #EXTM3U"), M3ULineKind::kComment);
    EXPECT_EQ(KindOf("#extm3u"), M3ULineKind::kComment);
    EXPECT_EQ(KindOf("#EXTM3"), M3ULineKind::kComment);
}

TEST(M3ULine, InformationLengthSeparatorAndTitle)
{
    ExpectInfo("#EXTINF:215,Artist - Song", 215, "Artist - Song");
    ExpectInfo("#EXTINF:-1,Live", -1, "Live");
    ExpectInfo("#EXTINF:215,", 215, "");
    ExpectInfo("#EXTINF:215,a,b", 215, "a,b");
    ExpectInfo("#EXTINF:215 Title", 215, "Title");    // any one character separates
    ExpectInfo("#EXTINF: 215,Title", 215, "215,Title");  // atoi skips the blank; the run is empty
    ExpectInfo("#EXTINF:abc,x", 0, "bc,x");
    ExpectInfo("#EXTINF:1-2,x", 1, "x");
    ExpectInfo("#EXTINF:--5,x", 0, "x");
    ExpectInfo("#EXTINF:+5,x", 5, "5,x");
    ExpectInfo("#EXTINF:99999999999,x", INT_MAX, "x");
    ExpectInfo("#EXTINF:-99999999999,x", INT_MIN, "x");
    ExpectInfo(" \t #EXTINF:5,indented", 5, "indented");
    ExpectInfo("#EXTINF:5,  blanks kept  ", 5, "  blanks kept  ");
    // Nothing after the length: neither length nor title.
    ExpectInfo("#EXTINF:215", -1, "");
    ExpectInfo("#EXTINF:", -1, "");
    ExpectInfo("#EXTINF:-", -1, "");
    // The title is the end of the line itself.
    std::string_view line = "#EXTINF:3,end";
    EXPECT_EQ(ClassifyM3ULine(line).title.data(), line.data() + 10);
}

TEST(M3ULine, CommentsAndBlankLines)
{
    for (std::string_view line : {"", " ", "\t \t", "#", "# comment", "  # indented", "#extinf:5,x",
                                  "#EXTINF5,x", "#EXT", "\r", "  \r", "\rname"})
        EXPECT_EQ(KindOf(line), M3ULineKind::kComment) << line;
}

TEST(M3ULine, EntriesAfterTheirBlanksAndASFLines)
{
    ExpectEntry("song.mp3", "song.mp3");
    ExpectEntry("   song.mp3", "song.mp3");
    ExpectEntry("\t song.mp3 ", "song.mp3 ");
    ExpectEntry("C:\\music\\a b.mp3", "C:\\music\\a b.mp3");
    ExpectEntry("http://h/x#y", "http://h/x#y");
    ExpectEntry("a\rb", "a\rb");
    ExpectEntry("ASF C:\\x.asf", "C:\\x.asf", true);
    ExpectEntry("  ASF x", "x", true);
    ExpectEntry("ASF  x", " x", true);
    ExpectEntry("ASF ", "ASF ");
    ExpectEntry("ASFx", "ASFx");
    ExpectEntry("asf x", "asf x");
    ExpectEntry("\v#x", "\v#x");  // only spaces and tabs are blanks
}

// Every line of one or two bytes: an entry exactly when its first byte after blanks is neither
// "#" nor CR, named by the rest; never a header or information.
TEST(M3ULine, EveryShortLine)
{
    int lines = 0;
    for (int first = -1; first < 256; ++first) {
        for (int second = 0; second < 256; ++second) {
            std::string line;
            if (first >= 0) line += static_cast<char>(first);
            line += static_cast<char>(second);
            ++lines;
            size_t start = line.find_first_not_of(" \t");
            bool entry = start != std::string::npos && line[start] != '#' && line[start] != '\r';
            M3ULine parsed = ClassifyM3ULine(line);
            ASSERT_EQ(parsed.kind, entry ? M3ULineKind::kEntry : M3ULineKind::kComment) << first << " " << second;
            if (entry) {
                ASSERT_EQ(std::string(parsed.name), line.substr(start));
            }
        }
    }
    EXPECT_EQ(lines, 257 * 256);
}
