// tunaraplay: a console container for the control. Creates it by ProgID, connects an event sink,
// runs a message loop and prints what happens.
#include <objbase.h>
#include <ocidl.h>

#include <cstdio>

#include "event_sink.h"
#include "tunaraxchat.h"
#include "win/com_ptr.h"
#include "win/variant.h"

namespace {

constexpr wchar_t kProgId[] = L"TunaraXChat.ITunaraActiveXChat";

void PumpMessages(DWORD milliseconds)
{
    DWORD start = GetTickCount();
    MSG message;
    while (GetTickCount() - start < milliseconds) {
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

int Run()
{
    CLSID clsid;
    HRESULT hr = CLSIDFromProgID(kProgId, &clsid);
    if (FAILED(hr)) {
        std::printf("tunaraplay: the control is not registered (0x%08lx)\n", hr);
        return 2;
    }
    ComPtr<ITunaraXChat2> control;
    hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_ITunaraXChat2, control.OutVoid());
    if (FAILED(hr)) {
        std::printf("tunaraplay: cannot create the control (0x%08lx)\n", hr);
        return 2;
    }

    PrintingSink sink;
    ComPtr<IConnectionPoint> point;
    DWORD cookie = 0;
    auto container = control.As<IConnectionPointContainer>(IID_IConnectionPointContainer);
    if (container && SUCCEEDED(container->FindConnectionPoint(DIID__ITunaraXChatEvents, point.Out())))
        point->Advise(&sink, &cookie);

    Variant engineVersion, comVersion;
    hr = control->GetVersion(engineVersion.Get(), comVersion.Get());
    if (FAILED(hr)) {
        std::printf("tunaraplay: GetVersion failed (0x%08lx)\n", hr);
        return 1;
    }
    std::printf("TunaraXChat engine %ls, COM layer %ls\n", engineVersion->bstrVal, comVersion->bstrVal);

    PumpMessages(100);
    if (point && cookie) point->Unadvise(cookie);
    return 0;
}

}  // namespace

int main()
{
    if (FAILED(CoInitialize(nullptr))) return 2;
    int result = Run();
    CoUninitialize();
    return result;
}
