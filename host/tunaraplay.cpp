// tunaraplay: a console container for the control. Creates it by ProgID, connects an event sink,
// starts the engine, adds the names given on the command line (files, streams or lists) and plays
// them, running a message loop (advances and cuts arrive as posted messages) and printing every
// event, the current entry and its position until the list has played or Ctrl+C stops it.
//   tunaraplay [name ...]
#include <objbase.h>
#include <ocidl.h>

#include <cstdio>
#include <string>

#include "event_sink.h"
#include "tunaraxchat.h"
#include "win/bstr.h"
#include "win/com_ptr.h"
#include "win/variant.h"

namespace {

constexpr wchar_t kProgId[] = L"TunaraXChat.ITunaraActiveXChat";
// Stopped this long: the list has played (a failed start's advance comes well within it).
constexpr DWORD kQuietEndMs = 1500;
constexpr DWORD kPositionEveryMs = 1000;

volatile LONG interrupted = 0;

BOOL WINAPI OnConsoleControl(DWORD)
{
    InterlockedExchange(&interrupted, 1);
    return TRUE;
}

void PumpMessages()
{
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
}

void PrintTime(const char* label, LONG seconds)
{
    if (seconds < 0) std::printf("%s --:--", label);
    else std::printf("%s %ld:%02ld", label, seconds / 60, seconds % 60);
}

// Plays the list from its current entry until it has played or Ctrl+C; shows the current entry
// whenever it changes and the position once a second.
void PlayList(ITunaraXChat2* control)
{
    SetConsoleCtrlHandler(OnConsoleControl, TRUE);
    control->Play();
    std::wstring shown;
    DWORD lastPosition = 0;
    DWORD stoppedSince = GetTickCount();
    while (!interrupted) {
        PumpMessages();
        Variant name, title;
        control->GetCurrentPlaylistItem(name.Get(), title.Get());
        LONG status = 0;
        control->get_Status(&status);
        if (status != 0 && shown != title->bstrVal) {
            shown = title->bstrVal;
            std::printf("current: %ls (%ls)\n", title->bstrVal, name->bstrVal);
        }
        DWORD now = GetTickCount();
        if (status != 0) {
            stoppedSince = now;
            if (now - lastPosition >= kPositionEveryMs) {
                lastPosition = now;
                LONG position = 0, length = -1;
                control->get_Position(&position);
                control->get_Length(&length);
                PrintTime("  position", position);
                PrintTime(" /", length);
                std::printf("%s\n", status == 2 ? " (paused)" : "");
            }
        } else if (now - stoppedSince >= kQuietEndMs) {
            break;
        }
        std::fflush(stdout);
    }
    if (interrupted) std::printf("tunaraplay: interrupted, stopping\n");
    control->Stop();
    std::printf("tunaraplay: done\n");
}

// Appends each name and shows the playlist as the control reports it.
void ShowPlaylist(ITunaraXChat2* control, int argc, wchar_t** argv)
{
    for (int i = 1; i < argc; ++i) {
        Bstr name(SysAllocString(argv[i]));
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
    LONG count = 0;
    control->get_Nb_Playlist_Items(&count);
    if (count > 0) PlayList(control.Get());
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
