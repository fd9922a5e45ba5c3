// NextTrack and PreviousTrack as a container sees them: the entry made current, event 2, and the
// play-or-stop step, with shuffle and repeat on and off; the shuffle order's walk, its rebuild after
// edits, and what PlaylistPos, sorting and randomizing leave of it.
#include <windows.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/player_case.h"

namespace {

using Events = std::vector<long>;

class Navigation : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(player_.Layout().AddInput("IN_OK.DLL", {"extensions=OK|Playable files", "log=0"}));
        ASSERT_TRUE(player_.Layout().AddOutput("OUT_KV.DLL"));
        ASSERT_TRUE(player_.Start());
    }
    void AppendEntries(int count)
    {
        for (int i = 0; i < count; ++i) {
            int n = player_.Control()->get_Nb_Playlist_Items(&last_) == S_OK ? last_ : 0;
            ASSERT_EQ(player_.Append(player_.MakeFile(L"e" + std::to_wstring(n) + L".ok")), S_OK);
        }
        player_.TakeEvents();
    }
    void Set(const wchar_t* property, long value) { player_.Call().Put(property, DispatchCall::Long(value)); }
    long Position() { return player_.Call().GetLong(L"PlaylistPos"); }
    // NextTrack (or PreviousTrack) and the events it fired.
    Events Next()
    {
        EXPECT_EQ(player_.Control()->NextTrack(), S_OK);
        return player_.TakeEvents();
    }
    Events Previous(HRESULT expected = S_OK)
    {
        EXPECT_EQ(player_.Control()->PreviousTrack(), expected);
        return player_.TakeEvents();
    }
    // Steps with NextTrack until it fires nothing; the positions it visited.
    std::vector<long> WalkToTheEnd()
    {
        std::vector<long> visited;
        for (int guard = 0; guard < 100 && !Next().empty(); ++guard) visited.push_back(Position());
        return visited;
    }

    PlayerCase player_{L"navigation"};
    LONG last_ = 0;
};

}  // namespace

TEST_F(Navigation, WithoutShuffleNextAndPreviousStepAndWrapWithRepeat)
{
    AppendEntries(3);
    Set(L"PlaylistPos", 2);
    player_.TakeEvents();
    EXPECT_EQ(Next(), Events{});
    EXPECT_EQ(Position(), 2);
    Set(L"Repeat", 1);
    EXPECT_EQ(Next(), Events{2});
    EXPECT_EQ(Position(), 0);
    EXPECT_EQ(player_.CurrentTitle(), L"1. e0.ok");
    EXPECT_EQ(Previous(), Events{2});
    EXPECT_EQ(Position(), 2);
    EXPECT_EQ(Previous(), Events{2});
    EXPECT_EQ(Position(), 1);
    Set(L"Repeat", 0);
    Set(L"PlaylistPos", 0);
    player_.TakeEvents();
    EXPECT_EQ(Previous(), Events{});
    EXPECT_EQ(Position(), 0);

    // Playing: the new entry starts (Play's events follow event 2); stopped: it only becomes current.
    player_.Control()->Play();
    player_.TakeEvents();
    player_.TakeCalls();
    EXPECT_EQ(Next(), (Events{2, 1, 4}));
    EXPECT_EQ(player_.Call().GetLong(L"Status"), 1);
    player_.Control()->Stop();
    EXPECT_EQ(Previous(), Events{2});
    EXPECT_EQ(player_.Call().GetLong(L"Status"), 0);

    // An empty list: with repeat, position 0 (no entry) is made current all the same.
    player_.Control()->ClearPlaylist();
    EXPECT_EQ(Next(), Events{});
    Set(L"Repeat", 1);
    EXPECT_EQ(Next(), Events{2});
    EXPECT_EQ(player_.CurrentTitle(), L"");
}

TEST_F(Navigation, ShuffleWalksOnePermutationAndReplaysItWithRepeat)
{
    AppendEntries(6);
    Set(L"Shuffle", 1);
    std::vector<long> first = WalkToTheEnd();
    // The first step never stays on the entry that was current; every entry comes once.
    ASSERT_GE(first.size(), 5u);
    EXPECT_NE(first.front(), 0);
    std::set<long> all(first.begin(), first.end());
    all.insert(0);
    EXPECT_EQ(all.size(), 6u);
    EXPECT_EQ(std::set<long>(first.begin(), first.end()).size(), first.size());

    // The whole order: its first place held entry 0 when the walk skipped it.
    std::vector<long> order = first;
    if (order.size() == 5) order.insert(order.begin(), 0);

    // Backwards through the same order, then S_FALSE at its first place, with no event.
    for (size_t i = order.size() - 1; i > 0; --i) {
        EXPECT_EQ(Previous(), Events{2});
        EXPECT_EQ(Position(), order[i - 1]);
    }
    EXPECT_EQ(Previous(S_FALSE), Events{});

    // Walk to the end again; with repeat the same order is replayed from its first place.
    WalkToTheEnd();
    Set(L"Repeat", 1);
    std::vector<long> replay;
    for (size_t i = 0; i < order.size(); ++i) {
        EXPECT_EQ(Next(), Events{2});
        replay.push_back(Position());
    }
    EXPECT_EQ(replay, order);
}

TEST_F(Navigation, EditsRebuildTheShuffleOrderButMovesAndReorderingDoNot)
{
    AppendEntries(5);
    Set(L"Shuffle", 1);
    std::vector<long> order = WalkToTheEnd();
    ASSERT_GE(order.size(), 4u);
    // Sorting keeps the order: after the end it still fires nothing.
    player_.Control()->PlaylistSort();
    player_.Control()->PlaylistRandomize();
    player_.TakeEvents();
    EXPECT_EQ(Next(), Events{});

    // PlaylistPos does not move the place in the order: Previous continues from where it was.
    Set(L"PlaylistPos", order[0]);
    player_.TakeEvents();
    EXPECT_EQ(Previous(), Events{2});
    EXPECT_EQ(Position(), order[order.size() - 2]);

    // An append makes the next step rebuild (and start walking again); so does a delete. The
    // first step of a new order never stays on the current entry.
    for (int round = 0; round < 10; ++round) {
        WalkToTheEnd();
        if (round % 2 == 0) {
            AppendEntries(1);
        } else {
            player_.Control()->DeletePlaylistItem(0);
            player_.TakeEvents();
        }
        long before = Position();
        EXPECT_EQ(Next(), Events{2}) << "round " << round;
        EXPECT_NE(Position(), before) << "round " << round;
    }
}

TEST_F(Navigation, ShuffleWithOneEntryRestartsItWhilePlaying)
{
    AppendEntries(1);
    Set(L"Shuffle", 1);
    Set(L"Repeat", 1);
    player_.Control()->Play();
    player_.TakeEvents();
    EXPECT_EQ(Next(), (Events{2, 1, 4}));
    EXPECT_EQ(Position(), 0);
    Set(L"Repeat", 0);
    EXPECT_EQ(Next(), Events{});
}
