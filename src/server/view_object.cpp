// IViewObject, IViewObject2, IViewObjectEx: drawing the placeholder, extent, hit testing.
#include "server/control_object.h"
#include "server/placeholder.h"
#include "win/guarded.h"

HRESULT ControlObject::Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC drawDc,
                            LPCRECTL bounds, LPCRECTL, BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR)
{
    return GuardedCom([&]() -> HRESULT {
        if (aspect != DVASPECT_CONTENT && aspect != DVASPECT_OPAQUE && aspect != DVASPECT_TRANSPARENT)
            return DV_E_DVASPECT;
        if (!drawDc) return E_INVALIDARG;
        RECT area;
        if (bounds) {
            area = RECT{bounds->left, bounds->top, bounds->right, bounds->bottom};
        } else if (inPlaceActive_ && windowless_) {
            // A windowless control draws at its in-place position when no bounds are given.
            area = position_;
        } else {
            return E_INVALIDARG;
        }
        DrawPlaceholder(drawDc, area);
        return S_OK;
    });
}

HRESULT ControlObject::GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE** colors)
{
    return GuardedCom([&]() -> HRESULT {
        if (colors) *colors = nullptr;
        return E_NOTIMPL;
    });
}

HRESULT ControlObject::Freeze(DWORD, LONG, void*, DWORD*) { return E_NOTIMPL; }
HRESULT ControlObject::Unfreeze(DWORD) { return E_NOTIMPL; }

HRESULT ControlObject::SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink)
{
    return GuardedCom([&]() -> HRESULT {
        viewSink_ = ComPtr<IAdviseSink>(sink);
        viewAspects_ = aspects;
        viewFlags_ = flags;
        return S_OK;
    });
}

HRESULT ControlObject::GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink)
{
    return GuardedCom([&]() -> HRESULT {
        if (aspects) *aspects = viewAspects_;
        if (flags) *flags = viewFlags_;
        if (sink) {
            *sink = viewSink_.Get();
            if (*sink) (*sink)->AddRef();
        }
        return S_OK;
    });
}

HRESULT ControlObject::GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size)
{
    return GuardedCom([&]() -> HRESULT {
        return GetExtent(aspect, size);
    });
}

HRESULT ControlObject::GetRect(DWORD, LPRECTL) { return E_NOTIMPL; }

HRESULT ControlObject::GetViewStatus(DWORD* status)
{
    return GuardedCom([&]() -> HRESULT {
        if (!status) return E_POINTER;
        // The placeholder fills its whole bounds with the current brush.
        *status = VIEWSTATUS_OPAQUE | VIEWSTATUS_SOLIDBKGND;
        return S_OK;
    });
}

HRESULT ControlObject::QueryHitPoint(DWORD aspect, LPCRECT bounds, POINT point, LONG, DWORD* result)
{
    return GuardedCom([&]() -> HRESULT {
        if (!bounds || !result) return E_POINTER;
        if (aspect != DVASPECT_CONTENT) return E_FAIL;
        *result = PtInRect(bounds, point) ? HITRESULT_HIT : HITRESULT_OUTSIDE;
        return S_OK;
    });
}

HRESULT ControlObject::QueryHitRect(DWORD aspect, LPCRECT bounds, LPCRECT rect, LONG, DWORD* result)
{
    return GuardedCom([&]() -> HRESULT {
        if (!bounds || !rect || !result) return E_POINTER;
        if (aspect != DVASPECT_CONTENT) return E_FAIL;
        RECT overlap;
        *result = IntersectRect(&overlap, bounds, rect) ? HITRESULT_HIT : HITRESULT_OUTSIDE;
        return S_OK;
    });
}

HRESULT ControlObject::GetNaturalExtent(DWORD aspect, LONG, DVTARGETDEVICE*, HDC,
                                        DVEXTENTINFO* info, LPSIZEL size)
{
    return GuardedCom([&]() -> HRESULT {
        if (!info || !size) return E_POINTER;
        if (aspect != DVASPECT_CONTENT || info->dwExtentMode != DVEXTENT_CONTENT) return E_NOTIMPL;
        *size = extent_;
        return S_OK;
    });
}
