// The [out] VARIANT parameters of the members, as script hosts pass them: live variables that
// already hold something. Each member releases what a variable held before filling it, fills every
// out-parameter on every path, and a loop of calls with the same variables leaks nothing.
#include <windows.h>
#include <psapi.h>

#include <string>

#include <gtest/gtest.h>

#include "support/player_case.h"

namespace {

// An object to leave in a variable: the member's clearing of the variable releases it.
class Counted final : public IUnknown {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override
    {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    LONG refs = 1;
};

// A variable that holds a reference to the counted object.
VARIANT Holding(Counted& object)
{
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_UNKNOWN;
    v.punkVal = &object;
    object.AddRef();
    return v;
}

std::wstring Text(const VARIANT& v) { return v.vt == VT_BSTR ? v.bstrVal : L"<not a string>"; }

SIZE_T PrivateBytes()
{
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters);
    return counters.PrivateUsage;
}

}  // namespace

TEST(OutParameters, MembersReleaseWhatTheVariablesHeldAndFillEveryOne)
{
    PlayerCase player(L"out_params");
    ASSERT_TRUE(player.Layout().AddInput("IN_OK.DLL", {"extensions=OK|Playable files", "info=a.ok|Song A|61000"}));
    ASSERT_TRUE(player.Start());
    std::wstring file = player.MakeFile(L"a.ok");
    ASSERT_EQ(player.Append(file), S_OK);
    DispatchCall& call = player.Call();
    Counted held;

    VARIANT name = Holding(held), title = Holding(held), length = Holding(held);
    EXPECT_EQ(call.Method(L"GetPlaylistItem", {DispatchCall::Long(0), DispatchCall::Out(&name),
                                               DispatchCall::Out(&title), DispatchCall::Out(&length)}), S_OK);
    EXPECT_EQ(held.refs, 1);
    EXPECT_EQ(Text(name), file);
    EXPECT_EQ(Text(title), L"Song A");
    EXPECT_EQ(length.vt, VT_I4);
    EXPECT_EQ(length.lVal, 61);
    // Outside the list: every out-parameter still filled, with empty texts and -1.
    EXPECT_EQ(call.Method(L"GetPlaylistItem", {DispatchCall::Long(7), DispatchCall::Out(&name),
                                               DispatchCall::Out(&title), DispatchCall::Out(&length)}), S_OK);
    EXPECT_EQ(Text(name), L"");
    EXPECT_EQ(Text(title), L"");
    EXPECT_EQ(length.lVal, -1);

    VariantClear(&name);
    VariantClear(&title);
    name = Holding(held);
    title = Holding(held);
    EXPECT_EQ(call.Method(L"GetCurrentPlaylistItem", {DispatchCall::Out(&name), DispatchCall::Out(&title)}), S_OK);
    EXPECT_EQ(held.refs, 1);
    EXPECT_EQ(Text(title), L"1. Song A");

    VariantClear(&name);
    VariantClear(&title);
    name = Holding(held);
    title = Holding(held);
    EXPECT_EQ(call.Method(L"GetVersion", {DispatchCall::Out(&name), DispatchCall::Out(&title)}), S_OK);
    EXPECT_EQ(held.refs, 1);
    EXPECT_EQ(Text(name), L"2.6F");
    EXPECT_EQ(Text(title), L"1.0");

    VariantClear(&name);
    name = Holding(held);
    EXPECT_EQ(call.Method(L"GetFiletypes", {DispatchCall::Out(&name)}), S_OK);
    EXPECT_EQ(held.refs, 1);
    EXPECT_NE(Text(name).find(L"*.OK"), std::wstring::npos);

    // A script's loop over the same variables: what each call hands over is freed by the next.
    const SIZE_T before = PrivateBytes();
    for (int i = 0; i < 100000; ++i) ASSERT_EQ(player.Control()->GetPlaylistItem(0, &name, &title, &length), S_OK);
    EXPECT_LT(PrivateBytes(), before + 1024 * 1024);
    VariantClear(&name);
    VariantClear(&title);
    VariantClear(&length);
}
