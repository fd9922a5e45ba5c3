// What the system sees when the control runs out of memory while it calls us: the failure as the
// entry's own result, never an exception through the system's frames (which the shipped 32-bit
// build cannot unwind: the process would end).
#include <windows.h>
#include <oleauto.h>

#include <vector>

#include <gtest/gtest.h>

#include "engine/engine_context.h"
#include "engine/hidden_window.h"
#include "playlist/playlist_store.h"
#include "support/bare_control.h"
#include "support/failing_allocation.h"
#include "support/recording_sink.h"
#include "support/test_paths.h"
#include "win/ansi_text.h"
#include "win/unique_resource.h"

namespace {

// SetProxy as a script host calls it: the automation runtime's ITypeInfo::Invoke calls the member
// through its function table.
HRESULT InvokeSetProxy(ITypeInfo* info, ITunaraXChat2* control, const wchar_t* address)
{
    OLECHAR name[] = L"SetProxy";
    LPOLESTR names[] = {name};
    DISPID id = DISPID_UNKNOWN;
    HRESULT hr = info->GetIDsOfNames(names, 1, &id);
    if (FAILED(hr)) return hr;
    Bstr text(SysAllocString(address));
    VARIANT argument;
    VariantInit(&argument);
    argument.vt = VT_BSTR;
    argument.bstrVal = text.Get();
    DISPPARAMS params{&argument, nullptr, 1, 0};
    VARIANT result;
    VariantInit(&result);
    EXCEPINFO exception{};
    UINT argumentError = 0;
    hr = info->Invoke(control, id, DISPATCH_METHOD, &params, &result, &exception, &argumentError);
    VariantClear(&result);
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
    // A failing member comes back either as its own result or as an exception carrying it.
    return hr == DISP_E_EXCEPTION ? exception.scode : hr;
}

class Guard : public testing::Test {
protected:
    void TearDown() override
    {
        DestroyHiddenWindow();
        engine.controlObject = nullptr;
        engine.repeat = 0;
        PlaylistClear();
    }

    std::vector<RecordedEvent> log_;
    RecordingSink sink_{L"s", log_};
    BareControl control_;
};

}  // namespace

TEST_F(Guard, AnAutomationMemberAnswersOutOfMemoryAndKeepsWhatItHeld)
{
    ComPtr<ITypeLib> library;
    ASSERT_EQ(LoadTypeLibEx(ControlDllPath().c_str(), REGKIND_NONE, library.Out()), S_OK);
    ComPtr<ITypeInfo> info;
    ASSERT_EQ(library->GetTypeInfoOfGuid(IID_ITunaraXChat2, info.Out()), S_OK);
    CopyBounded(engine.proxyAddress, "kept.example:1");

    FailNextAllocation();
    EXPECT_EQ(InvokeSetProxy(info.Get(), &control_, L"proxy.example.invalid:8080"), E_OUTOFMEMORY);
    EXPECT_FALSE(AllocationFailurePending());
    EXPECT_STREQ(engine.proxyAddress, "kept.example:1");

    // With memory back the same call stores the address.
    EXPECT_EQ(InvokeSetProxy(info.Get(), &control_, L"proxy.example.invalid:8080"), S_OK);
    EXPECT_STREQ(engine.proxyAddress, "proxy.example.invalid:8080");
    engine.proxyAddress[0] = '\0';
}

TEST_F(Guard, TheHiddenWindowAnswersZeroWhenAnAdvanceRunsOutOfMemoryAndServesOn)
{
    engine.moduleInstance = GetModuleHandleW(nullptr);
    CreateHiddenWindow();
    ASSERT_TRUE(engine.hiddenWindow);
    engine.controlObject = &control_;
    control_.EventSinks().Add(static_cast<IDispatch*>(&sink_));
    // One entry with repeat on: the advance after a failed start comes back to it and reads its
    // display title, which is longer than any text kept without an allocation.
    ASSERT_EQ(PlaylistAppendRecord("C:\\music\\a.wav", "A title far longer than a short string", -1,
                                   kPlainEntryVolume, kNoDurationLimit), 0);
    engine.repeat = 1;

    FailNextAllocation();
    EXPECT_EQ(SendMessageA(engine.hiddenWindow.Get(), WM_ENGINE_ADVANCE, kAdvanceAfterFailedStart, 0), 0);
    EXPECT_FALSE(AllocationFailurePending());
    EXPECT_TRUE(log_.empty());

    // The window goes on serving: the next event reaches the sink.
    SendEngineEvent(7);
    EXPECT_EQ(sink_.MsgIds(), std::vector<long>{7});
}
