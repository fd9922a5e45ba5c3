// IN_OGG.DLL as a container drives it: FLAC, Ogg FLAC, Ogg Vorbis and Opus files playing through
// the file-writing output, each written track compared with the reference decoder's decoding of
// the same file (flac -d, oggdec, opusdec; made by tests/ogg/make_ogg.py into bin/ogg).
#include <windows.h>
#include <psapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "support/http_server.h"
#include "support/player_case.h"
#include "support/test_paths.h"
#include "win/bstr.h"
#include "win/variant.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Events = std::vector<long>;

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

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

std::wstring TestFile(const std::wstring& name) { return ExeDirectory() + L"\\ogg\\" + name; }

// Deterministic noise over the full range of each byte.
Bytes Noise(size_t bytes, uint32_t seed)
{
    Bytes out(bytes);
    for (uint8_t& b : out) {
        seed = seed * 1664525u + 1013904223u;
        b = static_cast<uint8_t>(seed >> 24);
    }
    return out;
}

// The integer PCM of a WAVE file (plain or extensible format, 8 to 32 bits), each sample as a
// signed value of its own width (8-bit samples centred on 0).
struct Pcm {
    int channels = 0;
    int rate = 0;
    int bits = 0;
    std::vector<int32_t> samples;
    size_t Frames() const { return channels ? samples.size() / static_cast<size_t>(channels) : 0; }
};

Pcm ReadPcm(const std::wstring& path)
{
    const Bytes file = ReadBytes(path);
    Pcm pcm;
    auto get = [&](size_t at, int bytes) {
        uint32_t v = 0;
        for (int i = 0; i < bytes; ++i) v |= static_cast<uint32_t>(file[at + static_cast<size_t>(i)]) << (8 * i);
        return v;
    };
    EXPECT_TRUE(file.size() >= 12 && std::memcmp(file.data(), "RIFF", 4) == 0 && std::memcmp(file.data() + 8, "WAVE", 4) == 0)
        << "no WAVE file: " << Narrow(path);
    if (file.size() < 12) return pcm;
    EXPECT_EQ(get(4, 4), file.size() - 8) << "RIFF size of " << Narrow(path);
    for (size_t at = 12; at + 8 <= file.size();) {
        const size_t size = get(at + 4, 4);
        const size_t body = at + 8;
        if (std::memcmp(&file[at], "fmt ", 4) == 0 && body + 16 <= file.size()) {
            pcm.channels = static_cast<int>(get(body + 2, 2));
            pcm.rate = static_cast<int>(get(body + 4, 4));
            pcm.bits = static_cast<int>(get(body + 14, 2));
        } else if (std::memcmp(&file[at], "data", 4) == 0 && pcm.bits) {
            const int width = pcm.bits / 8;
            const size_t end = std::min(file.size(), body + size);
            for (size_t i = body; i + static_cast<size_t>(width) <= end; i += static_cast<size_t>(width)) {
                const uint32_t raw = get(i, width);
                if (width == 1) pcm.samples.push_back(static_cast<int32_t>(raw) - 128);
                else pcm.samples.push_back(static_cast<int32_t>(raw << (32 - pcm.bits)) >> (32 - pcm.bits));
            }
        }
        at = body + size + (size & 1);
    }
    return pcm;
}

// A track the output wrote: 16-bit PCM.
Pcm ReadTrack(const std::wstring& path)
{
    Pcm pcm = ReadPcm(path);
    EXPECT_EQ(pcm.bits, 16) << Narrow(path);
    return pcm;
}

// The reference decoding as 16-bit samples, the way this module makes them: deeper samples
// rounded to the nearest (halves upwards, no dither), 8-bit ones scaled up.
std::vector<int32_t> As16Bits(const Pcm& pcm)
{
    std::vector<int32_t> out;
    out.reserve(pcm.samples.size());
    const int shift = pcm.bits - 16;
    for (int32_t s : pcm.samples) {
        if (shift <= 0) out.push_back(s * (1 << -shift));
        else out.push_back(std::min<int64_t>(32767, (static_cast<int64_t>(s) + (int64_t{1} << (shift - 1))) >> shift));
    }
    return out;
}

// The largest difference between a track and the reference decoding of its file, sample for
// sample, with the format and the count of samples checked; -1 when they cannot be compared.
int WorstDifference(const Pcm& track, const std::wstring& referenceName)
{
    const Pcm reference = ReadPcm(TestFile(referenceName));
    EXPECT_EQ(track.rate, reference.rate) << Narrow(referenceName);
    EXPECT_EQ(track.channels, reference.channels) << Narrow(referenceName);
    const std::vector<int32_t> want = As16Bits(reference);
    EXPECT_EQ(track.samples.size(), want.size()) << Narrow(referenceName);
    if (track.samples.size() != want.size() || want.empty()) return -1;
    int worst = 0;
    for (size_t i = 0; i < want.size(); ++i) worst = std::max(worst, std::abs(track.samples[i] - want[i]));
    return worst;
}

class OggModules : public testing::Test {
protected:
    // IN_OGG.DLL and IN_MPA.DLL with out_pq2.dll as shipped; OUT_KV.DLL is a device output whose
    // open fails, so the control falls back to the file writer as on a machine without a device.
    void StartWith(const std::wstring& caseName)
    {
        player_ = std::make_unique<PlayerCase>(caseName);
        PluginLayout& layout = player_->Layout();
        ASSERT_TRUE(layout.AddShipped(L"IN_OGG.DLL", L"IN_OGG.DLL"));
        ASSERT_TRUE(layout.AddShipped(L"IN_MPA.DLL", L"IN_MPA.DLL"));
        ASSERT_TRUE(layout.AddShipped(L"out_pq2.dll", L"out_pq2.dll"));
        ASSERT_TRUE(layout.AddOutput("OUT_KV.DLL", {"open=-1"}));
        ASSERT_TRUE(player_->Start());
        Put(L"Volume", 255);
    }
    void Settings(bool realtime)
    {
        ASSERT_TRUE(player_->Layout().WritePluginFile(
            L"out_pq2.ini", {"[output]", "file=" + Narrow(Dir()) + "\\track%d.wav", realtime ? "realtime=1" : "realtime=0"}));
    }
    std::wstring Dir() { return player_->Layout().Directory(); }
    InputPluginRecord* Input()
    {
        HMODULE module = GetModuleHandleW((player_->Layout().PluginsDirectory() + L"\\IN_OGG.DLL").c_str());
        auto get = reinterpret_cast<TunaraGetInModuleFn>(
            reinterpret_cast<void*>(module ? GetProcAddress(module, "tunaraGetInModule2") : nullptr));
        return get ? get() : nullptr;
    }
    // Writes bytes into the case's folder under name and appends it.
    std::wstring Add(const std::wstring& name, const Bytes& bytes)
    {
        const std::wstring path = Dir() + L"\\" + name;
        EXPECT_TRUE(WriteBytes(path, bytes));
        EXPECT_EQ(player_->Append(path), S_OK);
        return path;
    }
    // Copies one of the encoded test files into the case's folder and appends it.
    std::wstring AddTestFile(const std::wstring& name) { return Add(name, ReadBytes(TestFile(name))); }
    std::wstring Track(int n) { return Dir() + L"\\track" + std::to_wstring(n) + L".wav"; }
    long Get(const wchar_t* property) { return player_->Call().GetLong(property); }
    void Put(const wchar_t* property, long value) { ASSERT_EQ(player_->Call().Put(property, DispatchCall::Long(value)), S_OK); }
    void PlayToEnd(DWORD timeoutMs = 30000)
    {
        ASSERT_EQ(player_->Call().Method(L"Play"), S_OK);
        ASSERT_TRUE(player_->PumpUntil([&] { return Get(L"Status") == 0; }, timeoutMs));
        player_->Pump();
    }
    void Wait(DWORD ms) { player_->PumpUntil([] { return false; }, ms); }
    // The playlist entry's title and length in seconds.
    std::pair<std::wstring, long> Entry(long position)
    {
        Variant name, title, length;
        EXPECT_EQ(player_->Control()->GetPlaylistItem(position, name.Get(), title.Get(), length.Get()), S_OK);
        return {title->vt == VT_BSTR ? std::wstring(title->bstrVal) : L"", length->lVal};
    }

    std::unique_ptr<PlayerCase> player_;
};

// The extended information the module answers about a file, each text with a guard behind it.
struct HeaderInfo {
    struct Guarded {
        char text[32];
        char guard[8];
    } field[6];
    int32_t bitrate = 0, rate = 0, stereo = 0, vbr = -1;

    int32_t Ask(InputPluginRecord* input, const std::string& path)
    {
        for (Guarded& f : field) std::memset(&f, '#', sizeof f);
        return input->getExtendedInfo(path.c_str(), field[0].text, field[1].text, field[2].text, field[3].text,
                                      field[4].text, field[5].text, &bitrate, &rate, &stereo, &vbr);
    }
    // Nothing written past any buffer; the year's holds 8 bytes.
    bool Intact() const
    {
        for (int i = 0; i < 6; ++i)
            if (std::string(field[i].guard, 8) != std::string(8, '#')) return false;
        return std::string(field[4].text + 8, 24) == std::string(24, '#');
    }
    std::string Text(int i) const { return field[i].text; }
};

}  // namespace

// A list of every kind of file, with a file of noise among them: each plays to its own track,
// the list moves past the noise, and every track is exactly its source's length and equals the
// reference decoder's decoding of its file (FLAC of 16 bits bit for bit, deeper FLAC rounded to
// the nearest 16-bit value, Vorbis and Opus within one step). Titles and lengths come from the
// headers and comments, "Artist - Title" where both are there, else the base name.
TEST_F(OggModules, EveryKindOfFilePlaysItsSourceSamples)
{
    StartWith(L"ogg_list");
    Settings(false);
    const wchar_t* files[] = {L"flac16.flac", L"flac24.flac",     L"flac8.flac", L"ogg_flac.oga", L"noise.ogg",
                              L"vorbis.ogg",  L"vorbis_mono.oga", L"opus.opus",  L"opus_in.ogg"};
    for (const wchar_t* file : files) {
        if (std::wstring(file) == L"noise.ogg") Add(file, Noise(30000, 3));
        else AddTestFile(file);
    }
    const std::pair<std::wstring, long> entries[] = {
        {L"Maker - Tone", 2}, {L"Deep", 0}, {L"flac8", 1},         {L"ogg flac", 1},      {L"noise", -1},
        {L"Band - Caf\u00e9", 2}, {L"vorbis mono", 1}, {L"Singer - Song", 1}, {L"opus in", 0}};
    for (long i = 0; i < 9; ++i) EXPECT_EQ(Entry(i), entries[i]) << i;
    player_->TakeEvents();
    PlayToEnd();
    const Events events = player_->TakeEvents();
    EXPECT_EQ(std::count(events.begin(), events.end(), 4), 8) << "eight tracks started";
    EXPECT_EQ(std::count(events.begin(), events.end(), 102), 1) << "the noise failed to start";
    EXPECT_EQ(GetFileAttributesW(Track(9).c_str()), INVALID_FILE_ATTRIBUTES) << "the noise wrote a track";

    // Bit for bit: the 16-bit FLAC files are their sources.
    const Pcm flac16 = ReadTrack(Track(1));
    EXPECT_TRUE(flac16.samples == ReadPcm(TestFile(L"flac16.source.wav")).samples) << "not the source's samples";
    EXPECT_EQ(WorstDifference(flac16, L"flac16.ref.wav"), 0);
    EXPECT_EQ(WorstDifference(ReadTrack(Track(2)), L"flac24.ref.wav"), 0) << "24 bits not rounded to the nearest";
    EXPECT_EQ(WorstDifference(ReadTrack(Track(3)), L"flac8.ref.wav"), 0);
    EXPECT_EQ(WorstDifference(ReadTrack(Track(4)), L"ogg_flac.ref.wav"), 0);
    EXPECT_LE(WorstDifference(ReadTrack(Track(5)), L"vorbis.ref.wav"), 1);
    EXPECT_LE(WorstDifference(ReadTrack(Track(6)), L"vorbis_mono.ref.wav"), 1);
    EXPECT_LE(WorstDifference(ReadTrack(Track(7)), L"opus.ref.wav"), 1);
    EXPECT_LE(WorstDifference(ReadTrack(Track(8)), L"opus_in.ref.wav"), 1);
    // Gapless: exactly the samples that were encoded, Opus at 48 kHz.
    const wchar_t* sources[] = {L"flac16", L"flac24", L"flac8", L"ogg_flac", L"vorbis", L"vorbis_mono", L"opus", L"opus_in"};
    for (int track = 1; track <= 8; ++track) {
        const Pcm source = ReadPcm(TestFile(std::wstring(sources[track - 1]) + L".source.wav"));
        const Pcm written = ReadTrack(Track(track));
        EXPECT_EQ(written.Frames(), source.Frames()) << Narrow(sources[track - 1]);
        EXPECT_EQ(written.rate, source.rate) << Narrow(sources[track - 1]);
    }
    // The full-scale run of the 24-bit file stays at the largest 16-bit value.
    const Pcm deep = ReadTrack(Track(2));
    EXPECT_EQ(deep.samples[2 * (72000 - 1500)], 32767);
}

// Titles, comments, years, genres and numbers from the comments and headers; UTF-8 comments come
// in the ANSI code page; every text stays within its buffer.
TEST_F(OggModules, CommentsAndHeadersAnswerTheExtendedInformation)
{
    StartWith(L"ogg_info");
    const std::wstring flac = AddTestFile(L"flac16.flac");
    const std::wstring vorbis = AddTestFile(L"vorbis.ogg");
    const std::wstring opus = AddTestFile(L"opus.opus");
    const std::wstring mono = AddTestFile(L"opus_in.ogg");
    InputPluginRecord* input = Input();
    ASSERT_TRUE(input);
    HeaderInfo info;
    ASSERT_EQ(info.Ask(input, Narrow(flac)), 1);
    EXPECT_EQ(info.Text(0), "Tone");
    EXPECT_EQ(info.Text(1), "Maker");
    EXPECT_EQ(info.Text(2), "Generated");
    EXPECT_EQ(info.Text(3), "made here");
    EXPECT_EQ(info.Text(4), "2024") << "the year of a full date";
    EXPECT_EQ(info.Text(5), "Jazz");
    EXPECT_EQ(info.rate, 44100);
    EXPECT_EQ(info.stereo, 1);
    EXPECT_EQ(info.vbr, 1);
    const double flacKbps = ReadBytes(TestFile(L"flac16.flac")).size() * 8.0 / (88323 * 1000.0 / 44100);
    EXPECT_NEAR(info.bitrate, flacKbps, 1);
    EXPECT_TRUE(info.Intact());

    ASSERT_EQ(info.Ask(input, Narrow(vorbis)), 1);
    EXPECT_EQ(info.Text(0), "Caf\xe9");
    EXPECT_EQ(info.Text(1), "Band");
    EXPECT_EQ(info.Text(2), "Album");
    EXPECT_EQ(info.Text(3), "vorbis note");
    EXPECT_EQ(info.Text(4), "2023");
    EXPECT_EQ(info.Text(5), "Rock");
    EXPECT_EQ(info.rate, 44100);
    EXPECT_EQ(info.stereo, 1);
    EXPECT_EQ(info.vbr, 1);
    // The average of the audio packets (the sweep needs far less than quality 4's nominal 128 kbit/s),
    // which leave out the headers' codebooks.
    const double vorbisKbps = ReadBytes(TestFile(L"vorbis.ogg")).size() * 8.0 / (100000 * 1000.0 / 44100);
    EXPECT_GT(info.bitrate, 4);
    EXPECT_LT(info.bitrate, vorbisKbps);
    EXPECT_TRUE(info.Intact());

    ASSERT_EQ(info.Ask(input, Narrow(opus)), 1);
    EXPECT_EQ(info.Text(0), "Song");
    EXPECT_EQ(info.Text(1), "Singer");
    EXPECT_EQ(info.Text(2), "Record");
    EXPECT_EQ(info.Text(3), "opus note");
    EXPECT_EQ(info.Text(4), "2022");
    EXPECT_EQ(info.Text(5), "Pop");
    EXPECT_EQ(info.rate, 48000);
    EXPECT_EQ(info.stereo, 1);
    EXPECT_EQ(info.vbr, 1);
    // The whole file's bytes over its length.
    EXPECT_NEAR(info.bitrate, ReadBytes(TestFile(L"opus.opus")).size() * 8.0 / 1200, 1);
    ASSERT_EQ(info.Ask(input, Narrow(mono)), 1);
    EXPECT_EQ(info.Text(0), "opus_in") << "no title: the base name";
    EXPECT_EQ(info.Text(1), "");
    EXPECT_EQ(info.stereo, 0);
    EXPECT_TRUE(info.Intact());

    // Through the container: the title in its own characters.
    std::vector<Variant> out(11);
    Bstr name(SysAllocString(vorbis.c_str()));
    ASSERT_EQ(player_->Control()->GetFileHeaderInfos(name.Get(), out[0].Get(), out[1].Get(), out[2].Get(), out[3].Get(),
                                                     out[4].Get(), out[5].Get(), out[6].Get(), out[7].Get(),
                                                     out[8].Get(), out[9].Get(), out[10].Get()),
              S_OK);
    EXPECT_EQ(out[0]->iVal, 1);
    EXPECT_EQ(std::wstring(out[1]->bstrVal), L"Caf\u00e9");
    EXPECT_EQ(out[8]->lVal, 44100);

    // The file types the container offers name every extension.
    Variant types;
    ASSERT_EQ(player_->Control()->GetFiletypes(types.Get()), S_OK);
    EXPECT_NE(std::wstring(types->bstrVal).find(L"|*.FLAC;*.OGA;*.OGG;*.OPUS|"), std::wstring::npos)
        << Narrow(types->bstrVal);
}

// Paced, a seek to 1 s after a moment of play: the track holds what was heard before the seek,
// then exactly the samples from 1 s on (FLAC bit for bit, Vorbis within one step of the reference;
// Opus the right count of samples in phase, its decoder's state settling within 200 ms).
TEST_F(OggModules, SeeksLandOnTheSample)
{
    StartWith(L"ogg_seek");
    Settings(true);
    struct Case {
        const wchar_t* file;
        const wchar_t* reference;
        int tolerance;
    } cases[] = {{L"flac16.flac", L"flac16.ref.wav", 0}, {L"vorbis.ogg", L"vorbis.ref.wav", 1},
                 {L"opus.opus", L"opus.ref.wav", -1}};
    int track = 0;
    for (const Case& c : cases) {
        ASSERT_EQ(player_->Call().Method(L"ClearPlaylist"), S_OK);
        AddTestFile(c.file);
        ASSERT_EQ(player_->Call().Method(L"Play"), S_OK);
        Wait(200);
        Put(L"Position", 1);
        ASSERT_TRUE(player_->PumpUntil([&] { return Get(L"Status") == 0; }));
        const Pcm seeked = ReadTrack(Track(++track));
        const Pcm reference = ReadPcm(TestFile(c.reference));
        const size_t channels = static_cast<size_t>(reference.channels);
        const size_t from = static_cast<size_t>(reference.rate) * channels;
        const size_t tail = reference.samples.size() - from;
        ASSERT_GT(seeked.samples.size(), tail) << "nothing played before the seek: " << Narrow(c.file);
        ASSERT_LT(seeked.samples.size(), tail + from) << "the seek did not skip: " << Narrow(c.file);
        const size_t head = seeked.samples.size() - tail;
        EXPECT_EQ(head % channels, 0u);
        int worstHead = 0, worstTail = 0;
        for (size_t i = 0; i < head; ++i) worstHead = std::max(worstHead, std::abs(seeked.samples[i] - reference.samples[i]));
        for (size_t i = 0; i < tail; ++i)
            worstTail = std::max(worstTail, std::abs(seeked.samples[head + i] - reference.samples[from + i]));
        if (c.tolerance >= 0) {
            EXPECT_LE(worstHead, std::max(c.tolerance, 0)) << Narrow(c.file);
            EXPECT_LE(worstTail, c.tolerance) << Narrow(c.file);
        } else {
            // Opus restarts its decoder a little before the position: its output converges on the
            // continuous decoding's, halving the difference about every 20 ms (a sample out of
            // phase would differ by about 1,000 throughout).
            const size_t settled = 48000 / 5 * channels;
            int worstSettled = 0;
            for (size_t i = settled; i < tail; ++i)
                worstSettled = std::max(worstSettled, std::abs(seeked.samples[head + i] - reference.samples[from + i]));
            EXPECT_LE(worstHead, 1) << Narrow(c.file);
            EXPECT_LT(worstTail, 8000) << Narrow(c.file);
            EXPECT_LE(worstSettled, 8) << Narrow(c.file);
        }
    }
}

// Pause holds the track without losing a sample; volume scales what is written; a play limit
// cuts the track; the end of the stream comes once the output has played it all.
TEST_F(OggModules, PauseVolumeAndLimitWorkThroughTheStream)
{
    StartWith(L"ogg_shape");
    Settings(true);
    AddTestFile(L"vorbis_mono.oga");
    ASSERT_EQ(player_->Call().Method(L"Play"), S_OK);
    Wait(200);
    ASSERT_EQ(player_->Call().Method(L"Pause"), S_OK);
    EXPECT_EQ(Get(L"Status"), 2);
    Wait(100);
    WIN32_FILE_ATTRIBUTE_DATA before{}, after{};
    GetFileAttributesExW(Track(1).c_str(), GetFileExInfoStandard, &before);
    Wait(400);
    GetFileAttributesExW(Track(1).c_str(), GetFileExInfoStandard, &after);
    EXPECT_EQ(before.nFileSizeLow, after.nFileSizeLow) << "written while paused";
    ASSERT_EQ(player_->Call().Method(L"Pause"), S_OK);
    EXPECT_EQ(Get(L"Status"), 1);
    ASSERT_TRUE(player_->PumpUntil([&] { return Get(L"Status") == 0; }));
    EXPECT_LE(WorstDifference(ReadTrack(Track(1)), L"vorbis_mono.ref.wav"), 1) << "a pause changed the samples";

    Settings(false);
    Put(L"Volume", 128);
    ASSERT_EQ(player_->Call().Method(L"ClearPlaylist"), S_OK);
    AddTestFile(L"flac16.flac");
    PlayToEnd();
    const Pcm scaled = ReadTrack(Track(2));
    const Pcm source = ReadPcm(TestFile(L"flac16.source.wav"));
    ASSERT_EQ(scaled.samples.size(), source.samples.size());
    int worst = 0;
    for (size_t i = 0; i < source.samples.size(); ++i)
        worst = std::max(worst, std::abs(scaled.samples[i] - static_cast<int>(std::lround(source.samples[i] * 128.0 / 255.0))));
    EXPECT_LE(worst, 1) << "volume 128 is not a linear scale";

    // Half a second of a 1.2 s file.
    Put(L"Volume", 255);
    Settings(true);
    ASSERT_EQ(player_->Call().Method(L"ClearPlaylist"), S_OK);
    const std::wstring limited = Dir() + L"\\limited.opus";
    ASSERT_TRUE(WriteBytes(limited, ReadBytes(TestFile(L"opus.opus"))));
    ASSERT_EQ(player_->AppendWithArgs(limited, 100, 500), S_OK);
    player_->TakeEvents();
    PlayToEnd();
    EXPECT_EQ(player_->TakeEvents(), (Events{1, 4}));
    const Pcm cut = ReadTrack(Track(3));
    EXPECT_GE(cut.Frames(), 24000u);
    EXPECT_LT(cut.Frames(), 48000u);
}

// Files whose bytes are no stream this module plays, whatever their names say, fail to start once
// each (the list moves on) with their base names and an unknown length; a file whose bytes are a
// stream it plays plays under any of its extensions.
TEST_F(OggModules, MislabelledAndBrokenFilesFailToStart)
{
    StartWith(L"ogg_broken");
    Settings(false);
    const Bytes flac = ReadBytes(TestFile(L"flac16.flac"));
    const Bytes vorbis = ReadBytes(TestFile(L"vorbis.ogg"));
    const Bytes opus = ReadBytes(TestFile(L"opus.opus"));
    const std::vector<std::pair<std::wstring, Bytes>> broken = {
        {L"noise.ogg", Noise(20000, 9)},
        {L"mpeg.flac", ReadBytes(ExeDirectory() + L"\\mp3\\cbr_bare.mp3")},
        {L"cut_flac.flac", Bytes(flac.begin(), flac.begin() + 30)},
        {L"cut_vorbis.ogg", Bytes(vorbis.begin(), vorbis.begin() + 200)},
        {L"cut_opus.opus", Bytes(opus.begin(), opus.begin() + 40)},
        {L"ogg_of_noise.oga", [] {
             Bytes page = {'O', 'g', 'g', 'S', 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 30};
             const Bytes body = Noise(30, 4);
             page.insert(page.end(), body.begin(), body.end());
             return page;
         }()},
        {L"empty.opus", Bytes()},
    };
    for (auto& file : broken) Add(file.first, file.second);
    for (long i = 0; i < static_cast<long>(broken.size()); ++i) {
        std::wstring base = broken[static_cast<size_t>(i)].first;
        base = base.substr(0, base.rfind(L'.'));
        std::replace(base.begin(), base.end(), L'_', L' ');
        EXPECT_EQ(Entry(i), std::make_pair(base, -1L)) << i;
    }
    player_->TakeEvents();
    PlayToEnd();
    const Events events = player_->TakeEvents();
    EXPECT_EQ(std::count(events.begin(), events.end(), 102), static_cast<long>(broken.size()));
    EXPECT_EQ(std::count(events.begin(), events.end(), 4), 0);
    EXPECT_EQ(GetFileAttributesW(Track(1).c_str()), INVALID_FILE_ATTRIBUTES) << "a failed start wrote a file";
    InputPluginRecord* input = Input();
    ASSERT_TRUE(input);
    for (auto& file : broken) {
        HeaderInfo info;
        EXPECT_EQ(info.Ask(input, Narrow(Dir() + L"\\" + file.first)), 0) << Narrow(file.first);
    }

    // The bytes decide: FLAC named .ogg, Vorbis named .opus, Opus named .flac.
    ASSERT_EQ(player_->Call().Method(L"ClearPlaylist"), S_OK);
    Add(L"flac.ogg", flac);
    Add(L"vorbis.opus", vorbis);
    Add(L"opus.flac", opus);
    PlayToEnd();
    EXPECT_EQ(WorstDifference(ReadTrack(Track(1)), L"flac16.ref.wav"), 0);
    EXPECT_LE(WorstDifference(ReadTrack(Track(2)), L"vorbis.ref.wav"), 1);
    EXPECT_LE(WorstDifference(ReadTrack(Track(3)), L"opus.ref.wav"), 1);
}

// Thousands of files mutated from each kind of file (headers, comments, pages and frames), some
// cut short: every answer stays inside its buffers, and four files of each hundred (one of each
// kind) play to their end or fail to start through the decoding thread.
TEST_F(OggModules, MutatedFilesStayInsideTheirBuffers)
{
    StartWith(L"ogg_mutated");
    Settings(false);
    InputPluginRecord* input = Input();
    ASSERT_TRUE(input);
    const Bytes seeds[] = {ReadBytes(TestFile(L"flac16.flac")), ReadBytes(TestFile(L"ogg_flac.oga")),
                           ReadBytes(TestFile(L"vorbis.ogg")), ReadBytes(TestFile(L"opus.opus"))};
    for (const Bytes& seed : seeds) ASSERT_GT(seed.size(), 4000u);
    const std::string path = Narrow(Dir()) + "\\mutated.ogg";
    const std::wstring widePath(path.begin(), path.end());
    uint32_t random = 2024;
    auto next = [&random] {
        random = random * 1664525u + 1013904223u;
        return random >> 8;
    };
    int answered = 0;
    for (int round = 0; round < 3000; ++round) {
        Bytes mutated = seeds[round % 4];
        // One to four bytes, each among the first 64 (the bytes that tell the kind, the first
        // page's header) or anywhere (headers, comments, pages, frames); a third cut short too.
        for (uint32_t n = next() % 4 + 1; n > 0; --n) {
            const size_t span = next() % 2 ? mutated.size() : 64;
            mutated[next() % span] = static_cast<uint8_t>(next());
        }
        if (round % 3 == 0) mutated.resize(next() % mutated.size());
        ASSERT_TRUE(WriteBytes(widePath, mutated));
        char title[512 + 8];
        std::memset(title, '#', sizeof title);
        int32_t ms = 0;
        input->getFileInfo(path.c_str(), title, &ms);
        ASSERT_EQ(std::string(title + 512, 8), std::string(8, '#')) << "round " << round;
        HeaderInfo info;
        answered += info.Ask(input, path);
        ASSERT_TRUE(info.Intact()) << "round " << round;
        if (round % 100 < 4) {
            ASSERT_EQ(player_->Call().Method(L"ClearPlaylist"), S_OK);
            ASSERT_EQ(player_->Append(widePath), S_OK);
            PlayToEnd();
        }
    }
    EXPECT_GT(answered, 300) << "the mutations hid every file";
    EXPECT_LT(answered, 3000) << "no mutation made a file unreadable";
}

// Hundreds of starts and stops of each kind of file (a decoder, an open file, an output and a
// thread each time) leave no handle, thread or memory behind.
TEST_F(OggModules, PlayStopCyclesLeaveNothingBehind)
{
    StartWith(L"ogg_cycles");
    // Paced and writing nothing: each start opens the output, each stop closes it.
    ASSERT_TRUE(player_->Layout().WritePluginFile(L"out_pq2.ini", {"[output]", "file=", "realtime=1"}));
    AddTestFile(L"flac16.flac");
    AddTestFile(L"ogg_flac.oga");
    AddTestFile(L"vorbis.ogg");
    AddTestFile(L"opus.opus");
    auto threads = [] {
        DWORD count = 0;
        HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
        THREADENTRY32 entry{};
        entry.dwSize = sizeof entry;
        for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
            if (entry.th32OwnerProcessID == GetCurrentProcessId()) ++count;
        CloseHandle(snapshot);
        return count;
    };
    auto privateBytes = [] {
        PROCESS_MEMORY_COUNTERS_EX counters{};
        counters.cb = sizeof counters;
        GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                             sizeof counters);
        return counters.PrivateUsage;
    };
    long entry = 0;
    auto cycle = [&] {
        Put(L"PlaylistPos", entry++ % 4);
        EXPECT_EQ(player_->Control()->Play(), S_OK);
        EXPECT_EQ(Get(L"Status"), 1);
        player_->Control()->Stop();
        player_->Pump();
    };
    for (int i = 0; i < 40; ++i) cycle();
    DWORD handlesBefore = 0;
    GetProcessHandleCount(GetCurrentProcess(), &handlesBefore);
    const DWORD threadsBefore = threads();
    const SIZE_T bytesBefore = privateBytes();
    const int cycles = 800;
    for (int i = 0; i < cycles; ++i) cycle();
    DWORD handlesAfter = 0;
    GetProcessHandleCount(GetCurrentProcess(), &handlesAfter);
    EXPECT_LE(handlesAfter, handlesBefore + 2);
    EXPECT_LE(threads(), threadsBefore + 2);
    EXPECT_LT(privateBytes(), bytesBefore + 1024 * 1024);
    const Events events = player_->TakeEvents();
    EXPECT_EQ(std::count(events.begin(), events.end(), 4), 40 + cycles) << "every start succeeded";
}

// Two stations of chained Ogg streams from the test server, then one of a type nothing decodes:
// each chained stream's comments give the title the container hears (in order, once the stream
// before has been heard; a Cyrillic one whole), a stream of another rate or count of channels opens the output again
// (a new track of the file writer), and each track is the reference decoder's decoding of the
// files chained into it, within one step. The third station is refused with 232.
TEST_F(OggModules, ChainedStationsAnnounceEachStreamAndReopenAtANewFormat)
{
    StartWith(L"ogg_stations");
    Settings(false);
    for (const char* path : {"/radio/ogg-chain/chain_a.ogg,chain_b.ogg,chain_c.oga",
                             "/radio/opus-chain/chain_d.opus,chain_e.opus", "/radio/unknown"}) {
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
    player_->Sink().onEvent = nullptr;
    EXPECT_EQ(titles, (std::vector<std::wstring>{L"1. One - First Song", L"1. Two - Second Song", L"1. Three - \u0422\u0440\u0435\u0442\u044c\u044f \u043f\u0435\u0441\u043d\u044f",
                                                 L"2. Four - Opus One", L"2. Five - Opus Two"}));
    long refused = 0;
    for (const RecordedEvent& e : player_->Log())
        if (e.dispid == 2 && e.msgId == 232) ++refused;
    EXPECT_EQ(refused, 1) << "the station of an unknown type";

    // The reference decodings of the files each track chains.
    auto chained = [](std::initializer_list<const wchar_t*> names) {
        Pcm all;
        for (const wchar_t* name : names) {
            const Pcm one = ReadPcm(TestFile(name));
            all.rate = one.rate;
            all.channels = one.channels;
            all.bits = one.bits;
            all.samples.insert(all.samples.end(), one.samples.begin(), one.samples.end());
        }
        return all;
    };
    const std::pair<int, Pcm> tracks[] = {{1, chained({L"chain_a.ref.wav", L"chain_b.ref.wav"})},
                                          {2, chained({L"chain_c.ref.wav"})},
                                          {3, chained({L"chain_d.ref.wav"})},
                                          {4, chained({L"chain_e.ref.wav"})}};
    for (const auto& [number, reference] : tracks) {
        const Pcm track = ReadTrack(Track(number));
        EXPECT_EQ(track.rate, reference.rate) << number;
        EXPECT_EQ(track.channels, reference.channels) << number;
        ASSERT_EQ(track.samples.size(), reference.samples.size()) << number;
        int worst = 0;
        for (size_t i = 0; i < track.samples.size(); ++i)
            worst = std::max(worst, std::abs(track.samples[i] - reference.samples[i]));
        EXPECT_LE(worst, 1) << number;
    }
    EXPECT_EQ(GetFileAttributesW(Track(5).c_str()), INVALID_FILE_ATTRIBUTES) << "the refused station wrote a track";
}

// ICY metadata inside an Ogg station is taken out of the stream (the decoding is the reference's
// still) and its title (UTF-8, half Cyrillic) is announced between those of the chained streams'
// comments.
TEST_F(OggModules, IcyTitlesOnAnOggStationAreAnnouncedToo)
{
    StartWith(L"ogg_icy_station");
    Settings(false);
    const std::string url = ServerUrl("/radio/ogg-chain-icy/chain_a.ogg,chain_b.ogg");
    ASSERT_FALSE(url.empty()) << "the test server does not run";
    ASSERT_EQ(player_->Append(std::wstring(url.begin(), url.end())), S_OK);
    std::vector<std::wstring> titles;
    player_->Sink().onEvent = [&] {
        const RecordedEvent& last = player_->Log().back();
        if (last.dispid == 1 && last.msgId == 4) titles.push_back(player_->CurrentTitle());
    };
    ASSERT_EQ(player_->Call().Method(L"Play"), S_OK);
    EXPECT_TRUE(player_->PumpUntil([&] { return titles.size() == 3 && Get(L"Status") == 0; }, 60000));
    player_->Sink().onEvent = nullptr;
    EXPECT_EQ(titles, (std::vector<std::wstring>{L"1. One - First Song", L"1. Live \u042d\u043a\u0441\u0442\u0440\u0430", L"1. Two - Second Song"}));
    const Pcm track = ReadTrack(Track(1));
    Pcm reference = ReadPcm(TestFile(L"chain_a.ref.wav"));
    const Pcm second = ReadPcm(TestFile(L"chain_b.ref.wav"));
    reference.samples.insert(reference.samples.end(), second.samples.begin(), second.samples.end());
    ASSERT_EQ(track.samples.size(), reference.samples.size());
    int worst = 0;
    for (size_t i = 0; i < track.samples.size(); ++i) worst = std::max(worst, std::abs(track.samples[i] - reference.samples[i]));
    EXPECT_LE(worst, 1);
}
