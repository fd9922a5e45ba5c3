// IOleWindow, IOleInPlaceObject, IOleInPlaceObjectWindowless, IOleInPlaceActiveObject: in-place
// activation, windowed (a child window of the site) or windowless (the site draws through us).
#include "server/control_object.h"
#include "server/control_window.h"
#include "win/guarded.h"

HRESULT ControlObject::InPlaceActivate(bool uiActivate)
{
    if (!clientSite_) return E_UNEXPECTED;
    if (!inPlaceActive_) {
        inPlaceSiteWindowless_ = clientSite_.As<IOleInPlaceSiteWindowless>(IID_IOleInPlaceSiteWindowless);
        inPlaceSiteEx_ = clientSite_.As<IOleInPlaceSiteEx>(IID_IOleInPlaceSiteEx);
        inPlaceSite_ = clientSite_.As<IOleInPlaceSite>(IID_IOleInPlaceSite);
        if (!inPlaceSite_) return E_FAIL;
        if (inPlaceSite_->CanInPlaceActivate() != S_OK) {
            inPlaceSite_.Reset();
            inPlaceSiteEx_.Reset();
            inPlaceSiteWindowless_.Reset();
            return E_FAIL;
        }
        windowless_ = inPlaceSiteWindowless_ && inPlaceSiteWindowless_->CanWindowlessActivate() == S_OK;
        if (inPlaceSiteEx_) {
            BOOL noRedraw = FALSE;
            inPlaceSiteEx_->OnInPlaceActivateEx(&noRedraw, windowless_ ? ACTIVATE_WINDOWLESS : 0);
        } else {
            inPlaceSite_->OnInPlaceActivate();
        }
        inPlaceActive_ = true;

        RECT position{}, clip{};
        OLEINPLACEFRAMEINFO frameInfo{};
        frameInfo.cb = sizeof(frameInfo);
        inPlaceSite_->GetWindowContext(frame_.Out(), uiWindow_.Out(), &position, &clip, &frameInfo);
        position_ = position;
        if (!windowless_) {
            HWND parent = nullptr;
            inPlaceSite_->GetWindow(&parent);
            window_.Reset(CreateControlWindow(parent, position_));
            if (!window_) {
                InPlaceDeactivate();
                return E_FAIL;
            }
        }
    }
    if (uiActivate && !uiActive_) {
        uiActive_ = true;
        inPlaceSite_->OnUIActivate();
        if (frame_) {
            frame_->SetActiveObject(static_cast<IOleInPlaceActiveObject*>(this), nullptr);
            frame_->SetBorderSpace(nullptr);
        }
        if (uiWindow_) {
            uiWindow_->SetActiveObject(static_cast<IOleInPlaceActiveObject*>(this), nullptr);
            uiWindow_->SetBorderSpace(nullptr);
        }
        if (windowless_) inPlaceSiteWindowless_->SetFocus(TRUE);
        else SetFocus(window_.Get());
    }
    clientSite_->ShowObject();
    return S_OK;
}

HRESULT ControlObject::GetWindow(HWND* window)
{
    return GuardedCom([&]() -> HRESULT {
        if (!window) return E_POINTER;
        *window = window_.Get();
        return window_ ? S_OK : E_FAIL;
    });
}

HRESULT ControlObject::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }

HRESULT ControlObject::InPlaceDeactivate()
{
    return GuardedCom([&]() -> HRESULT {
        if (!inPlaceActive_) return S_OK;
        UIDeactivate();
        inPlaceActive_ = false;
        window_.Reset();
        if (inPlaceSiteEx_) inPlaceSiteEx_->OnInPlaceDeactivateEx(TRUE);
        else if (inPlaceSite_) inPlaceSite_->OnInPlaceDeactivate();
        inPlaceSite_.Reset();
        inPlaceSiteEx_.Reset();
        inPlaceSiteWindowless_.Reset();
        frame_.Reset();
        uiWindow_.Reset();
        windowless_ = false;
        return S_OK;
    });
}

HRESULT ControlObject::UIDeactivate()
{
    return GuardedCom([&]() -> HRESULT {
        if (!uiActive_) return S_OK;
        uiActive_ = false;
        if (uiWindow_) uiWindow_->SetActiveObject(nullptr, nullptr);
        if (frame_) frame_->SetActiveObject(nullptr, nullptr);
        if (inPlaceSite_) inPlaceSite_->OnUIDeactivate(FALSE);
        return S_OK;
    });
}

HRESULT ControlObject::SetObjectRects(LPCRECT position, LPCRECT)
{
    return GuardedCom([&]() -> HRESULT {
        if (!position) return E_POINTER;
        position_ = *position;
        if (window_)
            MoveWindow(window_.Get(), position_.left, position_.top, position_.right - position_.left,
                       position_.bottom - position_.top, TRUE);
        return S_OK;
    });
}

HRESULT ControlObject::ReactivateAndUndo() { return E_NOTIMPL; }

HRESULT ControlObject::OnWindowMessage(UINT, WPARAM, LPARAM, LRESULT* result)
{
    return GuardedCom([&]() -> HRESULT {
        if (!result) return E_POINTER;
        // The control has no input of its own: every message goes back to the site.
        *result = 0;
        return S_FALSE;
    });
}

HRESULT ControlObject::GetDropTarget(IDropTarget** target)
{
    return GuardedCom([&]() -> HRESULT {
        if (!target) return E_POINTER;
        *target = nullptr;
        return E_NOTIMPL;
    });
}

HRESULT ControlObject::TranslateAccelerator(LPMSG) { return S_FALSE; }
HRESULT ControlObject::OnFrameWindowActivate(BOOL) { return S_OK; }
HRESULT ControlObject::OnDocWindowActivate(BOOL) { return S_OK; }
HRESULT ControlObject::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) { return S_OK; }
HRESULT ControlObject::EnableModeless(BOOL) { return S_OK; }
