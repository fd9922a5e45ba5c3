// The control created out of process, as a 64-bit container creates the 32-bit control: the
// system's surrogate hosts it (its AppID names an empty DllSurrogate), and every call, [out]
// parameter and event crosses the process boundary through the registered type library.
#include <windows.h>
#include <objbase.h>
#include <tlhelp32.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/child_process.h"
#include "support/dispatch_call.h"
#include "support/recording_sink.h"
#include "support/test_paths.h"
#include "tunaraxchat.h"
#include "win/com_ptr.h"

namespace {

std::wstring Text(const VARIANT& v) { return v.vt == VT_BSTR && v.bstrVal ? v.bstrVal : L"<not a string>"; }

// Pumps messages until the log holds count events or five seconds have passed: events from
// another process arrive as calls through the message loop.
void PumpUntil(const std::vector<RecordedEvent>& log, size_t count)
{
    const DWORD start = GetTickCount();
    while (log.size() < count && GetTickCount() - start < 5000) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

#ifdef _WIN64
const wchar_t kAppKey[] = L"AppID\\{F13BE5CD-4F9F-43E9-BAC1-50116469E4A8}";

// Sets the DllSurrogate value of the control's AppID.
void SetSurrogate(const std::wstring& command)
{
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CLASSES_ROOT, kAppKey, 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExW(key, L"DllSurrogate", 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                             static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
    RegCloseKey(key);
}
#endif

class Surrogate : public testing::Test {
protected:
    void SetUp() override
    {
#ifdef _WIN64
        // The 64-bit test build's control is itself 64-bit, while Wine's COM starts the 32-bit
        // surrogate for an empty DllSurrogate (the registration's value, right for the shipped
        // 32-bit control): the test names the 64-bit surrogate for the time of the test.
        wchar_t system[MAX_PATH];
        GetSystemDirectoryW(system, MAX_PATH);
        SetSurrogate(std::wstring(system) + L"\\dllhost.exe");
#endif
        ASSERT_EQ(CLSIDFromProgID(L"TunaraXChat.ITunaraActiveXChat", &clsid_), S_OK);
        ASSERT_EQ(CoCreateInstance(clsid_, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch, control_.OutVoid()), S_OK);
    }
    // Surrogate processes outlive their last object, holding this process's output open: they
    // are ended here, as a system would end them after its idle time.
    void TearDown() override
    {
        control_ = nullptr;
        CoFreeUnusedLibraries();
        HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
        PROCESSENTRY32W entry{};
        entry.dwSize = sizeof entry;
        for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
            if (_wcsicmp(entry.szExeFile, L"dllhost.exe") != 0) continue;
            HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, entry.th32ProcessID);
            if (!process) continue;
            TerminateProcess(process, 0);
            WaitForSingleObject(process, 5000);
            CloseHandle(process);
        }
        CloseHandle(snapshot);
#ifdef _WIN64
        SetSurrogate(L"");
#endif
    }

    CLSID clsid_{};
    ComPtr<IDispatch> control_;
};

}  // namespace

TEST_F(Surrogate, AContainerInAnotherProcessCallsMembersAndHearsEvents)
{
    // Nothing of the control is loaded into the container.
    EXPECT_EQ(GetModuleHandleW(L"TunaraXChat.dll"), nullptr);
    DispatchCall call(control_.Get());

    VARIANT engineVersion, comVersion;
    VariantInit(&engineVersion);
    VariantInit(&comVersion);
    ASSERT_EQ(call.Method(L"GetVersion", {DispatchCall::Out(&engineVersion), DispatchCall::Out(&comVersion)}), S_OK);
    EXPECT_EQ(Text(engineVersion), L"2.6F");
    EXPECT_EQ(Text(comVersion), L"1.0");
    VariantClear(&engineVersion);
    VariantClear(&comVersion);

    std::vector<RecordedEvent> log;
    RecordingSink sink(L"remote", log);
    const DWORD cookie = ConnectEvents(control_.Get(), &sink);
    ASSERT_NE(cookie, 0u);
    EXPECT_EQ(call.Method(L"Initialize"), S_OK);
    const std::wstring windows = L"C:\\windows";
    for (const wchar_t* name : {L"http://127.0.0.1:9/stream", windows.c_str()}) {
        VARIANT text = DispatchCall::Text(name);
        EXPECT_EQ(call.Method(L"AppendFileToPlaylist", {text}), S_OK);
        VariantClear(&text);
    }
    EXPECT_EQ(call.GetLong(L"Nb_Playlist_Items"), 2);

    // The dual interface's vtable crosses as well: [out] VARIANTs through ITunaraXChat2.
    ComPtr<ITunaraXChat2> dual;
    ASSERT_EQ(control_->QueryInterface(IID_ITunaraXChat2, dual.OutVoid()), S_OK);
    VARIANT filename, title, length;
    VariantInit(&filename);
    VariantInit(&title);
    VariantInit(&length);
    ASSERT_EQ(dual->GetPlaylistItem(0, &filename, &title, &length), S_OK);
    EXPECT_EQ(Text(filename), L"http://127.0.0.1:9/stream");
    EXPECT_EQ(Text(title), L"http://127.0.0.1:9/stream");
    EXPECT_EQ(length.vt, VT_I4);
    EXPECT_EQ(length.lVal, -1);
    VariantClear(&filename);
    VariantClear(&title);
    VariantClear(&length);

    // Another container process gets a control of its own, with an engine and playlist of its own.
    EXPECT_EQ(RunAndWait(L"\"" + ExeDirectory() + L"\\second_container.exe\""), 1u);
    EXPECT_EQ(call.GetLong(L"Nb_Playlist_Items"), 2);

    // Events come back as calls into the container's thread, in order: 1 from Initialize, 2 for
    // the new position, 1 from Play (no plugin takes the entry here; what follows is not awaited).
    EXPECT_EQ(call.Put(L"PlaylistPos", DispatchCall::Long(1)), S_OK);
    EXPECT_EQ(call.Method(L"Play"), S_OK);
    PumpUntil(log, 3);
    ASSERT_GE(log.size(), 3u);
    EXPECT_EQ(log[0], (RecordedEvent{L"remote", 1, 1, 0}));
    EXPECT_EQ(log[1], (RecordedEvent{L"remote", 1, 2, 0}));
    EXPECT_EQ(log[2], (RecordedEvent{L"remote", 1, 1, 0}));
    EXPECT_EQ(call.Method(L"Stop"), S_OK);

    EXPECT_EQ(DisconnectEvents(control_.Get(), cookie), S_OK);
    log.clear();
    EXPECT_EQ(call.Put(L"PlaylistPos", DispatchCall::Long(0)), S_OK);
    PumpUntil(log, 1);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(call.Method(L"Deinitialize"), S_OK);
    EXPECT_EQ(call.GetLong(L"Nb_Playlist_Items"), 0);
}
