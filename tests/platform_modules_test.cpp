// The modules that play through the platform's Media Foundation, driven as a container drives
// them: IN_MF.DLL's files and IN_MPA.DLL's AAC stations render through the file-writing output and
// are compared with ffmpeg's decoding of the same file (bin/platform/, made by
// tests/platform/make_platform_files.py). AAC decoders
// differ slightly and drop different amounts of the encoder's priming, so a render must match the
// reference's length within one 1024-sample frame and, aligned where the two agree best within
// that frame, come within 40 dB of it.
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/http_server.h"
#include "support/player_case.h"
#include "support/test_paths.h"
#include "win/variant.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Events = std::vector<long>;

constexpr long kFrame = 1024;

Bytes ReadBytes(const std::wstring& path)
{
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

bool WriteBytes(const std::wstring& path, const Bytes& bytes)
{
    std::ofstream out(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out.flush());
}

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

Bytes PlatformFile(const wchar_t* name) { return ReadBytes(ExeDirectory() + L"\\platform\\" + name); }

// A 16-bit PCM WAVE file, written by the output or by ffmpeg: its format and its samples.
struct Render {
    int channels = 0;
    int rate = 0;
    std::vector<int16_t> samples;
    long Frames() const { return channels ? static_cast<long>(samples.size()) / channels : 0; }
};

Render ReadRender(const std::wstring& path)
{
    const Bytes file = ReadBytes(path);
    Render render;
    auto get = [&](size_t at, int bytes) {
        uint32_t v = 0;
        for (int i = 0; i < bytes; ++i) v |= static_cast<uint32_t>(file[at + i]) << (8 * i);
        return v;
    };
    EXPECT_GE(file.size(), 44u) << "no WAVE file: " << Narrow(path);
    if (file.size() < 44 || std::memcmp(file.data(), "RIFF", 4) != 0) return render;
    // ffmpeg's files may carry a LIST chunk before the samples: walk the chunks.
    size_t at = 12;
    while (at + 8 <= file.size()) {
        const uint32_t size = get(at + 4, 4);
        if (std::memcmp(file.data() + at, "fmt ", 4) == 0) {
            EXPECT_EQ(get(at + 8, 2), 1u) << "PCM";
            EXPECT_EQ(get(at + 22, 2), 16u) << "16 bits";
            render.channels = static_cast<int>(get(at + 10, 2));
            render.rate = static_cast<int>(get(at + 12, 4));
        } else if (std::memcmp(file.data() + at, "data", 4) == 0) {
            const size_t bytes = std::min<size_t>(size, file.size() - at - 8) / 2 * 2;
            render.samples.resize(bytes / 2);
            std::memcpy(render.samples.data(), file.data() + at + 8, bytes);
            break;
        }
        at += 8 + size + (size & 1);
    }
    return render;
}

// Signal to difference in dB of render against reference, the render's frame i taken as the
// reference's frame i + offset, over every frame both have.
double SignalToDifference(const Render& render, const Render& reference, long offset)
{
    double signal = 0, difference = 0;
    const long channels = reference.channels;
    for (long i = std::max(0L, -offset); i < render.Frames() && i + offset < reference.Frames(); ++i) {
        for (long c = 0; c < channels; ++c) {
            const double want = reference.samples[static_cast<size_t>((i + offset) * channels + c)];
            const double got = render.samples[static_cast<size_t>(i * channels + c)];
            signal += want * want;
            difference += (got - want) * (got - want);
        }
    }
    return 10 * std::log10(signal / std::max(difference, 1.0));
}

// The offset within one frame where render and reference agree best, found on a stretch of the
// render's middle.
long BestOffset(const Render& render, const Render& reference)
{
    const long from = render.Frames() / 2, span = 4096, channels = reference.channels;
    long best = 0;
    double bestError = -1;
    for (long offset = -kFrame; offset <= kFrame; ++offset) {
        if (from + offset < 0 || from + span + offset > reference.Frames() || from + span > render.Frames()) continue;
        double error = 0;
        for (long i = from; i < from + span; ++i) {
            const double d = render.samples[static_cast<size_t>(i * channels)] -
                             reference.samples[static_cast<size_t>((i + offset) * channels)];
            error += d * d;
        }
        if (bestError < 0 || error < bestError) {
            bestError = error;
            best = offset;
        }
    }
    return best;
}

// The render decodes like ffmpeg: same rate, channels and length within a frame, at least 40 dB.
void ExpectReferenceDecode(const Render& render, const wchar_t* file)
{
    const Render reference = ReadRender(ExeDirectory() + L"\\platform\\" + file + L".ffmpeg.wav");
    EXPECT_EQ(render.rate, reference.rate) << Narrow(file);
    ASSERT_EQ(render.channels, reference.channels) << Narrow(file);
    EXPECT_NEAR(render.Frames(), reference.Frames(), kFrame) << Narrow(file);
    EXPECT_GE(SignalToDifference(render, reference, BestOffset(render, reference)), 40.0) << Narrow(file);
}

class PlatformModules : public testing::Test {
protected:
    // IN_MF.DLL beside IN_PCM.DLL, IN_MPA.DLL (the stations) and out_pq2.dll as shipped; OUT_KV.DLL
    // is a device output whose open fails, so the control falls back to the file writer.
    void StartWith(const std::wstring& caseName, bool realtime)
    {
        player_ = std::make_unique<PlayerCase>(caseName);
        PluginLayout& layout = player_->Layout();
        ASSERT_TRUE(layout.AddShipped(L"IN_PCM.DLL", L"IN_PCM.DLL"));
        ASSERT_TRUE(layout.AddShipped(L"IN_MF.DLL", L"IN_MF.DLL"));
        ASSERT_TRUE(layout.AddShipped(L"IN_MPA.DLL", L"IN_MPA.DLL"));
        ASSERT_TRUE(layout.AddShipped(L"out_pq2.dll", L"out_pq2.dll"));
        ASSERT_TRUE(layout.AddOutput("OUT_KV.DLL", {"open=-1"}));
        ASSERT_TRUE(layout.WritePluginFile(L"out_pq2.ini", {"[output]", "file=" + Narrow(Dir()) + "\\track%d.wav",
                                                            realtime ? "realtime=1" : "realtime=0"}));
        ASSERT_TRUE(player_->Start());
        // Unity gain: the renders hold the decoded samples as they are.
        ASSERT_EQ(player_->Call().Put(L"Volume", DispatchCall::Long(255)), S_OK);
    }
    std::wstring Dir() { return player_->Layout().Directory(); }
    std::wstring Add(const wchar_t* name, const Bytes& bytes)
    {
        const std::wstring path = Dir() + L"\\" + name;
        EXPECT_TRUE(WriteBytes(path, bytes));
        EXPECT_EQ(player_->Append(path), S_OK);
        return path;
    }
    std::wstring Track(int n) { return Dir() + L"\\track" + std::to_wstring(n) + L".wav"; }
    long Get(const wchar_t* property) { return player_->Call().GetLong(property); }
    void PlayToEnd()
    {
        ASSERT_EQ(player_->Call().Method(L"Play"), S_OK);
        ASSERT_TRUE(player_->PumpUntil([&] { return Get(L"Status") == 0; }, 30000));
        player_->Pump();
    }
    void Item(long index, std::wstring* title, long* length)
    {
        Variant name, itemTitle, itemLength;
        ASSERT_EQ(player_->Control()->GetPlaylistItem(index, name.Get(), itemTitle.Get(), itemLength.Get()), S_OK);
        *title = itemTitle->bstrVal;
        *length = itemLength->lVal;
    }
    std::wstring FileTypes()
    {
        Variant types;
        EXPECT_EQ(player_->Call().Method(L"GetFiletypes", {DispatchCall::Out(types.Get())}), S_OK);
        return types->vt == VT_BSTR ? std::wstring(types->bstrVal) : std::wstring();
    }
    InputPluginRecord* Input()
    {
        HMODULE module = GetModuleHandleW((player_->Layout().PluginsDirectory() + L"\\IN_MF.DLL").c_str());
        auto get = reinterpret_cast<TunaraGetInModuleFn>(
            reinterpret_cast<void*>(module ? GetProcAddress(module, "tunaraGetInModule2") : nullptr));
        return get ? get() : nullptr;
    }

    std::unique_ptr<PlayerCase> player_;
};

}  // namespace

// An M4A file and an ADTS AAC file render, unpaced, as ffmpeg decodes them; their lengths come from
// the platform's presentation duration and the types are offered to file dialogs.
TEST_F(PlatformModules, AacFilesRenderLikeTheReferenceDecoder)
{
    StartWith(L"platform_aac", false);
    const std::wstring types = FileTypes();
    EXPECT_NE(types.find(L"*.M4A;*.MP4;*.AAC"), std::wstring::npos) << Narrow(types);
    Add(L"tone.m4a", PlatformFile(L"tone.m4a"));
    Add(L"sweep.aac", PlatformFile(L"sweep.aac"));
    std::wstring title;
    long length = 0;
    Item(0, &title, &length);
    EXPECT_EQ(length, 3);
    Item(1, &title, &length);
    EXPECT_EQ(title, L"sweep");
    EXPECT_EQ(length, 2);
    player_->TakeEvents();
    PlayToEnd();
    EXPECT_EQ(player_->TakeEvents(), (Events{1, 4, 2, 4, 1, 5, 1, 5}));
    ExpectReferenceDecode(ReadRender(Track(1)), L"tone.m4a");
    ExpectReferenceDecode(ReadRender(Track(2)), L"sweep.aac");
}

// The extended information: the format from the decoded stream, the bitrate (the source's, else
// the file's average), and the title. Wine's media source offers no property store (measured:
// E_NOINTERFACE for the property handler and metadata services), so there the title is the base
// name and the tag fields stay empty.
TEST_F(PlatformModules, ExtendedInformationDescribesTheStream)
{
    StartWith(L"platform_info", false);
    const std::string path = Narrow(Add(L"tone.m4a", PlatformFile(L"tone.m4a")));
    InputPluginRecord* input = Input();
    ASSERT_TRUE(input);
    char title[32], artist[32], album[32], comment[32], year[8], genre[32];
    int32_t bitrate = 0, rate = 0, stereo = 0, vbr = -1;
    ASSERT_EQ(input->getExtendedInfo(path.c_str(), title, artist, album, comment, year, genre, &bitrate, &rate,
                                     &stereo, &vbr), 1);
    EXPECT_STREQ(title, "tone");
    EXPECT_STREQ(artist, "");
    EXPECT_EQ(rate, 44100);
    EXPECT_EQ(stereo, 1);
    EXPECT_EQ(vbr, 0);
    EXPECT_NEAR(bitrate, 128, 16);
    const std::string missing = Narrow(Dir()) + "\\missing.m4a";
    EXPECT_EQ(input->getExtendedInfo(missing.c_str(), title, artist, album, comment, year, genre, &bitrate, &rate,
                                     &stereo, &vbr), 0);
    char fileTitle[512];
    int32_t ms = 0;
    input->getFileInfo(path.c_str(), fileTitle, &ms);
    EXPECT_STREQ(fileTitle, "tone");
    EXPECT_EQ(ms, 3000);
}

// A seek to 2 s of a paced 3-second file: what follows the seek is the reference's last second.
TEST_F(PlatformModules, SeekingPlaysFromThePosition)
{
    StartWith(L"platform_seek", true);
    Add(L"tone.m4a", PlatformFile(L"tone.m4a"));
    ASSERT_EQ(player_->Call().Method(L"Play"), S_OK);
    player_->PumpUntil([] { return false; }, 300);
    ASSERT_EQ(player_->Call().Put(L"Position", DispatchCall::Long(2)), S_OK);
    ASSERT_TRUE(player_->PumpUntil([&] { return Get(L"Status") == 0; }, 10000));
    const Render render = ReadRender(Track(1));
    const Render reference = ReadRender(ExeDirectory() + L"\\platform\\tone.m4a.ffmpeg.wav");
    ASSERT_EQ(render.channels, 2);
    const long tail = 44100;  // the reference's samples from 2 s on
    ASSERT_GT(render.Frames(), tail - kFrame);
    ASSERT_LT(render.Frames(), tail + 44100) << "more than the second before the seek and the last second";
    // The last second, end to end, within the decoders' difference in priming.
    Render last;
    last.channels = 2;
    last.rate = render.rate;
    last.samples.assign(render.samples.end() - (tail - kFrame) * 2, render.samples.end());
    Render wanted = last;
    wanted.samples.assign(reference.samples.end() - tail * 2, reference.samples.end());
    EXPECT_GE(SignalToDifference(last, wanted, BestOffset(last, wanted)), 40.0);
}

// Files that hold no audio the platform reads fail to start, keep their base names and have no
// length; the list moves on past each.
TEST_F(PlatformModules, MalformedFilesFailToStart)
{
    StartWith(L"platform_malformed", false);
    Bytes noise(20000);
    uint32_t seed = 7;
    for (uint8_t& b : noise) b = static_cast<uint8_t>((seed = seed * 1664525u + 1013904223u) >> 24);
    const Bytes m4a = PlatformFile(L"tone.m4a");
    Add(L"noise.m4a", noise);
    Add(L"cut.m4a", Bytes(m4a.begin(), m4a.begin() + 300));
    Add(L"empty.aac", Bytes());
    Add(L"noise.aac", noise);
    for (long i = 0; i < 4; ++i) {
        std::wstring title;
        long length = 0;
        Item(i, &title, &length);
        EXPECT_EQ(length, -1) << Narrow(title);
    }
    player_->TakeEvents();
    PlayToEnd();
    EXPECT_EQ(player_->TakeEvents(), (Events{1, 102, 2, 102, 1, 5, 2, 102, 1, 5, 2, 102, 1, 5}));
    EXPECT_EQ(GetFileAttributesW(Track(1).c_str()), INVALID_FILE_ATTRIBUTES) << "a failed start wrote a file";
}

// Two AAC stations from the test server, each two ADTS streams one after the other (48 kHz mono
// and 44.1 kHz stereo, then the other way round) with ICY titles, one sent as audio/aac, one as
// audio/aacp. IN_MPA.DLL owns the stations and decodes them through the platform's AAC decoder:
// the titles reach the container in order, each the title it reads at TunaraMsgEvent 4 (the
// station's name first), each stream's new format opens the output again (a new track), and each
// track decodes like ffmpeg's decoding of its file. A third station, sent as audio/x-aac, carries
// no ADTS frames (a Windows Media file): its start fails (102) without 232, as the platform decodes
// AAC, and the list ends there.
TEST_F(PlatformModules, AacStationsAnnounceTheirTitlesAndRenderLikeTheReferenceDecoder)
{
    StartWith(L"platform_stations", false);
    for (const char* path : {"/radio/aac-chain/sweep.aac,tone.aac", "/radio/aacp-chain/tone.aac,sweep.aac",
                             "/radio/x-aac-chain/tone.wma"}) {
        const std::string url = ServerUrl(path);
        ASSERT_FALSE(url.empty()) << "the test server does not run";
        ASSERT_EQ(player_->Append(std::wstring(url.begin(), url.end())), S_OK);
    }
    std::vector<std::wstring> titles;
    player_->Sink().onEvent = [&] {
        const RecordedEvent& last = player_->Log().back();
        if (last.dispid == 1 && last.msgId == 4) titles.push_back(player_->CurrentTitle());
    };
    player_->Log().clear();
    ASSERT_EQ(player_->Call().Method(L"Play"), S_OK);
    EXPECT_TRUE(player_->PumpUntil([&] { return Get(L"PlaylistPos") == 2 && Get(L"Status") == 0; }, 60000));
    player_->Pump();
    player_->Sink().onEvent = nullptr;
    EXPECT_EQ(titles, (std::vector<std::wstring>{L"1. AAC Radio", L"1. First Title", L"1. Second Title",
                                                 L"1. Third Title", L"2. AAC Radio", L"2. First Title",
                                                 L"2. Second Title", L"2. Third Title"}));
    std::vector<long> statuses;
    for (const RecordedEvent& e : player_->Log())
        if (e.dispid == 2) statuses.push_back(e.msgId);
    EXPECT_EQ(std::count(statuses.begin(), statuses.end(), 232), 0);
    EXPECT_EQ(std::count(statuses.begin(), statuses.end(), 231), 2) << "the server ended each stream";
    const Events events = player_->TakeEvents();
    EXPECT_EQ(std::count(events.begin(), events.end(), 102), 1) << "the station without ADTS frames";
    ExpectReferenceDecode(ReadRender(Track(1)), L"sweep.aac");
    ExpectReferenceDecode(ReadRender(Track(2)), L"tone.aac");
    ExpectReferenceDecode(ReadRender(Track(3)), L"tone.aac");
    ExpectReferenceDecode(ReadRender(Track(4)), L"sweep.aac");
    EXPECT_EQ(GetFileAttributesW(Track(5).c_str()), INVALID_FILE_ATTRIBUTES) << "one track per stream";
}

// An AAC station stopped while it plays (paced, as a listener hears it) ends there: nothing of it
// reaches the container afterwards (no title, no end of its connection, no move down the list),
// and it plays again from its start.
TEST_F(PlatformModules, AStoppedAacStationSendsNothingMoreAndPlaysAgain)
{
    StartWith(L"platform_station_stop", true);
    const std::string url = ServerUrl("/radio/aac-chain/sweep.aac,tone.aac");
    ASSERT_FALSE(url.empty()) << "the test server does not run";
    ASSERT_EQ(player_->Append(std::wstring(url.begin(), url.end())), S_OK);
    std::vector<std::wstring> titles;
    player_->Sink().onEvent = [&] {
        const RecordedEvent& last = player_->Log().back();
        if (last.dispid == 1 && last.msgId == 4) titles.push_back(player_->CurrentTitle());
    };
    ASSERT_EQ(player_->Call().Method(L"Play"), S_OK);
    ASSERT_TRUE(player_->PumpUntil([&] { return titles.size() == 2; }, 20000)) << "the first title";
    ASSERT_EQ(player_->Call().Method(L"Stop"), S_OK);
    EXPECT_EQ(Get(L"Status"), 0);
    const size_t logged = player_->Log().size();
    player_->PumpUntil([] { return false; }, 1500);
    EXPECT_EQ(player_->Log().size(), logged) << "the stopped station sent more";
    ASSERT_EQ(player_->Call().Method(L"Play"), S_OK);
    EXPECT_EQ(Get(L"Status"), 1);
    ASSERT_TRUE(player_->PumpUntil([&] { return titles.size() == 4; }, 20000)) << "the first title again";
    ASSERT_EQ(player_->Call().Method(L"Stop"), S_OK);
    player_->Sink().onEvent = nullptr;
    EXPECT_EQ(titles, (std::vector<std::wstring>{L"1. AAC Radio", L"1. First Title", L"1. AAC Radio", L"1. First Title"}));
}

// Run with Media Foundation's library disabled (WINEDLLOVERRIDES "mfplat=", as on an edition of
// the system without it): the module loads, claims no file type, and the other modules play on;
// an AAC station, which nothing else decodes, fails its start with one 232.
TEST(PlatformAbsent, TheModuleClaimsNothingAndTheOthersPlay)
{
    HMODULE platform = LoadLibraryA("mfplat.dll");
    ASSERT_FALSE(platform) << "Media Foundation loads here: run with WINEDLLOVERRIDES mfplat=";
    PlayerCase player(L"platform_absent");
    PluginLayout& layout = player.Layout();
    ASSERT_TRUE(layout.AddShipped(L"IN_PCM.DLL", L"IN_PCM.DLL"));
    ASSERT_TRUE(layout.AddShipped(L"IN_MF.DLL", L"IN_MF.DLL"));
    ASSERT_TRUE(layout.AddShipped(L"IN_MPA.DLL", L"IN_MPA.DLL"));
    ASSERT_TRUE(layout.AddShipped(L"out_pq2.dll", L"out_pq2.dll"));
    ASSERT_TRUE(layout.AddOutput("OUT_KV.DLL", {"open=-1"}));
    const std::string dir = Narrow(layout.Directory());
    ASSERT_TRUE(layout.WritePluginFile(L"out_pq2.ini", {"[output]", "file=" + dir + "\\track%d.wav", "realtime=0"}));
    ASSERT_TRUE(player.Start());
    ASSERT_EQ(player.Call().Put(L"Volume", DispatchCall::Long(255)), S_OK);
    HMODULE module = GetModuleHandleW((layout.PluginsDirectory() + L"\\IN_MF.DLL").c_str());
    ASSERT_TRUE(module) << "the module did not stay loaded";
    auto get = reinterpret_cast<TunaraGetInModuleFn>(reinterpret_cast<void*>(GetProcAddress(module, "tunaraGetInModule2")));
    ASSERT_TRUE(get);
    EXPECT_EQ(get()->extensionList[0], '\0');
    Variant types;
    ASSERT_EQ(player.Call().Method(L"GetFiletypes", {DispatchCall::Out(types.Get())}), S_OK);
    EXPECT_EQ(std::wstring(types->bstrVal).find(L"M4A"), std::wstring::npos);

    const std::wstring m4a = layout.Directory() + L"\\tone.m4a";
    ASSERT_TRUE(WriteBytes(m4a, PlatformFile(L"tone.m4a")));
    const Render wave = ReadRender(ExeDirectory() + L"\\platform\\sweep.aac.ffmpeg.wav");
    ASSERT_TRUE(WriteBytes(layout.Directory() + L"\\sweep.wav", ReadBytes(ExeDirectory() + L"\\platform\\sweep.aac.ffmpeg.wav")));
    // The WAVE file first: the list stops once the M4A file at its end has failed.
    const std::string station = ServerUrl("/radio/aac-chain/sweep.aac");
    ASSERT_FALSE(station.empty()) << "the test server does not run";
    ASSERT_EQ(player.Append(layout.Directory() + L"\\sweep.wav"), S_OK);
    ASSERT_EQ(player.Append(std::wstring(station.begin(), station.end())), S_OK);
    ASSERT_EQ(player.Append(m4a), S_OK);
    player.TakeEvents();
    ASSERT_EQ(player.Call().Method(L"Play"), S_OK);
    ASSERT_TRUE(player.PumpUntil([&] { return player.Call().GetLong(L"Status") == 0; }, 20000));
    player.Pump();
    const Events events = player.TakeEvents();
    // The M4A file, which no module reads here, goes to the module of the default type (IN_MPA.DLL),
    // whose start fails as the station's does.
    EXPECT_EQ(std::count(events.begin(), events.end(), 102), 2) << "the station and the M4A file";
    long unplayable = 0;
    for (const RecordedEvent& e : player.Log())
        if (e.dispid == 2 && e.msgId == 232) ++unplayable;
    EXPECT_EQ(unplayable, 1) << "the AAC station";
    EXPECT_EQ(GetFileAttributesW((layout.Directory() + L"\\track2.wav").c_str()), INVALID_FILE_ATTRIBUTES)
        << "the AAC station wrote a track";
    const Render played = ReadRender(layout.Directory() + L"\\track1.wav");
    EXPECT_TRUE(played.samples == wave.samples) << "the WAVE file did not play";
}
