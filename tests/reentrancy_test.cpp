// A container's event handlers call back into the control: members from inside events (clearing
// the list, stopping, deinitializing, deleting the current entry), the last reference to the
// control dropped inside a handler, frozen events, and the hidden window that no other program
// can find.
#include <windows.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/player_case.h"

namespace {

using Events = std::vector<long>;

class Reentrancy : public testing::Test {
protected:
    void StartWith(const std::wstring& caseName, std::vector<std::string> inputLines = {})
    {
        player_ = std::make_unique<PlayerCase>(caseName);
        inputLines.insert(inputLines.begin(), "extensions=OK|Playable files");
        ASSERT_TRUE(player_->Layout().AddInput("IN_OK.DLL", inputLines));
        ASSERT_TRUE(player_->Layout().AddOutput("OUT_KV.DLL"));
        ASSERT_TRUE(player_->Start());
        for (const wchar_t* name : {L"a.ok", L"b.ok", L"c.ok"}) player_->Append(player_->MakeFile(name));
        player_->TakeEvents();
    }
    // Runs action once, from inside the first TunaraMsgEvent msgId that the sink receives.
    void OnEvent(long msgId, std::function<void()> action)
    {
        player_->Sink().onEvent = [this, msgId, action] {
            const RecordedEvent& e = player_->Log().back();
            if (e.dispid != 1 || e.msgId != msgId) return;
            // Clearing the handler destroys this lambda: nothing of it may be used afterwards.
            std::function<void()> run = action;
            PlayerCase* player = player_.get();
            player->Sink().onEvent = nullptr;
            run();
        };
    }
    long Get(const wchar_t* property) { return player_->Call().GetLong(property); }

    std::unique_ptr<PlayerCase> player_;
};

}  // namespace

TEST_F(Reentrancy, ClearingTheListInsideTrackStartedThenTheTrackEnds)
{
    StartWith(L"clear_in_4");
    OnEvent(4, [&] { player_->Control()->ClearPlaylist(); });
    EXPECT_EQ(player_->Control()->Play(), S_OK);
    EXPECT_EQ(player_->TakeEvents(), (Events{1, 4}));
    EXPECT_EQ(Get(L"Nb_Playlist_Items"), 0);
    EXPECT_EQ(Get(L"Status"), 1);
    EXPECT_EQ(player_->CurrentTitle(), L"");
    // The track ends on an empty list: the engine stops.
    player_->EndOfStream("IN_OK.DLL");
    player_->Pump();
    EXPECT_EQ(player_->TakeEvents(), (Events{1, 5}));
    EXPECT_EQ(Get(L"Status"), 0);
}

TEST_F(Reentrancy, StoppingInsideTheAdvancesListChangedWins)
{
    StartWith(L"stop_in_2");
    player_->Control()->Play();
    player_->TakeEvents();
    player_->TakeCalls();
    OnEvent(2, [&] { player_->Control()->Stop(); });
    player_->EndOfStream("IN_OK.DLL");
    player_->Pump();
    EXPECT_EQ(player_->TakeEvents(), (Events{2, 1, 5}));
    EXPECT_EQ(Get(L"Status"), 0);
    EXPECT_EQ(Get(L"PlaylistPos"), 1);
    std::vector<std::string> calls = player_->TakeCalls();
    EXPECT_EQ(std::count_if(calls.begin(), calls.end(), [](const std::string& c) { return c.find(" play ") != std::string::npos; }), 0);
}

TEST_F(Reentrancy, DeinitializingInsideStartFailed)
{
    StartWith(L"deinit_in_102", {"play=-1"});
    OnEvent(102, [&] { player_->Control()->Deinitialize(); });
    EXPECT_EQ(player_->Control()->Play(), S_OK);
    player_->Pump();
    EXPECT_EQ(player_->TakeEvents(), (Events{1, 102}));
    EXPECT_EQ(Get(L"Nb_Playlist_Items"), 0);
    EXPECT_EQ(Get(L"Status"), 0);
    EXPECT_EQ(player_->Layout().InputRecord("IN_OK.DLL"), nullptr);  // unloaded
    // The engine starts again as usual.
    ASSERT_EQ(player_->Control()->Initialize(), S_OK);
    player_->Append(player_->MakeFile(L"d.ok"));
    EXPECT_EQ(Get(L"Nb_Playlist_Items"), 1);
}

// A plugin notifies from inside its own play (on the host's thread) and the container's handler
// deinitializes and initializes again: the plugin's module stays loaded until its play has
// returned (play goes on with the plugin's own memory), is stopped, quit and released only then,
// and the new engine plays.
TEST_F(Reentrancy, ReinitializingInsideAPluginsPlayWaitsUntilPlayHasReturned)
{
    StartWith(L"reinit_in_play", {"version=257", "notifyinplay=1"});
    player_->TakeCalls();
    bool handled = false;
    player_->Sink().onEvent = [&] {
        const RecordedEvent& e = player_->Log().back();
        if (handled || e.dispid != 2 || e.msgId != 302) return;
        handled = true;
        EXPECT_EQ(player_->Control()->Deinitialize(), S_OK);
        EXPECT_EQ(player_->Control()->Initialize(), S_OK);
    };
    EXPECT_EQ(player_->Control()->Play(), S_OK);
    player_->Pump();
    ASSERT_TRUE(handled);
    EXPECT_EQ(player_->TakeEvents(), (Events{1, 1}));  // Play's, Initialize's; no track started
    EXPECT_EQ(Get(L"Status"), 0);
    std::vector<std::string> order;
    for (const std::string& call : player_->TakeCalls()) {
        if (call.rfind("IN_OK.DLL ", 0) != 0) continue;
        std::string name = call.substr(10, call.find(' ', 10) - 10);
        if (name == "play" || name == "played" || name == "stop" || name == "quit" || name == "init")
            order.push_back(name);
    }
    EXPECT_EQ(order, (std::vector<std::string>{"play", "played", "stop", "quit", "init"}));
    ASSERT_NE(player_->Layout().InputRecord("IN_OK.DLL"), nullptr);  // loaded again
    player_->Append(player_->MakeFile(L"d.ok"));
    player_->Sink().onEvent = nullptr;
    EXPECT_EQ(player_->Control()->Play(), S_OK);
    EXPECT_EQ(player_->TakeEvents(), (Events{1, 4}));
    EXPECT_EQ(Get(L"Status"), 1);
}

TEST_F(Reentrancy, DeletingTheCurrentEntryInsidePlaysBeginning)
{
    StartWith(L"delete_in_1");
    OnEvent(1, [&] { player_->Control()->DeletePlaylistItem(0); });
    EXPECT_EQ(player_->Control()->Play(), S_OK);
    EXPECT_EQ(player_->TakeEvents(), (Events{1, 2, 4}));
    EXPECT_EQ(player_->CurrentTitle(), L"1. b.ok");
    EXPECT_EQ(Get(L"Nb_Playlist_Items"), 2);
    std::vector<std::string> calls = player_->TakeCalls();
    auto play = std::find_if(calls.begin(), calls.end(), [](const std::string& c) { return c.find(" play ") != std::string::npos; });
    ASSERT_NE(play, calls.end());
    EXPECT_NE(play->find("\\b.ok"), std::string::npos);
}

// The handler drops the container's last reference: the remaining sinks still receive the event,
// and the control goes away once the firing is done (the sinks' references are given back).
TEST_F(Reentrancy, ReleasingTheControlInsideAHandler)
{
    for (bool fromPostedMessage : {false, true}) {
        for (int sinks : {1, 2}) {
            SCOPED_TRACE(testing::Message() << sinks << " sinks, " << (fromPostedMessage ? "posted" : "direct"));
            StartWith(L"release_" + std::to_wstring(sinks) + (fromPostedMessage ? L"_posted" : L"_direct"));
            std::vector<RecordedEvent> log;
            RecordingSink second(L"second", log);
            if (sinks == 2) {
                ASSERT_NE(ConnectEvents(player_->Control(), &second), 0u);
            }
            if (fromPostedMessage) player_->Control()->Play();
            const long releasingEvent = fromPostedMessage ? 2 : 4;
            OnEvent(releasingEvent, [&] { player_->ReleaseControl(); });
            if (fromPostedMessage) {
                player_->EndOfStream("IN_OK.DLL");
                player_->Pump();
            } else {
                EXPECT_EQ(player_->Control()->Play(), S_OK);
            }
            EXPECT_EQ(player_->Sink().MsgIds().back(), releasingEvent);
            EXPECT_EQ(player_->Sink().References(), 1);
            if (sinks == 2) {
                EXPECT_EQ(second.MsgIds().back(), releasingEvent);
                EXPECT_EQ(second.References(), 1);
            }
            // The engine still runs without an event target; another control takes it down.
            ComPtr<ITunaraXChat2> other = player_->Layout().CreateControl();
            ASSERT_TRUE(other);
            EXPECT_EQ(other->Deinitialize(), S_OK);
            other.Reset();
            player_.reset();
        }
    }
}

// While the container has frozen the control's events they are dropped, not delivered later.
TEST_F(Reentrancy, FrozenEventsAreDropped)
{
    StartWith(L"frozen");
    auto control = ComPtr<IUnknown>(player_->Control()).As<IOleControl>(IID_IOleControl);
    ASSERT_TRUE(control);
    control->FreezeEvents(TRUE);
    control->FreezeEvents(TRUE);
    player_->Control()->Play();
    control->FreezeEvents(FALSE);
    player_->Control()->PlaylistSort();
    EXPECT_EQ(player_->TakeEvents(), Events{});
    control->FreezeEvents(FALSE);
    player_->Control()->PlaylistSort();
    EXPECT_EQ(player_->TakeEvents(), Events{2});
}

// The hidden window is message-only (its parent is not the desktop, and the enumeration of message
// windows finds it); Deinitialize destroys it.
TEST_F(Reentrancy, TheHiddenWindowIsMessageOnly)
{
    StartWith(L"message_only");
    auto window = static_cast<HWND>(player_->Layout().InputRecord("IN_OK.DLL")->hostWindow);
    ASSERT_TRUE(IsWindow(window));
    EXPECT_NE(GetAncestor(window, GA_PARENT), GetDesktopWindow());
    HWND found = nullptr;
    do {
        found = FindWindowExA(HWND_MESSAGE, found, "TunaraCOM Hidden Window", nullptr);
    } while (found && found != window);
    EXPECT_EQ(found, window);
    player_->Control()->Deinitialize();
    EXPECT_FALSE(IsWindow(window));
}
