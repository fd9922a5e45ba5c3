// Which input plugin a name goes to: claims, extensions, the WAVE content test and the
// substitute names; the output hand-over; extended information; the file type list.
#include <windows.h>

#include <string.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/engine_context.h"
#include "engine/hidden_window.h"
#include "plugins/file_type_list.h"
#include "plugins/plugin_matching.h"
#include "support/bare_control.h"
#include "support/recording_sink.h"

namespace {

// In-process stand-ins for plugin records: each claims names containing its claim text and
// records every name it is asked about.
struct StandIn {
    InputPluginRecord record{};
    std::string claim;
    std::vector<std::string> asked;
};

StandIn standIns[4];

template <int N>
int32_t __cdecl Accepts(const char* name)
{
    standIns[N].asked.push_back(name);
    return !standIns[N].claim.empty() && strstr(name, standIns[N].claim.c_str()) != nullptr;
}

template <int N>
int32_t __cdecl ExtendedInfo(const char*, char* title, char*, char*, char*, char*, char*, int32_t* bitrate,
                             int32_t*, int32_t*, int32_t*)
{
    strcpy(title, "extended");
    *bitrate = 128 + N;
    return 1;
}

using AcceptsFn = int32_t(__cdecl*)(const char*);
const AcceptsFn kAccepts[] = {Accepts<0>, Accepts<1>, Accepts<2>, Accepts<3>};

class Matching : public testing::Test {
protected:
    void SetUp() override
    {
        for (InputPluginRecord*& slot : engine.inputPlugins) slot = nullptr;
        for (OutputPluginRecord*& slot : engine.outputPlugins) slot = nullptr;
        strcpy(engine.defaultMatchExtension, "mp3");
        engine.hiddenWindow.Detach();
        for (int i = 0; i < 4; ++i) {
            standIns[i] = StandIn{};
            standIns[i].record.version = 256;
            standIns[i].record.acceptsFile = kAccepts[i];
            standIns[i].record.extensionList = "\0";
        }
        GetTempPathA(MAX_PATH, directory_);
        strcat(directory_, "tunara_matching");
        CreateDirectoryA(directory_, nullptr);
        GetCurrentDirectoryA(MAX_PATH, savedDirectory_);
        SetCurrentDirectoryA(directory_);
    }
    void TearDown() override
    {
        for (const char* name : {"track.xyz", "clip.mp3", "short.xyz", "hi.wav"}) DeleteFileA(name);
        SetCurrentDirectoryA(savedDirectory_);
        for (InputPluginRecord*& slot : engine.inputPlugins) slot = nullptr;
        for (OutputPluginRecord*& slot : engine.outputPlugins) slot = nullptr;
    }

    // Puts the stand-ins into the table in the given order, with their extension lists.
    void Load(std::initializer_list<std::pair<int, const char*>> plugins)
    {
        for (InputPluginRecord*& slot : engine.inputPlugins) slot = nullptr;
        int slot = 0;
        for (const auto& [index, extensions] : plugins) {
            standIns[index].record.extensionList = extensions;
            engine.inputPlugins[slot++] = &standIns[index].record;
        }
    }

    static void WriteFile(const char* name, const char* bytes, DWORD size)
    {
        HANDLE file = CreateFileA(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        DWORD written = 0;
        ::WriteFile(file, bytes, size, &written, nullptr);
        CloseHandle(file);
    }

    static constexpr char kWave[] = "RIFF\x24\0\0\0WAVEfmt ";

    char directory_[MAX_PATH];
    char savedDirectory_[MAX_PATH];
};

}  // namespace

TEST_F(Matching, EmptyTableGivesNothing)
{
    EXPECT_EQ(FindInputPlugin("song.ogg"), nullptr);
    EXPECT_EQ(FindInputPlugin("http://radio.example/stream"), nullptr);
    EXPECT_EQ(FindInputPlugin(""), nullptr);
}

TEST_F(Matching, AClaimBeatsAnEarlierExtensionMatch)
{
    Load({{0, "OGG\0Ogg\0"}, {1, "\0"}});
    standIns[1].claim = "song";
    EXPECT_EQ(FindInputPlugin("C:\\a\\song.ogg"), &standIns[1].record);
    EXPECT_EQ(FindInputPlugin("C:\\a\\other.OGG"), &standIns[0].record);
}

TEST_F(Matching, LoadOrderAndTokenOrderBreakTies)
{
    Load({{0, "XYZ\0X\0MP3;MP2\0Mpeg\0"}, {1, "MP2\0Two\0"}});
    standIns[2].claim = "tie";
    standIns[3].claim = "tie";
    EXPECT_EQ(FindInputPlugin("a.mp2"), &standIns[0].record);
    engine.inputPlugins[0] = &standIns[3].record;
    engine.inputPlugins[1] = &standIns[2].record;
    EXPECT_EQ(FindInputPlugin("tie.mp2"), &standIns[3].record);
}

TEST_F(Matching, AnEmptyDescriptionEndsTheListAfterItsOwnTokens)
{
    Load({{0, "AAC\0\0MP4\0After\0"}});
    EXPECT_EQ(FindInputPlugin("a.aac"), &standIns[0].record);
    EXPECT_EQ(FindInputPlugin("a.mp4"), nullptr);
}

TEST_F(Matching, LongTokensCompareWhole)
{
    Load({{0, "ABCDEFGHIJKLMNOPQRST\0Long\0"}});
    EXPECT_EQ(FindInputPlugin("x.ABCDEFGHIJKLMNO"), nullptr);
    EXPECT_EQ(FindInputPlugin("x.abcdefghijklmnopqrst"), &standIns[0].record);
}

TEST_F(Matching, UnknownNamesAndStreamsFallBackToTheMp3Plugin)
{
    Load({{0, "WAV\0Wave\0"}, {1, "MP3\0Mpeg\0"}});
    EXPECT_EQ(FindInputPlugin("noise.xyz"), &standIns[1].record);
    EXPECT_EQ(FindInputPlugin("http://radio.example:8000/"), &standIns[1].record);
    // The substitute runs through the claims too.
    EXPECT_EQ(standIns[0].asked.back(), "hi.mp3");
    // A name that already has the fallback extension stops without a substitute.
    standIns[0].asked.clear();
    Load({{0, "WAV\0Wave\0"}});
    EXPECT_EQ(FindInputPlugin("song.MP3"), nullptr);
    EXPECT_EQ(standIns[0].asked, std::vector<std::string>{"song.MP3"});
}

TEST_F(Matching, WaveContentGoesToTheWavePlugin)
{
    WriteFile("track.xyz", kWave, 12);
    WriteFile("clip.mp3", kWave, 12);
    WriteFile("short.xyz", kWave, 11);
    Load({{0, "MP3\0Mpeg\0"}, {1, "WAV\0Wave\0"}});
    EXPECT_EQ(FindInputPlugin("track.xyz"), &standIns[1].record);
    EXPECT_EQ(FindInputPlugin("short.xyz"), &standIns[0].record);
    Load({{0, "MP3\0Mpeg\0"}});
    EXPECT_EQ(FindInputPlugin("track.xyz"), &standIns[0].record);  // no wave plugin: hi.mp3
    engine.inputPlugins[0] = &standIns[2].record;
    EXPECT_EQ(FindInputPlugin("clip.mp3"), nullptr);
}

TEST_F(Matching, AWaveFileNamedLikeTheSubstituteDoesNotLoop)
{
    WriteFile("hi.wav", kWave, 12);
    WriteFile("track.xyz", kWave, 12);
    Load({{0, "OGG\0Ogg\0"}});
    EXPECT_EQ(FindInputPlugin("track.xyz"), nullptr);
    EXPECT_EQ(standIns[0].asked, (std::vector<std::string>{"track.xyz", "hi.wav", "hi.mp3"}));
}

TEST_F(Matching, AMatchReceivesTheHiddenWindowWhenItHasNone)
{
    Load({{0, "MP3\0Mpeg\0"}});
    // Stand-in values that name no window: the engine never owns them.
    engine.hiddenWindow.Reset(reinterpret_cast<HWND>(0x1234));
    FindInputPlugin("a.mp3");
    EXPECT_EQ(standIns[0].record.hostWindow, reinterpret_cast<void*>(0x1234));
    engine.hiddenWindow.Detach();
    engine.hiddenWindow.Reset(reinterpret_cast<HWND>(0x5678));
    FindInputPlugin("a.mp3");
    EXPECT_EQ(standIns[0].record.hostWindow, reinterpret_cast<void*>(0x1234));
    engine.hiddenWindow.Detach();
}

TEST_F(Matching, PrepareHandsOverTheChosenOutputOrReportsNoPlugin)
{
    BareControl control;
    std::vector<RecordedEvent> log;
    RecordingSink sink(L"sink", log);
    control.EventSinks().Add(static_cast<IDispatch*>(&sink));
    engine.controlObject = &control;
    CreateHiddenWindow();

    EXPECT_EQ(PrepareInputPlugin("a.mp3"), nullptr);
    EXPECT_EQ(sink.MsgIds(), std::vector<long>{101});

    Load({{0, "MP3\0Mpeg\0"}, {1, "WAV\0Wave\0"}});
    standIns[0].record.flags = TUNARA_FLAG_USES_OUTPUT_PLUGIN;
    char other[] = "OUT_OTHER.DLL", chosen[] = "Out_KV.dll";
    OutputPluginRecord first{}, second{};
    first.fileName = other;
    second.fileName = chosen;
    strcpy(engine.chosenOutputName, "out_kv.dll");
    // No chosen output loaded: silently nothing.
    engine.outputPlugins[0] = &first;
    EXPECT_EQ(PrepareInputPlugin("a.mp3"), nullptr);
    engine.outputPlugins[1] = &second;
    EXPECT_EQ(PrepareInputPlugin("a.mp3"), &standIns[0].record);
    EXPECT_EQ(standIns[0].record.outputPlugin, &second);
    EXPECT_EQ(second.hostWindow, engine.hiddenWindow.Get());
    standIns[1].record.outputPlugin = &first;
    EXPECT_EQ(PrepareInputPlugin("a.wav"), &standIns[1].record);
    EXPECT_EQ(standIns[1].record.outputPlugin, nullptr);
    EXPECT_EQ(sink.MsgIds(), std::vector<long>{101});

    DestroyHiddenWindow();
    engine.controlObject = nullptr;
}

TEST_F(Matching, ExtendedInfoOnlyFromExtendedRecords)
{
    Load({{0, "MP3\0Mpeg\0"}});
    standIns[0].record.getExtendedInfo = ExtendedInfo<0>;
    char title[32] = "untouched";
    int32_t bitrate = -5;
    EXPECT_EQ(QueryExtendedInfo("a.mp3", title, nullptr, nullptr, nullptr, nullptr, nullptr, &bitrate,
                                nullptr, nullptr, nullptr), 0);
    EXPECT_STREQ(title, "untouched");
    EXPECT_EQ(bitrate, -5);
    standIns[0].record.version = 257;
    EXPECT_EQ(QueryExtendedInfo("a.mp3", title, nullptr, nullptr, nullptr, nullptr, nullptr, &bitrate,
                                nullptr, nullptr, nullptr), 1);
    EXPECT_STREQ(title, "extended");
    EXPECT_EQ(bitrate, 128);
}

TEST_F(Matching, FileTypeListPairsDescriptionsWithPatterns)
{
    Load({{0, "MP3;MP2\0D\0"}, {1, "WAV\0\0OGG\0Never\0"}});
    const char* list = BuildFileTypeList();
    std::vector<std::string> texts;
    for (const char* text = list; *text; text += strlen(text) + 1) texts.push_back(text);
    const std::vector<std::string> expected{
        "Error loading string", "*.M3U;*.M3U8;*.PLS;*.MP3;*.MP2;*.WAV",
        "Error loading string", "*.M3U;*.M3U8;*.PLS",
        "D", "*.MP3;*.MP2",
        "All files (*.*)", "*.*"};
    EXPECT_EQ(texts, expected);
}

TEST_F(Matching, FileTypeListThatWouldOverflowKeepsItsClosingPair)
{
    static std::string huge;
    huge.clear();
    for (int i = 0; i < 1000; ++i) huge += "EXT" + std::to_string(i) + ";";
    huge += '\0';
    huge += "Huge";
    huge += '\0';
    huge += '\0';
    Load({{0, huge.c_str()}});
    const char* list = BuildFileTypeList();
    std::vector<std::string> texts;
    size_t total = 0;
    for (const char* text = list; *text; text += strlen(text) + 1) {
        texts.push_back(text);
        total += strlen(text) + 1;
    }
    EXPECT_LT(total + 1, sizeof(engine.fileTypeList) + 1);
    ASSERT_GE(texts.size(), 4u);
    EXPECT_EQ(texts[texts.size() - 2], "All files (*.*)");
    EXPECT_EQ(texts.back(), "*.*");
    // The cut combined pattern ends with a whole extension.
    const std::string& combined = texts[1];
    EXPECT_EQ(combined.substr(0, 19), "*.M3U;*.M3U8;*.PLS;");
    EXPECT_NE(combined.back(), ';');
    EXPECT_EQ(combined.rfind("*.EXT"), combined.rfind(';') + 1);
}
