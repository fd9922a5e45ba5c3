// The test fixtures themselves: the fake plugin modules honour their configuration and log what
// is called, PluginLayout builds a case, and sharedir.dll answers within its buffer.
#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/plugin_layout.h"
#include "support/test_paths.h"
#include "tunara_plugin.h"
#include "win/library_loading.h"
#include "win/unique_resource.h"
#include "win/variant.h"

namespace {

using QuerySharedFolderFn = int32_t(__cdecl*)(char*, uint32_t);
using FakeInputRecordFn = InputPluginRecord*(__cdecl*)(void);
using FakeOutputRecordFn = OutputPluginRecord*(__cdecl*)(void);

template <typename Fn>
Fn ExportOf(const UniqueModule& module, const char* name)
{
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(ModuleExport(module, name)));
}

UniqueModule LoadPlugin(const PluginLayout& layout, const std::wstring& name)
{
    return UniqueModule(LoadLibraryW((layout.PluginsDirectory() + L"\\" + name).c_str()));
}

InputPluginRecord* InputRecord(const UniqueModule& module)
{
    auto entry = ExportOf<TunaraGetInModuleFn>(module, "tunaraGetInModule2");
    return entry ? entry() : nullptr;
}

OutputPluginRecord* OutputRecord(const UniqueModule& module)
{
    auto entry = ExportOf<TunaraGetOutModuleFn>(module, "tunaraGetOutModule");
    return entry ? entry() : nullptr;
}

// The list's bytes up to its terminating empty extension string, walked pair by pair so that an
// empty description does not end it early.
std::string ExtensionBytes(const char* list)
{
    const char* end = list;
    while (*end) {
        end += std::strlen(end) + 1;
        end += std::strlen(end) + 1;
    }
    return std::string(list, end + 1);
}

std::string Hex(const void* p)
{
    char text[9];
    std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(reinterpret_cast<uintptr_t>(p)));
    return text;
}

}  // namespace

// Without a .cfg file the input fake takes its defaults.
TEST(FakeInput, DefaultsWithoutConfig)
{
    PluginLayout layout(L"fake_input_defaults");
    ASSERT_TRUE(layout.AddInput(L"IN_D.DLL"));
    UniqueModule module = LoadPlugin(layout, L"IN_D.DLL");
    InputPluginRecord* record = InputRecord(module);
    ASSERT_TRUE(record);

    EXPECT_EQ(record->version, 256);
    EXPECT_EQ(record->flags, TUNARA_FLAG_USES_OUTPUT_PLUGIN);
    EXPECT_EQ(ExtensionBytes(record->extensionList), std::string("FAKE\0Fake files\0\0", 17));
    EXPECT_EQ(record->acceptsFile("C:\\x.fake"), 0);
    EXPECT_EQ(record->getLength(), 215000);
    EXPECT_EQ(record->getPosition(), 0);
    EXPECT_EQ(record->play("C:\\dir\\now.fake"), 0);

    char title[512] = "untouched";
    int32_t length = 0;
    record->getFileInfo("C:\\music\\song.mp3", title, &length);
    EXPECT_STREQ(title, "song.mp3");
    EXPECT_EQ(length, 215000);
    record->getFileInfo("", title, &length);
    EXPECT_STREQ(title, "now.fake");
    record->getFileInfo(nullptr, title, nullptr);
    EXPECT_STREQ(title, "now.fake");

    char text[32] = "keep";
    int32_t bitrate = -7;
    EXPECT_EQ(record->getExtendedInfo("a.fake", text, text, text, text, text, text, &bitrate, &bitrate,
                                      &bitrate, &bitrate), 0);
    EXPECT_STREQ(text, "keep");
    EXPECT_EQ(bitrate, -7);
}

// Every key of the input configuration shows in the record and in the answers.
TEST(FakeInput, ConfigHonoured)
{
    PluginLayout layout(L"fake_input_config");
    ASSERT_TRUE(layout.AddInput(L"IN_C.DLL", {"version=257", "extensions=MP3;MP2|MPEG audio|XYZ|", "flags=0x10",
                                             "accepts=Stream", "play=-1", "length=1234", "position=55",
                                             "info=live|Live Title|-1", "info=song|Song Title|3000",
                                             "extinfo=1"}));
    UniqueModule module = LoadPlugin(layout, L"IN_C.DLL");
    InputPluginRecord* record = InputRecord(module);
    ASSERT_TRUE(record);

    EXPECT_EQ(record->version, 257);
    EXPECT_EQ(record->flags, 0x10u);
    EXPECT_EQ(ExtensionBytes(record->extensionList), std::string("MP3;MP2\0MPEG audio\0XYZ\0\0\0", 25));
    EXPECT_EQ(record->acceptsFile("http://host/STREAM.x"), 1);
    EXPECT_EQ(record->acceptsFile("C:\\a.mp3"), 0);
    EXPECT_EQ(record->acceptsFile(nullptr), 0);
    EXPECT_EQ(record->play("C:\\a.mp3"), -1);
    EXPECT_EQ(record->getLength(), 1234);
    EXPECT_EQ(record->getPosition(), 55);

    char title[512];
    int32_t length = 0;
    record->getFileInfo("http://LIVE/now", title, &length);
    EXPECT_STREQ(title, "Live Title");
    EXPECT_EQ(length, -1);
    record->getFileInfo("C:\\my song.mp3", title, &length);
    EXPECT_STREQ(title, "Song Title");
    EXPECT_EQ(length, 3000);

    char name[32], artist[32], album[32], comment[32], year[8], genre[32];
    int32_t bitrate = 0, sampleRate = 0, stereo = 0, vbr = -1;
    EXPECT_EQ(record->getExtendedInfo("C:\\a.mp3", name, artist, album, comment, year, genre, &bitrate,
                                      &sampleRate, &stereo, &vbr), 1);
    EXPECT_STREQ(name, "Ext Title");
    EXPECT_STREQ(artist, "Ext Artist");
    EXPECT_STREQ(album, "Ext Album");
    EXPECT_STREQ(comment, "Ext Comment");
    EXPECT_STREQ(year, "2001");
    EXPECT_STREQ(genre, "Rock");
    EXPECT_EQ(bitrate, 128);
    EXPECT_EQ(sampleRate, 44100);
    EXPECT_EQ(stereo, 1);
    EXPECT_EQ(vbr, 0);

    ASSERT_TRUE(layout.AddInput(L"IN_S.DLL", {"accepts=*", "extensions="}));
    UniqueModule star = LoadPlugin(layout, L"IN_S.DLL");
    InputPluginRecord* starRecord = InputRecord(star);
    ASSERT_TRUE(starRecord);
    EXPECT_EQ(starRecord->acceptsFile("anything"), 1);
    EXPECT_EQ(ExtensionBytes(starRecord->extensionList), std::string("\0", 1));
}

// record=null makes the entry export return null, and the call is still logged.
TEST(FakeInput, NullRecord)
{
    PluginLayout layout(L"fake_input_null");
    ASSERT_TRUE(layout.AddInput(L"IN_N.DLL", {"record=null"}));
    UniqueModule module = LoadPlugin(layout, L"IN_N.DLL");
    ASSERT_TRUE(module.Get());
    EXPECT_EQ(InputRecord(module), nullptr);
    EXPECT_EQ(layout.CallLog(), std::vector<std::string>{"IN_N.DLL export"});
}

// Each call into the record is one log line, in order, with the record's words as init sees them;
// write36 lands in word 36 during init.
TEST(FakeInput, CallLogInOrder)
{
    PluginLayout layout(L"fake_input_log");
    ASSERT_TRUE(layout.AddInput(L"IN_A.DLL", {"write36=0xCAFE0001"}));
    UniqueModule module = LoadPlugin(layout, L"IN_A.DLL");
    InputPluginRecord* record = InputRecord(module);
    ASSERT_TRUE(record);
    OutputPluginRecord output{};

    record->moduleHandle = module.Get();
    record->hostWindow = reinterpret_cast<void*>(0x1234);
    record->requestUrlLaunch = reinterpret_cast<TunaraRequestUrlLaunchFn>(0x39);
    record->init();
    EXPECT_EQ(reinterpret_cast<uintptr_t>(record->setMediaInfo), 0xCAFE0001u);
    record->outputPlugin = &output;
    record->acceptsFile("C:\\a.fake");
    record->getFileInfo(nullptr, nullptr, nullptr);
    record->setVolume(200);
    record->setPan(0);
    record->play("C:\\a.fake");
    record->pause();
    record->unpause();
    record->getLength();
    record->getPosition();
    record->setPosition(5000);
    record->stop();
    record->getExtendedInfo("C:\\a.fake", nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                            nullptr, nullptr, nullptr);
    record->quit();

    std::vector<std::string> expected = {
        "IN_A.DLL export",
        "IN_A.DLL init word36=00000000 hostWindow=00001234 module=" + Hex(module.Get()) +
            " flags=00000001 w39=00000039 w40=00000000",
        "IN_A.DLL acceptsFile C:\\a.fake",
        "IN_A.DLL getFileInfo (null)",
        "IN_A.DLL setVolume 200",
        "IN_A.DLL setPan 0",
        "IN_A.DLL play C:\\a.fake output=" + Hex(&output),
        "IN_A.DLL pause",
        "IN_A.DLL unpause",
        "IN_A.DLL getLength",
        "IN_A.DLL getPosition",
        "IN_A.DLL setPosition 5000",
        "IN_A.DLL stop",
        "IN_A.DLL getExtendedInfo C:\\a.fake",
        "IN_A.DLL quit",
    };
    EXPECT_EQ(layout.CallLog(), expected);
    layout.ClearLog();
    EXPECT_TRUE(layout.CallLog().empty());
}

// Two copies of the fake are two modules with two records, each with its own configuration.
TEST(FakeInput, CopiesAreSeparateModules)
{
    PluginLayout layout(L"fake_input_copies");
    ASSERT_TRUE(layout.AddInput(L"IN_A.DLL", {"version=1"}));
    ASSERT_TRUE(layout.AddInput("IN_B.DLL", {"version=2"}));  // names may be narrow or wide
    UniqueModule a = LoadPlugin(layout, L"IN_A.DLL");
    UniqueModule b = LoadPlugin(layout, L"IN_B.DLL");
    InputPluginRecord* recordA = InputRecord(a);
    InputPluginRecord* recordB = InputRecord(b);
    ASSERT_TRUE(recordA && recordB);
    EXPECT_NE(recordA, recordB);
    EXPECT_EQ(recordA->version, 1);
    EXPECT_EQ(recordB->version, 2);
    EXPECT_EQ(layout.InputRecord(L"IN_A.DLL"), recordA);
    EXPECT_EQ(layout.InputRecord("in_b.dll"), recordB);
    recordB->stop();
    layout.AppendLog("TEST marker");
    recordA->stop();
    EXPECT_EQ(layout.CallLog(), (std::vector<std::string>{"IN_A.DLL export", "IN_B.DLL export", "IN_B.DLL stop",
                                                          "TEST marker", "IN_A.DLL stop"}));

    b = UniqueModule();
    EXPECT_EQ(layout.InputRecord(L"IN_B.DLL"), nullptr);
    EXPECT_EQ(layout.InputRecord(L"IN_NONE.DLL"), nullptr);
}

// The no-export variants load but offer no entry; their records stay reachable for tests.
TEST(FakeModules, NoExportVariants)
{
    PluginLayout layout(L"fake_noexport");
    ASSERT_TRUE(layout.AddInput(L"IN_X.DLL", {}, PluginLayout::kNoExport));
    ASSERT_TRUE(layout.AddOutput(L"OUT_X.DLL", {}, PluginLayout::kNoExport));
    UniqueModule input = LoadPlugin(layout, L"IN_X.DLL");
    UniqueModule output = LoadPlugin(layout, L"OUT_X.DLL");
    ASSERT_TRUE(input.Get() && output.Get());
    EXPECT_EQ(ModuleExport(input, "tunaraGetInModule2"), nullptr);
    EXPECT_EQ(ModuleExport(output, "tunaraGetOutModule"), nullptr);
    EXPECT_TRUE(ExportOf<FakeInputRecordFn>(input, "FakeInputRecord"));
    EXPECT_TRUE(ExportOf<FakeOutputRecordFn>(output, "FakeOutputRecord"));
    EXPECT_TRUE(layout.CallLog().empty());
}

// Loading, asking and freeing a fake leaves nothing behind that could run out: more cycles than
// a process has thread-local storage slots, and the fake still loads and answers.
TEST(FakeModules, ReloadsLeaveNothingBehind)
{
    PluginLayout layout(L"fake_reloads");
    ASSERT_TRUE(layout.AddInput(L"IN_R.DLL"));
    for (int cycle = 0; cycle < 1500; ++cycle) {
        UniqueModule module = LoadPlugin(layout, L"IN_R.DLL");
        ASSERT_TRUE(module.Get()) << "cycle " << cycle;
        ASSERT_TRUE(InputRecord(module)) << "cycle " << cycle;
    }
    UniqueModule module = LoadPlugin(layout, L"IN_R.DLL");
    ASSERT_TRUE(module.Get());
    InputPluginRecord* record = InputRecord(module);
    ASSERT_TRUE(record);
    EXPECT_EQ(record->version, 256);
    EXPECT_EQ(layout.CallLog().size(), 1501u);
}

// The output fake: defaults, configured version and open result, and its log lines.
TEST(FakeOutput, ConfigAndCallLog)
{
    PluginLayout layout(L"fake_output");
    ASSERT_TRUE(layout.AddOutput(L"OUT_KV.DLL"));
    ASSERT_TRUE(layout.AddOutput(L"OUT_BAD.DLL", {"version=15", "open=-1"}));
    ASSERT_TRUE(layout.AddOutput(L"OUT_NULL.DLL", {"record=null"}));
    UniqueModule good = LoadPlugin(layout, L"OUT_KV.DLL");
    UniqueModule bad = LoadPlugin(layout, L"OUT_BAD.DLL");
    UniqueModule none = LoadPlugin(layout, L"OUT_NULL.DLL");
    OutputPluginRecord* record = OutputRecord(good);
    OutputPluginRecord* badRecord = OutputRecord(bad);
    ASSERT_TRUE(record && badRecord);
    EXPECT_EQ(layout.OutputRecord(L"OUT_KV.DLL"), record);
    EXPECT_EQ(OutputRecord(none), nullptr);
    EXPECT_EQ(record->version, 16);
    EXPECT_EQ(badRecord->version, 15);

    record->init();
    char fileName[] = "OUT_KV.DLL";
    record->fileName = fileName;
    record->moduleHandle = good.Get();
    record->hostWindow = reinterpret_cast<void*>(0xABC);
    record->init();
    EXPECT_EQ(record->open(44100, 2, 16, -1, -1), 0);
    EXPECT_EQ(badRecord->open(44100, 2, 16, -1, -1), -1);
    record->close();
    record->quit();

    std::vector<std::string> expected = {
        "OUT_KV.DLL export",
        "OUT_BAD.DLL export",
        "OUT_NULL.DLL export",
        "OUT_KV.DLL init fileName=(null) hostWindow=00000000 module=00000000",
        "OUT_KV.DLL init fileName=OUT_KV.DLL hostWindow=00000ABC module=" + Hex(good.Get()),
        "OUT_KV.DLL open 44100 2 16 -1 -1 hostWindow=00000ABC",
        "OUT_BAD.DLL open 44100 2 16 -1 -1 hostWindow=00000000",
        "OUT_KV.DLL close",
        "OUT_KV.DLL quit",
    };
    EXPECT_EQ(layout.CallLog(), expected);
}

// A case directory starts empty apart from the control copy and Plugins, and its control is a
// module of its own that creates working objects without the registry.
TEST(PluginLayoutCase, FreshDirectoryAndOwnControl)
{
    std::wstring stray;
    {
        PluginLayout old(L"layout_case");
        stray = old.Directory() + L"\\stray.txt";
        UniqueFile file(CreateFileW(stray.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        ASSERT_TRUE(file.Valid());
    }
    PluginLayout layout(L"layout_case");
    EXPECT_EQ(GetFileAttributesW(stray.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(GetFileAttributesW((layout.Directory() + L"\\TunaraXChat.dll").c_str()), INVALID_FILE_ATTRIBUTES);
    DWORD plugins = GetFileAttributesW(layout.PluginsDirectory().c_str());
    ASSERT_NE(plugins, INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(plugins & FILE_ATTRIBUTE_DIRECTORY);

    ComPtr<ITunaraXChat2> control = layout.CreateControl();
    ASSERT_TRUE(control);
    EXPECT_TRUE(GetModuleHandleW((layout.Directory() + L"\\TunaraXChat.dll").c_str()));
    Variant version, comVersion;
    ASSERT_EQ(control->GetVersion(version.Get(), comVersion.Get()), S_OK);
    ASSERT_EQ(version->vt, VT_BSTR);
    EXPECT_STREQ(version->bstrVal, L"2.6F");
}

// sharedir.dll gives the common application data directory, and never writes past its buffer.
TEST(SharedDir, QuerySharedFolder)
{
    UniqueModule library(LoadLibraryW((ExeDirectory() + L"\\sharedir.dll").c_str()));
    ASSERT_TRUE(library.Get());
    auto query = ExportOf<QuerySharedFolderFn>(library, "QuerySharedFolderA");
    ASSERT_TRUE(query);

    char folder[MAX_PATH];
    int32_t status = query(folder, sizeof folder);
    ASSERT_GE(status, 0);
    EXPECT_EQ(static_cast<size_t>(status), std::strlen(folder));
    char expected[MAX_PATH];
    ASSERT_EQ(SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA, nullptr, SHGFP_TYPE_CURRENT, expected), S_OK);
    EXPECT_STREQ(folder, expected);
    DWORD attributes = GetFileAttributesA(folder);
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);

    char small[8];
    std::memset(small, 'x', sizeof small);
    EXPECT_LT(query(small, 0), 0);
    EXPECT_EQ(small[0], 'x');
    EXPECT_LT(query(nullptr, 260), 0);
    EXPECT_LT(query(small, 4), 0);
    EXPECT_EQ(small[0], '\0');
    EXPECT_EQ(std::string(small + 4, 4), "xxxx");
}
