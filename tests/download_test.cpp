// The download, called as the list readers call it, against the test run's HTTP server on
// 127.0.0.1: the exact status notifications of each kind of answer, the file it leaves, the busy
// flag against a fetch from inside a status handler, the time-outs of a server that never answers
// or stalls in the middle of the body, and the proxy address.
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "engine/engine_context.h"
#include "engine/hidden_window.h"
#include "net/download.h"
#include "support/bare_control.h"
#include "support/http_server.h"
#include "support/list_files.h"
#include "support/recording_sink.h"
#include "win/ansi_text.h"

namespace {

using Stages = std::vector<std::pair<long, long>>;
constexpr DISPID kStatusEvent = 2;
const std::string kM3UBody =
    "#EXTM3U\r\n#EXTINF:-1,First Radio\r\nhttp://127.0.0.1:1/first\r\nhttp://127.0.0.1:1/second\r\n";

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

class Download : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(ServerAddress().empty()) << "the test HTTP server does not run";
        CreateHiddenWindow();
        ASSERT_TRUE(engine.hiddenWindow);
        engine.controlObject = &control_;
        control_.EventSinks().Add(static_cast<IDispatch*>(&sink_));
    }
    void TearDown() override
    {
        engine.proxyAddress[0] = '\0';
        engine.controlObject = nullptr;
        DestroyHiddenWindow();
    }

    // Downloads the server's path into the folder's file and returns the result.
    int Fetch(const std::string& url, const std::string& file)
    {
        target_ = folder_.Path() + "\\" + file;
        return DownloadUrlToFile(GetDesktopWindow(), url.c_str(), target_.c_str(), "Retrieving playlist ...");
    }
    // The status notifications since the last call, as (code, value).
    Stages TakeStages()
    {
        Stages stages;
        for (const RecordedEvent& e : log_)
            if (e.dispid == kStatusEvent) stages.emplace_back(e.msgId, e.comp);
        log_.clear();
        return stages;
    }

    BareControl control_;
    std::vector<RecordedEvent> log_;
    RecordingSink sink_{L"sink", log_};
    ScratchFolder folder_{"download"};
    std::string target_;
};

const Stages kCompleted{{200, 0}, {201, 0}, {203, 0}, {204, 0}};
const Stages kBodyBroken{{200, 0}, {201, 0}, {203, 0}};
const Stages kNotOpened{{200, 0}, {201, 0}, {206, 0}};

}  // namespace

TEST_F(Download, EachAnswerBringsItsStagesAndItsFile)
{
    EXPECT_EQ(Fetch(ServerUrl("/4096"), "exact.bin"), 0);
    EXPECT_EQ(TakeStages(), kCompleted);
    EXPECT_EQ(ReadBytes(target_).size(), 4096u);

    folder_.Write("empty.m3u", "an older file of that name");
    EXPECT_EQ(Fetch(ServerUrl("/empty.m3u"), "empty.m3u"), 0);
    EXPECT_EQ(TakeStages(), kCompleted);
    EXPECT_EQ(ReadBytes(target_), "");  // truncated

    EXPECT_EQ(Fetch(ServerUrl("/moved.m3u"), "moved.m3u"), 0);  // the redirect is followed
    EXPECT_EQ(TakeStages(), kCompleted);
    EXPECT_EQ(ReadBytes(target_), kM3UBody);

    const size_t large = 24u << 20;
    EXPECT_EQ(Fetch(ServerUrl("/bytes/" + std::to_string(large)), "large.bin"), 0);
    EXPECT_EQ(TakeStages(), kCompleted);
    const std::string body = ReadBytes(target_);
    EXPECT_EQ(body.size(), large);
    EXPECT_EQ(body.compare(0, 9, "# filler "), 0);

    // An answer other than 200 creates no file.
    EXPECT_EQ(Fetch(ServerUrl("/missing.pls"), "missing.pls"), 1);
    EXPECT_EQ(TakeStages(), (Stages{{200, 0}, {201, 0}, {202, 404}}));
    EXPECT_FALSE(Exists(target_));
    EXPECT_EQ(Fetch(ServerUrl("/error.m3u"), "error.m3u"), 1);
    EXPECT_EQ(TakeStages(), (Stages{{200, 0}, {201, 0}, {202, 500}}));
    EXPECT_FALSE(Exists(target_));

    EXPECT_EQ(Fetch("http://127.0.0.1:1/closed.m3u", "closed.m3u"), 1);  // nobody listens there
    EXPECT_EQ(TakeStages(), kNotOpened);
    EXPECT_EQ(Fetch("no address at all", "bad.m3u"), 1);
    EXPECT_EQ(TakeStages(), kNotOpened);

    EXPECT_EQ(Fetch(ServerUrl("/list.m3u"), "no such folder\\list.m3u"), 1);
    EXPECT_EQ(TakeStages(), (Stages{{200, 0}, {201, 0}, {203, 0}, {205, 0}}));
    EXPECT_EQ(engine.downloadBusy, 0);
}

// Each ends as a failure after the time-out instead of holding the container's thread.
TEST_F(Download, SilentStalledAndResetServersEndTheDownload)
{
    EXPECT_EQ(Fetch(ServerUrl("/silent.m3u"), "silent.m3u"), 1);
    EXPECT_EQ(TakeStages(), kNotOpened);
    EXPECT_FALSE(Exists(target_));

    // What arrived before the stall stays in the file for the caller to remove.
    const size_t half = kM3UBody.size() * 64 / 2;
    EXPECT_EQ(Fetch(ServerUrl("/stall.m3u"), "stall.m3u"), 1);
    EXPECT_EQ(TakeStages(), kBodyBroken);
    EXPECT_EQ(ReadBytes(target_).size(), half);

    EXPECT_EQ(Fetch(ServerUrl("/reset.m3u"), "reset.m3u"), 1);
    EXPECT_EQ(TakeStages(), kBodyBroken);
    EXPECT_LE(ReadBytes(target_).size(), half);
    // A body that ends before the length the server announced is no complete body.
    EXPECT_EQ(Fetch(ServerUrl("/short.m3u"), "short.m3u"), 1);
    EXPECT_EQ(TakeStages(), kBodyBroken);
    EXPECT_EQ(ReadBytes(target_).size(), half);
    EXPECT_EQ(engine.downloadBusy, 0);

    // The next download works as if nothing had happened.
    EXPECT_EQ(Fetch(ServerUrl("/list.m3u"), "after.m3u"), 0);
    EXPECT_EQ(TakeStages(), kCompleted);
    EXPECT_EQ(ReadBytes(target_), kM3UBody);
}

// A handler of any stage that asks for a download gets 1 at once, with no notification of its
// own, and the running download goes on to the end.
TEST_F(Download, AFetchFromInsideAStatusHandlerIsRefused)
{
    const std::string nested = folder_.Path() + "\\nested.m3u";
    std::vector<int> nestedResults;
    sink_.onEvent = [&] {
        nestedResults.push_back(DownloadUrlToFile(nullptr, ServerUrl("/list.pls").c_str(), nested.c_str(), ""));
    };
    EXPECT_EQ(Fetch(ServerUrl("/list.m3u"), "outer.m3u"), 0);
    sink_.onEvent = nullptr;
    EXPECT_EQ(TakeStages(), kCompleted);
    EXPECT_EQ(nestedResults, std::vector<int>(4, 1));
    EXPECT_FALSE(Exists(nested));
    EXPECT_EQ(ReadBytes(target_), kM3UBody);
}

// Through the stored proxy the host name is the proxy's to resolve: this one resolves nowhere
// else. Clearing the address gives the system's settings back.
TEST_F(Download, TheStoredProxyCarriesTheRequest)
{
    CopyBounded(engine.proxyAddress, ServerAddress().c_str());
    EXPECT_EQ(Fetch("http://remote.invalid/list.m3u", "proxied.m3u"), 0);
    EXPECT_EQ(TakeStages(), kCompleted);
    EXPECT_EQ(ReadBytes(target_), kM3UBody);

    engine.proxyAddress[0] = '\0';
    EXPECT_EQ(Fetch(ServerUrl("/list.m3u"), "direct.m3u"), 0);
    EXPECT_EQ(TakeStages(), kCompleted);
}
