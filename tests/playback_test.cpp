// Playback as a container drives it: Play, the automatic advance at the end of each track, the
// failed-start rules, Stop, Pause, Position, Length, Volume and Status, duration limits, and the
// input plugin's own threads calling the host services while the container edits the playlist.
#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/player_case.h"
#include "support/process_usage.h"
#include "win/variant.h"

namespace {

using Events = std::vector<long>;

// The arguments of every logged call of one kind ("play", "setVolume", ...), in order.
std::vector<std::string> Calls(const std::vector<std::string>& log, const std::string& call)
{
    std::vector<std::string> found;
    for (const std::string& line : log) {
        size_t space = line.find(' ');
        if (space == std::string::npos) continue;
        size_t end = line.find(' ', space + 1);
        if (line.compare(space + 1, end == std::string::npos ? std::string::npos : end - space - 1, call) != 0) continue;
        found.push_back(end == std::string::npos ? "" : line.substr(end + 1));
    }
    return found;
}

// The file names that play was called with, in order.
std::vector<std::string> Played(const std::vector<std::string>& log)
{
    std::vector<std::string> names;
    for (const std::string& arguments : Calls(log, "play")) {
        std::string name = arguments.substr(0, arguments.find(" output="));
        names.push_back(name.substr(name.find_last_of('\\') + 1));
    }
    return names;
}

class Playback : public testing::Test {
protected:
    // IN_OK.DLL plays *.ok (results per name from resultLines); OUT_KV.DLL is its output.
    void StartWith(const std::wstring& caseName, std::vector<std::string> inputLines)
    {
        player_ = std::make_unique<PlayerCase>(caseName);
        inputLines.insert(inputLines.begin(), "extensions=OK|Playable files");
        ASSERT_TRUE(player_->Layout().AddInput("IN_OK.DLL", inputLines));
        ASSERT_TRUE(player_->Layout().AddOutput("OUT_KV.DLL"));
        ASSERT_TRUE(player_->Start());
    }
    void AppendFiles(std::initializer_list<const wchar_t*> names)
    {
        for (const wchar_t* name : names) ASSERT_EQ(player_->Append(player_->MakeFile(name)), S_OK);
        player_->TakeCalls();
    }
    HRESULT Play() { return player_->Call().Method(L"Play"); }
    long Get(const wchar_t* property) { return player_->Call().GetLong(property); }
    // Posts the end of the playing track and runs the container's loop until it is handled.
    Events EndTrack()
    {
        player_->EndOfStream("IN_OK.DLL");
        player_->Pump();
        return player_->TakeEvents();
    }

    std::unique_ptr<PlayerCase> player_;
};

}  // namespace

// Play, the advance through the list, the end of the list with and without repeat, and the end of
// a track that a plugin reports twice or after it was stopped.
TEST_F(Playback, PlaysThroughTheListAndStopsAtItsEnd)
{
    StartWith(L"play_through", {});
    AppendFiles({L"a.ok", L"b.ok", L"c.ok"});

    EXPECT_EQ(Play(), S_OK);
    EXPECT_EQ(player_->TakeEvents(), (Events{1, 4}));
    EXPECT_EQ(Get(L"Status"), 1);
    EXPECT_EQ(player_->CurrentTitle(), L"1. a.ok");
    std::vector<std::string> calls = player_->TakeCalls();
    EXPECT_EQ(Played(calls), std::vector<std::string>{"a.ok"});
    EXPECT_EQ(Calls(calls, "setVolume"), std::vector<std::string>{"200"});
    EXPECT_EQ(Calls(calls, "setPan"), std::vector<std::string>{"0"});

    EXPECT_EQ(EndTrack(), (Events{2, 4, 1, 5}));
    EXPECT_EQ(Get(L"PlaylistPos"), 1);
    calls = player_->TakeCalls();
    EXPECT_EQ(Calls(calls, "stop").size(), 1u);
    EXPECT_EQ(Played(calls), std::vector<std::string>{"b.ok"});

    // A plugin that posts its end twice moves the list on once.
    player_->EndOfStream("IN_OK.DLL");
    EXPECT_EQ(EndTrack(), (Events{2, 4, 1, 5}));
    EXPECT_EQ(Get(L"PlaylistPos"), 2);
    EXPECT_EQ(Played(player_->TakeCalls()), std::vector<std::string>{"c.ok"});

    // The last entry without repeat: stopped, the position stays, no event 2.
    EXPECT_EQ(EndTrack(), (Events{1, 5}));
    EXPECT_EQ(Get(L"Status"), 0);
    EXPECT_EQ(Get(L"PlaylistPos"), 2);
    EXPECT_EQ(Calls(player_->TakeCalls(), "stop").size(), 1u);

    // An end reported after the engine stopped is stale: nothing moves.
    EXPECT_EQ(EndTrack(), Events{});
    EXPECT_EQ(Get(L"PlaylistPos"), 2);

    // With repeat the list starts over at entry 0.
    player_->Call().Put(L"Repeat", DispatchCall::Long(1));
    EXPECT_EQ(Play(), S_OK);
    EXPECT_EQ(EndTrack(), (Events{1, 4, 2, 4, 1, 5}));
    EXPECT_EQ(Get(L"PlaylistPos"), 0);
    EXPECT_EQ(Played(player_->TakeCalls()), (std::vector<std::string>{"c.ok", "a.ok"}));

    // Stop: the plugin stops, and an end it had already posted does not start the next entry.
    player_->EndOfStream("IN_OK.DLL");
    EXPECT_EQ(player_->Control()->Stop(), S_OK);
    EXPECT_EQ(EndTrack(), Events{});
    EXPECT_EQ(Get(L"Status"), 0);
    EXPECT_EQ(Get(L"PlaylistPos"), 0);
}

// Each way a start can fail, as the container sees it: the events, whether the next entry is tried,
// and the budget of one try per entry that carries over when a chain runs off the end of the list.
TEST_F(Playback, FailedStartsFireTheirEventsAndSkipWithinTheBudget)
{
    StartWith(L"failed_starts", {"result=r_refused|-31337", "result=r_one|1", "result=r_two|2",
                                 "result=r_odd|7", "result=r_bad|-1"});
    player_->Append(player_->Layout().Directory() + L"\\missing.ok");
    AppendFiles({L"r_refused.ok", L"r_one.ok", L"r_two.ok", L"r_odd.ok", L"nobody.xyz", L"fine.ok"});

    const std::vector<std::pair<long, Events>> expected{
        {0, {1, 104}}, {1, {1, 100}}, {2, {1}}, {3, {1}}, {4, {1, 102}}};
    for (const auto& [position, events] : expected) {
        player_->Call().Put(L"PlaylistPos", DispatchCall::Long(position));
        player_->TakeEvents();
        EXPECT_EQ(Play(), S_OK);
        player_->Pump();
        EXPECT_EQ(player_->TakeEvents(), events) << "entry " << position;
        EXPECT_EQ(Get(L"Status"), 0);
        EXPECT_EQ(Get(L"PlaylistPos"), position);
    }
    EXPECT_EQ(Played(player_->TakeCalls()),
              (std::vector<std::string>{"r_refused.ok", "r_one.ok", "r_two.ok", "r_odd.ok"}));

    // No plugin takes the file: 101 and 102, then the advance tries the next entry, which plays.
    player_->Call().Put(L"PlaylistPos", DispatchCall::Long(5));
    player_->TakeEvents();
    EXPECT_EQ(Play(), S_OK);
    EXPECT_EQ(player_->TakeEvents(), (Events{1, 101, 102}));
    player_->Pump();
    EXPECT_EQ(player_->TakeEvents(), (Events{2, 4, 1, 5}));
    EXPECT_EQ(Get(L"PlaylistPos"), 6);
    EXPECT_EQ(Get(L"Status"), 1);
    player_->Control()->Stop();

    // Three entries that all fail with -1: each tried once, then the engine stops.
    player_->Control()->ClearPlaylist();
    AppendFiles({L"r_bad1.ok", L"r_bad2.ok", L"r_bad3.ok"});
    player_->TakeEvents();
    EXPECT_EQ(Play(), S_OK);
    player_->Pump();
    EXPECT_EQ(player_->TakeEvents(), (Events{1, 102, 2, 102, 1, 5, 2, 102, 1, 5}));
    EXPECT_EQ(Played(player_->TakeCalls()), (std::vector<std::string>{"r_bad1.ok", "r_bad2.ok", "r_bad3.ok"}));
    // The budget is whole again: a new Play tries all three once more.
    player_->Call().Put(L"PlaylistPos", DispatchCall::Long(0));
    Play();
    player_->Pump();
    EXPECT_EQ(Played(player_->TakeCalls()).size(), 3u);

    // From entry 1 the chain runs off the end after two tries; the one try left carries over, so
    // the next Play tries its entry and stops without another advance.
    player_->Call().Put(L"PlaylistPos", DispatchCall::Long(1));
    player_->TakeEvents();
    Play();
    player_->Pump();
    EXPECT_EQ(player_->TakeEvents(), (Events{1, 102, 2, 102, 1, 5, 1, 5}));
    EXPECT_EQ(Get(L"PlaylistPos"), 2);
    Play();
    player_->Pump();
    EXPECT_EQ(player_->TakeEvents(), (Events{1, 102}));
    EXPECT_EQ(Played(player_->TakeCalls()), (std::vector<std::string>{"r_bad2.ok", "r_bad3.ok", "r_bad3.ok"}));
}

// Volume, pan, Position, Length, Pause and Status through the automation interface, and what the
// plugin is handed.
TEST_F(Playback, TransportMembersReachThePlayingPlugin)
{
    StartWith(L"transport", {"length=500"});
    std::wstring file = player_->MakeFile(L"quiet.ok");
    ASSERT_EQ(player_->AppendWithArgs(file, 29, -1), S_OK);
    AppendFiles({L"loud.ok"});

    // Nothing prepared yet: Length is unknown, Position 0, and setting the volume reaches no plugin.
    EXPECT_EQ(Get(L"Length"), -1);
    EXPECT_EQ(Get(L"Position"), 0);
    EXPECT_EQ(player_->Call().Put(L"Volume", DispatchCall::Long(300)), S_OK);
    EXPECT_EQ(Get(L"Volume"), 44);
    player_->Call().Put(L"Volume", DispatchCall::Long(200));
    EXPECT_TRUE(player_->TakeCalls().empty());

    // 29 % of 200 is 57.99...: the plugin gets 57.
    Play();
    EXPECT_EQ(Calls(player_->TakeCalls(), "setVolume"), std::vector<std::string>{"57"});
    EXPECT_EQ(Get(L"Length"), 1);  // 500 ms
    ASSERT_TRUE(player_->Layout().SetInputPosition("IN_OK.DLL", 7999));
    EXPECT_EQ(Get(L"Position"), 7);
    EXPECT_EQ(player_->Call().Put(L"Volume", DispatchCall::Long(300)), S_OK);
    EXPECT_EQ(Calls(player_->TakeCalls(), "setVolume"), std::vector<std::string>{"300"});
    EXPECT_EQ(Get(L"Volume"), 44);

    EXPECT_EQ(player_->Call().Method(L"Pause"), S_OK);
    EXPECT_EQ(Get(L"Status"), 2);
    EXPECT_EQ(player_->Call().Method(L"Pause"), S_OK);
    EXPECT_EQ(Get(L"Status"), 1);
    std::vector<std::string> calls = player_->TakeCalls();
    EXPECT_EQ(Calls(calls, "pause").size(), 1u);
    EXPECT_EQ(Calls(calls, "unpause").size(), 1u);

    // Stopped: Position reads 0, but setting it still seeks the plugin prepared last; pausing
    // a stopped engine does nothing. Play and Stop give the process the normal class, whatever
    // class the container gave it meanwhile.
    ASSERT_TRUE(SetPriorityClass(GetCurrentProcess(), HIGH_PRIORITY_CLASS));
    player_->Call().Method(L"Stop");
    EXPECT_EQ(GetPriorityClass(GetCurrentProcess()), static_cast<DWORD>(NORMAL_PRIORITY_CLASS));
    ASSERT_TRUE(SetPriorityClass(GetCurrentProcess(), HIGH_PRIORITY_CLASS));
    Play();
    EXPECT_EQ(GetPriorityClass(GetCurrentProcess()), static_cast<DWORD>(NORMAL_PRIORITY_CLASS));
    ASSERT_TRUE(SetPriorityClass(GetCurrentProcess(), HIGH_PRIORITY_CLASS));
    player_->Call().Method(L"Stop");
    EXPECT_EQ(GetPriorityClass(GetCurrentProcess()), static_cast<DWORD>(NORMAL_PRIORITY_CLASS));
    player_->TakeCalls();
    player_->TakeEvents();
    EXPECT_EQ(Get(L"Status"), 0);
    EXPECT_EQ(Get(L"Position"), 0);
    EXPECT_EQ(player_->Call().Put(L"Position", DispatchCall::Long(5)), S_OK);
    player_->Call().Method(L"Pause");
    EXPECT_EQ(Get(L"Status"), 0);
    calls = player_->TakeCalls();
    EXPECT_EQ(Calls(calls, "setPosition"), std::vector<std::string>{"5000"});
    EXPECT_TRUE(Calls(calls, "pause").empty());
}

// A stream's title changes while it plays: the plugin's status 210 has the control re-read the
// playing entry's title and length, and the display title, before TunaraMsgEvent 4 reaches the
// container. Stopped, a 210 only fires the event.
TEST_F(Playback, StatusTitleRefreshRereadsThePlayingEntry)
{
    StartWith(L"title_refresh", {"version=257", "info=radio|Radio - First|0", "info=second|Radio - Second song|183000"});
    AppendFiles({L"radio.ok"});
    Play();
    InputPluginRecord* record = player_->Layout().InputRecord("IN_OK.DLL");
    ASSERT_TRUE(record && record->sendStatusNotification);
    EXPECT_EQ(player_->CurrentTitle(), L"1. Radio - First");
    ASSERT_TRUE(player_->Layout().SetInputPlayingName("IN_OK.DLL", "second.ok"));
    player_->TakeEvents();
    record->sendStatusNotification(210, 0);
    EXPECT_EQ(player_->TakeEvents(), (Events{4}));
    EXPECT_EQ(player_->CurrentTitle(), L"1. Radio - Second song");
    Variant name, title, length;
    ASSERT_EQ(player_->Control()->GetPlaylistItem(0, name.Get(), title.Get(), length.Get()), S_OK);
    EXPECT_STREQ(title->bstrVal, L"Radio - Second song");
    EXPECT_EQ(length->lVal, 183);

    player_->Call().Method(L"Stop");
    ASSERT_TRUE(player_->Layout().SetInputPlayingName("IN_OK.DLL", "radio.ok"));
    player_->TakeEvents();
    record->sendStatusNotification(210, 0);
    EXPECT_EQ(player_->TakeEvents(), (Events{4}));
    ASSERT_EQ(player_->Control()->GetPlaylistItem(0, name.Get(), title.Get(), length.Get()), S_OK);
    EXPECT_STREQ(title->bstrVal, L"Radio - Second song");
}

// Length is the plugin's milliseconds in whole seconds, at least 1 unless it is -1 exactly.
TEST_F(Playback, LengthRoundsThePluginsMilliseconds)
{
    player_ = std::make_unique<PlayerCase>(L"lengths");
    const std::vector<std::pair<int, long>> lengths{{500, 1}, {0, 1}, {-1, 1}, {-1000, -1}, {215999, 215}};
    for (size_t i = 0; i < lengths.size(); ++i) {
        std::string n = std::to_string(i);
        ASSERT_TRUE(player_->Layout().AddInput("IN_L" + n + ".DLL",
                                               {"extensions=L" + n + "|Length", "length=" + std::to_string(lengths[i].first)}));
    }
    ASSERT_TRUE(player_->Layout().AddOutput("OUT_KV.DLL"));
    ASSERT_TRUE(player_->Start());
    for (size_t i = 0; i < lengths.size(); ++i) {
        player_->Control()->ClearPlaylist();
        player_->Append(player_->MakeFile(L"x.L" + std::to_wstring(i)));
        player_->Control()->Play();
        EXPECT_EQ(Get(L"Length"), lengths[i].second) << lengths[i].first << " ms";
    }
}

// An entry with a play limit is cut once the plugin's output time passes it: the plugin's own
// thread tests the limit, the container's loop stops the track and starts the next entry without
// event 2; the last entry just stops.
TEST_F(Playback, DurationLimitCutsTheTrackAndMovesOn)
{
    StartWith(L"duration_cut", {"version=257", "worker=1"});
    ASSERT_EQ(player_->AppendWithArgs(player_->MakeFile(L"limited.ok"), 100, 30000), S_OK);
    ASSERT_EQ(player_->AppendWithArgs(player_->MakeFile(L"last.ok"), 100, 1000), S_OK);
    player_->TakeCalls();
    Play();
    EXPECT_EQ(player_->TakeEvents(), (Events{1, 4}));

    // Not past the limit yet: nothing happens however long it plays.
    player_->Layout().SetInputPosition("IN_OK.DLL", 30000);
    player_->PumpUntil([] { return false; }, 300);
    EXPECT_EQ(Get(L"PlaylistPos"), 0);

    // Past it: however many cuts the thread posts, the list moves on by one entry.
    player_->Layout().SetInputPosition("IN_OK.DLL", 30001);
    ASSERT_TRUE(player_->PumpUntil([&] { return Get(L"PlaylistPos") == 1; }));
    // The new track starts at output time 1001 > 1000: it is cut at once and the engine stops on it.
    ASSERT_TRUE(player_->PumpUntil([&] { return Get(L"Status") == 0; }));
    player_->PumpUntil([] { return false; }, 300);
    EXPECT_EQ(Get(L"PlaylistPos"), 1);
    Events events = player_->TakeEvents();
    events.erase(std::remove(events.begin(), events.end(), 4), events.end());
    EXPECT_TRUE(events.empty()) << "only starts (event 4) may follow a cut";
    std::vector<std::string> calls = player_->TakeCalls();
    EXPECT_EQ(Played(calls), (std::vector<std::string>{"limited.ok", "last.ok"}));
    EXPECT_EQ(Calls(calls, "stop"), (std::vector<std::string>{"joined", "joined"}));
}

// A decoder thread calls the host services in a tight loop (duration tests, media values, status
// notifications) while the container appends, deletes, clears, stops and plays. Every stop ends
// the thread (a notification it sends while the host waits in stop must not deadlock), and the
// notifications reach the container as TunaraStatus.
TEST_F(Playback, PluginThreadsUseTheHostServicesWhileTheListChanges)
{
    StartWith(L"plugin_threads", {"version=257", "worker=1"});
    for (int round = 0; round < 20; ++round) {
        if (Get(L"Nb_Playlist_Items") == 0) player_->Append(player_->MakeFile(L"a.ok"));
        ASSERT_EQ(Play(), S_OK);
        for (int i = 0; i < 50; ++i) player_->Append(player_->MakeFile(L"b.ok"));
        player_->Pump();
        player_->Control()->DeletePlaylistItem(0);
        player_->Control()->DeletePlaylistItem(10);
        player_->Control()->put_PlaylistPos(5);
        player_->Pump();
        if (round % 2 == 0) player_->Control()->ClearPlaylist();
        player_->Pump();
        ASSERT_EQ(player_->Control()->Stop(), S_OK);
    }
    player_->Pump();
    std::vector<std::string> stops = Calls(player_->TakeCalls(), "stop");
    EXPECT_EQ(stops.size(), 20u);
    EXPECT_EQ(std::count(stops.begin(), stops.end(), "joined"), 20);
    size_t busy = 0, stopping = 0;
    for (const RecordedEvent& e : player_->Log()) {
        if (e.dispid == 2 && e.msgId == 300) ++busy;
        if (e.dispid == 2 && e.msgId == 301) ++stopping;
    }
    EXPECT_GT(busy, 0u);
    EXPECT_EQ(stopping, 20u);
    EXPECT_EQ(Get(L"Status"), 0);
}

// A notification the plugin sends from inside its play reaches the container while the start is
// half done: Position and Length then answer without calling into the plugin.
TEST_F(Playback, QueriesDuringAStartDoNotReachThePlugin)
{
    StartWith(L"half_started", {"version=257", "notifyinplay=1", "position=5000", "length=9000"});
    AppendFiles({L"a.ok"});
    long length = -9999, position = -9999;
    player_->Sink().onEvent = [&] {
        const RecordedEvent& e = player_->Log().back();
        if (e.dispid != 2 || e.msgId != 302) return;
        length = Get(L"Length");
        position = Get(L"Position");
    };
    Play();
    EXPECT_EQ(length, -1);
    EXPECT_EQ(position, 0);
    std::vector<std::string> calls = player_->TakeCalls();
    EXPECT_TRUE(Calls(calls, "getLength").empty());
    EXPECT_TRUE(Calls(calls, "getPosition").empty());
    EXPECT_EQ(Get(L"Length"), 9);
    EXPECT_EQ(Get(L"Position"), 5);
}

// Many play/stop cycles leave no handle, window, timer or memory behind.
TEST_F(Playback, PlayStopCyclesLeaveNothingBehind)
{
    StartWith(L"cycles", {"log=0"});
    AppendFiles({L"a.ok", L"b.ok"});
    // With repeat, NextTrack always has an entry to move to: every cycle fires 1, 4, then 2, 1, 4.
    player_->Call().Put(L"Repeat", DispatchCall::Long(1));
    auto cycle = [&] {
        player_->Control()->Play();
        player_->Control()->NextTrack();
        player_->Control()->Pause();
        player_->Control()->Pause();
        player_->Control()->Stop();
        player_->Pump();
    };
    for (int i = 0; i < 100; ++i) cycle();
    const ProcessUsage before = ProcessUsage::Now();
    const int cycles = 10000;
    for (int i = 0; i < cycles; ++i) cycle();
    ExpectNothingLeftSince(before);
    EXPECT_EQ(player_->TakeEvents().size(), (100u + cycles) * 5u);  // 1, 4, then 2, 1, 4
}
