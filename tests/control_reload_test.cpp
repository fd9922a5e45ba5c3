// A container that loads the control, uses it and unloads it again, two thousand times in one
// process: every cycle really unloads the module and leaves the process's thread-local storage
// indexes as they were (the control once kept an index per load, and the process aborted after
// about a thousand).
#include <windows.h>
#include <objbase.h>

#include <vector>

#include <gtest/gtest.h>

#include "support/plugin_layout.h"
#include "tunaraxchat.h"
#include "win/com_ptr.h"

namespace {

using GetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);

constexpr int kCycles = 2000;

// How many thread-local storage indexes the process could still take: a module that keeps one
// lowers it for good (counting the lowest free index would miss indexes kept above a hole).
size_t FreeTlsIndexCount()
{
    std::vector<DWORD> taken;
    for (DWORD index = TlsAlloc(); index != TLS_OUT_OF_INDEXES; index = TlsAlloc()) taken.push_back(index);
    for (DWORD index : taken) TlsFree(index);
    return taken.size();
}

// One container's whole use of the control: load, class object, control, Initialize with one
// plugin of each kind, Deinitialize, release, unload. Returns false (with failures added) when a
// step fails.
bool UseControlOnce(const std::wstring& path, int cycle)
{
    HMODULE module = LoadLibraryW(path.c_str());
    if (!module) {
        ADD_FAILURE() << "cycle " << cycle << ": load failed, error " << GetLastError();
        return false;
    }
    auto getClassObject = reinterpret_cast<GetClassObjectFn>(
        reinterpret_cast<void*>(GetProcAddress(module, "DllGetClassObject")));
    bool used = false;
    {
        ComPtr<IClassFactory> factory;
        ComPtr<ITunaraXChat2> control;
        if (getClassObject &&
            SUCCEEDED(getClassObject(CLSID_ITunaraActiveXChat, IID_IClassFactory, factory.OutVoid())) &&
            SUCCEEDED(factory->CreateInstance(nullptr, IID_ITunaraXChat2, control.OutVoid()))) {
            used = control->Initialize() == S_OK && control->Deinitialize() == S_OK;
        }
    }
    EXPECT_TRUE(used) << "cycle " << cycle;
    FreeLibrary(module);
    const bool unloaded = GetModuleHandleW(path.c_str()) == nullptr;
    EXPECT_TRUE(unloaded) << "cycle " << cycle << ": the control stayed loaded";
    return used && unloaded;
}

}  // namespace

TEST(ControlReload, TwoThousandLoadsAndUnloadsInOneProcess)
{
    PluginLayout layout(L"control_reload");
    ASSERT_TRUE(layout.AddInput(L"IN_TONE.DLL"));
    ASSERT_TRUE(layout.AddOutput(L"OUT_KV.DLL"));
    const std::wstring path = layout.Directory() + L"\\TunaraXChat.dll";

    // The first cycle settles what any first use of the system's libraries keeps for good.
    ASSERT_TRUE(UseControlOnce(path, 0));
    const size_t freeIndexes = FreeTlsIndexCount();
    for (int cycle = 1; cycle < kCycles; ++cycle) {
        ASSERT_TRUE(UseControlOnce(path, cycle));
        if (cycle % 100 == 0) {
            ASSERT_EQ(FreeTlsIndexCount(), freeIndexes) << "after cycle " << cycle;
        }
    }
    // The plugins were loaded and unloaded with every cycle.
    int inits = 0;
    for (const std::string& line : layout.CallLog()) inits += line.rfind("IN_TONE.DLL init", 0) == 0;
    EXPECT_EQ(inits, kCycles);
}
