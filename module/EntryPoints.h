#pragma once
// The module's four exported entry points, and object creation through them for the host.
#include <string>

#include "platform/com/Unknown.h"

// Registers the type library, then every class; SELFREG_E_TYPELIB or SELFREG_E_CLASS at the first
// failure (nothing after it is attempted).
HRESULT DllRegisterServer();
// Unregisters the type library (1.0, neutral locale), then every class; the same results.
HRESULT DllUnregisterServer();
// The class factory of a class the module serves (CLASS_E_CLASSNOTAVAILABLE for others).
HRESULT DllGetClassObject(REFCLSID rclsid, REFIID riid, void** ppv);
// S_OK when no object of the module is alive and no lock is held.
HRESULT DllCanUnloadNow();

// Creates an object of the module by ProgID the way a container does: ProgID to class identifier,
// DllGetClassObject, IClassFactory::CreateInstance. REGDB_E_CLASSNOTREG for an unknown ProgID.
HRESULT OrvexCreateInstance(const std::string& progID, REFIID riid, void** ppv);
HRESULT OrvexCreateInstance(REFCLSID clsid, REFIID riid, void** ppv);
