// The module seen directly: its exports, the class object, aggregation, the unload rule and
// its resources.
#include <windows.h>
#include <objbase.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/test_paths.h"
#include "tunaraxchat.h"
#include "win/com_ptr.h"
#include "win/library_loading.h"
#include "win/unique_resource.h"

namespace {

using GetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
using CanUnloadNowFn = HRESULT(STDAPICALLTYPE*)();

class ClassObject : public testing::Test {
protected:
    void SetUp() override
    {
        dll_ = UniqueModule(LoadLibraryW(ControlDllPath().c_str()));
        ASSERT_TRUE(dll_.Get());
        getClassObject_ = reinterpret_cast<GetClassObjectFn>(reinterpret_cast<void*>(ModuleExport(dll_, "DllGetClassObject")));
        canUnloadNow_ = reinterpret_cast<CanUnloadNowFn>(reinterpret_cast<void*>(ModuleExport(dll_, "DllCanUnloadNow")));
        ASSERT_TRUE(getClassObject_ && canUnloadNow_);
        ASSERT_TRUE(ModuleExport(dll_, "DllRegisterServer") && ModuleExport(dll_, "DllUnregisterServer"));
    }

    ComPtr<IClassFactory> Factory()
    {
        ComPtr<IClassFactory> factory;
        getClassObject_(CLSID_ITunaraActiveXChat, IID_IClassFactory, factory.OutVoid());
        return factory;
    }

    UniqueModule dll_;
    GetClassObjectFn getClassObject_ = nullptr;
    CanUnloadNowFn canUnloadNow_ = nullptr;
};

// An outer object that counts the references the inner control hands to it.
class Outer final : public IUnknown {
public:
    IUnknown* inner = nullptr;
    LONG refs = 1;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (IsEqualIID(iid, IID_IUnknown)) {
            *out = this;
            AddRef();
            return S_OK;
        }
        return inner ? inner->QueryInterface(iid, out) : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
};

}  // namespace

TEST_F(ClassObject, OtherClassIdIsNotAvailable)
{
    ComPtr<IClassFactory> factory;
    EXPECT_EQ(getClassObject_(IID_ITunaraXChat, IID_IClassFactory, factory.OutVoid()), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_FALSE(factory);
    EXPECT_EQ(getClassObject_(CLSID_ITunaraActiveXChat, IID_IClassFactory, nullptr), E_POINTER);
}

TEST_F(ClassObject, UnloadFollowsObjectsFactoriesAndLocks)
{
    ASSERT_EQ(canUnloadNow_(), S_OK);
    {
        ComPtr<IClassFactory> factory = Factory();
        ASSERT_TRUE(factory);
        EXPECT_EQ(canUnloadNow_(), S_FALSE);

        ComPtr<ITunaraXChat> control;
        ASSERT_EQ(factory->CreateInstance(nullptr, IID_ITunaraXChat, control.OutVoid()), S_OK);
        factory.Reset();
        EXPECT_EQ(canUnloadNow_(), S_FALSE);
        control.Reset();
        EXPECT_EQ(canUnloadNow_(), S_OK);

        factory = Factory();
        factory->LockServer(TRUE);
        factory.Reset();
        EXPECT_EQ(canUnloadNow_(), S_FALSE);
        Factory()->LockServer(FALSE);
    }
    EXPECT_EQ(canUnloadNow_(), S_OK);
}

TEST_F(ClassObject, AnInitializedEngineKeepsTheModuleLoaded)
{
    ComPtr<ITunaraXChat2> control;
    ASSERT_EQ(Factory()->CreateInstance(nullptr, IID_ITunaraXChat2, control.OutVoid()), S_OK);
    ASSERT_EQ(control->Initialize(), S_OK);
    control.Reset();
    // The hidden window's procedure lives in the module: no unloading while it exists.
    EXPECT_EQ(canUnloadNow_(), S_FALSE);
    ASSERT_EQ(Factory()->CreateInstance(nullptr, IID_ITunaraXChat2, control.OutVoid()), S_OK);
    ASSERT_EQ(control->Deinitialize(), S_OK);
    control.Reset();
    EXPECT_EQ(canUnloadNow_(), S_OK);
}

TEST_F(ClassObject, ReferenceCountsBalance)
{
    ComPtr<IClassFactory> factory = Factory();
    ITunaraXChat2* control = nullptr;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_ITunaraXChat2, reinterpret_cast<void**>(&control)), S_OK);
    EXPECT_EQ(control->AddRef(), 2u);
    IOleObject* ole = nullptr;
    ASSERT_EQ(control->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&ole)), S_OK);
    EXPECT_EQ(ole->Release(), 2u);
    EXPECT_EQ(control->Release(), 1u);
    EXPECT_EQ(control->Release(), 0u);
    factory.Reset();
    EXPECT_EQ(canUnloadNow_(), S_OK);
}

TEST_F(ClassObject, AggregatedControlDelegatesToTheOuterObject)
{
    ComPtr<IClassFactory> factory = Factory();
    Outer outer;
    ComPtr<IUnknown> refused;
    EXPECT_EQ(factory->CreateInstance(&outer, IID_ITunaraXChat, refused.OutVoid()), CLASS_E_NOAGGREGATION);
    EXPECT_FALSE(refused);

    IUnknown* inner = nullptr;
    ASSERT_EQ(factory->CreateInstance(&outer, IID_IUnknown, reinterpret_cast<void**>(&inner)), S_OK);
    outer.inner = inner;
    EXPECT_EQ(outer.refs, 1);

    ITunaraXChat* control = nullptr;
    ASSERT_EQ(inner->QueryInterface(IID_ITunaraXChat, reinterpret_cast<void**>(&control)), S_OK);
    EXPECT_EQ(outer.refs, 2);  // the interface's reference belongs to the outer object

    IUnknown* identity = nullptr;
    ASSERT_EQ(control->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)), S_OK);
    EXPECT_EQ(identity, static_cast<IUnknown*>(&outer));
    identity->Release();
    control->Release();
    EXPECT_EQ(outer.refs, 1);

    EXPECT_EQ(inner->Release(), 0u);
    factory.Reset();
    EXPECT_EQ(canUnloadNow_(), S_OK);
}

namespace {

std::wstring VersionString(const std::vector<BYTE>& block, const wchar_t* name)
{
    wchar_t* value = nullptr;
    UINT length = 0;
    std::wstring path = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
    if (!VerQueryValueW(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &length)) return L"<missing>";
    return std::wstring(value, length ? length - 1 : 0);
}

}  // namespace

TEST_F(ClassObject, ModuleCarriesItsResources)
{
    wchar_t text[128];
    ASSERT_GT(LoadStringW(dll_.Get(), 100, text, 128), 0);
    EXPECT_STREQ(text, L"TunaraXChat");
    ASSERT_GT(LoadStringW(dll_.Get(), 101, text, 128), 0);
    EXPECT_STREQ(text, L"Sorry, only HTTP streams are supported.");
    ASSERT_GT(LoadStringW(dll_.Get(), 102, text, 128), 0);
    EXPECT_STREQ(text, L"Retrieving playlist ...");

    HRSRC bitmap = FindResourceW(dll_.Get(), MAKEINTRESOURCEW(101), MAKEINTRESOURCEW(2));
    ASSERT_TRUE(bitmap);
    auto* header = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(dll_.Get(), bitmap)));
    EXPECT_EQ(header->biWidth, 16);
    EXPECT_EQ(header->biHeight, 16);
    EXPECT_EQ(header->biBitCount, 4);
    EXPECT_TRUE(FindResourceW(dll_.Get(), MAKEINTRESOURCEW(214), MAKEINTRESOURCEW(5)));
    EXPECT_TRUE(FindResourceW(dll_.Get(), MAKEINTRESOURCEW(1), L"TYPELIB"));
    EXPECT_TRUE(FindResourceW(dll_.Get(), MAKEINTRESOURCEW(102), L"REGISTRY"));

    const std::wstring path = ControlDllPath();
    DWORD size = GetFileVersionInfoSizeW(path.c_str(), nullptr);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> block(size);
    ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, block.data()));
    EXPECT_EQ(VersionString(block, L"FileDescription"), L"TunaraX Module");
    EXPECT_EQ(VersionString(block, L"InternalName"), L"TunaraXChat");
    EXPECT_EQ(VersionString(block, L"OriginalFilename"), L"TunaraXChat.DLL");
    EXPECT_EQ(VersionString(block, L"OLESelfRegister"), L"");
}
