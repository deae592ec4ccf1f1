#include "module/EntryPoints.h"

#include <algorithm>

#include "ids/OrvexTypeLibIds.h"
#include "module/OrvexFactories.h"
#include "module/OrvexViewerApp.h"
#include "platform/afx/OleRegistration.h"
#include "platform/com/ComPtr.h"
#include "platform/com/TypeLibRegistration.h"

namespace {
// Registration of the module's own factories, stopping at the first that fails.
BOOL UpdateModuleRegistry(BOOL bRegister) {
    for (COleObjectFactory* f : GetOrvexFactories())
        if (!f->UpdateRegistry(bRegister)) return FALSE;
    return TRUE;
}
}  // namespace

HRESULT DllRegisterServer() {
    if (!LoadOrvexModule()) return E_UNEXPECTED;
    if (!AfxOleRegisterTypeLib(AfxGetInstanceHandle(), LIBID_ORVEXVIEWERLib)) return SELFREG_E_TYPELIB;
    if (!UpdateModuleRegistry(TRUE)) return SELFREG_E_CLASS;
    return S_OK;
}

HRESULT DllUnregisterServer() {
    if (!LoadOrvexModule()) return E_UNEXPECTED;
    if (!AfxOleUnregisterTypeLib(LIBID_ORVEXVIEWERLib, kOrvexTypeLibMajor, kOrvexTypeLibMinor, 0))
        return SELFREG_E_TYPELIB;
    if (!UpdateModuleRegistry(FALSE)) return SELFREG_E_CLASS;
    return S_OK;
}

HRESULT DllGetClassObject(REFCLSID rclsid, REFIID riid, void** ppv) {
    if (ppv == nullptr) return E_POINTER;
    *ppv = nullptr;
    if (!LoadOrvexModule()) return E_UNEXPECTED;
    const auto& factories = GetOrvexFactories();
    bool ours = std::any_of(factories.begin(), factories.end(),
                            [&](const COleObjectFactory* f) { return f->GetClassID() == rclsid; });
    if (!ours) return CLASS_E_CLASSNOTAVAILABLE;
    return COleObjectFactory::GetClassObject(rclsid, riid, ppv);
}

HRESULT DllCanUnloadNow() { return COleObjectFactory::CanUnloadNow(); }

HRESULT OrvexCreateInstance(REFCLSID clsid, REFIID riid, void** ppv) {
    if (ppv == nullptr) return E_POINTER;
    *ppv = nullptr;
    CComPtr<IClassFactory> factory;
    HRESULT hr = DllGetClassObject(clsid, IID_IClassFactory, reinterpret_cast<void**>(&factory));
    if (FAILED(hr)) return hr == CLASS_E_CLASSNOTAVAILABLE ? REGDB_E_CLASSNOTREG : hr;
    return factory->CreateInstance(nullptr, riid, ppv);
}

HRESULT OrvexCreateInstance(const std::string& progID, REFIID riid, void** ppv) {
    if (ppv == nullptr) return E_POINTER;
    *ppv = nullptr;
    for (const COleObjectFactory* f : GetOrvexFactories())
        if (progID == f->GetProgID()) return OrvexCreateInstance(f->GetClassID(), riid, ppv);
    return REGDB_E_CLASSNOTREG;
}
