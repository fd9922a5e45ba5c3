#include "event_sink.h"

#include <cstdio>

#include "event_names.h"
#include "tunaraxchat.h"

HRESULT PrintingSink::QueryInterface(REFIID iid, void** out)
{
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
        IsEqualIID(iid, DIID__ITunaraXChatEvents)) {
        *out = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

ULONG PrintingSink::AddRef() { return InterlockedIncrement(&refs_); }
ULONG PrintingSink::Release() { return InterlockedDecrement(&refs_); }

HRESULT PrintingSink::GetTypeInfoCount(UINT* count)
{
    if (count) *count = 0;
    return S_OK;
}

HRESULT PrintingSink::GetTypeInfo(UINT, LCID, ITypeInfo** info)
{
    if (info) *info = nullptr;
    return E_NOTIMPL;
}

HRESULT PrintingSink::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }

HRESULT PrintingSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*,
                             EXCEPINFO*, UINT*)
{
    if (!params) return E_POINTER;
    // Arguments arrive last to first.
    if (id == 1 && params->cArgs == 1) {
        long msgId = params->rgvarg[0].lVal;
        std::printf("event TunaraMsgEvent %ld: %s\n", msgId, MsgEventMeaning(msgId));
    } else if (id == 2 && params->cArgs == 2) {
        long msgId = params->rgvarg[1].lVal;
        long comp = params->rgvarg[0].lVal;
        std::printf("event TunaraStatus %ld (%ld): %s\n", msgId, comp, StatusMeaning(msgId));
    }
    std::fflush(stdout);
    return S_OK;
}
