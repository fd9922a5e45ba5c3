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
// The threads that asked the stand-in plugin for its position.
std::vector<DWORD> positionThreads;
int32_t __cdecl FakeGetPosition()
{
    positionThreads.push_back(GetCurrentThreadId());
    return fakePosition;
}

// A decoding thread's calls: each duration service called `times` times.
struct ServiceCalls {
    int32_t(__cdecl* service)(int32_t, int32_t);
    int times;
};
DWORD WINAPI CallFromThread(void* argument)
{
    auto* calls = static_cast<ServiceCalls*>(argument);
    for (int i = 0; i < calls->times; ++i) calls->service(0, 0);
    return 0;
}

DWORD WINAPI NotifyFromThread(void*) { return static_cast<DWORD>(SendStatusNotification(301, 9)); }

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

    // Calls a duration service from a thread of its own, as a decoder does, then runs the
    // container's loop; returns the cuts the engine made (tracks stopped past their limit).
    uint32_t CheckFromPluginThread(int32_t(__cdecl* service)(int32_t, int32_t), int times)
    {
        ServiceCalls calls{service, times};
        HANDLE thread = CreateThread(nullptr, 0, CallFromThread, &calls, 0, nullptr);
        EXPECT_NE(thread, nullptr);
        EXPECT_EQ(WaitForSingleObject(thread, 5000), WAIT_OBJECT_0);
        CloseHandle(thread);
        const uint32_t stops = engine.stopCount;
        engine.isPlaying = 1;
        Pump();
        engine.isPlaying = 0;
        return engine.stopCount - stops;
    }

    static void StartTrackWithLimit(int32_t durationMs)
    {
        engine.trackDurationLimit = durationMs;
        engine.trackCutPosted = 0;
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

// The duration services test the limit taken when the track started, never the playlist, which
// the container's thread may change under a plugin thread at any time. The position is asked on
// the container's thread only: a plugin may hold its own lock around the service call.
TEST_F(HostServices, DurationChecksAskThePositionOnTheContainersThreadOnly)
{
    positionThreads.clear();
    StartTrackWithLimit(30000);
    fakePosition = 30000;
    EXPECT_EQ(CheckFromPluginThread(CheckDurationLimitOnce, 3), 0u);  // not yet past the limit
    fakePosition = 30001;
    EXPECT_EQ(CheckFromPluginThread(CheckDurationLimitOnce, 3), 1u);
    EXPECT_EQ(CheckFromPluginThread(CheckDurationLimitOnce, 1), 0u);  // once per track
    StartTrackWithLimit(30000);  // the next start clears the mark
    EXPECT_EQ(CheckFromPluginThread(CheckDurationLimitOnce, 1), 1u);
    EXPECT_EQ(CheckFromPluginThread(CheckDurationLimit, 3), 1u);
    EXPECT_EQ(CheckFromPluginThread(CheckDurationLimit, 1), 1u);  // every check past the limit
    ASSERT_FALSE(positionThreads.empty());
    for (DWORD thread : positionThreads) EXPECT_EQ(thread, GetCurrentThreadId());
}

TEST_F(HostServices, NoLimitOrNoPluginNeverCuts)
{
    fakePosition = 1000000;
    StartTrackWithLimit(-1);
    EXPECT_EQ(CheckFromPluginThread(CheckDurationLimit, 1), 0u);
    EXPECT_EQ(CheckFromPluginThread(CheckDurationLimitOnce, 1), 0u);
    engine.currentInputPlugin = nullptr;  // position 0 without a plugin
    StartTrackWithLimit(10);
    EXPECT_EQ(CheckFromPluginThread(CheckDurationLimit, 1), 0u);
    EXPECT_EQ(CheckFromPluginThread(CheckDurationLimitOnce, 1), 0u);
}

// On the container's thread a notification fires before the call returns; a plugin thread does not
// wait for the container's thread (which may be waiting for it), and its event fires when the
// container's loop runs.
TEST_F(HostServices, StatusNotificationsBecomeEvents)
{
    EXPECT_EQ(SendStatusNotification(300, 7), 0);
    EXPECT_EQ(SendStatusNotification(210, 5), 0);
    std::vector<RecordedEvent> expected{{L"sink", 2, 300, 7}, {L"sink", 1, 4, 0}};
    EXPECT_EQ(log_, expected);

    HANDLE thread = CreateThread(nullptr, 0, NotifyFromThread, nullptr, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    EXPECT_EQ(WaitForSingleObject(thread, 5000), WAIT_OBJECT_0);
    CloseHandle(thread);
    EXPECT_EQ(log_, expected);
    Pump();
    expected.push_back({L"sink", 2, 301, 9});
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
