// In-place activation as a container's site sees it: windowed (a child window in the site's
// window) and windowless (no window; the site gets the activation flag), and deactivation.
#include <windows.h>
#include <ole2.h>
#include <ocidl.h>

#include <string>

#include <gtest/gtest.h>

#include "support/control_factory.h"

namespace {

class FakeSite final : public IOleClientSite, public IOleInPlaceSiteWindowless {
public:
    FakeSite(HWND window, bool windowless) : window_(window), windowless_(windowless) {}

    std::string calls;
    DWORD activateFlags = 0xFFFFFFFF;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        *out = nullptr;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleClientSite)) *out = static_cast<IOleClientSite*>(this);
        else if (IsEqualIID(iid, IID_IOleWindow) || IsEqualIID(iid, IID_IOleInPlaceSite) ||
                 IsEqualIID(iid, IID_IOleInPlaceSiteEx) || IsEqualIID(iid, IID_IOleInPlaceSiteWindowless))
            *out = static_cast<IOleInPlaceSiteWindowless*>(this);
        if (!*out) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    LONG refs = 1;

    // IOleClientSite
    HRESULT STDMETHODCALLTYPE SaveObject() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** c) override { *c = nullptr; return E_NOINTERFACE; }
    HRESULT STDMETHODCALLTYPE ShowObject() override { calls += "show "; return S_OK; }
    HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }
    // IOleWindow
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* w) override { *w = window_; return S_OK; }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    // IOleInPlaceSite
    HRESULT STDMETHODCALLTYPE CanInPlaceActivate() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceActivate() override { calls += "activate "; return S_OK; }
    HRESULT STDMETHODCALLTYPE OnUIActivate() override { calls += "ui "; return S_OK; }
    HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc,
                                               LPRECT pos, LPRECT clip, LPOLEINPLACEFRAMEINFO) override
    {
        *frame = nullptr;
        *doc = nullptr;
        *pos = RECT{10, 20, 110, 70};
        *clip = *pos;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Scroll(SIZE) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) override { calls += "uioff "; return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() override { calls += "deactivate "; return S_OK; }
    HRESULT STDMETHODCALLTYPE DiscardUndoState() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DeactivateAndUndo() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT) override { return S_OK; }
    // IOleInPlaceSiteEx
    HRESULT STDMETHODCALLTYPE OnInPlaceActivateEx(BOOL* noRedraw, DWORD flags) override
    {
        if (noRedraw) *noRedraw = FALSE;
        activateFlags = flags;
        calls += "activateEx ";
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivateEx(BOOL) override { calls += "deactivateEx "; return S_OK; }
    HRESULT STDMETHODCALLTYPE RequestUIActivate() override { return S_OK; }
    // IOleInPlaceSiteWindowless
    HRESULT STDMETHODCALLTYPE CanWindowlessActivate() override { return windowless_ ? S_OK : S_FALSE; }
    HRESULT STDMETHODCALLTYPE GetCapture() override { return S_FALSE; }
    HRESULT STDMETHODCALLTYPE SetCapture(BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetFocus() override { return S_FALSE; }
    HRESULT STDMETHODCALLTYPE SetFocus(BOOL) override { calls += "focus "; return S_OK; }
    HRESULT STDMETHODCALLTYPE GetDC(LPCRECT, DWORD, HDC*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ReleaseDC(HDC) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE InvalidateRect(LPCRECT, BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE InvalidateRgn(HRGN, BOOL) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ScrollRect(INT, INT, LPCRECT, LPCRECT) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE AdjustRect(LPRECT) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnDefWindowMessage(UINT, WPARAM, LPARAM, LRESULT*) override { return S_FALSE; }

private:
    HWND window_;
    bool windowless_;
};

class InPlace : public testing::Test {
protected:
    void SetUp() override
    {
        host_ = CreateWindowExW(0, L"STATIC", L"host", WS_OVERLAPPEDWINDOW, 0, 0, 300, 200,
                                nullptr, nullptr, nullptr, nullptr);
        ASSERT_TRUE(host_);
        control_ = CreateControl();
        ASSERT_TRUE(control_);
        ole_ = control_.As<IOleObject>(IID_IOleObject);
        inPlace_ = control_.As<IOleInPlaceObjectWindowless>(IID_IOleInPlaceObjectWindowless);
    }
    void TearDown() override { DestroyWindow(host_); }

    HWND host_ = nullptr;
    ComPtr<IUnknown> control_;
    ComPtr<IOleObject> ole_;
    ComPtr<IOleInPlaceObjectWindowless> inPlace_;
};

}  // namespace

TEST_F(InPlace, WindowedActivationMakesAChildWindowAtThePosition)
{
    FakeSite site(host_, false);
    ASSERT_EQ(ole_->SetClientSite(&site), S_OK);
    RECT position{10, 20, 110, 70};
    ASSERT_EQ(ole_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &site, 0, host_, &position), S_OK);
    EXPECT_EQ(site.activateFlags, 0u);
    HWND window = nullptr;
    ASSERT_EQ(inPlace_->GetWindow(&window), S_OK);
    ASSERT_TRUE(IsWindow(window));
    EXPECT_EQ(GetParent(window), host_);
    RECT client{};
    GetClientRect(window, &client);
    EXPECT_EQ(client.right, 100);
    EXPECT_EQ(client.bottom, 50);

    ASSERT_EQ(inPlace_->InPlaceDeactivate(), S_OK);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(inPlace_->GetWindow(&window), E_FAIL);
    EXPECT_EQ(site.calls, "activateEx show deactivateEx ");
    ole_->SetClientSite(nullptr);
    EXPECT_EQ(site.refs, 1);
}

TEST_F(InPlace, WindowlessActivationHasNoWindowAndDrawsAtItsPosition)
{
    FakeSite site(host_, true);
    ASSERT_EQ(ole_->SetClientSite(&site), S_OK);
    ASSERT_EQ(ole_->DoVerb(OLEIVERB_UIACTIVATE, nullptr, &site, 0, host_, nullptr), S_OK);
    EXPECT_EQ(site.activateFlags, static_cast<DWORD>(ACTIVATE_WINDOWLESS));
    HWND window = reinterpret_cast<HWND>(1);
    EXPECT_EQ(inPlace_->GetWindow(&window), E_FAIL);
    LRESULT result = 1;
    EXPECT_EQ(inPlace_->OnWindowMessage(WM_LBUTTONDOWN, 0, 0, &result), S_FALSE);

    ASSERT_EQ(ole_->Close(OLECLOSE_NOSAVE), S_OK);
    EXPECT_EQ(site.calls, "activateEx ui focus show uioff deactivateEx ");
    ole_->SetClientSite(nullptr);
    EXPECT_EQ(site.refs, 1);
}

TEST_F(InPlace, ActivationWithoutASiteIsRefused)
{
    RECT position{0, 0, 10, 10};
    EXPECT_TRUE(FAILED(ole_->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, nullptr, 0, host_, &position)));
    EXPECT_EQ(ole_->DoVerb(7, nullptr, nullptr, 0, host_, &position), OLEOBJ_S_INVALIDVERB);
}
