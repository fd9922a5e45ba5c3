// The playlist store: long lists through growth and shrinking, position moves, reads out of
// range, delete and swap with the current entry kept current, title sort and randomize.
#include <algorithm>
#include <climits>
#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "playlist/playlist_edit.h"
#include "playlist/playlist_position.h"
#include "playlist/playlist_reorder.h"
#include "playlist/shuffle_order.h"
#include "playlist_fixture.h"

namespace {

using Store = PlaylistTest;

// The array always has room for the entries, the capacity field tells its true size, and the
// memory stays within a few times what the list holds.
void ExpectBoundedArray()
{
    const int32_t count = PlaylistCount();
    EXPECT_EQ(engine.entries.size(), static_cast<size_t>(engine.entryCapacity));
    EXPECT_LE(count, engine.entryCapacity);
    EXPECT_LE(engine.entryCapacity, std::max(count + 256, 3 * count + 2)) << "count " << count;
}

// A small deterministic generator, so that a failure repeats.
class Draws {
public:
    int32_t Below(int32_t bound)
    {
        state_ = state_ * 1103515245u + 12345u;
        return static_cast<int32_t>((state_ >> 8) % static_cast<uint32_t>(bound));
    }

private:
    uint32_t state_ = 2024;
};

}  // namespace

// A long list grows and shrinks under a container's appends and deletes: every entry keeps its
// fields and its place, the current entry stays current, and the memory follows the list down.
TEST_F(Store, LongListsKeepEveryEntryThroughGrowthAndShrinking)
{
    std::vector<std::string> model;
    for (int i = 0; i < 3000; ++i) {
        std::string title = std::to_string(i);
        ASSERT_EQ(PlaylistAppendRecord(("C:\\music\\" + title + ".wav").c_str(), title.c_str(), i,
                                       100 - i % 50, i), 0);
        model.push_back(title);
        if (i == 1000) PlaylistSetPos(1000);
    }
    EXPECT_EQ(Titles(), model);
    EXPECT_EQ(CurrentTitle(), "1000");
    for (int i = 0; i < 3000; ++i) {
        char name[kFileNameSize];
        char title[kTitleSize];
        ASSERT_EQ(PlaylistGetEntry(i, name, sizeof name, title, sizeof title), 0);
        ASSERT_EQ(std::string(name), "C:\\music\\" + model[i] + ".wav");
        ASSERT_EQ(EntryLength(i), i);
        ASSERT_EQ(engine.entries[i].volumePercent, 100 - i % 50);
        ASSERT_EQ(engine.entries[i].duration, i);
    }
    ExpectBoundedArray();

    // Deletes from the end, now and then one at a random place, down to ten entries.
    Draws draws;
    std::string current = CurrentTitle();
    while (model.size() > 10) {
        const int32_t count = static_cast<int32_t>(model.size());
        const int32_t position = count % 97 == 0 ? draws.Below(count) : count - 1;
        if (model[position] == current) current = position + 1 < count ? model[position + 1] : model[position - 1];
        model.erase(model.begin() + position);
        PlaylistDeleteAt(position);
        ASSERT_EQ(PlaylistCount(), static_cast<int32_t>(model.size()));
        ASSERT_EQ(CurrentTitle(), current);
        ExpectBoundedArray();
    }
    EXPECT_EQ(Titles(), model);

    // And grows again from there.
    for (int i = 0; i < 500; ++i) {
        Append("again " + std::to_string(i));
        model.push_back("again " + std::to_string(i));
    }
    EXPECT_EQ(Titles(), model);
    EXPECT_EQ(CurrentTitle(), current);
    ExpectBoundedArray();
}

// The texts of entries live in blocks: titles replaced again and again (a station's titles over
// days) and entries deleted and appended leave every entry reading its own name and title, and
// the blocks stay within about twice what the entries use.
TEST_F(Store, ReplacedAndDeletedTextsAreGivenBack)
{
    std::vector<std::pair<std::string, std::string>> model;
    for (int i = 0; i < 1000; ++i) {
        const std::string name = "C:\\music\\folder " + std::to_string(i % 7) + "\\song " + std::to_string(i) + ".mp3";
        ASSERT_EQ(PlaylistAppendRecord(name.c_str(), name.c_str() + 9, -1, kPlainEntryVolume, kNoDurationLimit), 0);
        model.push_back({name, name.substr(9)});
    }
    auto expectModel = [&](int round) {
        ASSERT_EQ(PlaylistCount(), static_cast<int32_t>(model.size())) << round;
        size_t used = 0;
        for (int32_t i = 0; i < PlaylistCount(); ++i) {
            ASSERT_EQ(engine.entries[i].filename, model[i].first) << round << " entry " << i;
            ASSERT_EQ(engine.entries[i].title, model[i].second) << round << " entry " << i;
            used += model[i].first.size() + model[i].second.size() + 2;
        }
        EXPECT_EQ(engine.entryTexts.UsedBytes(), used) << round;
        EXPECT_LE(engine.entryTexts.HeldBytes(), 2 * used + 3 * 65536) << round;
    };
    Draws draws;
    for (int round = 0; round < 20000; ++round) {
        const int32_t at = draws.Below(PlaylistCount());
        const std::string title = "Now playing: artist " + std::to_string(round) + " - " + std::string(round % 300, 't');
        ASSERT_EQ(PlaylistSetTitle(at, title.c_str()), 0);
        model[at].second = title;
        if (round % 10 == 0) {
            PlaylistDeleteAt(at);
            model.erase(model.begin() + at);
            const std::string name = "http://radio.example/" + std::to_string(round);
            ASSERT_EQ(PlaylistAppendRecord(name.c_str(), "", -1, kPlainEntryVolume, kNoDurationLimit), 0);
            model.push_back({name, ""});
        }
        if (round % 2500 == 0) expectModel(round);
    }
    expectModel(20000);

    // A replaced title is cut as an appended one is; no entry, no title.
    ASSERT_EQ(PlaylistSetTitle(3, std::string(450, 'x').c_str()), 0);
    EXPECT_EQ(std::string(engine.entries[3].title), std::string(kTitleSize - 1, 'x'));
    EXPECT_EQ(PlaylistSetTitle(PlaylistCount(), "none"), -1);
    EXPECT_EQ(PlaylistSetTitle(-1, "none"), -1);
}

// Deleting the last entry of a short list keeps its array; an empty list then changes nothing,
// and without an array the delete reports -1.
TEST_F(Store, DeleteOnShortAndEmptyLists)
{
    Append("only");
    EXPECT_EQ(PlaylistDeleteCurrent(), 0);
    EXPECT_EQ(PlaylistCount(), 0);
    EXPECT_FALSE(engine.entries.empty());
    EXPECT_EQ(engine.currentIndex, -1);
    EXPECT_EQ(PlaylistDeleteCurrent(), 0);
    EXPECT_EQ(PlaylistCount(), 0);
    EXPECT_FALSE(engine.entries.empty());
    Append("next");
    EXPECT_EQ(Titles(), std::vector<std::string>{"next"});
    PlaylistClear();
    EXPECT_EQ(PlaylistDeleteCurrent(), -1);
}

// A delete that leaves a large array without entries releases it and reports 1; the store then
// starts again as new.
TEST_F(Store, DeleteReportsAReleasedArray)
{
    Append("only");
    ASSERT_EQ(ReserveEntries(1000), 0);
    EXPECT_EQ(PlaylistDeleteCurrent(), 1);
    EXPECT_TRUE(engine.entries.empty());
    EXPECT_EQ(engine.entryCapacity, 0);
    Append("after");
    EXPECT_EQ(Titles(), std::vector<std::string>{"after"});
}

// A clear releases everything and resets the position.
TEST_F(Store, ClearEmptiesTheStore)
{
    AppendNumbered(3);
    PlaylistSetPos(2);
    PlaylistClear();
    EXPECT_EQ(PlaylistCount(), 0);
    EXPECT_EQ(engine.currentIndex, 0);
    EXPECT_TRUE(engine.entries.empty());
    EXPECT_EQ(engine.entryCapacity, 0);
}

// An appended record carries the stored name, the title, the numbers given and clear marks; the
// position does not move.
TEST_F(Store, AppendWritesOneWholeRecord)
{
    AppendNumbered(2);
    ASSERT_EQ(PlaylistAppendRecord("C:\\a.mp3", "A title", 215, 40, 30000), 0);
    const PlaylistEntry& entry = engine.entries[2];
    EXPECT_STREQ(entry.filename, "C:\\a.mp3");
    EXPECT_STREQ(entry.title, "A title");
    EXPECT_EQ(entry.length, 215);
    EXPECT_EQ(entry.volumePercent, 40);
    EXPECT_EQ(entry.duration, 30000);
    EXPECT_EQ(entry.sortMark, 0);
    EXPECT_EQ(engine.currentIndex, 0);
}

// Names and titles longer than their fields are cut to 259 and 399 characters.
TEST_F(Store, AppendCutsLongTexts)
{
    std::string name(300, 'n');
    std::string title(500, 't');
    ASSERT_EQ(PlaylistAppendRecord(name.c_str(), title.c_str(), -1, 100, -1), 0);
    EXPECT_EQ(std::string(engine.entries[0].filename), name.substr(0, 259));
    EXPECT_EQ(std::string(engine.entries[0].title), title.substr(0, 399));
}

// Appends and deletes mark the shuffle order stale; swap, sort, randomize and clear do not.
TEST_F(Store, OnlyAppendAndDeleteMarkTheShuffleOrderStale)
{
    ShuffleOrder& order = engine.shuffleOrder;
    order.stale = false;
    Append("b");
    EXPECT_TRUE(order.stale);
    Append("a");
    Append("c");
    order.stale = false;
    PlaylistSwap(0, 1);
    PlaylistSortRange(0);
    PlaylistRandomizeEntries();
    PlaylistClear();
    EXPECT_FALSE(order.stale);
    AppendNumbered(2);
    order.stale = false;
    PlaylistDeleteCurrent();
    EXPECT_TRUE(order.stale);
}

// Steps past either end stay on that end and report -1; a zero step reports without clamping.
TEST_F(Store, StepsClampAtTheEnds)
{
    AppendNumbered(3);
    PlaylistSetPos(2);
    EXPECT_EQ(PlaylistStep(1), -1);
    EXPECT_EQ(engine.currentIndex, 2);
    EXPECT_EQ(PlaylistStep(-1), 1);
    PlaylistSetPos(0);
    EXPECT_EQ(PlaylistStep(-1), -1);
    EXPECT_EQ(engine.currentIndex, 0);
    EXPECT_EQ(PlaylistStep(1000000000), -1);
    EXPECT_EQ(engine.currentIndex, 2);
    EXPECT_EQ(PlaylistStep(-1000000000), -1);
    EXPECT_EQ(engine.currentIndex, 0);
    EXPECT_EQ(PlaylistStep(2), 2);
    EXPECT_EQ(PlaylistStep(0), 2);
}

// Extreme deltas clamp like any other instead of overflowing the position.
TEST_F(Store, ExtremeStepsClamp)
{
    AppendNumbered(3);
    PlaylistSetPos(2);
    EXPECT_EQ(PlaylistStep(INT_MAX), -1);
    EXPECT_EQ(engine.currentIndex, 2);
    EXPECT_EQ(PlaylistStep(INT_MIN), -1);
    EXPECT_EQ(engine.currentIndex, 0);
}

// On an empty list a zero step keeps the position, and moves leave it at -1 or 0.
TEST_F(Store, StepsOnAnEmptyList)
{
    EXPECT_EQ(PlaylistStep(0), 0);
    EXPECT_EQ(PlaylistStep(1), -1);
    EXPECT_EQ(engine.currentIndex, -1);
    EXPECT_EQ(PlaylistStep(0), -1);
    PlaylistSetPos(0);
    EXPECT_EQ(engine.currentIndex, 0);
    PlaylistSetPos(-5);
    EXPECT_EQ(engine.currentIndex, 0);
    PlaylistSetPos(3);
    EXPECT_EQ(engine.currentIndex, -1);
}

// Setting the position clamps into the list.
TEST_F(Store, SetPosClamps)
{
    AppendNumbered(4);
    PlaylistSetPos(10);
    EXPECT_EQ(engine.currentIndex, 3);
    PlaylistSetPos(-5);
    EXPECT_EQ(engine.currentIndex, 0);
    PlaylistSetPos(2);
    EXPECT_EQ(engine.currentIndex, 2);
}

// Reads at -1 and at the count give the neutral values and leave the buffers untouched.
TEST_F(Store, ReadsOutOfRangeGiveNeutralValues)
{
    char name[kFileNameSize] = "untouched";
    char title[kTitleSize] = "untouched";
    EXPECT_EQ(PlaylistGetEntry(0, name, sizeof name, title, sizeof title), 1);
    EXPECT_EQ(EntryLength(0), -1);
    EXPECT_EQ(CurrentVolume(), 100);
    EXPECT_EQ(CurrentDuration(), -1);
    AppendNumbered(3);
    for (int index : {-1, 3}) {
        EXPECT_EQ(PlaylistGetEntry(index, name, sizeof name, title, sizeof title), 1);
        EXPECT_EQ(EntryLength(index), -1);
    }
    EXPECT_STREQ(name, "untouched");
    EXPECT_STREQ(title, "untouched");
    engine.currentIndex = 3;
    EXPECT_EQ(CurrentVolume(), 100);
    EXPECT_EQ(CurrentDuration(), -1);
    engine.currentIndex = -1;
    EXPECT_EQ(CurrentVolume(), 100);
}

// Reads of an entry fill the buffers given, cut to their size; null buffers are allowed.
TEST_F(Store, ReadsOfAnEntry)
{
    ASSERT_EQ(PlaylistAppendRecord("C:\\x.mp3", std::string(399, 't').c_str(), 215, 40, 30000), 0);
    char name[kFileNameSize];
    char title[kTitleSize];
    char shortTitle[kFileNameSize];
    ASSERT_EQ(PlaylistGetEntry(0, name, sizeof name, title, sizeof title), 0);
    EXPECT_STREQ(name, "C:\\x.mp3");
    EXPECT_EQ(std::strlen(title), 399u);
    ASSERT_EQ(PlaylistGetEntry(0, nullptr, 0, shortTitle, sizeof shortTitle), 0);
    EXPECT_EQ(std::strlen(shortTitle), 259u);
    EXPECT_EQ(PlaylistGetEntry(0, nullptr, 0, nullptr, 0), 0);
    EXPECT_EQ(EntryLength(0), 215);
    EXPECT_EQ(CurrentVolume(), 40);
    EXPECT_EQ(CurrentDuration(), 30000);
}

// Deleting before the current entry keeps it current, one index lower.
TEST_F(Store, DeleteBeforeTheCurrentEntryKeepsIt)
{
    AppendNumbered(5);
    PlaylistSetPos(3);
    PlaylistDeleteAt(1);
    EXPECT_EQ(Titles(), (std::vector<std::string>{"0", "2", "3", "4"}));
    EXPECT_EQ(engine.currentIndex, 2);
    EXPECT_EQ(CurrentTitle(), "3");
    PlaylistDeleteAt(3);
    EXPECT_EQ(CurrentTitle(), "3");
}

// Deleting the current entry makes the following one current; the current last entry gives way
// to the new last entry.
TEST_F(Store, DeleteOfTheCurrentEntry)
{
    AppendNumbered(5);
    PlaylistSetPos(2);
    PlaylistDeleteAt(2);
    EXPECT_EQ(engine.currentIndex, 2);
    EXPECT_EQ(CurrentTitle(), "3");
    PlaylistSetPos(3);
    PlaylistDeleteAt(3);
    EXPECT_EQ(engine.currentIndex, 2);
    EXPECT_EQ(Titles(), (std::vector<std::string>{"0", "1", "3"}));
}

// Positions out of range are clamped: 99 on five entries removes entry 4, a negative one entry 0.
TEST_F(Store, DeleteAtClampsThePosition)
{
    AppendNumbered(5);
    PlaylistSetPos(1);
    PlaylistDeleteAt(99);
    EXPECT_EQ(Titles(), (std::vector<std::string>{"0", "1", "2", "3"}));
    EXPECT_EQ(CurrentTitle(), "1");
    PlaylistDeleteAt(-3);
    EXPECT_EQ(Titles(), (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_EQ(CurrentTitle(), "1");
    PlaylistClear();
    PlaylistDeleteAt(0);
    EXPECT_EQ(PlaylistCount(), 0);
    EXPECT_EQ(engine.currentIndex, 0);
}

// With the position left at -1 by a move on an empty list, a delete of the current entry changes
// nothing rather than moving records to index -1.
TEST_F(Store, DeleteWithoutACurrentEntryChangesNothing)
{
    PlaylistStep(1);
    AppendNumbered(3);
    ASSERT_EQ(engine.currentIndex, -1);
    EXPECT_EQ(PlaylistDeleteCurrent(), 0);
    EXPECT_EQ(Titles(), (std::vector<std::string>{"0", "1", "2"}));
}

// A swap exchanges whole records only when both indexes name entries and differ.
TEST_F(Store, SwapNeedsTwoEntries)
{
    AppendNumbered(3);
    engine.entries[0].length = 7;
    PlaylistSwap(0, 2);
    EXPECT_EQ(Titles(), (std::vector<std::string>{"2", "1", "0"}));
    EXPECT_EQ(engine.entries[2].length, 7);
    EXPECT_STREQ(engine.entries[2].filename, "C:\\music\\0.wav");
    for (auto pair : {std::pair{1, 1}, {-1, 1}, {1, 3}}) PlaylistSwap(pair.first, pair.second);
    EXPECT_EQ(Titles(), (std::vector<std::string>{"2", "1", "0"}));
}

// Swapping the current entry moves the position with it; the position moves (clamped) even when
// the swap itself is refused.
TEST_F(Store, SwapItemsKeepsTheCurrentEntry)
{
    AppendNumbered(3);
    PlaylistSwapItemsKeepingCurrent(0, 7);
    EXPECT_EQ(Titles(), (std::vector<std::string>{"0", "1", "2"}));
    EXPECT_EQ(engine.currentIndex, 2);
    PlaylistSwapItemsKeepingCurrent(0, 2);
    EXPECT_EQ(engine.currentIndex, 0);
    EXPECT_EQ(CurrentTitle(), "2");
    PlaylistSetPos(1);
    PlaylistSwapItemsKeepingCurrent(0, 2);
    EXPECT_EQ(engine.currentIndex, 1);
}

// 'b', 'A', 'a' with 'b' current: both a's first in either order, 'b' last and still current.
TEST_F(Store, SortKeepsTheCurrentEntryCurrent)
{
    Append("b");
    Append("A");
    Append("a");
    PlaylistSortRange(0);
    std::vector<std::string> titles = Titles();
    EXPECT_EQ(titles[2], "b");
    EXPECT_TRUE((titles[0] == "A" && titles[1] == "a") || (titles[0] == "a" && titles[1] == "A"));
    EXPECT_EQ(engine.currentIndex, 2);
}

// Case is folded to lower case, bytes compare unsigned, a prefix sorts first; only the range
// from first to the end is sorted.
TEST_F(Store, SortOrder)
{
    for (const char* title : {"zz", "\xE9t\xE9", "Z", "_", "abc", "ab"}) Append(title);
    PlaylistSetPos(4);
    PlaylistSortRange(1);
    EXPECT_EQ(Titles(), (std::vector<std::string>{"zz", "_", "ab", "abc", "Z", "\xE9t\xE9"}));
    EXPECT_EQ(CurrentTitle(), "abc");
}

// A long list with many equal titles comes out exactly as the library quicksort arranges the
// records themselves (equal titles included), and the current entry stays current.
TEST_F(Store, SortOfALongListMatchesTheLibraryQuicksort)
{
    for (int i = 0; i < 2000; ++i) {
        std::string title = (i % 3 ? "Title " : "title ") + std::to_string((i * 7919) % 37);
        ASSERT_EQ(PlaylistAppendRecord(("C:\\music\\" + std::to_string(i) + ".wav").c_str(), title.c_str(), i,
                                       kPlainEntryVolume, kNoDurationLimit), 0);
    }
    PlaylistSetPos(1234);
    std::vector<PlaylistEntry> expected(engine.entries.begin() + 5, engine.entries.begin() + 2000);
    std::qsort(expected.data(), expected.size(), sizeof(PlaylistEntry), [](const void* left, const void* right) {
        auto a = reinterpret_cast<const unsigned char*>(static_cast<const PlaylistEntry*>(left)->title);
        auto b = reinterpret_cast<const unsigned char*>(static_cast<const PlaylistEntry*>(right)->title);
        for (;; ++a, ++b) {
            int difference = std::tolower(*a) - std::tolower(*b);
            if (difference != 0 || *a == 0) return difference;
        }
    });
    PlaylistSortRange(5);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(EntryLength(i), i);
    for (size_t i = 0; i < expected.size(); ++i) {
        ASSERT_STREQ(engine.entries[i + 5].filename, expected[i].filename) << "position " << i + 5;
    }
    EXPECT_EQ(EntryLength(engine.currentIndex), 1234);
}

// Sorting needs two entries and a first index inside the list.
TEST_F(Store, SortRangeOutsideTheListDoesNothing)
{
    Append("b");
    PlaylistSortRange(0);
    Append("a");
    for (int first : {2, 5, -1}) PlaylistSortRange(first);
    EXPECT_EQ(Titles(), (std::vector<std::string>{"b", "a"}));
    PlaylistSortRange(1);
    EXPECT_EQ(Titles(), (std::vector<std::string>{"b", "a"}));
}

// One entry: randomize calls rand() not at all.
TEST_F(Store, RandomizeOneEntryDrawsNothing)
{
    std::srand(11);
    int first = std::rand();
    Append("only");
    std::srand(11);
    PlaylistRandomizeEntries();
    EXPECT_EQ(std::rand(), first);
}

// Two entries: two rand() calls, and the entries change places unless the second value is even.
TEST_F(Store, RandomizeTwoEntries)
{
    bool sawExchange = false;
    bool sawKeep = false;
    for (unsigned seed = 1; seed <= 12; ++seed) {
        PlaylistClear();
        AppendNumbered(2);
        std::srand(seed);
        std::rand();
        bool exchanged = std::rand() % 2 != 0;
        int third = std::rand();
        std::srand(seed);
        PlaylistRandomizeEntries();
        EXPECT_EQ(std::rand(), third);
        EXPECT_EQ(Titles(), exchanged ? (std::vector<std::string>{"1", "0"})
                                      : (std::vector<std::string>{"0", "1"}));
        EXPECT_EQ(CurrentTitle(), "0");
        (exchanged ? sawExchange : sawKeep) = true;
    }
    EXPECT_TRUE(sawExchange && sawKeep);
}

// Longer lists follow the rule exactly: two draws per step, the current entry stays current.
TEST_F(Store, RandomizeFollowsTheDrawRule)
{
    const int count = 7;
    for (unsigned seed : {3u, 42u, 1234u}) {
        PlaylistClear();
        AppendNumbered(count);
        PlaylistSetPos(seed % count);
        std::string current = CurrentTitle();
        std::vector<std::string> expected = Titles();
        std::srand(seed);
        for (int i = 0; i + 1 < count; ++i) {
            int j = i + 1 + std::rand() % (count - i - 1);
            if (std::rand() % (count - i) != 0) std::swap(expected[i], expected[j]);
        }
        int next = std::rand();
        std::srand(seed);
        PlaylistRandomizeEntries();
        EXPECT_EQ(std::rand(), next);
        EXPECT_EQ(Titles(), expected);
        EXPECT_EQ(CurrentTitle(), current);
    }
}
