// The modules we ship, driven as a container drives them: the WAVE reader playing through the
// file-writing output (the fallback where the device output does not open), with every written
// file compared against the source or against a conversion made here.
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "support/http_server.h"
#include "support/player_case.h"
#include "support/process_usage.h"
#include "support/test_paths.h"
#include "win/bstr.h"
#include "win/variant.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Events = std::vector<long>;

void Put(Bytes& out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

void PutId(Bytes& out, const char* id) { out.insert(out.end(), id, id + 4); }

void PutChunk(Bytes& out, const char* id, const Bytes& body)
{
    PutId(out, id);
    Put(out, static_cast<uint32_t>(body.size()), 4);
    out.insert(out.end(), body.begin(), body.end());
    if (body.size() % 2) out.push_back(0);
}

struct Format {
    uint16_t tag;  // 1 PCM, 3 float, 0xFFFE extensible (sub-format in subTag)
    int channels;
    int rate;
    int bits;
    uint16_t subTag = 0;
};

Bytes FmtBody(const Format& f)
{
    Bytes body;
    const int align = f.channels * f.bits / 8;
    Put(body, f.tag, 2);
    Put(body, static_cast<uint32_t>(f.channels), 2);
    Put(body, static_cast<uint32_t>(f.rate), 4);
    Put(body, static_cast<uint32_t>(f.rate * align), 4);
    Put(body, static_cast<uint32_t>(align), 2);
    Put(body, static_cast<uint32_t>(f.bits), 2);
    if (f.tag == 0xFFFE) {
        Put(body, 22, 2);
        Put(body, static_cast<uint32_t>(f.bits), 2);
        Put(body, 0, 4);
        static const uint8_t guidTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80, 0x00,
                                             0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
        Put(body, f.subTag, 2);
        body.insert(body.end(), guidTail, guidTail + 14);
    }
    return body;
}

// A WAVE file: fmt, an optional LIST/INFO title, data.
Bytes WaveWithFmt(const Bytes& fmt, const Bytes& samples, const char* title = nullptr)
{
    Bytes chunks;
    PutId(chunks, "WAVE");
    PutChunk(chunks, "fmt ", fmt);
    if (title) {
        Bytes info, text(title, title + std::strlen(title) + 1);
        PutId(info, "INFO");
        PutChunk(info, "INAM", text);
        PutChunk(chunks, "LIST", info);
    }
    PutChunk(chunks, "data", samples);
    Bytes file;
    PutChunk(file, "RIFF", chunks);
    return file;
}

Bytes Wave(const Format& format, const Bytes& samples, const char* title = nullptr)
{
    return WaveWithFmt(FmtBody(format), samples, title);
}

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

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

std::vector<int16_t> AsInt16(const Bytes& data)
{
    std::vector<int16_t> out(data.size() / 2);
    std::memcpy(out.data(), data.data(), out.size() * 2);
    return out;
}

bool WriteBytes(const std::wstring& path, const Bytes& bytes)
{
    std::ofstream out(std::filesystem::path(path), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out.flush());
}

// A file the output wrote, with its header checked against the file's size.
struct Render {
    int channels = 0;
    int rate = 0;
    int bits = 0;
    std::vector<int16_t> samples;
};

Render ReadRender(const std::wstring& path)
{
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    Bytes file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    Render render;
    EXPECT_GE(file.size(), 44u) << "no WAVE file written";
    if (file.size() < 44) return render;
    auto get = [&](size_t at, int bytes) {
        uint32_t v = 0;
        for (int i = 0; i < bytes; ++i) v |= static_cast<uint32_t>(file[at + i]) << (8 * i);
        return v;
    };
    EXPECT_EQ(std::memcmp(file.data(), "RIFF", 4), 0);
    EXPECT_EQ(get(4, 4), file.size() - 8) << "RIFF size";
    EXPECT_EQ(std::memcmp(file.data() + 8, "WAVEfmt ", 8), 0);
    EXPECT_EQ(get(20, 2), 1u) << "PCM";
    EXPECT_EQ(std::memcmp(file.data() + 36, "data", 4), 0);
    EXPECT_EQ(get(40, 4), file.size() - 44) << "data size";
    render.channels = static_cast<int>(get(22, 2));
    render.rate = static_cast<int>(get(24, 4));
    render.bits = static_cast<int>(get(34, 2));
    EXPECT_EQ(get(32, 2), static_cast<uint32_t>(render.channels * 2)) << "block alignment";
    render.samples = AsInt16(Bytes(file.begin() + 44, file.end()));
    return render;
}

class Modules : public testing::Test {
protected:
    // IN_PCM.DLL and out_pq2.dll as shipped; OUT_KV.DLL is a device output whose open fails, so
    // the control falls back to the file writer as on a machine without a sound device.
    void StartWith(const std::wstring& caseName)
    {
        player_ = std::make_unique<PlayerCase>(caseName);
        PluginLayout& layout = player_->Layout();
        ASSERT_TRUE(layout.AddShipped(L"IN_PCM.DLL", L"IN_PCM.DLL"));
        ASSERT_TRUE(layout.AddShipped(L"IN_MPA.DLL", L"IN_MPA.DLL"));
        ASSERT_TRUE(layout.AddShipped(L"out_pq2.dll", L"out_pq2.dll"));
        ASSERT_TRUE(layout.AddOutput("OUT_KV.DLL", {"open=-1"}));
        ASSERT_TRUE(player_->Start());
    }
    void Settings(bool realtime)
    {
        const std::string dir = Narrow(Dir());
        ASSERT_TRUE(player_->Layout().WritePluginFile(
            L"out_pq2.ini", {"[output]", "file=" + dir + "\\track%d.wav", realtime ? "realtime=1" : "realtime=0"}));
    }
    std::wstring Dir() { return player_->Layout().Directory(); }
    // The case's loaded copy of a shipped reader.
    InputPluginRecord* ShippedInput(const wchar_t* file = L"IN_PCM.DLL")
    {
        HMODULE module = GetModuleHandleW((player_->Layout().PluginsDirectory() + L"\\" + file).c_str());
        auto get = reinterpret_cast<TunaraGetInModuleFn>(
            reinterpret_cast<void*>(module ? GetProcAddress(module, "tunaraGetInModule2") : nullptr));
        return get ? get() : nullptr;
    }
    std::wstring Add(const wchar_t* name, const Bytes& bytes)
    {
        std::wstring path = Dir() + L"\\" + name;
        EXPECT_TRUE(WriteBytes(path, bytes));
        EXPECT_EQ(player_->Append(path), S_OK);
        return path;
    }
    std::wstring Track(int n) { return Dir() + L"\\track" + std::to_wstring(n) + L".wav"; }
    long Get(const wchar_t* property) { return player_->Call().GetLong(property); }
    void Put(const wchar_t* property, long value) { ASSERT_EQ(player_->Call().Put(property, DispatchCall::Long(value)), S_OK); }
    // Plays from the current entry and runs the container's loop until playback has stopped.
    void PlayToEnd(DWORD timeoutMs = 20000)
    {
        ASSERT_EQ(player_->Call().Method(L"Play"), S_OK);
        ASSERT_TRUE(player_->PumpUntil([&] { return Get(L"Status") == 0; }, timeoutMs));
        player_->Pump();
    }
    void Wait(DWORD ms) { player_->PumpUntil([] { return false; }, ms); }
    // Appends files that hold nothing playable and plays them as a list: each keeps its tidied
    // base name with an unknown length, each start fails once (the list moves on), and no track
    // file is written after the first played ones.
    void PlayUnplayable(const std::vector<std::pair<const wchar_t*, Bytes>>& files, int played)
    {
        for (auto& file : files) Add(file.first, file.second);
        const long count = static_cast<long>(files.size());
        ASSERT_EQ(Get(L"Nb_Playlist_Items"), count);
        for (long i = 0; i < count; ++i) {
            Variant name, title, length;
            ASSERT_EQ(player_->Control()->GetPlaylistItem(i, name.Get(), title.Get(), length.Get()), S_OK);
            std::wstring base = files[static_cast<size_t>(i)].first;
            base = base.substr(0, base.size() - 4);
            std::replace(base.begin(), base.end(), L'_', L' ');  // the engine tidies titles
            EXPECT_EQ(std::wstring(title->bstrVal), base);
            EXPECT_EQ(length->lVal, -1) << base;
        }
        player_->TakeEvents();
        PlayToEnd();
        Events want{1, 102};
        for (long i = 1; i < count; ++i) want.insert(want.end(), {2, 102, 1, 5});
        EXPECT_EQ(player_->TakeEvents(), want);
        EXPECT_EQ(GetFileAttributesW(Track(played + 1).c_str()), INVALID_FILE_ATTRIBUTES) << "a failed start wrote a file";
    }

    std::unique_ptr<PlayerCase> player_;
};

std::vector<int16_t> Slice(const std::vector<int16_t>& v, size_t from, size_t count)
{
    return std::vector<int16_t>(v.begin() + static_cast<long>(from), v.begin() + static_cast<long>(from + count));
}

}  // namespace

// Five tracks of every sample format render, at full volume and unpaced, each to its own file:
// 16-bit bit-exact, the others as converted here; the events of each advance; titles, lengths and
// header information from the files.
TEST_F(Modules, RendersEachTrackOfAListToItsOwnFile)
{
    StartWith(L"render_list");
    Settings(false);
    const Bytes pcm16 = Noise(11025 * 4, 1);
    const Bytes pcm8 = Noise(5000, 2);
    const Bytes pcm24 = Noise(4800 * 6, 3);
    const Bytes pcm32 = Noise(800 * 12, 4);
    std::vector<float> floats = {0.0f, 1.0f, -1.0f, 1.5f, -1.5f, 0.5f / 32768, -0.5f / 32768, 1.5f / 32768,
                                 1234.0f / 32768, -0.25f, 32767.5f / 32768, std::nanf("")};
    for (int i = 0; i < 2000; ++i) floats.push_back(std::sin(i * 0.01f) * 0.9f);
    if (floats.size() % 2) floats.push_back(0.0f);
    Bytes pcmFloat(floats.size() * 4);
    std::memcpy(pcmFloat.data(), floats.data(), pcmFloat.size());

    Add(L"noise16.wav", Wave({1, 2, 44100, 16}, pcm16, "Noise at sixteen bits"));
    Add(L"mono8.wav", Wave({1, 1, 22050, 8}, pcm8));
    Add(L"wide24.wav", Wave({0xFFFE, 2, 48000, 24, 1}, pcm24));
    Add(L"three32.wav", Wave({1, 3, 8000, 32}, pcm32));
    Add(L"float.wav", Wave({3, 2, 44100, 32}, pcmFloat));
    ASSERT_EQ(Get(L"Nb_Playlist_Items"), 5);
    Put(L"Volume", 255);
    player_->TakeEvents();

    PlayToEnd();
    EXPECT_EQ(player_->TakeEvents(), (Events{1, 4, 2, 4, 1, 5, 2, 4, 1, 5, 2, 4, 1, 5, 2, 4, 1, 5, 1, 5}));

    Render r16 = ReadRender(Track(1));
    EXPECT_EQ(r16.channels, 2);
    EXPECT_EQ(r16.rate, 44100);
    EXPECT_EQ(r16.bits, 16);
    EXPECT_TRUE(r16.samples == AsInt16(pcm16)) << "16-bit render is not bit-exact";

    std::vector<int16_t> want8;
    for (uint8_t s : pcm8) want8.push_back(static_cast<int16_t>((s - 128) * 256));
    Render r8 = ReadRender(Track(2));
    EXPECT_EQ(r8.channels, 1);
    EXPECT_EQ(r8.rate, 22050);
    EXPECT_TRUE(r8.samples == want8);

    std::vector<int16_t> want24, want32;
    for (size_t i = 0; i < pcm24.size(); i += 3) want24.push_back(static_cast<int16_t>(pcm24[i + 1] | pcm24[i + 2] << 8));
    for (size_t i = 0; i < pcm32.size(); i += 4) want32.push_back(static_cast<int16_t>(pcm32[i + 2] | pcm32[i + 3] << 8));
    Render r24 = ReadRender(Track(3));
    EXPECT_EQ(r24.rate, 48000);
    EXPECT_TRUE(r24.samples == want24);
    Render r32 = ReadRender(Track(4));
    EXPECT_EQ(r32.channels, 3);
    EXPECT_TRUE(r32.samples == want32);

    std::vector<int16_t> wantFloat;
    for (float f : floats) {
        double x = std::isnan(f) ? 0.0 : std::round(static_cast<double>(f) * 32768.0);
        wantFloat.push_back(static_cast<int16_t>(x > 32767 ? 32767 : x < -32768 ? -32768 : x));
    }
    Render rFloat = ReadRender(Track(5));
    ASSERT_EQ(rFloat.samples.size(), wantFloat.size());
    for (size_t i = 0; i < wantFloat.size(); ++i) EXPECT_EQ(rFloat.samples[i], wantFloat[i]) << "float sample " << i;
    EXPECT_EQ(GetFileAttributesW(Track(6).c_str()), INVALID_FILE_ATTRIBUTES);

    // Titles from LIST/INFO or the base name; header information of the first entry.
    Variant name, title, length;
    ASSERT_EQ(player_->Control()->GetPlaylistItem(0, name.Get(), title.Get(), length.Get()), S_OK);
    EXPECT_STREQ(title->bstrVal, L"Noise at sixteen bits");
    EXPECT_EQ(length->lVal, 0);  // 250 ms, in whole seconds
    ASSERT_EQ(player_->Control()->GetPlaylistItem(1, name.Get(), title.Get(), length.Get()), S_OK);
    EXPECT_STREQ(title->bstrVal, L"mono8");
    // The extended information, asked through the record as the host asks it.
    InputPluginRecord* input = ShippedInput();
    ASSERT_TRUE(input);
    char title32[32], artist[32], album[32], comment[32], year[8], genre[32];
    int32_t bitrate = 0, rate = 0, stereo = 0, vbr = -1;
    ASSERT_EQ(input->getExtendedInfo((Narrow(Dir()) + "\\noise16.wav").c_str(), title32, artist, album, comment,
                                     year, genre, &bitrate, &rate, &stereo, &vbr), 1);
    EXPECT_STREQ(title32, "Noise at sixteen bits");
    EXPECT_STREQ(artist, "");
    EXPECT_EQ(bitrate, 1411);
    EXPECT_EQ(rate, 44100);
    EXPECT_EQ(stereo, 1);
    EXPECT_EQ(vbr, 0);
    ASSERT_EQ(input->getExtendedInfo((Narrow(Dir()) + "\\three32.wav").c_str(), title32, artist, album, comment,
                                     year, genre, &bitrate, &rate, &stereo, &vbr), 1);
    EXPECT_STREQ(title32, "three32");
    EXPECT_EQ(bitrate, 768);
    EXPECT_EQ(stereo, 0);
}

int16_t FromMuLaw(uint8_t code)
{
    code = static_cast<uint8_t>(~code);
    const int exponent = (code >> 4) & 7;
    const int sample = ((((code & 0x0F) << 3) + 0x84) << exponent) - 0x84;
    return static_cast<int16_t>(code & 0x80 ? -sample : sample);
}

int16_t FromALaw(uint8_t code)
{
    code ^= 0x55;
    const int exponent = (code >> 4) & 7;
    const int mantissa = code & 0x0F;
    const int sample = exponent == 0 ? (mantissa << 4) + 8 : ((mantissa << 4) + 0x108) << (exponent - 1);
    return static_cast<int16_t>(code & 0x80 ? sample : -sample);
}

// Compressed WAVE files go through the platform's audio compression manager: mu-law and A-law
// come out as G.711 decodes them (computed here from the standard's formulas), with their lengths.
TEST_F(Modules, RendersCompressedFormatsThroughTheCompressionManager)
{
    StartWith(L"compressed");
    Settings(false);
    Bytes codes(256 * 40);
    for (size_t i = 0; i < codes.size(); ++i) codes[i] = static_cast<uint8_t>(i * 7);
    Add(L"mulaw.wav", Wave({7, 1, 8000, 8}, codes));
    Add(L"alaw.wav", Wave({6, 2, 8000, 8}, codes));
    // IMA ADPCM, mono: 256-byte blocks of 505 samples each.
    Bytes ima;
    ::Put(ima, 0x11, 2);
    ::Put(ima, 1, 2);
    ::Put(ima, 8000, 4);
    ::Put(ima, 4055, 4);
    ::Put(ima, 256, 2);
    ::Put(ima, 4, 2);
    ::Put(ima, 2, 2);
    ::Put(ima, 505, 2);
    Bytes blocks = Noise(256 * 10, 9);
    for (size_t b = 0; b < blocks.size(); b += 256) blocks[b + 2] = 0;  // a valid step index
    for (size_t b = 0; b < blocks.size(); b += 256) blocks[b + 3] = 0;
    Add(L"ima.wav", WaveWithFmt(ima, blocks));
    Put(L"Volume", 255);
    player_->TakeEvents();
    PlayToEnd();
    EXPECT_EQ(player_->TakeEvents(), (Events{1, 4, 2, 4, 1, 5, 2, 4, 1, 5, 1, 5}));
    std::vector<int16_t> wantMu, wantA;
    for (uint8_t code : codes) {
        wantMu.push_back(FromMuLaw(code));
        wantA.push_back(FromALaw(code));
    }
    Render mu = ReadRender(Track(1));
    EXPECT_EQ(mu.channels, 1);
    EXPECT_EQ(mu.rate, 8000);
    EXPECT_TRUE(mu.samples == wantMu) << "mu-law";
    Render a = ReadRender(Track(2));
    EXPECT_EQ(a.channels, 2);
    EXPECT_TRUE(a.samples == wantA) << "A-law";
    InputPluginRecord* input = ShippedInput();
    ASSERT_TRUE(input);
    char title[512];
    int32_t length = 0;
    input->getFileInfo(Narrow(Dir() + L"\\mulaw.wav").c_str(), title, &length);
    EXPECT_EQ(length, 1280);  // 10,240 one-byte samples at 8 kHz
    EXPECT_EQ(ReadRender(Track(3)).samples.size(), 10u * 505u) << "IMA ADPCM";
}

// What a listener would hear is what gets written: volume scales every sample; a pause loses and
// repeats nothing; a seek drops what was queued and goes on from the new place; a play limit
// ends the file at the limit.
TEST_F(Modules, VolumePauseSeekAndLimitShapeTheWrittenFile)
{
    StartWith(L"shape");
    const int rate = 8000;  // 8 kHz stereo: 32,000 bytes a second
    const Bytes quiet = Noise(rate * 4 / 2, 5);
    const Bytes longer = Noise(rate * 4 * 3, 6);

    Settings(false);
    Add(L"volume.wav", Wave({1, 2, rate, 16}, quiet));
    Put(L"Volume", 128);
    PlayToEnd();
    std::vector<int16_t> source = AsInt16(quiet);
    Render scaled = ReadRender(Track(1));
    ASSERT_EQ(scaled.samples.size(), source.size());
    int worst = 0;
    for (size_t i = 0; i < source.size(); ++i) {
        const int want = static_cast<int>(std::lround(source[i] * 128.0 / 255.0));
        worst = std::max(worst, std::abs(scaled.samples[i] - want));
    }
    EXPECT_LE(worst, 1) << "volume 128 is not a linear scale";

    // Paced from here on: pause in the middle, then resume.
    Settings(true);
    Put(L"Volume", 255);
    ASSERT_EQ(player_->Call().Method(L"ClearPlaylist"), S_OK);
    Add(L"paused.wav", Wave({1, 2, rate, 16}, longer));
    ASSERT_EQ(player_->Call().Method(L"Play"), S_OK);
    Wait(300);
    ASSERT_EQ(player_->Call().Method(L"Pause"), S_OK);
    EXPECT_EQ(Get(L"Status"), 2);
    Wait(100);
    WIN32_FILE_ATTRIBUTE_DATA before{}, after{};
    GetFileAttributesExW(Track(2).c_str(), GetFileExInfoStandard, &before);
    Wait(500);
    GetFileAttributesExW(Track(2).c_str(), GetFileExInfoStandard, &after);
    EXPECT_EQ(before.nFileSizeLow, after.nFileSizeLow) << "written while paused";
    // At the pause the header came to match what is in the file, as it would if the process ended now.
    EXPECT_EQ(ReadRender(Track(2)).samples.size() * 2 + 44, after.nFileSizeLow);
    EXPECT_LT(before.nFileSizeLow, longer.size()) << "paced output ran ahead";
    ASSERT_EQ(player_->Call().Method(L"Pause"), S_OK);
    EXPECT_EQ(Get(L"Status"), 1);
    ASSERT_TRUE(player_->PumpUntil([&] { return Get(L"Status") == 0; }));
    EXPECT_TRUE(ReadRender(Track(2)).samples == AsInt16(longer)) << "a pause changed the samples";

    // A seek to 2 s after a moment of play: the start, then everything from 2 s on.
    ASSERT_EQ(player_->Call().Method(L"Play"), S_OK);
    Wait(300);
    Put(L"Position", 2);
    ASSERT_TRUE(player_->PumpUntil([&] { return Get(L"Status") == 0; }));
    std::vector<int16_t> all = AsInt16(longer);
    const size_t tail = all.size() - static_cast<size_t>(2 * rate * 2);
    Render seeked = ReadRender(Track(3));
    ASSERT_GT(seeked.samples.size(), tail);
    ASSERT_LT(seeked.samples.size(), tail + static_cast<size_t>(rate * 2));
    const size_t head = seeked.samples.size() - tail;
    EXPECT_TRUE(Slice(seeked.samples, 0, head) == Slice(all, 0, head)) << "the start before the seek";
    EXPECT_TRUE(Slice(seeked.samples, head, tail) == Slice(all, all.size() - tail, tail)) << "after the seek";

    // A one-second limit on a three-second track.
    ASSERT_EQ(player_->Call().Method(L"ClearPlaylist"), S_OK);
    std::wstring limited = Dir() + L"\\limited.wav";
    ASSERT_TRUE(WriteBytes(limited, Wave({1, 2, rate, 16}, longer)));
    ASSERT_EQ(player_->AppendWithArgs(limited, 100, 1000), S_OK);
    player_->TakeEvents();
    PlayToEnd();
    EXPECT_EQ(player_->TakeEvents(), (Events{1, 4})) << "a cut at the end of the list fires nothing";
    Render cut = ReadRender(Track(4));
    const size_t oneSecond = static_cast<size_t>(rate * 2);
    EXPECT_GE(cut.samples.size(), oneSecond);
    EXPECT_LT(cut.samples.size(), oneSecond * 2);
    EXPECT_TRUE(cut.samples == Slice(all, 0, cut.samples.size()));

    // Pan, which the host leaves centred, through the file writer's record: +64 halves the left.
    HMODULE writer = GetModuleHandleW((player_->Layout().PluginsDirectory() + L"\\out_pq2.dll").c_str());
    auto getOutput = reinterpret_cast<TunaraGetOutModuleFn>(
        reinterpret_cast<void*>(writer ? GetProcAddress(writer, "tunaraGetOutModule") : nullptr));
    ASSERT_TRUE(getOutput);
    OutputPluginRecord* output = getOutput();
    Settings(false);
    ASSERT_EQ(output->open(rate, 2, 16, -1, -1), 0);
    output->setVolume(255);
    output->setPan(64);
    const int16_t frames[4] = {1000, 1000, -3001, -3001};
    ASSERT_EQ(output->write(reinterpret_cast<const char*>(frames), sizeof frames), 0);
    output->close();
    output->setPan(0);
    EXPECT_EQ(ReadRender(Track(5)).samples, (std::vector<int16_t>{500, 1000, -1501, -3001}));
}

// Files that only look like WAVE files: every start fails (-1, so each entry is tried once),
// titles fall back to the base name with an unknown length, and nothing crashes.
TEST_F(Modules, MalformedFilesFailToStartAndKeepTheirNames)
{
    StartWith(L"malformed");
    Settings(false);
    const Format good{1, 2, 44100, 16};
    const Bytes samples = Noise(400, 7);
    std::vector<std::pair<const wchar_t*, Bytes>> files;
    Bytes truncated = Wave(good, samples);
    truncated.resize(30);  // ends inside the fmt chunk
    files.push_back({L"truncated.wav", truncated});
    Bytes hugeChunk = Wave(good, samples);
    hugeChunk[16] = hugeChunk[17] = hugeChunk[18] = hugeChunk[19] = 0xFF;  // fmt size 4 GiB
    files.push_back({L"huge_chunk.wav", hugeChunk});
    Bytes longData = Wave(good, samples);
    longData[40] = 0x00;
    longData[41] = 0x10;  // data size 4096 in a 444-byte file
    files.push_back({L"long_data.wav", longData});
    files.push_back({L"no_channels.wav", Wave({1, 0, 44100, 16}, samples)});
    Bytes oddAlign = Wave(good, samples);
    oddAlign[32] = 3;  // block alignment 3 for 16-bit stereo
    files.push_back({L"odd_align.wav", oddAlign});
    files.push_back({L"twelve_bits.wav", Wave({1, 2, 44100, 12}, samples)});
    files.push_back({L"not_riff.wav", Bytes(100, 'x')});
    files.push_back({L"empty.wav", Bytes()});
    PlayUnplayable(files, 0);
    InputPluginRecord* input = ShippedInput();
    ASSERT_TRUE(input);
    for (auto& file : files) {
        char text[6][32];
        int32_t numbers[4] = {};
        EXPECT_EQ(input->getExtendedInfo(Narrow(Dir() + L"\\" + file.first).c_str(), text[0], text[1], text[2],
                                         text[3], text[4], text[5], &numbers[0], &numbers[1], &numbers[2], &numbers[3]),
                  0);
        char title[512];
        int32_t length = 0;
        input->getFileInfo(Narrow(Dir() + L"\\" + file.first).c_str(), title, &length);
        EXPECT_EQ(length, -1);
    }
}

// A thousand starts and stops through the real modules (a decoding thread, an open file and an
// open output each time) leave no handle, thread or memory behind.
TEST_F(Modules, PlayStopCyclesLeaveNothingBehind)
{
    StartWith(L"cycles");
    // Paced and writing nothing: each start opens the output, each stop closes it.
    ASSERT_TRUE(player_->Layout().WritePluginFile(L"out_pq2.ini", {"[output]", "file=", "realtime=1"}));
    Add(L"a.wav", Wave({1, 2, 44100, 16}, Noise(44100 * 4, 8)));
    auto cycle = [&] {
        EXPECT_EQ(player_->Control()->Play(), S_OK);
        EXPECT_EQ(Get(L"Status"), 1);
        player_->Control()->Stop();
        player_->Pump();
    };
    for (int i = 0; i < 50; ++i) cycle();
    const ProcessUsage before = ProcessUsage::Now();
    const int cycles = 1000;
    for (int i = 0; i < cycles; ++i) cycle();
    ExpectNothingLeftSince(before);
    Events events = player_->TakeEvents();
    EXPECT_EQ(std::count(events.begin(), events.end(), 4), 50 + cycles) << "every start succeeded";
}

namespace {

Bytes ReadBytes(const std::wstring& path)
{
    std::ifstream in(std::filesystem::path(path), std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// One of the files the build encoded with lame (bin/mp3/).
Bytes Mp3(const wchar_t* name) { return ReadBytes(ExeDirectory() + L"\\mp3\\" + name); }

// A source signal: its sample at each (fractional) index.
using Signal = std::function<double(double)>;

Signal Sine(double frequency, int rate)
{
    return [=](double i) { return 16384 * std::sin(2 * 3.14159265358979 * frequency * i / rate); };
}

// From 200 Hz, rising 400 Hz a second: no two stretches alike, so a shift shows.
Signal Sweep(int rate)
{
    return [=](double i) {
        const double t = i / rate;
        return 16384 * std::sin(2 * 3.14159265358979 * (200 * t + 200 * t * t));
    };
}

// The largest difference between one channel of a render and the source over the samples from..to.
int SignalError(const Render& r, int channel, const Signal& source, size_t from, size_t to)
{
    int worst = 0;
    for (size_t i = from; i < to; ++i) {
        const int got = r.samples[i * static_cast<size_t>(r.channels) + static_cast<size_t>(channel)];
        worst = std::max(worst, std::abs(got - static_cast<int>(std::lround(source(static_cast<double>(i))))));
    }
    return worst;
}

// The shift, within plus or minus range of at, for which the samples from..to of a mono render
// best match the source shifted by it.
int BestShift(const Render& r, const Signal& source, size_t from, size_t to, int at, int range)
{
    int best = 0;
    double bestError = 1e300;
    for (int shift = at - range; shift <= at + range; ++shift) {
        double error = 0;
        for (size_t i = from; i < to; i += 7) {
            const double d = r.samples[i] - source(static_cast<double>(i) + shift);
            error += d * d;
        }
        if (error < bestError) bestError = error, best = shift;
    }
    return best;
}

// The frequency of the tone in one channel of a render over the samples from..to, from the first
// and last of its rising zero crossings (placed between samples by straight lines).
double ToneFrequency(const Render& r, int channel, size_t from, size_t to)
{
    auto at = [&](size_t i) { return static_cast<double>(r.samples[i * static_cast<size_t>(r.channels) + static_cast<size_t>(channel)]); };
    double first = -1, last = -1;
    int crossings = 0;
    for (size_t i = from; i + 1 < to; ++i) {
        if (at(i) >= 0 || at(i + 1) < 0) continue;
        last = static_cast<double>(i) + at(i) / (at(i) - at(i + 1));
        if (first < 0) first = last;
        ++crossings;
    }
    return crossings > 1 ? (crossings - 1) * r.rate / (last - first) : 0;
}

double Rms(const Render& r, int channel, size_t from, size_t to)
{
    double sum = 0;
    for (size_t i = from; i < to; ++i) {
        const double v = r.samples[i * static_cast<size_t>(r.channels) + static_cast<size_t>(channel)];
        sum += v * v;
    }
    return std::sqrt(sum / static_cast<double>(to - from));
}

// A version 2 tag of the given minor version around the frames; flags in the header's fifth byte.
Bytes Id3v2(int version, uint8_t flags, const Bytes& frames)
{
    Bytes tag = {'I', 'D', '3', static_cast<uint8_t>(version), 0, flags};
    const uint32_t size = static_cast<uint32_t>(frames.size());
    for (int shift = 21; shift >= 0; shift -= 7) tag.push_back(static_cast<uint8_t>((size >> shift) & 0x7F));
    tag.insert(tag.end(), frames.begin(), frames.end());
    return tag;
}

// A frame of a 2.3 (big-endian size) or 2.4 (sync-safe size) tag.
Bytes Frame(int version, const char* id, const Bytes& body, uint32_t claimed = 0)
{
    Bytes frame(id, id + 4);
    const uint32_t size = claimed ? claimed : static_cast<uint32_t>(body.size());
    for (int i = 3; i >= 0; --i)
        frame.push_back(static_cast<uint8_t>(version == 4 ? (size >> (7 * i)) & 0x7F : size >> (8 * i)));
    frame.push_back(0);
    frame.push_back(0);
    frame.insert(frame.end(), body.begin(), body.end());
    return frame;
}

Bytes Text(uint8_t encoding, const Bytes& text)
{
    Bytes body(text.size() + 1, encoding);
    std::copy(text.begin(), text.end(), body.begin() + 1);
    return body;
}

Bytes Concat(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

}  // namespace

namespace {

// The written track (a WAVE file) equals mpg123 -w's decoding of the same file (made beside the test files)
// within one step, sample for sample, at the same rate and channel count.
void ExpectReferenceDecode(const std::wstring& written, const wchar_t* reference)
{
    const Render render = ReadRender(written);
    const Render other = ReadRender(ExeDirectory() + L"\\mp3\\" + reference + L".mpg123.wav");
    EXPECT_EQ(render.rate, other.rate) << Narrow(reference);
    EXPECT_EQ(render.channels, other.channels) << Narrow(reference);
    ASSERT_EQ(render.samples.size(), other.samples.size()) << Narrow(reference);
    int worst = 0;
    for (size_t i = 0; i < other.samples.size(); ++i) worst = std::max(worst, std::abs(other.samples[i] - render.samples[i]));
    EXPECT_LE(worst, 1) << Narrow(reference);
}

}  // namespace

// MP3 files made by lame and MP2 files made by twolame play through libmpg123: the tagged CBR file
// and the VBR mono file come out with exactly the source's samples, in phase with the source tone;
// every file equals the reference decoder's decoding of it. Titles, lengths and extended
// information come from the tags and the first frames, or, for VBR without a Xing frame, from a
// walk of the frame headers that a large file cuts short.
TEST_F(Modules, MpegAudioFilesPlayGaplessWithTheirTags)
{
    StartWith(L"mpeg_audio");
    Settings(false);
    Add(L"cbr_tagged.mp3", Mp3(L"cbr_tagged.mp3"));
    Add(L"vbr_mono.mp3", Mp3(L"vbr_mono.mp3"));
    Add(L"cbr_bare.mp3", Mp3(L"cbr_bare.mp3"));
    Add(L"vbr_plain.mp3", Mp3(L"vbr_plain.mp3"));
    Add(L"tone.mp2", Mp3(L"tone.mp2"));
    Add(L"sweep_mono.mp2", Mp3(L"sweep_mono.mp2"));
    const wchar_t* titles[] = {L"Maker - Tone", L"Mono tone", L"cbr bare", L"vbr plain", L"tone", L"sweep mono"};
    const long lengths[] = {2, 1, 1, 3, 2, 1};
    for (long i = 0; i < 6; ++i) {
        Variant name, title, length;
        ASSERT_EQ(player_->Control()->GetPlaylistItem(i, name.Get(), title.Get(), length.Get()), S_OK);
        EXPECT_STREQ(title->bstrVal, titles[i]);
        EXPECT_EQ(length->lVal, lengths[i]);
    }
    Put(L"Volume", 255);
    player_->TakeEvents();
    PlayToEnd();
    EXPECT_EQ(player_->TakeEvents(),
              (Events{1, 4, 2, 4, 1, 5, 2, 4, 1, 5, 2, 4, 1, 5, 2, 4, 1, 5, 2, 4, 1, 5, 1, 5}));

    Render tagged = ReadRender(Track(1));
    EXPECT_EQ(tagged.channels, 2);
    EXPECT_EQ(tagged.rate, 44100);
    ASSERT_EQ(tagged.samples.size(), 88323u * 2) << "not gapless";
    // Away from the edges, where the encoder smears the tone's abrupt start and end; one sample of
    // shift would cost about 2,400.
    EXPECT_LE(SignalError(tagged, 0, Sine(1000, 44100), 1152, 88323 - 1152), 1200);
    EXPECT_LE(SignalError(tagged, 1, Sine(1000, 44100), 1152, 88323 - 1152), 1200);
    Render mono = ReadRender(Track(2));
    EXPECT_EQ(mono.channels, 1);
    EXPECT_EQ(mono.rate, 22050);
    ASSERT_EQ(mono.samples.size(), 33152u) << "not gapless";
    EXPECT_LE(SignalError(mono, 0, Sweep(22050), 576, 33152 - 576), 1200);
    // Every render equals the reference decoder's (mpg123 -w, gapless where the file says so)
    // within one step, sample for sample: the tagged files cut by their tags, the files without
    // an encoder tag (the bare CBR file, the VBR file without a Xing frame, the layer 2 files)
    // keep every decoded sample, their first frame's included.
    const wchar_t* references[] = {L"cbr_tagged", L"vbr_mono", L"cbr_bare", L"vbr_plain", L"tone", L"sweep_mono"};
    for (int track = 1; track <= 6; ++track) ExpectReferenceDecode(Track(track), references[track - 1]);
    Render tone = ReadRender(Track(5));
    EXPECT_EQ(tone.channels, 2);
    EXPECT_EQ(tone.rate, 48000);
    EXPECT_NEAR(ToneFrequency(tone, 0, 4800, 91200), 1000.0, 1.0);
    EXPECT_NEAR(Rms(tone, 0, 4800, 91200), 16384 / std::sqrt(2.0), 200);

    InputPluginRecord* input = ShippedInput(L"IN_MPA.DLL");
    ASSERT_TRUE(input);
    char title[32], artist[32], album[32], comment[32], year[8], genre[32];
    int32_t bitrate = 0, rate = 0, stereo = 0, vbr = -1;
    ASSERT_EQ(input->getExtendedInfo((Narrow(Dir()) + "\\cbr_tagged.mp3").c_str(), title, artist, album, comment,
                                     year, genre, &bitrate, &rate, &stereo, &vbr), 1);
    EXPECT_STREQ(title, "Tone");
    EXPECT_STREQ(artist, "Maker");
    EXPECT_STREQ(album, "Generated");
    EXPECT_STREQ(comment, "made here");
    EXPECT_STREQ(year, "2024");
    EXPECT_STREQ(genre, "Jazz");
    EXPECT_EQ(bitrate, 128);
    EXPECT_EQ(rate, 44100);
    EXPECT_EQ(stereo, 1);
    EXPECT_EQ(vbr, 0);
    ASSERT_EQ(input->getExtendedInfo((Narrow(Dir()) + "\\vbr_mono.mp3").c_str(), title, artist, album, comment,
                                     year, genre, &bitrate, &rate, &stereo, &vbr), 1);
    EXPECT_STREQ(title, "Mono tone");
    EXPECT_STREQ(artist, "");
    EXPECT_STREQ(genre, "Rock");
    EXPECT_EQ(rate, 22050);
    EXPECT_EQ(stereo, 0);
    EXPECT_EQ(vbr, 1);
    EXPECT_GT(bitrate, 8);
    EXPECT_LT(bitrate, 160);

    // Without a Xing frame the VBR file's length and average bitrate come from its frame headers,
    // as the container asks them: within two frames of the source's 3 s (the first frame's
    // 224 kbit/s would make it 0.48 s), and the file's bits over that time.
    std::vector<Variant> out(11);
    auto headerInfos = [&](const std::wstring& path) {
        Bstr name(SysAllocString(path.c_str()));
        EXPECT_EQ(player_->Control()->GetFileHeaderInfos(name.Get(), out[0].Get(), out[1].Get(), out[2].Get(),
                                                         out[3].Get(), out[4].Get(), out[5].Get(), out[6].Get(),
                                                         out[7].Get(), out[8].Get(), out[9].Get(), out[10].Get()),
                  S_OK);
        EXPECT_EQ(out[0]->iVal, 1) << "no header information";
    };
    const std::wstring plainPath = Dir() + L"\\vbr_plain.mp3";
    const Bytes plainBytes = Mp3(L"vbr_plain.mp3");
    const double plainKbps = static_cast<double>(plainBytes.size()) * 8 / 3000;
    char longTitle[512];
    int32_t ms = 0;
    input->getFileInfo(Narrow(plainPath).c_str(), longTitle, &ms);
    EXPECT_NEAR(ms, 3000, 2 * 1152 * 1000 / 44100);
    const int32_t plainMs = ms;
    headerInfos(plainPath);
    EXPECT_NEAR(out[7]->iVal, plainKbps, 2);
    const short plainAverage = out[7]->iVal;
    EXPECT_EQ(out[8]->lVal, 44100);
    EXPECT_EQ(out[10]->iVal, 1) << "differing bitrates make a VBR file";
    // Noise in the middle and the last frame cut short: the walk finds the frames past the noise.
    const std::wstring damagedPath = Dir() + L"\\damaged.mp3";
    ASSERT_TRUE(WriteBytes(damagedPath, Concat({Bytes(plainBytes.begin(), plainBytes.begin() + 6000), Noise(5000, 7),
                                                Bytes(plainBytes.begin() + 6000, plainBytes.end() - 50)})));
    input->getFileInfo(Narrow(damagedPath).c_str(), longTitle, &ms);
    EXPECT_NEAR(ms, plainMs, 2 * 1152 * 1000 / 44100);
    // The layer 2 files: constant bitrate, lengths from it.
    headerInfos(Dir() + L"\\tone.mp2");
    EXPECT_EQ(out[7]->iVal, 192);
    EXPECT_EQ(out[8]->lVal, 48000);
    EXPECT_EQ(out[9]->iVal, 1);
    EXPECT_EQ(out[10]->iVal, 0);
    input->getFileInfo(Narrow(Dir() + L"\\sweep_mono.mp2").c_str(), longTitle, &ms);
    EXPECT_NEAR(ms, 1500, 1152 * 1000 / 24000);
    // Fifty megabytes of the VBR file's frames over and over: the walk reads only their start and
    // counts the rest in proportion, to within half a percent of the whole.
    const size_t repeats = 50 * 1024 * 1024 / plainBytes.size();
    Bytes large;
    large.reserve(repeats * plainBytes.size());
    for (size_t i = 0; i < repeats; ++i) large.insert(large.end(), plainBytes.begin(), plainBytes.end());
    const std::wstring largePath = Dir() + L"\\large.mp3";
    ASSERT_TRUE(WriteBytes(largePath, large));
    large = Bytes();
    input->getFileInfo(Narrow(largePath).c_str(), longTitle, &ms);
    const double largeMs = static_cast<double>(repeats) * plainMs;
    EXPECT_NEAR(ms, largeMs, largeMs / 200);
    headerInfos(largePath);
    EXPECT_NEAR(out[7]->iVal, plainAverage, 1);
    EXPECT_EQ(out[10]->iVal, 1);

    // Paced, a seek to 1 s in the VBR file, through its table of contents: the render ends with
    // the source's last 11,102 samples, and they are the tone from within one frame of 1 s.
    Settings(true);
    ASSERT_EQ(player_->Call().Method(L"ClearPlaylist"), S_OK);
    Add(L"vbr_mono.mp3", Mp3(L"vbr_mono.mp3"));
    ASSERT_EQ(player_->Call().Method(L"Play"), S_OK);
    Wait(200);
    Put(L"Position", 1);
    ASSERT_TRUE(player_->PumpUntil([&] { return Get(L"Status") == 0; }));
    Render seeked = ReadRender(Track(7));
    const size_t tail = 33152 - 22050;
    ASSERT_GT(seeked.samples.size(), tail + 2205) << "nothing played before the seek";
    ASSERT_LT(seeked.samples.size(), tail + 22050) << "the seek did not skip";
    const size_t head = seeked.samples.size() - tail;
    const int shift = BestShift(seeked, Sweep(22050), head + 600, seeked.samples.size() - 600,
                                22050 - static_cast<int>(head), 1152);
    EXPECT_LE(std::abs(shift - (22050 - static_cast<int>(head))), 576) << "landed " << shift + static_cast<int>(head) - 22050;
}

// Hand-made tags in front of the bare file's audio: a 2.4 tag with an extended header and
// unsynchronisation (UTF-8, UTF-16 big-endian and a Latin-1 text holding FF), a 2.2 tag, frames
// that claim more than their tag holds with a version 1 tag behind, and a title longer than every
// host buffer (tag texts are kept to 255 bytes). Then files that hold no playable audio: each start fails once, with the base name
// and an unknown length, and nothing is written.
TEST_F(Modules, MpegTagVariantsAndMalformedFiles)
{
    StartWith(L"mpeg_tags");
    Settings(false);
    const Bytes audio = Mp3(L"cbr_bare.mp3");
    ASSERT_GT(audio.size(), 10000u);
    const Bytes v24 = Id3v2(4, 0xC0, Concat({{0, 0, 0, 6, 1, 0},
                                            Frame(4, "TIT2", Text(3, {'C', 'a', 'f', 0xC3, 0xA9})),
                                            Frame(4, "TPE1", Text(2, {0, 'B', 0, 'a', 0, 'n', 0, 'd'})),
                                            Frame(4, "TALB", Text(0, {0xFF, 0x00, 'x'})),
                                            Frame(4, "TCON", Text(0, {'(', '1', '7', ')'})),
                                            Frame(4, "COMM", Text(0, {'e', 'n', 'g'}), 0x0FFFFFFF)}));
    const Bytes v22 = {'I', 'D', '3', 2, 0, 0, 0, 0, 0, 25, 'T', 'T', '2', 0, 0, 4, 0, 'O', 'l', 'd',
                       'T', 'P', '1', 0, 0, 9, 1, 0xFF, 0xFE, 'T', 0, 'w', 0, 'o', 0};
    const Bytes oversized = Id3v2(3, 0, Concat({Frame(3, "TIT2", Text(0, {'L', 'o', 's', 't'}), 1000)}));
    Bytes v1(128, 0);
    std::memcpy(v1.data(), "TAGFrom v1", 10);
    v1[127] = 8;  // Jazz
    const Bytes longTitle = Id3v2(3, 0, Frame(3, "TIT2", Text(0, Bytes(300, 'x'))));
    Add(L"v24.mp3", Concat({v24, audio}));
    Add(L"v22.mp3", Concat({v22, audio}));
    Add(L"oversized.mp3", Concat({oversized, audio, v1}));
    Add(L"long.mp3", Concat({longTitle, audio}));
    const std::wstring titles[] = {L"Band - Caf\u00e9", L"Two - Old", L"From v1", std::wstring(255, L'x')};
    for (long i = 0; i < 4; ++i) {
        Variant name, title, length;
        ASSERT_EQ(player_->Control()->GetPlaylistItem(i, name.Get(), title.Get(), length.Get()), S_OK);
        EXPECT_EQ(std::wstring(title->bstrVal), titles[i]);
        EXPECT_EQ(length->lVal, 1) << i;
    }
    InputPluginRecord* input = ShippedInput(L"IN_MPA.DLL");
    ASSERT_TRUE(input);
    struct Guarded {
        char text[32];
        char guard[8];
    } field[6];
    for (Guarded& f : field) std::memset(&f, '#', sizeof f);
    int32_t numbers[4] = {};
    ASSERT_EQ(input->getExtendedInfo((Narrow(Dir()) + "\\v24.mp3").c_str(), field[0].text, field[1].text,
                                     field[2].text, field[3].text, field[4].text, field[5].text, &numbers[0],
                                     &numbers[1], &numbers[2], &numbers[3]), 1);
    EXPECT_STREQ(field[0].text, "Caf\xe9");
    EXPECT_STREQ(field[1].text, "Band");
    EXPECT_STREQ(field[2].text, "\xffx");
    EXPECT_STREQ(field[3].text, "");
    EXPECT_STREQ(field[5].text, "Rock");
    EXPECT_EQ(numbers[0], 128);
    ASSERT_EQ(input->getExtendedInfo((Narrow(Dir()) + "\\oversized.mp3").c_str(), field[0].text, field[1].text,
                                     field[2].text, field[3].text, field[4].text, field[5].text, &numbers[0],
                                     &numbers[1], &numbers[2], &numbers[3]), 1);
    EXPECT_STREQ(field[0].text, "From v1");
    EXPECT_STREQ(field[5].text, "Jazz");
    ASSERT_EQ(input->getExtendedInfo((Narrow(Dir()) + "\\long.mp3").c_str(), field[0].text, field[1].text,
                                     field[2].text, field[3].text, field[4].text, field[5].text, &numbers[0],
                                     &numbers[1], &numbers[2], &numbers[3]), 1);
    EXPECT_EQ(std::string(field[0].text), std::string(31, 'x'));
    for (Guarded& f : field) EXPECT_EQ(std::string(f.guard, 8), std::string(8, '#')) << "written past a buffer";

    // Mutated tags and frame headers, cut anywhere: every answer stays inside its buffer, and
    // every 100th file plays to its end (or fails to start) through the decoder.
    const Bytes seed = Concat({v24, Bytes(audio.begin(), audio.begin() + 2000)});
    const std::string mutatedPath = Narrow(Dir()) + "\\mutated.mp3";
    uint32_t random = 12345;
    int answered = 0;
    for (int round = 0; round < 3000; ++round) {
        Bytes mutated = seed;
        for (int n = 0; n < 4; ++n) {
            random = random * 1664525u + 1013904223u;
            // Half in the tag, half anywhere (frame headers and side information among them).
            const size_t span = n % 2 ? mutated.size() : 160;
            mutated[(random >> 8) % span] = static_cast<uint8_t>(random >> 24);
        }
        random = random * 1664525u + 1013904223u;
        if (round % 3 == 0) mutated.resize((random >> 8) % mutated.size());
        ASSERT_TRUE(WriteBytes(std::wstring(mutatedPath.begin(), mutatedPath.end()), mutated));
        char longTitle[512 + 8];
        std::memset(longTitle, '#', sizeof longTitle);
        int32_t ms = 0;
        input->getFileInfo(mutatedPath.c_str(), longTitle, &ms);
        ASSERT_EQ(std::string(longTitle + 512, 8), std::string(8, '#')) << "round " << round;
        answered += input->getExtendedInfo(mutatedPath.c_str(), field[0].text, field[1].text, field[2].text,
                                           field[3].text, field[4].text, field[5].text, &numbers[0], &numbers[1],
                                           &numbers[2], &numbers[3]);
        for (Guarded& f : field) ASSERT_EQ(std::string(f.guard, 8), std::string(8, '#')) << "round " << round;
        if (round % 100 == 0) {
            ASSERT_EQ(player_->Call().Method(L"ClearPlaylist"), S_OK);
            ASSERT_EQ(player_->Append(std::wstring(mutatedPath.begin(), mutatedPath.end())), S_OK);
            PlayToEnd();
        }
    }
    EXPECT_GT(answered, 300) << "the mutations hid every file";
    int played = 0;
    while (GetFileAttributesW(Track(played + 1).c_str()) != INVALID_FILE_ATTRIBUTES) ++played;

    ASSERT_EQ(player_->Call().Method(L"ClearPlaylist"), S_OK);
    // Free-format headers whose distances never repeat: no frame length to play them by.
    Bytes freeFormat;
    for (int i = 0; i < 20; ++i) {
        Bytes frame(300 + 37 * i, 0x55);
        frame[0] = 0xFF, frame[1] = 0xFB, frame[2] = 0x00, frame[3] = 0x00;
        freeFormat.insert(freeFormat.end(), frame.begin(), frame.end());
    }
    std::vector<std::pair<const wchar_t*, Bytes>> bad = {
        {L"noise.mp3", Noise(20000, 9)},
        {L"free_unsynced.mp3", freeFormat},
        {L"cut.mp3", Bytes(audio.begin(), audio.begin() + 300)},
        {L"tag_only.mp3", Id3v2(3, 0, Bytes(2000, 0))},
        {L"huge_tag.mp3", Concat({{'I', 'D', '3', 3, 0, 0, 0x7F, 0x7F, 0x7F, 0x7F}, Bytes(600, 0)})},
        {L"empty.mp3", Bytes()},
    };
    PlayUnplayable(bad, played);
}

// An MPEG 2.5 file (8 kHz) and a free-format file (whose frame length the header does not give)
// play as the reference decoder decodes them, within one step, with their lengths. A file whose
// second half changes to half the rate and one channel plays on at the right speed: the second
// half resampled to the first half's rate and channels, its tone at its own pitch.
TEST_F(Modules, MpegTwoPointFiveAndFreeFormatFilesPlay)
{
    StartWith(L"mpeg_formats");
    Settings(false);
    Add(L"mpeg25.mp3", Mp3(L"mpeg25.mp3"));
    Add(L"free.mp3", Mp3(L"free.mp3"));
    Add(L"rate_change.mp3", Mp3(L"rate_change.mp3"));
    const long lengths[] = {2, 1};
    for (long i = 0; i < 2; ++i) {
        Variant name, title, length;
        ASSERT_EQ(player_->Control()->GetPlaylistItem(i, name.Get(), title.Get(), length.Get()), S_OK);
        EXPECT_EQ(length->lVal, lengths[i]) << i;
    }
    Put(L"Volume", 255);
    player_->TakeEvents();
    PlayToEnd();
    EXPECT_EQ(player_->TakeEvents(), (Events{1, 4, 2, 4, 1, 5, 2, 4, 1, 5, 1, 5}));
    ExpectReferenceDecode(Track(1), L"mpeg25");
    ExpectReferenceDecode(Track(2), L"free");
    const Render changed = ReadRender(Track(3));
    ASSERT_EQ(changed.rate, 44100);
    ASSERT_EQ(changed.channels, 2);
    const Render first = ReadRender(ExeDirectory() + L"\\mp3\\cbr_bare.mpg123.wav");
    const Render second = ReadRender(ExeDirectory() + L"\\mp3\\half_rate.mpg123.wav");
    // The first half as the reference decodes it, then the second at twice its samples (less the
    // frame at the seam, which no frame of its own stream confirms).
    const size_t firstFrames = first.samples.size() / 2;
    const size_t secondFrames = second.samples.size() * 2;
    EXPECT_GE(changed.samples.size() / 2, firstFrames + secondFrames - 2 * 1152);
    EXPECT_LE(changed.samples.size() / 2, firstFrames + secondFrames + 1152);
    int worst = 0;
    for (size_t i = 0; i + 2 * 1152 < firstFrames * 2; ++i) worst = std::max(worst, std::abs(first.samples[i] - changed.samples[i]));
    EXPECT_LE(worst, 1);
    const size_t secondStart = firstFrames + 2 * 1152;
    EXPECT_NEAR(ToneFrequency(changed, 0, secondStart, secondStart + 22050), 500.0, 2.0);
    EXPECT_NEAR(ToneFrequency(changed, 1, secondStart, secondStart + 22050), 500.0, 2.0);
}

// MP3 files on a web server (no internet radio headers) keep the titles a list gave them while
// they play, unless the body starts with an ID3 tag, whose title they then take.
TEST_F(Modules, FilesFromAWebServerKeepTheirListTitles)
{
    StartWith(L"web_files");
    Settings(false);
    const std::string bare = ServerUrl("/files/cbr_bare.mp3");
    const std::string tagged = ServerUrl("/files/cbr_tagged.mp3");
    ASSERT_FALSE(bare.empty()) << "the test server does not run";
    const std::wstring list = Dir() + L"\\web.m3u";
    std::ofstream(std::filesystem::path(list), std::ios::binary)
        << "#EXTM3U\r\n#EXTINF:1,List Title\r\n" << bare << "\r\n#EXTINF:2,Other Title\r\n" << tagged << "\r\n";
    ASSERT_EQ(player_->Append(list), S_OK);
    std::vector<std::wstring> titles;
    player_->Sink().onEvent = [&] {
        const RecordedEvent& last = player_->Log().back();
        if (last.dispid == 1 && last.msgId == 4) titles.push_back(player_->CurrentTitle());
    };
    ASSERT_EQ(player_->Call().Method(L"Play"), S_OK);
    EXPECT_TRUE(player_->PumpUntil([&] { return titles.size() == 2 && Get(L"Status") == 0; }, 30000));
    player_->Sink().onEvent = nullptr;
    EXPECT_EQ(titles, (std::vector<std::wstring>{L"1. List Title", L"2. Maker - Tone"}));
}

// Stations whose answer names a type that nothing here decodes (in the HTTP headers, or in the
// header block after an "ICY 200 OK" line) are refused as soon as the type is known: status 232,
// then the failed start (102), and the list moves on to the file after them.
TEST_F(Modules, StationsOfAnotherTypeAreRefused)
{
    StartWith(L"radio_types");
    Settings(false);
    for (const char* path : {"/radio/unknown", "/radio/unknown-icy"}) {
        const std::string url = ServerUrl(path);
        ASSERT_FALSE(url.empty()) << "the test server does not run";
        ASSERT_EQ(player_->Append(std::wstring(url.begin(), url.end())), S_OK);
    }
    Add(L"cbr_bare.mp3", Mp3(L"cbr_bare.mp3"));
    player_->Log().clear();
    ASSERT_EQ(player_->Call().Method(L"Play"), S_OK);
    EXPECT_TRUE(player_->PumpUntil([&] { return Get(L"PlaylistPos") == 2 && Get(L"Status") == 0; }, 30000));
    std::vector<long> codes;
    for (const RecordedEvent& e : player_->Log())
        if ((e.dispid == 2 && e.msgId == 232) || (e.dispid == 1 && (e.msgId == 102 || e.msgId == 4))) codes.push_back(e.msgId);
    EXPECT_EQ(codes, (std::vector<long>{232, 102, 232, 102, 4}));
    EXPECT_GE(ReadRender(Track(1)).samples.size(), 44100u * 2) << "the file after the stations played";
}

// Internet radio from the test server, played as a list: a station that is not there, one that
// answers "ICY 200 OK", one whose title changes twice, one that never sends audio, one that
// stalls, then a local file. Each stream's titles reach the container as they change, failed
// starts and ended streams move the list on, and the buffering and connection notices arrive.
TEST_F(Modules, InternetRadioStreamsAnnounceTitlesAndAdvance)
{
    StartWith(L"radio");
    Settings(false);
    for (const char* path : {"/radio/missing", "/radio/icy", "/radio/titles", "/radio/silent", "/radio/stall"}) {
        const std::string url = ServerUrl(path);
        ASSERT_FALSE(url.empty()) << "the test server does not run";
        ASSERT_EQ(player_->Append(std::wstring(url.begin(), url.end())), S_OK);
    }
    Add(L"cbr_bare.mp3", Mp3(L"cbr_bare.mp3"));
    // What the container reads when it hears that a track started or its title changed.
    std::vector<std::wstring> titles;
    std::vector<long> streamFlags;
    // How much of the stream had been heard (the playing plugin's output time) at each title.
    std::vector<int32_t> heardMs;
    InputPluginRecord* reader = ShippedInput(L"IN_MPA.DLL");
    ASSERT_TRUE(reader);
    // The playing stream's header information, asked for when its second title came.
    Variant info[11];
    player_->Sink().onEvent = [&] {
        const RecordedEvent& last = player_->Log().back();
        if (last.dispid != 1 || last.msgId != 4) return;
        titles.push_back(player_->CurrentTitle());
        heardMs.push_back(reader->getPosition());
        Variant flag;
        EXPECT_EQ(player_->Control()->IsStreamPlaying(flag.Get()), S_OK);
        streamFlags.push_back(flag->iVal);
        if (titles.back() == L"3. Artist - Song") {
            EXPECT_EQ(player_->Control()->GetPlaylistItemHeaderInfos(
                          2, info[0].Get(), info[1].Get(), info[2].Get(), info[3].Get(), info[4].Get(), info[5].Get(),
                          info[6].Get(), info[7].Get(), info[8].Get(), info[9].Get(), info[10].Get()),
                      S_OK);
        }
    };
    Put(L"Volume", 255);
    player_->Log().clear();
    // The first start fails and leaves the advance queued: the list has played when the last
    // entry has started and stopped.
    ASSERT_EQ(player_->Call().Method(L"Play"), S_OK);
    EXPECT_TRUE(player_->PumpUntil([&] { return !titles.empty() && titles.back() == L"6. cbr bare" && Get(L"Status") == 0; },
                                   60000));
    player_->Sink().onEvent = nullptr;

    char cafe[32] = "";
    WideCharToMultiByte(CP_ACP, 0, L"3. Caf\u00e9 Night", -1, cafe, sizeof cafe, nullptr, nullptr);
    wchar_t cafeWide[32] = L"";
    MultiByteToWideChar(CP_ACP, 0, cafe, -1, cafeWide, 32);
    EXPECT_EQ(titles, (std::vector<std::wstring>{L"2. Old Style", L"2. Old Song", L"3. Test Radio", L"3. Morning Show",
                                                 L"3. Artist - Song", cafeWide, L"5. Test Radio", L"6. cbr bare"}));
    EXPECT_EQ(streamFlags, (std::vector<long>{1, 1, 1, 1, 1, 1, 1, 0}));
    // Each of the titled stream's titles comes after the audio before it, 8,192 bytes of 128
    // kbit/s (512 ms) a piece: it is announced once that audio has been heard (less the two
    // frames a joined stream drops), not when its bytes arrive.
    ASSERT_EQ(heardMs.size(), titles.size());
    EXPECT_GE(heardMs[3], 1 * 512 - 60) << "Morning Show";
    EXPECT_GE(heardMs[4], 3 * 512 - 60) << "Artist - Song";
    EXPECT_GE(heardMs[5], 5 * 512 - 60) << "Caf\u00e9 Night";
    ASSERT_EQ(info[1]->vt, VT_BSTR);
    EXPECT_STREQ(info[1]->bstrVal, L"Artist - Song");
    EXPECT_EQ((std::vector<long>{info[0]->iVal, info[7]->iVal, info[8]->lVal, info[9]->iVal, info[10]->iVal}),
              (std::vector<long>{1, 128, 44100, 1, 0}));

    // Per stream, in order: buffering from below 100 up to 100, then the connection's end (0 closed
    // by the server, 1 stalled).
    std::vector<std::pair<long, long>> notices;
    for (const RecordedEvent& e : player_->Log())
        if (e.dispid == 2 && (e.msgId == 230 || e.msgId == 231)) notices.emplace_back(e.msgId, e.comp);
    std::vector<long> ends;
    long lastPercent = -1;
    for (const auto& [code, value] : notices) {
        if (code == 231) {
            ends.push_back(value);
            continue;
        }
        EXPECT_GE(value, 0);
        EXPECT_LE(value, 100);
        EXPECT_TRUE(lastPercent == 100 || lastPercent == -1 || value > lastPercent) << "buffering went back";
        lastPercent = value == 100 ? -1 : value;
    }
    EXPECT_EQ(ends, (std::vector<long>{0, 0, 1}));
    EXPECT_GE(std::count(notices.begin(), notices.end(), std::make_pair(230L, 100L)), 3);

    // The titled stream's audio: six pieces of the 1 kHz tone at half scale, the first two frames
    // dropped and the last cut frame left out.
    Render titled = ReadRender(Track(2));
    EXPECT_EQ(titled.channels, 2);
    EXPECT_EQ(titled.rate, 44100);
    const double seconds = titled.samples.size() / 2 / 44100.0;
    EXPECT_GT(seconds, 6 * 8192 / 16000.0 - 0.15);
    EXPECT_LT(seconds, 6 * 8192 / 16000.0 + 0.05);
    double power = 0;
    for (int16_t sample : titled.samples) power += static_cast<double>(sample) * sample;
    const double rms = std::sqrt(power / static_cast<double>(titled.samples.size() ? titled.samples.size() : 1));
    EXPECT_GT(rms, 10000);
    EXPECT_LT(rms, 12500);
    EXPECT_NEAR(ToneFrequency(titled, 0, 2000, 40000), 1000.0, 1.0);
    EXPECT_GT(ReadRender(Track(3)).samples.size(), 44100u) << "the stalled stream played what it had";
}

// Stations joined inside a frame, their bodies starting wherever the server's buffer stood: one
// that announces its metadata interval in the HTTP headers, its audio starting with a letter, one
// that answers "ICY 200 OK" and puts its headers before audio starting with a digit. Each title
// reaches the container as it changes, and each stream plays the tone.
TEST_F(Modules, InternetRadioJoinedInsideAFrameKeepsItsTitles)
{
    StartWith(L"radio_joined");
    Settings(false);
    const Bytes mp3 = Mp3(L"cbr_bare.mp3");
    // The first byte of the given kind inside the second frame (frames start with 0xFF).
    auto inFrame = [&](bool (*kind)(uint8_t)) {
        size_t at = 500;
        while (at < mp3.size() && !kind(mp3[at])) ++at;
        return at;
    };
    const size_t letter = inFrame([](uint8_t c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); });
    const size_t digit = inFrame([](uint8_t c) { return c >= '0' && c <= '9'; });
    ASSERT_LT(letter, 800u);
    ASSERT_LT(digit, 800u);
    for (const std::string& path : {"/radio/joined/" + std::to_string(letter), "/radio/joined-icy/" + std::to_string(digit)}) {
        const std::string url = ServerUrl(path);
        ASSERT_FALSE(url.empty()) << "the test server does not run";
        ASSERT_EQ(player_->Append(std::wstring(url.begin(), url.end())), S_OK);
    }
    Add(L"cbr_bare.mp3", mp3);
    std::vector<std::wstring> titles;
    player_->Sink().onEvent = [&] {
        const RecordedEvent& last = player_->Log().back();
        if (last.dispid == 1 && last.msgId == 4) titles.push_back(player_->CurrentTitle());
    };
    Put(L"Volume", 255);
    ASSERT_EQ(player_->Call().Method(L"Play"), S_OK);
    EXPECT_TRUE(player_->PumpUntil([&] { return !titles.empty() && titles.back() == L"3. cbr bare" && Get(L"Status") == 0; },
                                   30000));
    player_->Sink().onEvent = nullptr;
    EXPECT_EQ(titles, (std::vector<std::wstring>{L"1. Joined Radio", L"1. Late Show", L"1. Next Song", L"2. Joined Icy",
                                                 L"2. Late Show", L"2. Next Song", L"3. cbr bare"}));

    // Four pieces of the 1 kHz tone at half scale each, less the partial frame the body starts
    // in, the first two frames and the last cut frame.
    for (int track = 1; track <= 2; ++track) {
        const Render joined = ReadRender(Track(track));
        ASSERT_EQ(joined.channels, 2);
        const double seconds = joined.samples.size() / 2 / 44100.0;
        EXPECT_GT(seconds, 4 * 8192 / 16000.0 - 0.15) << "track " << track;
        EXPECT_LT(seconds, 4 * 8192 / 16000.0 + 0.05) << "track " << track;
        EXPECT_NEAR(ToneFrequency(joined, 0, 2000, 40000), 1000.0, 1.0) << "track " << track;
        double power = 0;
        for (int16_t sample : joined.samples) power += static_cast<double>(sample) * sample;
        const double rms = std::sqrt(power / static_cast<double>(joined.samples.size() ? joined.samples.size() : 1));
        EXPECT_GT(rms, 10000) << "track " << track;
        EXPECT_LT(rms, 12500) << "track " << track;
    }
}

// Stations over TLS, played as a list: one whose certificate comes from an issuer nobody trusts,
// the titled station from a server the test authority certified, the same server under an
// address its certificate does not name, one whose certificate is out of date, then a local file.
// Each failed certificate fails its start (102, the list moves on); the certified station plays
// the tone with its titles and ends as the server closes it.
TEST_F(Modules, HttpsRadioPlaysOnlyFromACertifiedStation)
{
    StartWith(L"radio_https");
    Settings(false);
    ASSERT_TRUE(InstallTestAuthority());
    for (const std::string& url :
         {SecureServerUrl("/radio/titles", Certificate::kUntrusted), SecureServerUrl("/radio/titles"),
          SecureServerUrl("/radio/titles", Certificate::kCertified, "127.0.0.1"),
          SecureServerUrl("/radio/titles", Certificate::kExpired)}) {
        ASSERT_FALSE(url.empty()) << "the TLS test servers do not run";
        ASSERT_EQ(player_->Append(std::wstring(url.begin(), url.end())), S_OK);
    }
    Add(L"cbr_bare.mp3", Mp3(L"cbr_bare.mp3"));
    // Each start failure and each start or new title, with the position it came at (and the
    // title the container reads for a start).
    using Heard = std::tuple<long, long, std::wstring>;
    std::vector<Heard> heard;
    bool localPlayed = false;
    player_->Sink().onEvent = [&] {
        const RecordedEvent& last = player_->Log().back();
        if (last.dispid != 1 || (last.msgId != 4 && last.msgId != 102)) return;
        heard.emplace_back(last.msgId, Get(L"PlaylistPos"), last.msgId == 4 ? player_->CurrentTitle() : L"");
        localPlayed = localPlayed || std::get<2>(heard.back()) == L"5. cbr bare";
    };
    Put(L"Volume", 255);
    player_->Log().clear();
    ASSERT_EQ(player_->Call().Method(L"Play"), S_OK);
    EXPECT_TRUE(player_->PumpUntil([&] { return localPlayed && Get(L"Status") == 0; }, 60000));
    player_->Sink().onEvent = nullptr;

    char cafe[32] = "";
    WideCharToMultiByte(CP_ACP, 0, L"2. Caf\u00e9 Night", -1, cafe, sizeof cafe, nullptr, nullptr);
    wchar_t cafeWide[32] = L"";
    MultiByteToWideChar(CP_ACP, 0, cafe, -1, cafeWide, 32);
    EXPECT_EQ(heard, (std::vector<Heard>{{102, 0, L""},
                                         {4, 1, L"2. Test Radio"},
                                         {4, 1, L"2. Morning Show"},
                                         {4, 1, L"2. Artist - Song"},
                                         {4, 1, cafeWide},
                                         {102, 2, L""},
                                         {102, 3, L""},
                                         {4, 4, L"5. cbr bare"}}));
    std::vector<long> ends;
    for (const RecordedEvent& e : player_->Log())
        if (e.dispid == 2 && e.msgId == 231) ends.push_back(e.comp);
    EXPECT_EQ(ends, std::vector<long>{0}) << "the certified station ends as its server closes it";

    // Six pieces of the 1 kHz tone at half scale, less the two dropped first frames and the
    // last cut frame; the failed starts wrote no file.
    const Render station = ReadRender(Track(1));
    ASSERT_EQ(station.channels, 2);
    const double seconds = station.samples.size() / 2 / 44100.0;
    EXPECT_GT(seconds, 6 * 8192 / 16000.0 - 0.15);
    EXPECT_LT(seconds, 6 * 8192 / 16000.0 + 0.05);
    EXPECT_NEAR(ToneFrequency(station, 0, 2000, 40000), 1000.0, 1.0);
    EXPECT_GT(Rms(station, 0, 2000, 40000), 10000);
    EXPECT_EQ(GetFileAttributesW(Track(3).c_str()), INVALID_FILE_ATTRIBUTES) << "a failed start wrote a file";
}

namespace {

// A file of the given size whose first bytes are head and whose rest the file system leaves
// unwritten (it takes no room where it supports sparse files).
bool WriteSparse(const std::wstring& path, const Bytes& head, uint64_t size)
{
    UniqueFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    if (!WriteFile(file.Get(), head.data(), static_cast<DWORD>(head.size()), &written, nullptr)) return false;
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(size);
    return SetFilePointerEx(file.Get(), end, nullptr, FILE_BEGIN) && SetEndOfFile(file.Get());
}

bool Contains(const std::vector<std::string>& lines, const std::string& line)
{
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

}  // namespace

// Headers that make lengths past 32 bits of milliseconds: a WAVE file of one byte a second, an
// MPEG file whose Xing frame claims four billion frames, and a 3 GB file at 8 kbit/s. The
// container sees each length held at the end of the range, never negative, in the playlist and
// from the playing plugin.
TEST_F(Modules, LengthsFromCraftedHeadersStayPositive)
{
    StartWith(L"long_lengths");
    Settings(true);
    Add(L"slow.wav", Wave({1, 1, 1, 8}, Bytes(3000000, 0x80)));  // 3,000,000 s
    // The bare file's first frame turned into a Xing frame with only a frame count.
    Bytes xing = Mp3(L"cbr_bare.mp3");
    ASSERT_GT(xing.size(), 1000u);
    const bool mono = (xing[3] >> 6) == 3;
    const size_t tag = 4 + ((xing[1] & 1) ? 0 : 2) + (mono ? 17 : 32);
    std::fill(xing.begin() + 4, xing.begin() + static_cast<long>(tag) + 12, 0);
    std::memcpy(xing.data() + tag, "Xing\0\0\0\x01\xFF\xFF\xFF\xFF", 12);
    Add(L"xing.mp3", xing);
    // MPEG 2 layer 3, 8 kbit/s, 16 kHz, mono: 36-byte frames, then nothing up to 3 GB.
    Bytes frames;
    for (int i = 0; i < 100; ++i) {
        const Bytes frame = {0xFF, 0xF3, 0x18, 0xC0};
        frames.insert(frames.end(), frame.begin(), frame.end());
        frames.resize(frames.size() + 32, 0);
    }
    const std::wstring sparse = Dir() + L"\\slow.mp3";
    ASSERT_TRUE(WriteSparse(sparse, frames, 3000000000ull));
    ASSERT_EQ(player_->Append(sparse), S_OK);
    ASSERT_EQ(Get(L"Nb_Playlist_Items"), 3);
    for (long i = 0; i < 3; ++i) {
        Variant name, title, length;
        ASSERT_EQ(player_->Control()->GetPlaylistItem(i, name.Get(), title.Get(), length.Get()), S_OK);
        EXPECT_EQ(length->lVal, INT32_MAX / 1000) << i;
    }
    for (long i = 0; i < 2; ++i) {
        Put(L"PlaylistPos", i);
        ASSERT_EQ(player_->Call().Method(L"Play"), S_OK);
        EXPECT_EQ(Get(L"Status"), 1) << i;
        EXPECT_EQ(Get(L"Length"), INT32_MAX / 1000) << i;
        ASSERT_EQ(player_->Call().Method(L"Stop"), S_OK);
    }
    DeleteFileW(sparse.c_str());
}

// The file writer at the end of what a WAVE file holds, with a small limit set in its settings:
// the file stops growing at whole frames and stays valid, the times go on. Then more than 4 GiB
// goes through the output (it drops them unwritten, as fast as it is given them): at close the
// file keeps what it had, and the written time did not wrap.
TEST_F(Modules, TheFileWriterStopsAtTheWaveLimit)
{
    StartWith(L"wave_limit");
    const std::string dir = Narrow(Dir());
    // 44 header bytes and 1003 of samples: 250 whole frames fit.
    ASSERT_TRUE(player_->Layout().WritePluginFile(
        L"out_pq2.ini", {"[output]", "file=" + dir + "\\track%d.wav", "realtime=0", "maxbytes=1047"}));
    HMODULE writer = GetModuleHandleW((player_->Layout().PluginsDirectory() + L"\\out_pq2.dll").c_str());
    auto getOutput = reinterpret_cast<TunaraGetOutModuleFn>(
        reinterpret_cast<void*>(writer ? GetProcAddress(writer, "tunaraGetOutModule") : nullptr));
    ASSERT_TRUE(getOutput);
    OutputPluginRecord* output = getOutput();
    ASSERT_EQ(output->open(44100, 2, 16, -1, -1), 0);
    output->setVolume(255);
    output->setPan(0);
    const Bytes first = Noise(1200, 11);
    ASSERT_EQ(output->write(reinterpret_cast<const char*>(first.data()), 1200), 0);
    Render full = ReadRender(Track(1));
    EXPECT_TRUE(full.samples == AsInt16(Bytes(first.begin(), first.begin() + 1000))) << "not the first 250 frames";
    EXPECT_EQ(output->getWrittenTime(), 1200 * 1000 / 176400);

    // 4 GiB and 400 bytes in all.
    const int32_t piece = 1 << 20;
    std::vector<char> silence(piece, 0);
    for (int i = 0; i < 4095; ++i) ASSERT_EQ(output->write(silence.data(), piece), 0);
    ASSERT_EQ(output->write(silence.data(), piece - 800), 0);
    const int64_t total = (int64_t{1} << 32) + 400;
    EXPECT_EQ(output->getWrittenTime(), static_cast<int32_t>(total * 1000 / 176400));
    EXPECT_EQ(output->getOutputTime(), output->getWrittenTime());
    output->close();
    EXPECT_TRUE(ReadRender(Track(1)).samples == full.samples) << "the close cut the file";
}

// A track file cut off in the middle (the process ends while writing) is a WAVE file whose
// sizes describe a prefix of what was written, at most about 3 s short of it; the close makes
// the sizes whole.
TEST_F(Modules, ATrackFileBeingWrittenDescribesItsSamplesSoFar)
{
    StartWith(L"wave_open");
    const std::string dir = Narrow(Dir());
    ASSERT_TRUE(player_->Layout().WritePluginFile(L"out_pq2.ini", {"[output]", "file=" + dir + "\\track%d.wav", "realtime=0"}));
    HMODULE writer = GetModuleHandleW((player_->Layout().PluginsDirectory() + L"\\out_pq2.dll").c_str());
    auto getOutput = reinterpret_cast<TunaraGetOutModuleFn>(
        reinterpret_cast<void*>(writer ? GetProcAddress(writer, "tunaraGetOutModule") : nullptr));
    ASSERT_TRUE(getOutput);
    OutputPluginRecord* output = getOutput();
    ASSERT_EQ(output->open(44100, 2, 16, -1, -1), 0);
    output->setVolume(255);
    output->setPan(0);
    const Bytes all = Noise(1600 * 1024, 5);
    const size_t piece = 100 * 1024;
    for (size_t written = piece; written <= all.size(); written += piece) {
        ASSERT_EQ(output->write(reinterpret_cast<const char*>(all.data()) + written - piece, static_cast<int32_t>(piece)), 0);
        std::ifstream in(std::filesystem::path(Track(1)), std::ios::binary);
        const Bytes file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        ASSERT_EQ(file.size(), 44 + written);
        auto get32 = [&](size_t at) {
            return static_cast<uint32_t>(file[at]) | static_cast<uint32_t>(file[at + 1]) << 8 |
                   static_cast<uint32_t>(file[at + 2]) << 16 | static_cast<uint32_t>(file[at + 3]) << 24;
        };
        const uint32_t described = get32(40);
        EXPECT_EQ(get32(4), 36 + described) << "RIFF size at " << written;
        EXPECT_EQ(described % 4, 0u);
        EXPECT_LE(described, written);
        EXPECT_GE(described + 3 * 176400, written) << "the sizes lag too far behind";
        EXPECT_TRUE(std::equal(file.begin() + 44, file.begin() + 44 + described, all.begin()));
    }
    output->close();
    EXPECT_TRUE(ReadRender(Track(1)).samples == AsInt16(all)) << "the close left the sizes short";
}

// A decoding thread that hangs inside its output (the device output here holds every write until
// the test lets go): Stop returns without it, the output is closed, and the reader refuses to
// start until that thread has ended; then it plays again. Deinitialize with such a thread leaves
// the reader and the output loaded until the thread has ended, then both go.
TEST_F(Modules, StopDoesNotWaitForAHungDecodingThread)
{
    const std::string eventName = "TunaraHeldWrite" + std::to_string(GetCurrentProcessId());
    UniqueHandle release(CreateEventA(nullptr, TRUE, FALSE, eventName.c_str()));
    ASSERT_TRUE(release);
    player_ = std::make_unique<PlayerCase>(L"hung_thread");
    PluginLayout& layout = player_->Layout();
    ASSERT_TRUE(layout.AddShipped(L"IN_PCM.DLL", L"IN_PCM.DLL"));
    ASSERT_TRUE(layout.AddOutput("OUT_KV.DLL", {"hold=" + eventName}));
    ASSERT_TRUE(player_->Start());
    const std::wstring reader = layout.PluginsDirectory() + L"\\IN_PCM.DLL";
    const std::wstring device = layout.PluginsDirectory() + L"\\OUT_KV.DLL";
    Add(L"a.wav", Wave({1, 2, 44100, 16}, Noise(44100 * 4, 12)));

    auto held = [&] {
        return player_->PumpUntil([&] { return Contains(layout.CallLog(), "OUT_KV.DLL write held"); });
    };
    layout.ClearLog();
    ASSERT_EQ(player_->Call().Method(L"Play"), S_OK);
    ASSERT_TRUE(held());
    player_->TakeEvents();
    ASSERT_EQ(player_->Call().Method(L"Stop"), S_OK);
    std::vector<std::string> calls = layout.CallLog();
    EXPECT_FALSE(Contains(calls, "OUT_KV.DLL write gave up")) << "Stop waited for the hung thread";
    EXPECT_FALSE(Contains(calls, "OUT_KV.DLL write released"));
    EXPECT_TRUE(Contains(calls, "OUT_KV.DLL close")) << "the output was left open";
    EXPECT_EQ(Get(L"Status"), 0);
    // While the thread hangs, a start fails.
    ASSERT_EQ(player_->Call().Method(L"Play"), S_OK);
    player_->Pump();
    Events events = player_->TakeEvents();
    ASSERT_GE(events.size(), 2u);
    EXPECT_EQ(Events(events.begin(), events.begin() + 2), (Events{1, 102}));
    EXPECT_EQ(Get(L"Status"), 0);

    // Let go: once the thread has ended, the file plays (to its end: writes no longer wait).
    ASSERT_TRUE(SetEvent(release.Get()));
    EXPECT_TRUE(player_->PumpUntil([&] {
        player_->Control()->Play();
        const Events started = player_->TakeEvents();
        return std::count(started.begin(), started.end(), 4) > 0;
    }));
    EXPECT_TRUE(Contains(layout.CallLog(), "OUT_KV.DLL write released"));
    ASSERT_EQ(player_->Call().Method(L"Stop"), S_OK);

    // Hung again, then Deinitialize: both modules stay until the thread ends.
    ASSERT_TRUE(ResetEvent(release.Get()));
    layout.ClearLog();
    ASSERT_EQ(player_->Call().Method(L"Play"), S_OK);
    ASSERT_TRUE(held());
    ASSERT_EQ(player_->Control()->Deinitialize(), S_OK);
    calls = layout.CallLog();
    EXPECT_FALSE(Contains(calls, "OUT_KV.DLL write gave up")) << "Deinitialize waited for the hung thread";
    EXPECT_TRUE(Contains(calls, "OUT_KV.DLL quit"));
    EXPECT_TRUE(GetModuleHandleW(reader.c_str())) << "the reader was unloaded under its thread";
    EXPECT_TRUE(GetModuleHandleW(device.c_str())) << "the output was unloaded under the thread";
    ASSERT_TRUE(SetEvent(release.Get()));
    EXPECT_TRUE(player_->PumpUntil([&] { return !GetModuleHandleW(reader.c_str()) && !GetModuleHandleW(device.c_str()); }));
    EXPECT_TRUE(Contains(layout.CallLog(), "OUT_KV.DLL write released"));
}
