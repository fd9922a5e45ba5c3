// The services the host writes into input plugin records, called as a plugin calls them, and the
// hidden window that turns their messages into container events.
#include <windows.h>

#include <vector>

#include <gtest/gtest.h>

#include "engine/engine_context.h"
#include "engine/hidden_window.h"
#include "playlist/playlist_position.h"
#include "playlist/playlist_store.h"
#include "plugins/host_services.h"
#include "support/bare_control.h"
#include "support/recording_sink.h"

namespace {

int32_t fakePosition = 0;
int32_t __cdecl FakeGetPosition() { return fakePosition; }

// Runs every message already posted to this thread's windows.
void Pump()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
}

class HostServices : public testing::Test {
protected:
    void SetUp() override
    {
        PlaylistClear();
        CreateHiddenWindow();
        ASSERT_TRUE(engine.hiddenWindow);
        engine.controlObject = &control_;
        control_.EventSinks().Add(static_cast<IDispatch*>(&sink_));
        record_.getPosition = FakeGetPosition;
        engine.currentInputPlugin = &record_;
        fakePosition = 0;
    }
    void TearDown() override
    {
        engine.currentInputPlugin = nullptr;
        engine.controlObject = nullptr;
        DestroyHiddenWindow();
        PlaylistClear();
    }

    // How many duration cuts are waiting in the hidden window's queue (taking them out).
    int TakeCuts()
    {
        int cuts = 0;
        MSG message;
        while (PeekMessageA(&message, engine.hiddenWindow, WM_ENGINE_CUT, WM_ENGINE_CUT, PM_REMOVE)) ++cuts;
        return cuts;
    }

    void AppendEntryWithLimit(int32_t durationMs)
    {
        ASSERT_EQ(PlaylistAppendRecord("C:\\a.mp3", "a", -1, 100, durationMs), 0);
    }

    std::vector<RecordedEvent> log_;
    RecordingSink sink_{L"sink", log_};
    BareControl control_;
    InputPluginRecord record_{};
};

}  // namespace

TEST_F(HostServices, HooksAnswerTheirFixedValues)
{
    EXPECT_EQ(HostHook34(7, 9), 9);
    EXPECT_EQ(HostHook27(7, 9), 1);
    for (auto hook : {HostHook24, HostHook25, HostHook29, HostHook30, HostHook31, HostHook32, HostHook33})
        EXPECT_EQ(hook(7, 9), 0);
}

TEST_F(HostServices, SetMediaInfoLeavesMinusOneFieldsUnchanged)
{
    engine.mediaBitrate = 128;
    engine.mediaSampleRate = 22050;
    engine.mediaChannels = 1;
    SetMediaInfo(-1, 44100, -1, 0);
    EXPECT_EQ(engine.mediaBitrate, 128);
    EXPECT_EQ(engine.mediaSampleRate, 44100);
    EXPECT_EQ(engine.mediaChannels, 1);
    SetMediaInfo(320, -1, 2, 99);
    EXPECT_EQ(engine.mediaBitrate, 320);
    EXPECT_EQ(engine.mediaSampleRate, 44100);
    EXPECT_EQ(engine.mediaChannels, 2);
}

TEST_F(HostServices, DurationLimitOncePostsOncePerEntry)
{
    AppendEntryWithLimit(30000);
    fakePosition = 30000;
    CheckDurationLimitOnce(0, 0);
    EXPECT_EQ(TakeCuts(), 0);  // not yet past the limit
    fakePosition = 30001;
    CheckDurationLimitOnce(0, 0);
    CheckDurationLimitOnce(0, 0);
    EXPECT_EQ(TakeCuts(), 1);
    EXPECT_EQ(CurrentDurationReached(), 1);
    // Once the window has acted and cleared the mark, the next pass posts again.
    SetCurrentDurationReached(0);
    CheckDurationLimitOnce(0, 0);
    EXPECT_EQ(TakeCuts(), 1);
}

TEST_F(HostServices, DurationLimitPostsOnEveryCallPastTheLimit)
{
    AppendEntryWithLimit(1000);
    fakePosition = 1500;
    CheckDurationLimit(0, 0);
    CheckDurationLimit(0, 0);
    CheckDurationLimit(0, 0);
    EXPECT_EQ(TakeCuts(), 3);
    EXPECT_EQ(CurrentDurationReached(), 0);
}

TEST_F(HostServices, NoLimitOrNoEntryNeverCuts)
{
    fakePosition = 1000000;
    CheckDurationLimit(0, 0);
    CheckDurationLimitOnce(0, 0);  // empty playlist
    AppendEntryWithLimit(-1);
    CheckDurationLimit(0, 0);
    CheckDurationLimitOnce(0, 0);
    engine.currentInputPlugin = nullptr;  // position 0 without a plugin
    AppendEntryWithLimit(10);
    PlaylistSetPos(1);
    CheckDurationLimit(0, 0);
    CheckDurationLimitOnce(0, 0);
    EXPECT_EQ(TakeCuts(), 0);
}

TEST_F(HostServices, StatusNotificationsBecomeEventsSynchronously)
{
    EXPECT_EQ(SendStatusNotification(300, 7), 0);
    EXPECT_EQ(SendStatusNotification(210, 5), 0);
    const std::vector<RecordedEvent> expected{{L"sink", 2, 300, 7}, {L"sink", 1, 4, 0}};
    EXPECT_EQ(log_, expected);
}

TEST_F(HostServices, UrlLaunchIsCanonicalisedAndPostedAsEventThree)
{
    EXPECT_NE(RequestUrlLaunch("http://example.invalid/a b.html"), 0);
    EXPECT_STREQ(engine.launchUrl, "http://example.invalid/a%20b.html");
    EXPECT_TRUE(log_.empty());  // posted: it arrives through the message loop
    Pump();
    EXPECT_EQ(sink_.MsgIds(), std::vector<long>{3});
}
