#pragma once
// Creates the registered control the way a container does.
#include <windows.h>
#include <objbase.h>

#include "tunaraxchat.h"
#include "win/com_ptr.h"

inline ComPtr<IUnknown> CreateControl()
{
    ComPtr<IUnknown> control;
    CoCreateInstance(CLSID_ITunaraActiveXChat, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                     control.OutVoid());
    return control;
}
