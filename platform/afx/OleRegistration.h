#pragma once
// The framework's registration services: control classes, property-page classes and type
// libraries written to (and removed from) the current registry, with the module's resources
// supplying type names and the module's file.
#include "platform/afx/COleControlModule.h"
#include "platform/com/Dispatch.h"

// Registration flags of control classes.
constexpr int afxRegDefault = 0x0000;
constexpr int afxRegInsertable = 0x0001;
constexpr int afxRegApartmentThreading = 0x0002;
constexpr int afxRegFreeThreading = 0x0004;

// Miscellaneous status bits of controls.
constexpr DWORD OLEMISC_RECOMPOSEONRESIZE = 0x00000001;
constexpr DWORD OLEMISC_CANTLINKINSIDE = 0x00000010;
constexpr DWORD OLEMISC_INSIDEOUT = 0x00000080;
constexpr DWORD OLEMISC_ACTIVATEWHENVISIBLE = 0x00000100;
constexpr DWORD OLEMISC_SETCLIENTSITEFIRST = 0x00020000;

// CLSID\{clsid} with the type name, InprocServer32 (module file, threading model), Control,
// ToolboxBitmap32 ("file, id"), MiscStatus, ProgID, TypeLib and Version; and ProgID\CLSID.
// All or nothing: FALSE leaves the registry as it was.
BOOL AfxOleRegisterControlClass(HINSTANCE hInstance, REFCLSID clsid, LPCTSTR pszProgID, UINT idTypeName,
                                UINT idBitmap, int nRegFlags, DWORD dwMiscStatus, REFGUID tlid, WORD wVerMajor,
                                WORD wVerMinor);
// CLSID\{clsid} with the type name and InprocServer32; a page has no ProgID in the registry.
BOOL AfxOleRegisterPropertyPageClass(HINSTANCE hInstance, REFCLSID clsid, UINT idTypeName,
                                     int nRegFlags = afxRegDefault);
// Removes CLSID\{clsid} and, when given, the ProgID's key. Absent keys are not an error.
BOOL AfxOleUnregisterClass(REFCLSID clsid, LPCTSTR pszProgID);
// Registers the type library held by the module (pszFileName: another file; none: the module's),
// checking that it is the library `tlid`.
BOOL AfxOleRegisterTypeLib(HINSTANCE hInstance, REFGUID tlid, LPCTSTR pszFileName = nullptr,
                           LPCTSTR pszHelpDir = nullptr);
BOOL AfxOleUnregisterTypeLib(REFGUID tlid, WORD wVerMajor = 0, WORD wVerMinor = 0, LCID lcid = 0);
