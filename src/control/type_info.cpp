#include "control/type_info.h"

#include "engine/engine_context.h"
#include "win/com_ptr.h"

HRESULT LoadControlTypeInfo(REFGUID guid, ITypeInfo** info)
{
    if (!info) return E_POINTER;
    *info = nullptr;
    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(engine.moduleInstance, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return TYPE_E_CANTLOADLIBRARY;
    ComPtr<ITypeLib> library;
    HRESULT hr = LoadTypeLibEx(path, REGKIND_NONE, library.Out());
    if (FAILED(hr)) return hr;
    return library->GetTypeInfoOfGuid(guid, info);
}
