// IConnectionPointContainer, ISpecifyPropertyPages, IQuickActivate, IProvideClassInfo,
// IProvideClassInfo2.
#include "control/type_info.h"
#include "server/control_object.h"
#include "server/enumerators.h"

HRESULT ControlObject::EnumConnectionPoints(IEnumConnectionPoints** points)
{
    return CreateConnectionPointEnumerator({&eventPoint_, &propertyPoint_}, points);
}

HRESULT ControlObject::FindConnectionPoint(REFIID iid, IConnectionPoint** point)
{
    if (!point) return E_POINTER;
    *point = nullptr;
    for (ConnectionPoint* candidate : {&eventPoint_, &propertyPoint_}) {
        if (IsEqualIID(iid, candidate->Iid())) {
            *point = candidate;
            candidate->AddRef();
            return S_OK;
        }
    }
    return CONNECT_E_NOCONNECTION;
}

HRESULT ControlObject::GetPages(CAUUID* pages)
{
    if (!pages) return E_POINTER;
    pages->cElems = 0;
    pages->pElems = nullptr;
    return S_OK;
}

HRESULT ControlObject::QuickActivate(QACONTAINER* container, QACONTROL* control)
{
    if (!container || !control) return E_POINTER;
    if (container->cbSize < sizeof(QACONTAINER) || control->cbSize < sizeof(QACONTROL))
        return E_INVALIDARG;
    const ULONG size = control->cbSize;
    ZeroMemory(control, size);
    control->cbSize = size;

    SetClientSite(container->pClientSite);
    if (container->pAdviseSink) SetAdvise(DVASPECT_CONTENT, 0, container->pAdviseSink);
    if (container->pUnkEventSink) eventPoint_.Advise(container->pUnkEventSink, &control->dwEventCookie);
    if (container->pPropertyNotifySink)
        propertyPoint_.Advise(container->pPropertyNotifySink, &control->dwPropNotifyCookie);
    GetMiscStatus(DVASPECT_CONTENT, &control->dwMiscStatus);
    GetViewStatus(&control->dwViewStatus);
    return S_OK;
}

HRESULT ControlObject::SetContentExtent(LPSIZEL size)
{
    return SetExtent(DVASPECT_CONTENT, size);
}

HRESULT ControlObject::GetContentExtent(LPSIZEL size)
{
    return GetExtent(DVASPECT_CONTENT, size);
}

HRESULT ControlObject::GetClassInfo(ITypeInfo** info)
{
    return LoadControlTypeInfo(CLSID_ITunaraActiveXChat, info);
}

HRESULT ControlObject::GetGUID(DWORD kind, GUID* guid)
{
    if (!guid) return E_POINTER;
    if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) {
        *guid = GUID_NULL;
        return E_INVALIDARG;
    }
    *guid = DIID__ITunaraXChatEvents;
    return S_OK;
}
