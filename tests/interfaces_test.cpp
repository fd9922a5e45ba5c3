// The interfaces a container finds on the control, and the container-facing services behind them.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>
#include <objsafe.h>

#include <cstddef>
#include <functional>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "support/control_factory.h"
#include "support/recording_sink.h"

namespace {

const IID* const kAnswered[] = {
    &IID_ITunaraXChat2, &IID_ITunaraXChat, &IID_IDispatch, &IID_IViewObjectEx, &IID_IViewObject2,
    &IID_IViewObject, &IID_IOleInPlaceObjectWindowless, &IID_IOleInPlaceObject, &IID_IOleWindow,
    &IID_IOleInPlaceActiveObject, &IID_IOleControl, &IID_IOleObject, &IID_IPersistStreamInit,
    &IID_IPersist, &IID_IConnectionPointContainer, &IID_ISpecifyPropertyPages, &IID_IQuickActivate,
    &IID_IPersistStorage, &IID_IDataObject, &IID_IProvideClassInfo, &IID_IProvideClassInfo2,
};

// A safety interface, property bags, caching, running state: none of these is offered.
const IID* const kRefused[] = {
    &IID_IObjectSafety, &IID_IPersistPropertyBag, &IID_IOleCache, &IID_IRunnableObject,
    &IID_IPersistFile, &IID_IClassFactory, &IID_IConnectionPoint, &IID_IEnumConnections,
};

// A property notification sink that runs a handler when the control drops the last reference
// it holds (the test's own is the one left).
class ReleaseWatch final : public IPropertyNotifySink {
public:
    std::function<void()> onControlReleased;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IPropertyNotifySink)) return E_NOINTERFACE;
        *out = static_cast<IPropertyNotifySink*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override
    {
        if (--refs_ == 1 && onControlReleased) std::exchange(onControlReleased, nullptr)();
        return refs_;
    }
    HRESULT STDMETHODCALLTYPE OnChanged(DISPID) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnRequestEdit(DISPID) override { return S_OK; }

private:
    ULONG refs_ = 1;
};

}  // namespace

TEST(Interfaces, EveryListedInterfaceAnswersWithOneIdentity)
{
    ComPtr<IUnknown> control = CreateControl();
    ASSERT_TRUE(control);
    for (const IID* iid : kAnswered) {
        ComPtr<IUnknown> face;
        ASSERT_EQ(control->QueryInterface(*iid, face.OutVoid()), S_OK);
        ComPtr<IUnknown> identity;
        ASSERT_EQ(face->QueryInterface(IID_IUnknown, identity.OutVoid()), S_OK);
        EXPECT_EQ(identity.Get(), control.Get());
        // Every face reaches every other.
        ComPtr<IUnknown> back;
        EXPECT_EQ(face->QueryInterface(IID_IOleObject, back.OutVoid()), S_OK);
    }
}

TEST(Interfaces, OthersAreRefused)
{
    ComPtr<IUnknown> control = CreateControl();
    ASSERT_TRUE(control);
    for (const IID* iid : kRefused) {
        void* face = reinterpret_cast<void*>(1);
        EXPECT_EQ(control->QueryInterface(*iid, &face), E_NOINTERFACE);
        EXPECT_EQ(face, nullptr);
    }
    EXPECT_EQ(control->QueryInterface(IID_IOleObject, nullptr), E_POINTER);
}

TEST(Interfaces, TwoConnectionPointsAndTheirConnections)
{
    ComPtr<IUnknown> control = CreateControl();
    auto container = control.As<IConnectionPointContainer>(IID_IConnectionPointContainer);
    ASSERT_TRUE(container);

    ComPtr<IEnumConnectionPoints> points;
    ASSERT_EQ(container->EnumConnectionPoints(points.Out()), S_OK);
    IConnectionPoint* found[3] = {};
    ULONG fetched = 0;
    EXPECT_EQ(points->Next(3, found, &fetched), S_FALSE);
    ASSERT_EQ(fetched, 2u);
    IID first{}, second{};
    found[0]->GetConnectionInterface(&first);
    found[1]->GetConnectionInterface(&second);
    EXPECT_TRUE(IsEqualIID(first, DIID__ITunaraXChatEvents));
    EXPECT_TRUE(IsEqualIID(second, IID_IPropertyNotifySink));
    ComPtr<IConnectionPointContainer> owner;
    EXPECT_EQ(found[0]->GetConnectionPointContainer(owner.Out()), S_OK);
    EXPECT_EQ(owner.Get(), container.Get());
    found[0]->Release();
    found[1]->Release();

    ComPtr<IConnectionPoint> none;
    EXPECT_EQ(container->FindConnectionPoint(IID_IDispatch, none.Out()), CONNECT_E_NOCONNECTION);

    std::vector<RecordedEvent> log;
    RecordingSink a(L"a", log), b(L"b", log);
    ComPtr<IConnectionPoint> events;
    ASSERT_EQ(container->FindConnectionPoint(DIID__ITunaraXChatEvents, events.Out()), S_OK);
    DWORD cookieA = 0, cookieB = 0;
    ASSERT_EQ(events->Advise(&a, &cookieA), S_OK);
    ASSERT_EQ(events->Advise(&b, &cookieB), S_OK);
    EXPECT_NE(cookieA, cookieB);
    EXPECT_GT(a.References(), 1);

    ComPtr<IEnumConnections> connections;
    ASSERT_EQ(events->EnumConnections(connections.Out()), S_OK);
    CONNECTDATA data[3] = {};
    fetched = 0;
    connections->Next(3, data, &fetched);
    ASSERT_EQ(fetched, 2u);
    EXPECT_EQ(data[0].dwCookie, cookieA);
    EXPECT_EQ(data[1].dwCookie, cookieB);
    data[0].pUnk->Release();
    data[1].pUnk->Release();
    connections.Reset();

    EXPECT_EQ(events->Unadvise(cookieA), S_OK);
    EXPECT_EQ(events->Unadvise(cookieA), CONNECT_E_NOCONNECTION);
    EXPECT_EQ(events->Unadvise(0), CONNECT_E_NOCONNECTION);
    EXPECT_EQ(a.References(), 1);
    EXPECT_EQ(events->Unadvise(cookieB), S_OK);
    EXPECT_EQ(b.References(), 1);

    // A sink without the event interface cannot connect.
    ComPtr<IConnectionPoint> property;
    ASSERT_EQ(container->FindConnectionPoint(IID_IPropertyNotifySink, property.Out()), S_OK);
    DWORD cookie = 0;
    EXPECT_EQ(property->Advise(&a, &cookie), CONNECT_E_CANNOTCONNECT);
    EXPECT_EQ(cookie, 0u);
}

TEST(Interfaces, QuickActivateConnectsTheEventSinkAndReportsStatus)
{
    ComPtr<IUnknown> control = CreateControl();
    auto quick = control.As<IQuickActivate>(IID_IQuickActivate);
    ASSERT_TRUE(quick);
    std::vector<RecordedEvent> log;
    RecordingSink sink(L"s", log);
    QACONTAINER container{};
    container.cbSize = sizeof(container);
    container.pUnkEventSink = &sink;
    QACONTROL result{};
    result.cbSize = sizeof(result);
    ASSERT_EQ(quick->QuickActivate(&container, &result), S_OK);
    EXPECT_NE(result.dwEventCookie, 0u);
    EXPECT_EQ(result.dwMiscStatus, 132497u);
    EXPECT_EQ(DisconnectEvents(control.Get(), result.dwEventCookie), S_OK);
    EXPECT_EQ(quick->QuickActivate(nullptr, &result), E_POINTER);

    SIZEL size{1234, 567};
    EXPECT_EQ(quick->SetContentExtent(&size), S_OK);
    SIZEL back{};
    EXPECT_EQ(quick->GetContentExtent(&back), S_OK);
    EXPECT_EQ(back.cx, 1234);
    EXPECT_EQ(back.cy, 567);
}

TEST(Interfaces, ASinkThatAnswersOnlyIDispatchConnectsAndHearsEvents)
{
    ComPtr<IUnknown> control = CreateControl();
    std::vector<RecordedEvent> log;
    RecordingSink sink(L"s", log);
    sink.answersEventInterface = false;
    const DWORD cookie = ConnectEvents(control.Get(), &sink);
    ASSERT_NE(cookie, 0u);
    // Play tells this control's sinks that it handles the call, even before any Initialize.
    auto automation = control.As<ITunaraXChat2>(IID_ITunaraXChat2);
    ASSERT_EQ(automation->Play(), S_OK);
    EXPECT_EQ(automation->Stop(), S_OK);
    EXPECT_EQ(sink.MsgIds(), std::vector<long>{1});
    EXPECT_EQ(DisconnectEvents(control.Get(), cookie), S_OK);
    EXPECT_EQ(sink.References(), 1);

    // Through quick activation too.
    QACONTAINER container{};
    container.cbSize = sizeof(container);
    container.pUnkEventSink = &sink;
    QACONTROL result{};
    result.cbSize = sizeof(result);
    ASSERT_EQ(control.As<IQuickActivate>(IID_IQuickActivate)->QuickActivate(&container, &result), S_OK);
    EXPECT_NE(result.dwEventCookie, 0u);
    EXPECT_EQ(DisconnectEvents(control.Get(), result.dwEventCookie), S_OK);
}

TEST(Interfaces, QuickActivateTakesTheOlderSmallerContainerStructures)
{
    ComPtr<IUnknown> control = CreateControl();
    auto quick = control.As<IQuickActivate>(IID_IQuickActivate);
    std::vector<RecordedEvent> log;
    RecordingSink sink(L"s", log);
    QACONTAINER container{};
    container.pUnkEventSink = &sink;

    // The first structure ended with the palette: no bind host, control site or service provider.
    container.cbSize = offsetof(QACONTAINER, pBindHost);
    QACONTROL result{};
    result.cbSize = sizeof(result);
    ASSERT_EQ(quick->QuickActivate(&container, &result), S_OK);
    EXPECT_NE(result.dwEventCookie, 0u);
    EXPECT_EQ(result.dwMiscStatus, 132497u);
    EXPECT_EQ(result.dwViewStatus, static_cast<DWORD>(VIEWSTATUS_OPAQUE | VIEWSTATUS_SOLIDBKGND));
    EXPECT_EQ(DisconnectEvents(control.Get(), result.dwEventCookie), S_OK);

    // A size that ends before the event sink: what lies beyond it is not the container's to give.
    container.cbSize = offsetof(QACONTAINER, pUnkEventSink);
    result = QACONTROL{};
    result.cbSize = sizeof(result);
    ASSERT_EQ(quick->QuickActivate(&container, &result), S_OK);
    EXPECT_EQ(result.dwEventCookie, 0u);
    EXPECT_EQ(result.dwMiscStatus, 132497u);
    EXPECT_EQ(sink.References(), 1);
}

// The engine's event target is the control that called Initialize last. Once the container has
// released it, nothing may reach its sinks any more, not even while its parts are being released.
TEST(Interfaces, AReleasedControlHearsNoEventWhileItsPartsGoAway)
{
    ComPtr<IUnknown> target = CreateControl();
    ComPtr<IUnknown> other = CreateControl();
    auto automation = target.As<ITunaraXChat2>(IID_ITunaraXChat2);
    ASSERT_EQ(automation->Initialize(), S_OK);
    ASSERT_EQ(automation->Deinitialize(), S_OK);
    automation.Reset();
    std::vector<RecordedEvent> log;
    RecordingSink sink(L"s", log);
    ASSERT_NE(ConnectEvents(target.Get(), &sink), 0u);

    // While the control lets its property sinks go, a handler drives the other control, whose
    // members tell the engine's event target.
    ReleaseWatch watch;
    auto otherAutomation = other.As<ITunaraXChat2>(IID_ITunaraXChat2);
    watch.onControlReleased = [&] { otherAutomation->PlaylistSort(); };
    ComPtr<IConnectionPoint> property;
    ASSERT_EQ(target.As<IConnectionPointContainer>(IID_IConnectionPointContainer)
                  ->FindConnectionPoint(IID_IPropertyNotifySink, property.Out()), S_OK);
    DWORD cookie = 0;
    ASSERT_EQ(property->Advise(&watch, &cookie), S_OK);
    property.Reset();

    target.Reset();
    EXPECT_FALSE(watch.onControlReleased);
    EXPECT_TRUE(log.empty());
    EXPECT_EQ(sink.References(), 1);
}

TEST(Interfaces, ClassInfoPagesAndObjectFacts)
{
    ComPtr<IUnknown> control = CreateControl();
    auto classInfo = control.As<IProvideClassInfo2>(IID_IProvideClassInfo2);
    ASSERT_TRUE(classInfo);
    GUID source{};
    EXPECT_EQ(classInfo->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &source), S_OK);
    EXPECT_TRUE(IsEqualGUID(source, DIID__ITunaraXChatEvents));
    ComPtr<ITypeInfo> info;
    ASSERT_EQ(classInfo->GetClassInfo(info.Out()), S_OK);
    TYPEATTR* attr = nullptr;
    ASSERT_EQ(info->GetTypeAttr(&attr), S_OK);
    EXPECT_EQ(attr->typekind, TKIND_COCLASS);
    EXPECT_TRUE(IsEqualGUID(attr->guid, CLSID_ITunaraActiveXChat));
    info->ReleaseTypeAttr(attr);

    auto pages = control.As<ISpecifyPropertyPages>(IID_ISpecifyPropertyPages);
    CAUUID list{5, reinterpret_cast<GUID*>(1)};
    ASSERT_EQ(pages->GetPages(&list), S_OK);
    EXPECT_EQ(list.cElems, 0u);
    EXPECT_EQ(list.pElems, nullptr);

    auto ole = control.As<IOleObject>(IID_IOleObject);
    DWORD status = 0;
    EXPECT_EQ(ole->GetMiscStatus(DVASPECT_CONTENT, &status), S_OK);
    EXPECT_EQ(status, 132497u);
    CLSID clsid{};
    EXPECT_EQ(ole->GetUserClassID(&clsid), S_OK);
    EXPECT_TRUE(IsEqualCLSID(clsid, CLSID_ITunaraActiveXChat));
    LPOLESTR type = nullptr;
    ASSERT_EQ(ole->GetUserType(USERCLASSTYPE_FULL, &type), S_OK);
    EXPECT_STREQ(type, L"ITunaraActiveXChat Class");
    CoTaskMemFree(type);
    auto persist = control.As<IPersist>(IID_IPersist);
    EXPECT_EQ(persist->GetClassID(&clsid), S_OK);
    EXPECT_TRUE(IsEqualCLSID(clsid, CLSID_ITunaraActiveXChat));
}
