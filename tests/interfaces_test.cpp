// The interfaces a container finds on the control, and the container-facing services behind them.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>
#include <objsafe.h>

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
