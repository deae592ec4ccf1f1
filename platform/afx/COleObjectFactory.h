#pragma once
// Class factories: one static factory per creatable class, all on the module's factory list, so
// objects are created by class id (the platform's class-object lookup) or by ProgID (the host).
// The module's object and lock counts decide whether it may be unloaded.
#include <string>
#include <vector>

#include "platform/com/OleInterfaces.h"

// Module-wide count of live objects that keep the module loaded (controls, pages).
void AfxOleLockApp();
void AfxOleUnlockApp();
LONG AfxOleGetObjectCount();

class COleObjectFactory : public IClassFactory {
public:
    // Makes a new object with one reference for the caller, or null when memory runs out.
    using CreateObjectFn = IUnknown* (*)();

    // Joins the module's factory list; leaves it on destruction.
    COleObjectFactory(REFCLSID clsid, CreateObjectFn pfnCreateObject, BOOL bMultiInstance, LPCTSTR lpszProgID);
    COleObjectFactory(const COleObjectFactory&) = delete;
    COleObjectFactory& operator=(const COleObjectFactory&) = delete;
    virtual ~COleObjectFactory();

    // A factory lives as long as the module: references do not end it.
    HRESULT QueryInterface(REFIID riid, void** ppvObject) override;
    ULONG AddRef() override { return 2; }
    ULONG Release() override { return 1; }
    // Aggregation is not supported (CLASS_E_NOAGGREGATION).
    HRESULT CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppvObject) override;
    HRESULT LockServer(BOOL fLock) override;

    REFCLSID GetClassID() const { return m_clsid; }
    LPCTSTR GetProgID() const { return m_strProgID.c_str(); }
    BOOL IsMultiInstance() const { return m_bMultiInstance; }
    // Writes (TRUE) or removes (FALSE) the class's registry data; the module's factories override it.
    virtual BOOL UpdateRegistry(BOOL bRegister);

    // The module's factories in the order they were constructed.
    static const std::vector<COleObjectFactory*>& GetFactories();
    static COleObjectFactory* FindByClassID(REFCLSID clsid);
    // The ProgID compares exactly.
    static COleObjectFactory* FindByProgID(const std::string& progID);
    // Creates an object and asks it for riid; REGDB_E_CLASSNOTREG for an unknown class.
    static HRESULT CreateInstanceByClassID(REFCLSID clsid, REFIID riid, void** ppvObject);
    static HRESULT CreateInstanceByProgID(const std::string& progID, REFIID riid, void** ppvObject);
    // The class-object lookup behind DllGetClassObject (CLASS_E_CLASSNOTAVAILABLE when unknown).
    static HRESULT GetClassObject(REFCLSID clsid, REFIID riid, void** ppv);
    // S_OK when no object is alive and no lock is held, S_FALSE otherwise (DllCanUnloadNow).
    static HRESULT CanUnloadNow();
    // Registers or unregisters every factory; FALSE at the first that fails.
    static BOOL UpdateRegistryAll(BOOL bRegister);

private:
    CLSID m_clsid;
    CreateObjectFn m_pfnCreateObject;
    BOOL m_bMultiInstance;
    std::string m_strProgID;
};
