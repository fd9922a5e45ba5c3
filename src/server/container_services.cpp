// IConnectionPointContainer, ISpecifyPropertyPages, IQuickActivate, IProvideClassInfo,
// IProvideClassInfo2.
#include "control/type_info.h"
#include "server/control_object.h"
#include "server/enumerators.h"
#include "win/guarded.h"

namespace {

// The container structure grew over the years: an older container passes a smaller cbSize, and
// only the fields that size holds are its own. A field beyond it reads as null.
template <typename Field>
Field GivenField(const QACONTAINER& container, Field QACONTAINER::*field)
{
    const auto offset = static_cast<size_t>(reinterpret_cast<const BYTE*>(&(container.*field)) -
                                            reinterpret_cast<const BYTE*>(&container));
    return container.cbSize >= offset + sizeof(Field) ? container.*field : Field{};
}

}  // namespace

HRESULT ControlObject::EnumConnectionPoints(IEnumConnectionPoints** points)
{
    return GuardedCom([&]() -> HRESULT {
        return CreateConnectionPointEnumerator({&eventPoint_, &propertyPoint_}, points);
    });
}

HRESULT ControlObject::FindConnectionPoint(REFIID iid, IConnectionPoint** point)
{
    return GuardedCom([&]() -> HRESULT {
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
    });
}

HRESULT ControlObject::GetPages(CAUUID* pages)
{
    return GuardedCom([&]() -> HRESULT {
        if (!pages) return E_POINTER;
        pages->cElems = 0;
        pages->pElems = nullptr;
        return S_OK;
    });
}

HRESULT ControlObject::QuickActivate(QACONTAINER* container, QACONTROL* control)
{
    return GuardedCom([&]() -> HRESULT {
        if (!container || !control) return E_POINTER;
        if (control->cbSize < sizeof(QACONTROL)) return E_INVALIDARG;
        const ULONG size = control->cbSize;
        ZeroMemory(control, size);
        control->cbSize = size;

        SetClientSite(GivenField(*container, &QACONTAINER::pClientSite));
        if (IAdviseSink* sink = GivenField(*container, &QACONTAINER::pAdviseSink))
            SetAdvise(DVASPECT_CONTENT, 0, sink);
        if (IUnknown* sink = GivenField(*container, &QACONTAINER::pUnkEventSink))
            eventPoint_.Advise(sink, &control->dwEventCookie);
        if (IPropertyNotifySink* sink = GivenField(*container, &QACONTAINER::pPropertyNotifySink))
            propertyPoint_.Advise(sink, &control->dwPropNotifyCookie);
        GetMiscStatus(DVASPECT_CONTENT, &control->dwMiscStatus);
        GetViewStatus(&control->dwViewStatus);
        return S_OK;
    });
}

HRESULT ControlObject::SetContentExtent(LPSIZEL size)
{
    return GuardedCom([&]() -> HRESULT {
        return SetExtent(DVASPECT_CONTENT, size);
    });
}

HRESULT ControlObject::GetContentExtent(LPSIZEL size)
{
    return GuardedCom([&]() -> HRESULT {
        return GetExtent(DVASPECT_CONTENT, size);
    });
}

HRESULT ControlObject::GetClassInfo(ITypeInfo** info)
{
    return GuardedCom([&]() -> HRESULT {
        return LoadControlTypeInfo(CLSID_ITunaraActiveXChat, info);
    });
}

HRESULT ControlObject::GetGUID(DWORD kind, GUID* guid)
{
    return GuardedCom([&]() -> HRESULT {
        if (!guid) return E_POINTER;
        if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) {
            *guid = GUID_NULL;
            return E_INVALIDARG;
        }
        *guid = DIID__ITunaraXChatEvents;
        return S_OK;
    });
}
