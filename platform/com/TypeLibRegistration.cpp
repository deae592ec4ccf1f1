#include "platform/com/TypeLibRegistration.h"

#include <cstdio>
#include <map>
#include <vector>

#include "platform/com/Registry.h"

namespace {

std::map<std::string, const CTypeLibrary*>& LoadedLibraries() {
    static std::map<std::string, const CTypeLibrary*> libraries;
    return libraries;
}

std::string VersionText(WORD major, WORD minor) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%x.%x", major, minor);  // the platform writes versions in hex
    return buf;
}

std::string LibKey(REFGUID libid) { return std::string(kClassesRoot) + "\\TypeLib\\" + StringFromGUID(libid); }
std::string InterfaceKey(REFIID iid) { return std::string(kClassesRoot) + "\\Interface\\" + StringFromGUID(iid); }

// The folder part of a path, for a library registered without a help folder.
std::string FolderOf(const std::string& path) {
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

bool ParseVersion(const std::string& text, WORD* major, WORD* minor) {
    unsigned a = 0, b = 0;
    char tail = 0;
    if (std::sscanf(text.c_str(), "%x.%x%c", &a, &b, &tail) != 2 || a > 0xFFFF || b > 0xFFFF) return false;
    *major = static_cast<WORD>(a);
    *minor = static_cast<WORD>(b);
    return true;
}

}  // namespace

void AddModuleTypeLib(const std::string& modulePath, const CTypeLibrary& lib) { LoadedLibraries()[modulePath] = &lib; }

void RemoveModuleTypeLib(const std::string& modulePath) { LoadedLibraries().erase(modulePath); }

HRESULT LoadTypeLib(const std::string& path, const CTypeLibrary** ppLib) {
    if (ppLib == nullptr) return E_POINTER;
    *ppLib = nullptr;
    auto it = LoadedLibraries().find(path);
    if (it == LoadedLibraries().end()) return TYPE_E_CANTLOADLIBRARY;
    *ppLib = it->second;
    return S_OK;
}

HRESULT RegisterTypeLib(const CTypeLibrary& lib, const std::string& fullPath, const std::string& helpDir) {
    CRegistry& reg = GetCurrentRegistry();
    const CRegistry before = reg;
    const std::string versionKey = LibKey(lib.GetLibId()) + "\\" + VersionText(lib.GetMajorVersion(), lib.GetMinorVersion());
    const std::string libid = StringFromGUID(lib.GetLibId());
    const std::string psDispatch = StringFromGUID(CLSID_PSDispatch);
    bool ok = reg.SetStringValue(versionKey, "", lib.GetHelp()) == ERROR_SUCCESS &&
              reg.SetStringValue(versionKey + "\\0\\win32", "", fullPath) == ERROR_SUCCESS &&
              reg.SetStringValue(versionKey + "\\FLAGS", "", "0") == ERROR_SUCCESS &&
              reg.SetStringValue(versionKey + "\\HELPDIR", "", helpDir.empty() ? FolderOf(fullPath) : helpDir) ==
                  ERROR_SUCCESS;
    for (const CTypeLibrary::Entry& e : lib.GetEntries()) {
        if (!ok) break;
        if (e.kind != TKIND_DISPATCH) continue;
        const std::string key = InterfaceKey(e.iface->GetIID());
        ok = reg.SetStringValue(key, "", e.iface->GetName()) == ERROR_SUCCESS &&
             reg.SetStringValue(key + "\\ProxyStubClsid", "", psDispatch) == ERROR_SUCCESS &&
             reg.SetStringValue(key + "\\ProxyStubClsid32", "", psDispatch) == ERROR_SUCCESS &&
             reg.SetStringValue(key + "\\TypeLib", "", libid) == ERROR_SUCCESS &&
             reg.SetStringValue(key + "\\TypeLib", "Version",
                                VersionText(lib.GetMajorVersion(), lib.GetMinorVersion())) == ERROR_SUCCESS;
    }
    if (!ok) {
        reg = before;
        return TYPE_E_REGISTRYACCESS;
    }
    return S_OK;
}

HRESULT UnRegisterTypeLib(REFGUID libid, WORD wVerMajor, WORD wVerMinor, LCID, SYSKIND) {
    CRegistry& reg = GetCurrentRegistry();
    const std::string libKey = LibKey(libid);
    const std::string versionKey = libKey + "\\" + VersionText(wVerMajor, wVerMinor);
    if (!reg.KeyExists(versionKey)) return TYPE_E_LIBNOTREGISTERED;
    const CRegistry before = reg;
    bool ok = true;
    // The interfaces go with the library only when they still name it and this version.
    const std::string libText = StringFromGUID(libid);
    const std::string version = VersionText(wVerMajor, wVerMinor);
    if (const CTypeLibrary* lib = nullptr; LoadRegTypeLib(libid, wVerMajor, wVerMinor, 0, &lib) == S_OK && lib) {
        for (const CTypeLibrary::Entry& e : lib->GetEntries()) {
            if (e.kind != TKIND_DISPATCH) continue;
            const std::string key = InterfaceKey(e.iface->GetIID());
            auto owner = reg.QueryValue(key + "\\TypeLib", "");
            auto ownerVersion = reg.QueryValue(key + "\\TypeLib", "Version");
            if (owner && owner->text == libText && ownerVersion && ownerVersion->text == version) {
                ok = ok && reg.DeleteTree(key) == ERROR_SUCCESS;
                reg.PruneEmptyParents(key);
            }
        }
    }
    ok = ok && reg.DeleteTree(versionKey) == ERROR_SUCCESS;
    if (ok) reg.PruneEmptyParents(versionKey);
    if (!ok) {
        reg = before;
        return TYPE_E_REGISTRYACCESS;
    }
    return S_OK;
}

HRESULT LoadRegTypeLib(REFGUID libid, WORD wVerMajor, WORD wVerMinor, LCID lcid, const CTypeLibrary** ppLib) {
    if (ppLib == nullptr) return E_POINTER;
    *ppLib = nullptr;
    const CRegistry& reg = GetCurrentRegistry();
    const std::string libKey = LibKey(libid);
    // The highest registered minor version of the major version asked for.
    std::string best;
    WORD bestMinor = 0;
    for (const std::string& v : reg.EnumKeys(libKey)) {
        WORD major = 0, minor = 0;
        if (!ParseVersion(v, &major, &minor) || major != wVerMajor || minor < wVerMinor) continue;
        if (best.empty() || minor > bestMinor) {
            best = v;
            bestMinor = minor;
        }
    }
    if (best.empty()) return TYPE_E_LIBNOTREGISTERED;
    char lcidText[16];
    std::snprintf(lcidText, sizeof lcidText, "%x", lcid);
    std::optional<RegValue> path = reg.QueryValue(libKey + "\\" + best + "\\" + lcidText + "\\win32", "");
    if (!path) path = reg.QueryValue(libKey + "\\" + best + "\\0\\win32", "");
    if (!path || path->type != REG_SZ) return TYPE_E_LIBNOTREGISTERED;
    return LoadTypeLib(path->text, ppLib);
}
