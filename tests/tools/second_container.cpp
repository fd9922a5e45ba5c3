// A second container process for the out-of-process suite: creates the control as a local
// server, appends one entry and exits with the number of entries its playlist then holds
// (100 and up: the step that failed).
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>

#include "support/dispatch_call.h"
#include "win/com_ptr.h"

int main()
{
    if (FAILED(CoInitialize(nullptr))) return 100;
    int result = 101;
    {
        CLSID clsid;
        ComPtr<IDispatch> control;
        if (SUCCEEDED(CLSIDFromProgID(L"TunaraXChat.ITunaraActiveXChat", &clsid)) &&
            SUCCEEDED(CoCreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch, control.OutVoid()))) {
            DispatchCall call(control.Get());
            VARIANT name = DispatchCall::Text(L"http://127.0.0.1:9/second");
            result = call.Method(L"AppendFileToPlaylist", {name}) == S_OK ? call.GetLong(L"Nb_Playlist_Items") : 102;
            VariantClear(&name);
        }
    }
    CoUninitialize();
    return result;
}
