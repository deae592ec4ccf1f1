#pragma once
// Type-library registration: a module makes its type libraries known to the process (as loading
// the module makes its resources available), RegisterTypeLib writes the library and its interfaces
// to the current registry, and LoadRegTypeLib finds a registered library again by identifier and
// version. The registry is the one GetCurrentRegistry() names.
#include <string>

#include "platform/com/Dispatch.h"
#include "platform/com/TypeLib.h"

constexpr HRESULT TYPE_E_REGISTRYACCESS = static_cast<HRESULT>(0x8002801C);
constexpr HRESULT TYPE_E_LIBNOTREGISTERED = static_cast<HRESULT>(0x8002801D);
constexpr HRESULT TYPE_E_CANTLOADLIBRARY = static_cast<HRESULT>(0x80029C4A);
// The results of a module's self-registration entry points.
constexpr HRESULT SELFREG_E_TYPELIB = static_cast<HRESULT>(0x80040200);
constexpr HRESULT SELFREG_E_CLASS = static_cast<HRESULT>(0x80040201);

enum SYSKIND { SYS_WIN16 = 0, SYS_WIN32 = 1, SYS_MAC = 2, SYS_WIN64 = 3 };

// The marshaller every dispatch interface is registered with.
// {00020420-0000-0000-C000-000000000046}
constexpr CLSID CLSID_PSDispatch = {0x00020420, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// Makes `lib` loadable from `modulePath` (the module file whose resources hold it). The library
// must outlive its use; a module calls this once when it is loaded.
void AddModuleTypeLib(const std::string& modulePath, const CTypeLibrary& lib);
// Takes it away again (the module is unloaded).
void RemoveModuleTypeLib(const std::string& modulePath);

// The library in a module file; TYPE_E_CANTLOADLIBRARY when no loaded module has that path.
HRESULT LoadTypeLib(const std::string& path, const CTypeLibrary** ppLib);

// Writes the library (TypeLib\{libid}\major.minor with its help string, 0\win32 path, FLAGS and
// HELPDIR; an empty help folder means the module's folder) and each of its interfaces
// (Interface\{iid} with the dispatch marshaller and the library). All or nothing: on a refused
// write the registry is left as it was and the result is TYPE_E_REGISTRYACCESS.
HRESULT RegisterTypeLib(const CTypeLibrary& lib, const std::string& fullPath, const std::string& helpDir);
// Removes what RegisterTypeLib wrote for that version; TYPE_E_LIBNOTREGISTERED when it is not
// registered, TYPE_E_REGISTRYACCESS when a removal is refused (the registry is then unchanged).
HRESULT UnRegisterTypeLib(REFGUID libid, WORD wVerMajor, WORD wVerMinor, LCID lcid, SYSKIND syskind);
// The registered library of that identifier, major version and at least that minor version (the
// highest such), in the locale's folder or the neutral one; TYPE_E_LIBNOTREGISTERED when none
// is registered, TYPE_E_CANTLOADLIBRARY when its file is not a loaded module.
HRESULT LoadRegTypeLib(REFGUID libid, WORD wVerMajor, WORD wVerMinor, LCID lcid, const CTypeLibrary** ppLib);
