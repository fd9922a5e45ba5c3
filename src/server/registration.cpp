// DllRegisterServer and DllUnregisterServer: the registration script resource applied by the
// platform's registrar object, and the type library's own registration.
#include <objbase.h>
#include <oleauto.h>

#include "server/module.h"
#include "server/registrar.h"
#include "server/resource.h"
#include "tunaraxchat.h"
#include "win/com_ptr.h"
#include "win/guarded.h"
#include "win/unique_resource.h"

namespace {

// A successful CoInitialize on this thread, balanced by CoUninitialize.
struct ComInitializationTraits {
    using Type = bool;
    static Type None() noexcept { return false; }
    static void Close(Type) noexcept { CoUninitialize(); }
};
// Keeps COM initialised for the duration of a registration call.
using ComScope = UniqueResource<ComInitializationTraits>;

ComScope InitializeCom() { return ComScope(SUCCEEDED(CoInitialize(nullptr))); }

HRESULT ApplyScript(const wchar_t* path, bool install)
{
    ComPtr<IRegistrar> registrar;
    HRESULT hr = CoCreateInstance(kClsidRegistrar, nullptr, CLSCTX_INPROC_SERVER, kIidRegistrar,
                                  registrar.OutVoid());
    if (FAILED(hr)) return hr;
    hr = registrar->AddReplacement(L"MODULE", path);
    if (FAILED(hr)) return hr;
    return install ? registrar->ResourceRegister(path, IDR_REGISTRATION, L"REGISTRY")
                   : registrar->ResourceUnregister(path, IDR_REGISTRATION, L"REGISTRY");
}

HRESULT RegisterTypeLibrary(const wchar_t* path)
{
    ComPtr<ITypeLib> library;
    HRESULT hr = LoadTypeLibEx(path, REGKIND_NONE, library.Out());
    if (FAILED(hr)) return hr;
    return RegisterTypeLib(library.Get(), const_cast<wchar_t*>(path), nullptr);
}

HRESULT UnregisterTypeLibrary(const wchar_t* path)
{
    ComPtr<ITypeLib> library;
    HRESULT hr = LoadTypeLibEx(path, REGKIND_NONE, library.Out());
    if (FAILED(hr)) return hr;
    TLIBATTR* attr = nullptr;
    hr = library->GetLibAttr(&attr);
    if (FAILED(hr)) return hr;
    // A library that is not registered (a second unregistration) is as good as removed.
    Bstr registeredPath;
    if (FAILED(QueryPathOfRegTypeLib(attr->guid, attr->wMajorVerNum, attr->wMinorVerNum, attr->lcid,
                                     registeredPath.Out()))) {
        library->ReleaseTLibAttr(attr);
        return S_OK;
    }
    hr = UnRegisterTypeLib(attr->guid, attr->wMajorVerNum, attr->wMinorVerNum, attr->lcid,
                           attr->syskind);
    library->ReleaseTLibAttr(attr);
    return hr;
}

}  // namespace

STDAPI DllRegisterServer()
{
    return GuardedCom([]() -> HRESULT {
        const ComScope com = InitializeCom();
        wchar_t path[MAX_PATH];
        if (!ModulePath(path)) return E_FAIL;
        HRESULT hr = ApplyScript(path, true);
        if (FAILED(hr)) return hr;
        return RegisterTypeLibrary(path);
    });
}

STDAPI DllUnregisterServer()
{
    return GuardedCom([]() -> HRESULT {
        const ComScope com = InitializeCom();
        wchar_t path[MAX_PATH];
        if (!ModulePath(path)) return E_FAIL;
        HRESULT hr = ApplyScript(path, false);
        HRESULT typeLibResult = UnregisterTypeLibrary(path);
        return FAILED(hr) ? hr : typeLibResult;
    });
}
