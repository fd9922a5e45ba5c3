// IUnknown of the control object: creation, aggregation, the interface table, the reference count.
#include "server/control_object.h"
#include "server/module.h"

namespace {

using Cast = void* (*)(ControlObject*);

struct InterfaceEntry {
    const IID* iid;
    Cast cast;
};

template <typename Interface>
void* As(ControlObject* object) { return static_cast<Interface*>(object); }

// The order in which the control answers; IUnknown itself is the inner unknown.
const InterfaceEntry kInterfaces[] = {
    {&IID_ITunaraXChat2, As<ITunaraXChat2>},
    {&IID_ITunaraXChat, As<ITunaraXChat>},
    {&IID_IDispatch, As<ITunaraXChat2>},
    {&IID_IViewObjectEx, As<IViewObjectEx>},
    {&IID_IViewObject2, As<IViewObjectEx>},
    {&IID_IViewObject, As<IViewObjectEx>},
    {&IID_IOleInPlaceObjectWindowless, As<IOleInPlaceObjectWindowless>},
    {&IID_IOleInPlaceObject, As<IOleInPlaceObjectWindowless>},
    {&IID_IOleWindow, As<IOleInPlaceObjectWindowless>},
    {&IID_IOleInPlaceActiveObject, As<IOleInPlaceActiveObject>},
    {&IID_IOleControl, As<IOleControl>},
    {&IID_IOleObject, As<IOleObject>},
    {&IID_IPersistStreamInit, As<IPersistStreamInit>},
    {&IID_IPersist, As<IPersistStreamInit>},
    {&IID_IConnectionPointContainer, As<IConnectionPointContainer>},
    {&IID_ISpecifyPropertyPages, As<ISpecifyPropertyPages>},
    {&IID_IQuickActivate, As<IQuickActivate>},
    {&IID_IPersistStorage, As<IPersistStorage>},
    {&IID_IDataObject, As<IDataObject>},
    {&IID_IProvideClassInfo, As<IProvideClassInfo2>},
    {&IID_IProvideClassInfo2, As<IProvideClassInfo2>},
};

}  // namespace

ControlObject::ControlObject(IUnknown* outer)
    : controlling_(outer ? outer : &inner_),
      eventPoint_(this, DIID__ITunaraXChatEvents, ConnectionPoint::SinkKind::kDispatch, EventSinks()),
      propertyPoint_(this, IID_IPropertyNotifySink, ConnectionPoint::SinkKind::kVtable, propertySinks_)
{}

ControlObject::~ControlObject()
{
    StopBeingEventTarget();
}

// Throws std::bad_alloc when memory runs out: the class factory's guard answers E_OUTOFMEMORY.
HRESULT ControlObject::Create(IUnknown* outer, REFIID iid, void** out)
{
    if (!out) return E_POINTER;
    *out = nullptr;
    if (outer && !IsEqualIID(iid, IID_IUnknown)) return CLASS_E_NOAGGREGATION;
    auto* object = new ControlObject(outer);
    object->inner_.AddRef();
    HRESULT hr = object->inner_.QueryInterface(iid, out);
    object->inner_.Release();
    return hr;
}

HRESULT ControlObject::InnerUnknown::QueryInterface(REFIID iid, void** out)
{
    if (!out) return E_POINTER;
    *out = nullptr;
    if (IsEqualIID(iid, IID_IUnknown)) {
        *out = static_cast<IUnknown*>(this);
    } else {
        for (const InterfaceEntry& entry : kInterfaces) {
            if (IsEqualIID(iid, *entry.iid)) {
                *out = entry.cast(owner_);
                break;
            }
        }
    }
    if (!*out) return E_NOINTERFACE;
    static_cast<IUnknown*>(*out)->AddRef();
    return S_OK;
}

ULONG ControlObject::InnerUnknown::AddRef()
{
    return InterlockedIncrement(&owner_->refs_);
}

ULONG ControlObject::InnerUnknown::Release()
{
    LONG left = InterlockedDecrement(&owner_->refs_);
    if (left == 0) {
        // Guard against a release from inside the destructor re-entering deletion.
        owner_->refs_ = 1;
        delete owner_;
    }
    return left;
}

HRESULT ControlObject::QueryInterface(REFIID iid, void** out) { return controlling_->QueryInterface(iid, out); }
ULONG ControlObject::AddRef() { return controlling_->AddRef(); }
ULONG ControlObject::Release() { return controlling_->Release(); }
