// Initialize and Deinitialize as a container sees them, with fake plugin modules laid out in a
// Plugins folder beside a private copy of the control: what is loaded, in which order, what each
// module receives before and after its init, the output choice, and what Deinitialize takes down.
#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/plugin_layout.h"
#include "support/recording_sink.h"
#include "tunara_plugin.h"

namespace {

// The fields of one logged call: "<module> <call> key=value ...".
struct LogLine {
    std::string module, call, rest;
};

LogLine Parse(const std::string& line)
{
    LogLine parsed;
    size_t first = line.find(' ');
    parsed.module = line.substr(0, first);
    size_t second = line.find(' ', first + 1);
    parsed.call = line.substr(first + 1, second == std::string::npos ? std::string::npos : second - first - 1);
    parsed.rest = second == std::string::npos ? "" : line.substr(second + 1);
    return parsed;
}

// The value of key=... in a logged call, as a number.
unsigned long Field(const std::string& rest, const std::string& key)
{
    size_t at = rest.find(key + "=");
    return at == std::string::npos ? 0xDEADBEEF : std::stoul(rest.substr(at + key.size() + 1), nullptr, 16);
}

std::vector<LogLine> CallsNamed(const std::vector<std::string>& log, const std::string& call)
{
    std::vector<LogLine> found;
    for (const std::string& line : log) {
        LogLine parsed = Parse(line);
        if (parsed.call == call) found.push_back(parsed);
    }
    return found;
}

std::vector<std::string> Modules(const std::vector<LogLine>& lines)
{
    std::vector<std::string> names;
    for (const LogLine& line : lines) names.push_back(line.module);
    return names;
}

// The order in which a directory search returns the files of the Plugins folder.
std::vector<std::string> SearchOrder(const std::wstring& directory, const char* pattern)
{
    std::vector<std::string> names;
    std::string search(directory.begin(), directory.end());
    search += "\\Plugins\\";
    search += pattern;
    WIN32_FIND_DATAA found;
    HANDLE handle = FindFirstFileA(search.c_str(), &found);
    if (handle == INVALID_HANDLE_VALUE) return names;
    do names.push_back(found.cFileName); while (FindNextFileA(handle, &found));
    FindClose(handle);
    return names;
}

bool Loaded(const PluginLayout& layout, const std::wstring& name)
{
    return GetModuleHandleW((layout.Directory() + L"\\Plugins\\" + name).c_str()) != nullptr;
}

std::string TempFilePath()
{
    char common[MAX_PATH];
    SHGetFolderPathA(nullptr, CSIDL_COMMON_APPDATA, nullptr, 0, common);
    return std::string(common) + "\\plyrlink.tmp";
}

}  // namespace

TEST(PluginLoading, InitializeFiresFirstThenLoadsValidInputsInSearchOrder)
{
    PluginLayout layout(L"input_order");
    layout.AddInput(L"IN_A.DLL", {"version=256", "flags=7", "write36=1234"});
    layout.AddInput(L"IN_B.DLL", {"version=257"});
    layout.AddInput(L"IN_C.DLL", {"version=258"});
    layout.AddInput(L"IN_D.DLL", {"record=null"});
    layout.AddInput(L"IN_E.DLL", {"version=0"});
    layout.AddInput(L"IN_F.DLL", {}, PluginLayout::kNoExport);
    auto control = layout.CreateControl();
    ASSERT_TRUE(control);

    std::vector<RecordedEvent> events;
    RecordingSink sink(L"sink", events);
    sink.onEvent = [&] { layout.AppendLog("SINK event " + std::to_string(events.back().msgId)); };
    ConnectEvents(control.Get(), &sink);
    ASSERT_EQ(control->Initialize(), S_OK);

    const std::vector<std::string> log = layout.CallLog();
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.front(), "SINK event 1");  // before any module is even asked for its record

    std::vector<std::string> expectedOrder;
    for (const std::string& name : SearchOrder(layout.Directory(), "IN_*.DLL"))
        if (name == "IN_A.DLL" || name == "IN_B.DLL" || name == "IN_E.DLL") expectedOrder.push_back(name);
    EXPECT_EQ(Modules(CallsNamed(log, "init")), expectedOrder);

    for (const LogLine& init : CallsNamed(log, "init")) {
        SCOPED_TRACE(init.module);
        EXPECT_EQ(Field(init.rest, "word36"), 0u);  // SetMediaInfo comes only after init
        EXPECT_NE(Field(init.rest, "hostWindow"), 0u);
        EXPECT_EQ(Field(init.rest, "module"),
                  static_cast<uint32_t>(reinterpret_cast<uintptr_t>(GetModuleHandleW((layout.Directory() + L"\\Plugins\\" +
                                                   std::wstring(init.module.begin(), init.module.end())).c_str()))));
        const bool extended = init.module == "IN_B.DLL";
        EXPECT_EQ(Field(init.rest, "w39") != 0, extended);
        EXPECT_EQ(Field(init.rest, "w40") != 0, extended);
    }
    EXPECT_EQ(Field(CallsNamed(log, "init")[0].rest, "flags") & 7, 1u) << "bits 1 and 2 cleared";

    // Rejected modules leave no trace; accepted ones stay loaded.
    EXPECT_FALSE(Loaded(layout, L"IN_C.DLL"));
    EXPECT_FALSE(Loaded(layout, L"IN_D.DLL"));
    EXPECT_FALSE(Loaded(layout, L"IN_F.DLL"));
    EXPECT_TRUE(Loaded(layout, L"IN_A.DLL"));

    // After init word 36 holds SetMediaInfo, whatever the module wrote there during init.
    InputPluginRecord* record = layout.InputRecord(L"IN_A.DLL");
    ASSERT_TRUE(record);
    EXPECT_NE(record->setMediaInfo, nullptr);
    EXPECT_NE(reinterpret_cast<uintptr_t>(record->setMediaInfo), 1234u);
    EXPECT_EQ(record->hostHook34(7, 9), 9);
    EXPECT_EQ(record->hostHook27(0, 0), 1);

    EXPECT_EQ(control->Deinitialize(), S_OK);
    DisconnectEvents(control.Get(), 1);
}

TEST(PluginLoading, PreferredOutputThatOpensIsChosenAndGetsTheWindow)
{
    PluginLayout layout(L"output_opens");
    layout.AddOutput(L"OUT_A.DLL", {});
    layout.AddOutput(L"OUT_KV.DLL", {"open=0"});
    layout.AddOutput(L"OUT_BAD.DLL", {"version=15"});
    layout.AddOutput(L"OUT_BAD2.DLL", {"version=17"});
    auto control = layout.CreateControl();
    ASSERT_EQ(control->Initialize(), S_OK);
    const std::vector<std::string> log = layout.CallLog();

    EXPECT_EQ(CallsNamed(log, "init").size(), 2u);
    for (const LogLine& init : CallsNamed(log, "init")) {
        EXPECT_NE(init.rest.find("fileName=" + init.module), std::string::npos) << init.rest;
    }
    const std::vector<LogLine> opens = CallsNamed(log, "open");
    ASSERT_EQ(opens.size(), 1u);
    EXPECT_EQ(opens[0].module, "OUT_KV.DLL");
    EXPECT_EQ(opens[0].rest.substr(0, 17), "44100 2 16 -1 -1 ");
    EXPECT_NE(Field(opens[0].rest, "hostWindow"), 0u);
    EXPECT_EQ(Modules(CallsNamed(log, "close")), std::vector<std::string>{"OUT_KV.DLL"});
    EXPECT_FALSE(Loaded(layout, L"OUT_BAD.DLL"));
    EXPECT_FALSE(Loaded(layout, L"OUT_BAD2.DLL"));
    control->Deinitialize();
}

TEST(PluginLoading, PreferredOutputThatFailsToOpenFallsBackAndIsStillClosed)
{
    PluginLayout layout(L"output_fails");
    layout.AddOutput(L"out_kv.dll", {"open=-1"});
    auto control = layout.CreateControl();
    ASSERT_EQ(control->Initialize(), S_OK);
    const std::vector<std::string> log = layout.CallLog();
    EXPECT_EQ(CallsNamed(log, "open").size(), 1u);
    EXPECT_EQ(CallsNamed(log, "close").size(), 1u);
    control->Deinitialize();
}

TEST(PluginLoading, WithoutThePreferredOutputNothingIsOpened)
{
    PluginLayout layout(L"output_absent");
    layout.AddOutput(L"OUT_PQ2.DLL", {});
    auto control = layout.CreateControl();
    ASSERT_EQ(control->Initialize(), S_OK);
    EXPECT_TRUE(CallsNamed(layout.CallLog(), "open").empty());
    control->Deinitialize();
}

TEST(PluginLoading, DeinitializeTakesEverythingDown)
{
    PluginLayout layout(L"deinitialize");
    layout.AddInput(L"IN_A.DLL", {});
    layout.AddInput(L"IN_B.DLL", {"version=257"});
    layout.AddOutput(L"OUT_KV.DLL", {});
    layout.AddOutput(L"OUT_X.DLL", {});
    auto control = layout.CreateControl();
    ASSERT_EQ(control->Initialize(), S_OK);
    std::vector<std::string> log = layout.CallLog();
    const HWND window = reinterpret_cast<HWND>(Field(CallsNamed(log, "init")[0].rest, "hostWindow"));
    EXPECT_TRUE(IsWindow(window));
    HANDLE temp = CreateFileA(TempFilePath().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(temp, INVALID_HANDLE_VALUE);
    CloseHandle(temp);

    // The output module's name copy is freed: look at its record through a reference of our own.
    HMODULE held = LoadLibraryW((layout.Directory() + L"\\Plugins\\OUT_X.DLL").c_str());
    OutputPluginRecord* output = layout.OutputRecord(L"OUT_X.DLL");
    ASSERT_TRUE(output);
    EXPECT_STREQ(output->fileName, "OUT_X.DLL");

    layout.ClearLog();
    ASSERT_EQ(control->Deinitialize(), S_OK);
    log = layout.CallLog();
    std::vector<std::string> quits = Modules(CallsNamed(log, "quit"));
    std::sort(quits.begin(), quits.end());
    EXPECT_EQ(quits, (std::vector<std::string>{"IN_A.DLL", "IN_B.DLL", "OUT_KV.DLL", "OUT_X.DLL"}));
    EXPECT_EQ(output->fileName, nullptr);
    FreeLibrary(held);
    for (const wchar_t* name : {L"IN_A.DLL", L"IN_B.DLL", L"OUT_KV.DLL", L"OUT_X.DLL"})
        EXPECT_FALSE(Loaded(layout, name)) << name;
    EXPECT_EQ(GetFileAttributesA(TempFilePath().c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(IsWindow(window));

    // A second Deinitialize finds nothing to do.
    layout.ClearLog();
    EXPECT_EQ(control->Deinitialize(), S_OK);
    EXPECT_TRUE(layout.CallLog().empty());
}

TEST(PluginLoading, ReinitializeKeepsPlayOrderFlagsAndMakesANewWindow)
{
    PluginLayout layout(L"reinitialize");
    layout.AddInput(L"IN_A.DLL", {});
    auto control = layout.CreateControl();
    LONG volume = 0;
    control->get_Volume(&volume);
    EXPECT_EQ(volume, 200);  // the engine's default
    ASSERT_EQ(control->Initialize(), S_OK);
    control->put_Shuffle(1);
    control->put_Repeat(300);
    control->put_Volume(300);
    const HWND first = reinterpret_cast<HWND>(Field(CallsNamed(layout.CallLog(), "init")[0].rest, "hostWindow"));
    control->Deinitialize();
    layout.ClearLog();
    ASSERT_EQ(control->Initialize(), S_OK);
    const HWND second = reinterpret_cast<HWND>(Field(CallsNamed(layout.CallLog(), "init")[0].rest, "hostWindow"));
    EXPECT_TRUE(IsWindow(second));
    EXPECT_NE(first, second);
    LONG shuffle = 0, repeat = 0;
    control->get_Shuffle(&shuffle);
    control->get_Repeat(&repeat);
    control->get_Volume(&volume);
    EXPECT_EQ(shuffle, 1);
    EXPECT_EQ(repeat, 44);  // the low 8 bits of 300
    EXPECT_EQ(volume, 44);
    control->Deinitialize();
}

TEST(PluginLoading, SecondInitializeWithoutDeinitializeLeaksNothing)
{
    PluginLayout layout(L"double_initialize");
    layout.AddInput(L"IN_A.DLL", {});
    layout.AddOutput(L"OUT_KV.DLL", {});
    auto control = layout.CreateControl();
    ASSERT_EQ(control->Initialize(), S_OK);
    const HWND first = reinterpret_cast<HWND>(Field(CallsNamed(layout.CallLog(), "init")[0].rest, "hostWindow"));
    layout.ClearLog();
    ASSERT_EQ(control->Initialize(), S_OK);
    const std::vector<std::string> log = layout.CallLog();
    EXPECT_EQ(CallsNamed(log, "quit").size(), 2u);  // the first set was taken down
    EXPECT_EQ(CallsNamed(log, "init").size(), 2u);
    EXPECT_FALSE(IsWindow(first));
    control->Deinitialize();
    EXPECT_FALSE(Loaded(layout, L"IN_A.DLL"));
}

TEST(PluginLoading, TablesStopAt511InputsAnd31Outputs)
{
    PluginLayout layout(L"limits");
    for (int i = 0; i < 512; ++i) layout.AddInput(L"IN_" + std::to_wstring(1000 + i) + L".DLL", {});
    for (int i = 0; i < 32; ++i) layout.AddOutput(L"OUT_" + std::to_wstring(100 + i) + L".DLL", {});
    auto control = layout.CreateControl();
    ASSERT_EQ(control->Initialize(), S_OK);
    const std::vector<std::string> log = layout.CallLog();
    int inputs = 0, outputs = 0;
    for (const LogLine& init : CallsNamed(log, "init")) (init.module.rfind("IN_", 0) == 0 ? inputs : outputs)++;
    EXPECT_EQ(inputs, 511);
    EXPECT_EQ(outputs, 31);
    // The search stopped: the last file was never even asked for its record.
    EXPECT_EQ(CallsNamed(log, "export").size(), 511u + 31u);
    control->Deinitialize();
}

TEST(PluginLoading, TwoHundredCyclesLeaveNoLibraryWindowOrHandleBehind)
{
    PluginLayout layout(L"cycles");
    for (int i = 0; i < 8; ++i) layout.AddInput(L"IN_" + std::to_wstring(i) + L".DLL", {});
    layout.AddOutput(L"OUT_KV.DLL", {});
    layout.AddOutput(L"OUT_PQ2.DLL", {});
    auto control = layout.CreateControl();
    // One warm-up cycle, so that lazily created system objects are not counted as growth.
    control->Initialize();
    control->Deinitialize();
    DWORD handlesBefore = 0;
    GetProcessHandleCount(GetCurrentProcess(), &handlesBefore);
    for (int cycle = 0; cycle < 200; ++cycle) {
        control->Initialize();
        control->Deinitialize();
    }
    DWORD handlesAfter = 0;
    GetProcessHandleCount(GetCurrentProcess(), &handlesAfter);
    EXPECT_LE(handlesAfter, handlesBefore + 2);
    EXPECT_FALSE(Loaded(layout, L"IN_0.DLL"));
    EXPECT_FALSE(Loaded(layout, L"OUT_KV.DLL"));
    EXPECT_EQ(CallsNamed(layout.CallLog(), "init").size(), 201u * 10u);
    EXPECT_EQ(CallsNamed(layout.CallLog(), "quit").size(), 201u * 10u);
    // Message-only windows of other processes (suites running at the same time) are found too.
    int ownHiddenWindows = 0;
    for (HWND found = nullptr; (found = FindWindowExA(HWND_MESSAGE, found, "TunaraCOM Hidden Window", nullptr));) {
        DWORD process = 0;
        GetWindowThreadProcessId(found, &process);
        if (process == GetCurrentProcessId()) ++ownHiddenWindows;
    }
    EXPECT_EQ(ownHiddenWindows, 0);
}

TEST(PluginLoading, AReleasedControlNoLongerReceivesEvents)
{
    PluginLayout layout(L"released_target");
    layout.AddInput("IN_A.DLL", {});
    auto first = layout.CreateControl();
    std::vector<RecordedEvent> events;
    RecordingSink sink(L"first", events);
    DWORD cookie = ConnectEvents(first.Get(), &sink);
    ASSERT_EQ(first->Initialize(), S_OK);
    DisconnectEvents(first.Get(), cookie);
    first.Reset();

    // The engine still runs without an event target: a second control (likely made in the
    // memory the first one had) hears nothing until it calls Initialize itself.
    auto second = layout.CreateControl();
    RecordingSink secondSink(L"second", events);
    cookie = ConnectEvents(second.Get(), &secondSink);
    EXPECT_EQ(second->PlaylistSort(), S_OK);
    EXPECT_EQ(second->put_PlaylistPos(0), S_OK);
    EXPECT_TRUE(secondSink.MsgIds().empty());
    EXPECT_EQ(sink.MsgIds(), std::vector<long>{1});
    EXPECT_EQ(second->Deinitialize(), S_OK);
    DisconnectEvents(second.Get(), cookie);
}
