// The automation interface as containers call it: by vtable and through IDispatch, with the
// standard results for bad calls.
#include <windows.h>
#include <oleauto.h>

#include <gtest/gtest.h>

#include "support/control_factory.h"
#include "win/variant.h"

namespace {

class Automation : public testing::Test {
protected:
    void SetUp() override
    {
        control_ = CreateControl();
        ASSERT_TRUE(control_);
        chat_ = control_.As<ITunaraXChat2>(IID_ITunaraXChat2);
        dispatch_ = control_.As<IDispatch>(IID_IDispatch);
        ASSERT_TRUE(chat_ && dispatch_);
    }

    DISPID IdOf(const wchar_t* name)
    {
        DISPID id = DISPID_UNKNOWN;
        LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
        EXPECT_EQ(dispatch_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), S_OK);
        return id;
    }

    HRESULT Call(DISPID id, WORD flags, VARIANT* args, UINT count, VARIANT* result = nullptr)
    {
        DISPPARAMS params{args, nullptr, count, 0};
        DISPID named = DISPID_PROPERTYPUT;
        if (flags == DISPATCH_PROPERTYPUT) {
            params.rgdispidNamedArgs = &named;
            params.cNamedArgs = 1;
        }
        UINT argErr = 0;
        return dispatch_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, nullptr, &argErr);
    }

    ComPtr<IUnknown> control_;
    ComPtr<ITunaraXChat2> chat_;
    ComPtr<IDispatch> dispatch_;
};

}  // namespace

TEST_F(Automation, GetVersionThroughTheVtable)
{
    Variant engine, com;
    ASSERT_EQ(chat_->GetVersion(engine.Get(), com.Get()), S_OK);
    ASSERT_EQ(engine->vt, VT_BSTR);
    ASSERT_EQ(com->vt, VT_BSTR);
    EXPECT_STREQ(engine->bstrVal, L"2.6F");
    EXPECT_STREQ(com->bstrVal, L"1.0");
    EXPECT_EQ(chat_->GetVersion(nullptr, com.Get()), E_POINTER);
    EXPECT_EQ(chat_->GetVersion(engine.Get(), nullptr), E_POINTER);
}

TEST_F(Automation, GetVersionThroughIDispatch)
{
    UINT count = 0;
    EXPECT_EQ(dispatch_->GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 1u);
    const DISPID id = IdOf(L"GetVersion");
    EXPECT_EQ(id, 19);
    EXPECT_EQ(IdOf(L"getversion"), 19);  // names ignore case

    Variant engine, com;
    VARIANT args[2];
    // Arguments go last to first: args[0] is comVer.
    args[0].vt = VT_BYREF | VT_VARIANT;
    args[0].pvarVal = com.Get();
    args[1].vt = VT_BYREF | VT_VARIANT;
    args[1].pvarVal = engine.Get();
    ASSERT_EQ(Call(id, DISPATCH_METHOD, args, 2), S_OK);
    ASSERT_EQ(engine->vt, VT_BSTR);
    EXPECT_STREQ(engine->bstrVal, L"2.6F");
    ASSERT_EQ(com->vt, VT_BSTR);
    EXPECT_STREQ(com->bstrVal, L"1.0");
}

TEST_F(Automation, BadCallsGetTheStandardResults)
{
    DISPID id = 0;
    LPOLESTR unknown[] = {const_cast<LPOLESTR>(L"NoSuchMember")};
    EXPECT_EQ(dispatch_->GetIDsOfNames(IID_NULL, unknown, 1, LOCALE_USER_DEFAULT, &id), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(Call(19, DISPATCH_METHOD, nullptr, 0), DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(Call(999, DISPATCH_METHOD, nullptr, 0), DISP_E_MEMBERNOTFOUND);

    VARIANT text;
    text.vt = VT_BSTR;
    text.bstrVal = SysAllocString(L"not a number");
    EXPECT_EQ(Call(IdOf(L"Volume"), DISPATCH_PROPERTYPUT, &text, 1), DISP_E_TYPEMISMATCH);
    VariantClear(&text);

    VARIANT number;
    number.vt = VT_I4;
    number.lVal = 1;
    VARIANT twoArgs[2] = {number, number};
    EXPECT_EQ(Call(IdOf(L"GetVersion"), DISPATCH_METHOD, twoArgs, 2), DISP_E_TYPEMISMATCH);
    DISPPARAMS params{nullptr, nullptr, 0, 0};
    EXPECT_EQ(dispatch_->Invoke(19, IID_ITunaraXChat, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params,
                                nullptr, nullptr, nullptr), DISP_E_UNKNOWNINTERFACE);
}
