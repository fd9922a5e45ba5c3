// IClassFactory for the control class, and DllGetClassObject.
#include <objbase.h>

#include "server/control_object.h"
#include "server/module.h"
#include "tunaraxchat.h"
#include "win/guarded.h"

namespace {

// One static factory: a reference to it, like LockServer, keeps the module loaded.
class ControlFactory final : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (!out) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
            *out = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { ModuleLock(); return 2; }
    ULONG STDMETHODCALLTYPE Release() override { ModuleUnlock(); return 1; }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override
    {
        return GuardedCom([&] { return ControlObject::Create(outer, iid, out); });
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override
    {
        if (lock) ModuleLock(); else ModuleUnlock();
        return S_OK;
    }
};

ControlFactory factory;

}  // namespace

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out)
{
    return GuardedCom([&]() -> HRESULT {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (!IsEqualCLSID(clsid, CLSID_ITunaraActiveXChat)) return CLASS_E_CLASSNOTAVAILABLE;
        return factory.QueryInterface(iid, out);
    });
}
