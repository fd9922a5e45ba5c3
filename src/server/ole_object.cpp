// IOleObject, IOleControl: the client site, verbs, extent, OLE advise sinks, misc status.
#include "server/control_object.h"
#include "win/guarded.h"

namespace {
// Set client site first, invisible at run time, activate when visible, inside-out, can't link
// inside, recompose on resize.
constexpr DWORD kMiscStatus = OLEMISC_SETCLIENTSITEFIRST | OLEMISC_INVISIBLEATRUNTIME |
                              OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_INSIDEOUT |
                              OLEMISC_CANTLINKINSIDE | OLEMISC_RECOMPOSEONRESIZE;
static_assert(kMiscStatus == 132497, "registered MiscStatus");
}  // namespace

void ControlObject::ViewChanged()
{
    if (viewSink_) viewSink_->OnViewChange(DVASPECT_CONTENT, -1);
}

HRESULT ControlObject::SetClientSite(IOleClientSite* site)
{
    return GuardedCom([&]() -> HRESULT {
        clientSite_ = ComPtr<IOleClientSite>(site);
        return S_OK;
    });
}

HRESULT ControlObject::GetClientSite(IOleClientSite** site)
{
    return GuardedCom([&]() -> HRESULT {
        if (!site) return E_POINTER;
        *site = clientSite_.Get();
        if (*site) (*site)->AddRef();
        return S_OK;
    });
}

HRESULT ControlObject::SetHostNames(LPCOLESTR, LPCOLESTR) { return S_OK; }

HRESULT ControlObject::Close(DWORD saveOption)
{
    return GuardedCom([&]() -> HRESULT {
        InPlaceDeactivate();
        if ((saveOption == OLECLOSE_SAVEIFDIRTY || saveOption == OLECLOSE_PROMPTSAVE) && dirty_) {
            if (clientSite_) clientSite_->SaveObject();
            if (oleAdvise_) oleAdvise_->SendOnSave();
        }
        if (oleAdvise_) oleAdvise_->SendOnClose();
        viewSink_.Reset();
        return S_OK;
    });
}

HRESULT ControlObject::SetMoniker(DWORD, IMoniker*) { return E_NOTIMPL; }

HRESULT ControlObject::GetMoniker(DWORD, DWORD, IMoniker** moniker)
{
    return GuardedCom([&]() -> HRESULT {
        if (moniker) *moniker = nullptr;
        return E_NOTIMPL;
    });
}

HRESULT ControlObject::InitFromData(IDataObject*, BOOL, DWORD) { return E_NOTIMPL; }

HRESULT ControlObject::GetClipboardData(DWORD, IDataObject** data)
{
    return GuardedCom([&]() -> HRESULT {
        if (data) *data = nullptr;
        return E_NOTIMPL;
    });
}

HRESULT ControlObject::DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND, LPCRECT position)
{
    return GuardedCom([&]() -> HRESULT {
        if (!clientSite_ && site) clientSite_ = ComPtr<IOleClientSite>(site);
        switch (verb) {
        case OLEIVERB_PRIMARY:
        case OLEIVERB_SHOW:
        case OLEIVERB_UIACTIVATE: {
            HRESULT hr = InPlaceActivate(true);
            if (SUCCEEDED(hr) && position) SetObjectRects(position, position);
            return hr;
        }
        case OLEIVERB_INPLACEACTIVATE: {
            HRESULT hr = InPlaceActivate(false);
            if (SUCCEEDED(hr) && position) SetObjectRects(position, position);
            return hr;
        }
        case OLEIVERB_HIDE:
            UIDeactivate();
            if (window_) ShowWindow(window_.Get(), SW_HIDE);
            return S_OK;
        case OLEIVERB_DISCARDUNDOSTATE:
            return S_OK;
        case OLEIVERB_OPEN:
        case OLEIVERB_PROPERTIES:
            return E_NOTIMPL;
        default:
            return verb > 0 ? OLEOBJ_S_INVALIDVERB : E_NOTIMPL;
        }
    });
}

HRESULT ControlObject::EnumVerbs(IEnumOLEVERB** verbs)
{
    return GuardedCom([&]() -> HRESULT {
        if (!verbs) return E_POINTER;
        return OleRegEnumVerbs(CLSID_ITunaraActiveXChat, verbs);
    });
}

HRESULT ControlObject::Update() { return S_OK; }
HRESULT ControlObject::IsUpToDate() { return S_OK; }

HRESULT ControlObject::GetUserClassID(CLSID* clsid)
{
    return GuardedCom([&]() -> HRESULT {
        if (!clsid) return E_POINTER;
        *clsid = CLSID_ITunaraActiveXChat;
        return S_OK;
    });
}

HRESULT ControlObject::GetUserType(DWORD form, LPOLESTR* type)
{
    return GuardedCom([&]() -> HRESULT {
        if (!type) return E_POINTER;
        return OleRegGetUserType(CLSID_ITunaraActiveXChat, form, type);
    });
}

HRESULT ControlObject::SetExtent(DWORD aspect, SIZEL* size)
{
    return GuardedCom([&]() -> HRESULT {
        if (!size) return E_POINTER;
        if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
        if (size->cx != extent_.cx || size->cy != extent_.cy) {
            extent_ = *size;
            dirty_ = true;
            changedSinceStorageSave_ = true;
            ViewChanged();
        }
        return S_OK;
    });
}

HRESULT ControlObject::GetExtent(DWORD aspect, SIZEL* size)
{
    return GuardedCom([&]() -> HRESULT {
        if (!size) return E_POINTER;
        if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
        *size = extent_;
        return S_OK;
    });
}

HRESULT ControlObject::Advise(IAdviseSink* sink, DWORD* connection)
{
    return GuardedCom([&]() -> HRESULT {
        if (!sink || !connection) return E_POINTER;
        if (!oleAdvise_) {
            HRESULT hr = CreateOleAdviseHolder(oleAdvise_.Out());
            if (FAILED(hr)) return hr;
        }
        return oleAdvise_->Advise(sink, connection);
    });
}

HRESULT ControlObject::Unadvise(DWORD connection)
{
    return GuardedCom([&]() -> HRESULT {
        return oleAdvise_ ? oleAdvise_->Unadvise(connection) : OLE_E_NOCONNECTION;
    });
}

HRESULT ControlObject::EnumAdvise(IEnumSTATDATA** advise)
{
    return GuardedCom([&]() -> HRESULT {
        if (!advise) return E_POINTER;
        *advise = nullptr;
        return oleAdvise_ ? oleAdvise_->EnumAdvise(advise) : E_FAIL;
    });
}

HRESULT ControlObject::GetMiscStatus(DWORD, DWORD* status)
{
    return GuardedCom([&]() -> HRESULT {
        if (!status) return E_POINTER;
        *status = kMiscStatus;
        return S_OK;
    });
}

HRESULT ControlObject::SetColorScheme(LOGPALETTE*) { return E_NOTIMPL; }

HRESULT ControlObject::GetControlInfo(CONTROLINFO*) { return E_NOTIMPL; }
HRESULT ControlObject::OnMnemonic(MSG*) { return S_OK; }
HRESULT ControlObject::OnAmbientPropertyChange(DISPID) { return S_OK; }

HRESULT ControlObject::FreezeEvents(BOOL freeze)
{
    return GuardedCom([&]() -> HRESULT {
        if (freeze) ++frozenEvents_;
        else if (frozenEvents_ > 0) --frozenEvents_;
        return S_OK;
    });
}
