// Registration end to end through regsvr32: every key of the registration table, the type
// library with the declared LIBID, registering twice, and clean removal. Ends registered, for
// the suites that create the control by ProgID.
#include <windows.h>
#include <oleauto.h>

#include <gtest/gtest.h>

#include "support/child_process.h"
#include "support/registry_dump.h"
#include "support/test_paths.h"
#include "tunaraxchat.h"
#include "win/com_ptr.h"

namespace {

const std::wstring kClassKey = L"CLSID\\{F13BE5CD-4F9F-43E9-BAC1-50116469E4A8}";
const std::wstring kProgId = L"TunaraXChat.ITunaraActiveXChat.1";
const std::wstring kIndependentProgId = L"TunaraXChat.ITunaraActiveXChat";
const std::wstring kLibKey = L"TypeLib\\{05CEFCB3-6D74-4ACA-AB87-A2561849D009}";
const std::wstring kClassId = L"{F13BE5CD-4F9F-43E9-BAC1-50116469E4A8}";
// The class is its own application: the system's surrogate hosts it for out-of-process clients.
const std::wstring kAppKey = L"AppID\\" + kClassId;

DWORD RunRegsvr32(const std::wstring& flags)
{
    return RunAndWait(L"regsvr32.exe " + flags + L" \"" + ControlDllPath() + L"\"");
}

std::wstring Snapshot()
{
    return DumpTree(HKEY_CLASSES_ROOT, kClassKey) + DumpTree(HKEY_CLASSES_ROOT, kProgId) +
           DumpTree(HKEY_CLASSES_ROOT, kIndependentProgId) + DumpTree(HKEY_CLASSES_ROOT, kLibKey) +
           DumpTree(HKEY_CLASSES_ROOT, kAppKey);
}

// Lower-cased, so that a path the registrar wrote in another case still compares equal.
std::wstring Lower(std::wstring text)
{
    CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

}  // namespace

TEST(Registration, WritesEveryKeyOfTheTableAndTheTypeLibrary)
{
    ASSERT_EQ(RunRegsvr32(L"/s"), 0u);
    const std::wstring module = Lower(ControlDllPath());

    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, kProgId), L"ITunaraActiveXChat Class");
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, kProgId + L"\\CLSID"), kClassId);
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, kProgId + L"\\Insertable"));
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, kIndependentProgId), L"ITunaraActiveXChat Class");
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, kIndependentProgId + L"\\CLSID"), kClassId);
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, kIndependentProgId + L"\\CurVer"), kProgId);

    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, kClassKey), L"ITunaraActiveXChat Class");
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, kClassKey + L"\\ProgID"), kProgId);
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, kClassKey + L"\\VersionIndependentProgID"), kIndependentProgId);
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, kClassKey + L"\\Programmable"));
    EXPECT_EQ(Lower(ReadString(HKEY_CLASSES_ROOT, kClassKey + L"\\InprocServer32")), module);
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, kClassKey + L"\\InprocServer32", L"ThreadingModel"), L"Apartment");
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, kClassKey + L"\\Control"));
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, kClassKey + L"\\Insertable"));
    EXPECT_EQ(Lower(ReadString(HKEY_CLASSES_ROOT, kClassKey + L"\\ToolboxBitmap32")), module + L", 101");
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, kClassKey + L"\\MiscStatus"), L"0");
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, kClassKey + L"\\MiscStatus\\1"), L"132497");
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, kClassKey + L"\\TypeLib"), L"{05CEFCB3-6D74-4ACA-AB87-A2561849D009}");
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, kClassKey + L"\\Version"), L"1.0");
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, kClassKey, L"AppID"), kClassId);
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, kAppKey), L"TunaraXChat");
    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, kAppKey, L"DllSurrogate"), L"");  // present and empty

    EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, kLibKey + L"\\1.0"), L"TunaraXChat 1.0 Type Library");
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, L"Interface\\{162527A9-1942-4E75-BD5B-2658DCC69DE6}"));
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, L"Interface\\{5D91B02E-935A-4662-B3E4-5B5A6C70E0DD}"));
}

TEST(Registration, RegisteredLibraryCarriesTheDeclaredLibid)
{
    ASSERT_EQ(RunRegsvr32(L"/s"), 0u);
    ComPtr<ITypeLib> library;
    ASSERT_EQ(LoadRegTypeLib(LIBID_TunaraXChatLib, 1, 0, 0, library.Out()), S_OK);
    TLIBATTR* attr = nullptr;
    ASSERT_EQ(library->GetLibAttr(&attr), S_OK);
    EXPECT_TRUE(IsEqualGUID(attr->guid, LIBID_TunaraXChatLib));
    EXPECT_EQ(attr->wMajorVerNum, 1);
    EXPECT_EQ(attr->wMinorVerNum, 0);
    library->ReleaseTLibAttr(attr);
}

TEST(Registration, TwiceEqualsOnceAndRemovalLeavesTheClsidKey)
{
    ASSERT_EQ(RunRegsvr32(L"/s"), 0u);
    const std::wstring once = Snapshot();
    ASSERT_EQ(RunRegsvr32(L"/s"), 0u);
    EXPECT_EQ(Snapshot(), once);

    ASSERT_EQ(RunRegsvr32(L"/u /s"), 0u);
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kClassKey));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kProgId));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kIndependentProgId));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kLibKey + L"\\1.0"));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kAppKey));
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, L"AppID"));
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, L"CLSID"));

    // Registering again restores exactly what the first registration wrote.
    ASSERT_EQ(RunRegsvr32(L"/s"), 0u);
    EXPECT_EQ(Snapshot(), once);
}

TEST(Registration, UnregisteringTwiceSucceeds)
{
    ASSERT_EQ(RunRegsvr32(L"/u /s"), 0u);
    EXPECT_EQ(RunRegsvr32(L"/u /s"), 0u);
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kClassKey));
    ASSERT_EQ(RunRegsvr32(L"/s"), 0u);
}

TEST(Registration, StaleSubkeysAreReplacedOnRegistration)
{
    ASSERT_EQ(RunRegsvr32(L"/s"), 0u);
    const std::wstring clean = Snapshot();
    HKEY stale = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, (kClassKey + L"\\Control\\Leftover").c_str(), 0,
                              nullptr, 0, KEY_WRITE, nullptr, &stale, nullptr), ERROR_SUCCESS);
    RegCloseKey(stale);
    ASSERT_EQ(RunRegsvr32(L"/s"), 0u);
    EXPECT_EQ(Snapshot(), clean);
}
