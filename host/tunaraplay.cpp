// tunaraplay: a console container for the control. Creates it by ProgID, connects an event sink,
// starts the engine, adds the names given on the command line, runs a message loop and prints
// what happens.
//   tunaraplay [name ...]
#include <objbase.h>
#include <ocidl.h>

#include <cstdio>

#include "event_sink.h"
#include "tunaraxchat.h"
#include "win/bstr.h"
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

// Appends each name and shows the playlist as the control reports it.
void ShowPlaylist(ITunaraXChat2* control, int argc, wchar_t** argv)
{
    for (int i = 1; i < argc; ++i) {
        Bstr name(argv[i]);
        HRESULT hr = control->AppendFileToPlaylist(name.Get());
        if (hr != S_OK) std::printf("tunaraplay: %ls not added (0x%08lx)\n", argv[i], hr);
    }
    LONG count = 0;
    control->get_Nb_Playlist_Items(&count);
    std::printf("playlist: %ld entries\n", count);
    for (LONG i = 0; i < count; ++i) {
        Variant name, title, length;
        control->GetPlaylistItem(i, name.Get(), title.Get(), length.Get());
        std::printf("  %ld. %ls (%ld s) %ls\n", i + 1, title->bstrVal, length->lVal, name->bstrVal);
    }
    Variant types;
    if (SUCCEEDED(control->GetFiletypes(types.Get()))) std::printf("file types: %ls\n", types->bstrVal);
}

int Run(int argc, wchar_t** argv)
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

    control->Initialize();
    ShowPlaylist(control.Get(), argc, argv);
    PumpMessages(100);
    control->Deinitialize();
    if (point && cookie) point->Unadvise(cookie);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    if (FAILED(CoInitialize(nullptr))) return 2;
    int result = Run(argc, argv);
    CoUninitialize();
    return result;
}
