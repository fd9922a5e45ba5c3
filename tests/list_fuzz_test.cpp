// Generated input for the M3U line classification and the whole M3U text reader: lines of
// random bytes and of lengths around the old 290/291/292 piece limits, double-byte lead bytes
// at the 259-byte cut, random line ends, text fed in random pieces. Checked for every input:
// classifications point into their own line; every appended name is terminated inside its
// field, at most 259 characters, and is a whole line of the input (or that line's full path);
// the pieces never change the result. Run under a single-byte and a double-byte code page.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "engine/engine_context.h"
#include "playlist/m3u_line.h"
#include "playlist/m3u_text_reader.h"
#include "playlist/playlist_store.h"
#include "support/list_files.h"

namespace {

constexpr unsigned kSeed = 20240609;
constexpr int kLineInputs = 20000;
constexpr int kTextInputs = 3000;
const char* const kLocalNames[] = {"a.mp3", "sub\\b.mp3", "c d.mp3"};

class Generator {
public:
    explicit Generator(unsigned seed) : random_(seed) {}

    size_t Below(size_t bound) { return std::uniform_int_distribution<size_t>(0, bound - 1)(random_); }

    // A length near one of the limits that matter, or any up to 600.
    size_t Length()
    {
        static const size_t kNear[] = {258, 259, 260, 290, 291, 292};
        return Below(3) == 0 ? Below(601) : kNear[Below(6)] + Below(3) - 1;
    }

    // Bytes from an alphabet rich in what the reader looks at, with double-byte lead bytes.
    std::string Bytes(size_t length)
    {
        static const std::string kAlphabet = "#EXTINF:M3U,-0123456789 \t\r:/ASFxyz\x81\x95\xE0\xFC\x5C\x40";
        std::string text;
        for (size_t i = 0; i < length; ++i)
            text += Below(4) == 0 ? static_cast<char>(Below(256)) : kAlphabet[Below(kAlphabet.size())];
        return text;
    }

    // A location of the given length, whose byte at the 259-byte cut is a lead byte at times.
    std::string Location(size_t length)
    {
        std::string text = "http://h/" + std::string(length > 9 ? length - 9 : 0, 'x');
        if (Below(2) && text.size() > 259) text[258] = '\x95';
        return text;
    }

    std::string Line()
    {
        switch (Below(9)) {
        case 0: return "#EXTM3U";
        case 1: return "#EXTINF:" + std::to_string(static_cast<int>(Below(2000)) - 1000) + "," + Bytes(Length());
        case 2: return "#EXTINF:" + Bytes(Below(12));
        case 3: return std::string(Below(3), ' ') + Location(Length());
        case 4: return std::string(Below(2), '\t') + kLocalNames[Below(3)];
        case 5: return (Below(2) ? "ASF " : "") + std::string(kLocalNames[Below(3)]);
        case 6: return Bytes(Length());
        case 7: return std::string(Below(2) ? "#" : "") + Bytes(Below(20));
        default: return "";
        }
    }

    // Lines joined with random line ends; the last one may have none.
    std::string Text()
    {
        std::string text = Below(8) == 0 ? "\xEF\xBB\xBF" : "";
        for (size_t i = 0, lines = 1 + Below(12); i < lines; ++i) {
            text += Line();
            if (i + 1 < lines || Below(2)) text += Below(2) ? "\r\n" : "\n";
        }
        return text;
    }

    std::vector<size_t> Pieces(size_t total)
    {
        std::vector<size_t> cuts;
        for (size_t at = 0; at < total;) {
            size_t piece = 1 + Below(Below(2) ? 8 : 400);
            cuts.push_back(piece);
            at += piece;
        }
        return cuts;
    }

private:
    std::mt19937 random_;
};

bool Inside(std::string_view part, std::string_view whole)
{
    return part.empty() || (part.data() >= whole.data() && part.data() + part.size() <= whole.data() + whole.size());
}

std::string FullPath(const std::string& name)
{
    char full[MAX_PATH * 4];
    DWORD length = GetFullPathNameA(name.c_str(), sizeof full, full, nullptr);
    return length > 0 && length < sizeof full ? std::string(full, length) : name;
}

// Every name a whole line of the text could give: the line after its blanks, the rest of an
// "ASF " line, and their full paths.
std::set<std::string> PossibleNames(std::string text)
{
    if (text.rfind("\xEF\xBB\xBF", 0) == 0) text.erase(0, 3);
    std::set<std::string> names;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (end != std::string::npos && !line.empty() && line.back() == '\r') line.pop_back();
        size_t first = line.find_first_not_of(" \t");
        if (first != std::string::npos) {
            std::string rest = line.substr(first);
            for (const std::string& name : {rest, rest.size() > 4 ? rest.substr(4) : rest}) {
                names.insert(name);
                names.insert(FullPath(name));
            }
        }
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return names;
}

struct Stored {
    std::string name, title;
    int32_t length;
    bool operator==(const Stored& o) const { return name == o.name && title == o.title && length == o.length; }
};

std::vector<Stored> Read(std::string_view text, const std::vector<size_t>& pieces)
{
    PlaylistClear();
    M3UTextReader reader(ListOrigin::kLocal, false);
    size_t at = 0;
    for (size_t piece : pieces) {
        reader.Feed(text.substr(at, piece));
        at += piece;
    }
    reader.Finish();
    EXPECT_EQ(reader.Added(), engine.entryCount);
    std::vector<Stored> stored;
    for (int32_t i = 0; i < engine.entryCount; ++i) {
        const PlaylistEntry& entry = engine.entries[static_cast<size_t>(i)];
        // Within the limits of the 260-byte name and the 400-byte title.
        EXPECT_LT(strlen(entry.filename), static_cast<size_t>(kFileNameSize));
        EXPECT_LT(strlen(entry.title), static_cast<size_t>(kTitleSize));
        stored.push_back({entry.filename, entry.title, entry.length});
    }
    return stored;
}

}  // namespace

TEST(ListFuzz, LineClassificationStaysInsideItsLine)
{
    Generator generate(kSeed);
    int tried = 0;
    for (; tried < kLineInputs; ++tried) {
        const std::string line = generate.Below(2) ? generate.Line() : generate.Bytes(generate.Length());
        const M3ULine parsed = ClassifyM3ULine(line);
        ASSERT_TRUE(Inside(parsed.title, line) && Inside(parsed.name, line)) << line;
        ASSERT_EQ(parsed.kind == M3ULineKind::kHeader, line.rfind("#EXTM3U", 0) == 0) << line;
        if (parsed.kind == M3ULineKind::kEntry) {
            ASSERT_FALSE(parsed.name.empty());
            ASSERT_EQ(parsed.name.data() + parsed.name.size(), line.data() + line.size());
        }
        if (parsed.kind != M3ULineKind::kEntry) {
            ASSERT_TRUE(parsed.name.empty());
        }
        if (parsed.kind != M3ULineKind::kInfo) {
            ASSERT_TRUE(parsed.title.empty() && parsed.length == -1);
        }
    }
    std::printf("[ fuzz     ] %d generated lines classified (code page %u)\n", tried, GetACP());
}

TEST(ListFuzz, ReaderAddsOnlyWholeLinesWhateverThePieces)
{
    ScratchFolder folder("fuzz");
    for (const char* name : kLocalNames) folder.Touch(name);
    CurrentDirectoryGuard guard;
    SetCurrentDirectoryA(folder.Path().c_str());

    Generator generate(kSeed + 1);
    int tried = 0, entries = 0;
    for (; tried < kTextInputs; ++tried) {
        const std::string text = generate.Text();
        const std::vector<Stored> whole = Read(text, {text.size()});
        const std::set<std::string> possible = PossibleNames(text);
        for (const Stored& entry : whole) {
            ASSERT_LE(entry.name.size(), 259u);
            ASSERT_TRUE(possible.count(entry.name)) << "not a whole line: " << entry.name << "\nin: " << text;
            ASSERT_LE(entry.title.size(), 259u);
        }
        entries += static_cast<int>(whole.size());
        ASSERT_TRUE(Read(text, generate.Pieces(text.size())) == whole) << text;
    }
    PlaylistClear();
    std::printf("[ fuzz     ] %d generated lists read whole and in pieces, %d entries (code page %u)\n", tried,
                entries, GetACP());
    EXPECT_GT(entries, kTextInputs / 2);
}
