#include "platform/afx/COleObjectFactory.h"

#include <algorithm>
#include <atomic>

namespace {
std::atomic<LONG> g_objectCount{0};
std::atomic<LONG> g_lockCount{0};

// Function-local so that static factories of any translation unit can join it safely.
std::vector<COleObjectFactory*>& FactoryList() {
    static std::vector<COleObjectFactory*> list;
    return list;
}
}  // namespace

void AfxOleLockApp() { ++g_objectCount; }
void AfxOleUnlockApp() { --g_objectCount; }
LONG AfxOleGetObjectCount() { return g_objectCount.load(); }

COleObjectFactory::COleObjectFactory(REFCLSID clsid, CreateObjectFn pfnCreateObject, BOOL bMultiInstance,
                                     LPCTSTR lpszProgID)
    : m_clsid(clsid), m_pfnCreateObject(pfnCreateObject), m_bMultiInstance(bMultiInstance),
      m_strProgID(lpszProgID ? lpszProgID : "") {
    FactoryList().push_back(this);
}

COleObjectFactory::~COleObjectFactory() {
    auto& list = FactoryList();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

HRESULT COleObjectFactory::QueryInterface(REFIID riid, void** ppvObject) {
    if (ppvObject == nullptr) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IClassFactory) {
        *ppvObject = static_cast<IClassFactory*>(this);
        return S_OK;
    }
    *ppvObject = nullptr;
    return E_NOINTERFACE;
}

HRESULT COleObjectFactory::CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppvObject) {
    if (ppvObject == nullptr) return E_POINTER;
    *ppvObject = nullptr;
    if (pUnkOuter != nullptr) return CLASS_E_NOAGGREGATION;
    if (m_pfnCreateObject == nullptr) return E_UNEXPECTED;
    IUnknown* object = m_pfnCreateObject();
    if (object == nullptr) return E_OUTOFMEMORY;
    HRESULT hr = object->QueryInterface(riid, ppvObject);
    object->Release();  // the caller's reference (if any) is the one QueryInterface added
    return hr;
}

HRESULT COleObjectFactory::LockServer(BOOL fLock) {
    if (fLock)
        ++g_lockCount;
    else if (g_lockCount > 0)
        --g_lockCount;
    else
        return E_UNEXPECTED;
    return S_OK;
}

BOOL COleObjectFactory::UpdateRegistry(BOOL) { return TRUE; }

const std::vector<COleObjectFactory*>& COleObjectFactory::GetFactories() { return FactoryList(); }

COleObjectFactory* COleObjectFactory::FindByClassID(REFCLSID clsid) {
    for (COleObjectFactory* f : FactoryList())
        if (f->m_clsid == clsid) return f;
    return nullptr;
}

COleObjectFactory* COleObjectFactory::FindByProgID(const std::string& progID) {
    if (progID.empty()) return nullptr;
    for (COleObjectFactory* f : FactoryList())
        if (f->m_strProgID == progID) return f;
    return nullptr;
}

HRESULT COleObjectFactory::CreateInstanceByClassID(REFCLSID clsid, REFIID riid, void** ppvObject) {
    if (ppvObject) *ppvObject = nullptr;
    COleObjectFactory* f = FindByClassID(clsid);
    return f ? f->CreateInstance(nullptr, riid, ppvObject) : REGDB_E_CLASSNOTREG;
}

HRESULT COleObjectFactory::CreateInstanceByProgID(const std::string& progID, REFIID riid, void** ppvObject) {
    if (ppvObject) *ppvObject = nullptr;
    COleObjectFactory* f = FindByProgID(progID);
    return f ? f->CreateInstance(nullptr, riid, ppvObject) : REGDB_E_CLASSNOTREG;
}

HRESULT COleObjectFactory::GetClassObject(REFCLSID clsid, REFIID riid, void** ppv) {
    if (ppv == nullptr) return E_POINTER;
    *ppv = nullptr;
    COleObjectFactory* f = FindByClassID(clsid);
    if (f == nullptr) return CLASS_E_CLASSNOTAVAILABLE;
    return f->QueryInterface(riid, ppv);
}

HRESULT COleObjectFactory::CanUnloadNow() {
    return (g_objectCount.load() == 0 && g_lockCount.load() == 0) ? S_OK : S_FALSE;
}

BOOL COleObjectFactory::UpdateRegistryAll(BOOL bRegister) {
    for (COleObjectFactory* f : FactoryList())
        if (!f->UpdateRegistry(bRegister)) return FALSE;
    return TRUE;
}
