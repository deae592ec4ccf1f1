#include "platform/afx/OleRegistration.h"

#include <cstdio>

#include "platform/com/Registry.h"
#include "platform/com/TypeLibRegistration.h"

namespace {

std::string ClsidKey(REFCLSID clsid) { return std::string(kClassesRoot) + "\\CLSID\\" + StringFromGUID(clsid); }

// Runs the writes; on any failure puts the registry back as it was.
template <class Fn>
BOOL AllOrNothing(Fn writes) {
    CRegistry& reg = GetCurrentRegistry();
    const CRegistry before = reg;
    if (writes(reg)) return TRUE;
    reg = before;
    return FALSE;
}

const char* ThreadingModel(int nRegFlags) {
    if ((nRegFlags & afxRegApartmentThreading) && (nRegFlags & afxRegFreeThreading)) return "Both";
    if (nRegFlags & afxRegFreeThreading) return "Free";
    if (nRegFlags & afxRegApartmentThreading) return "Apartment";
    return nullptr;
}

}  // namespace

BOOL AfxOleRegisterControlClass(HINSTANCE hInstance, REFCLSID clsid, LPCTSTR pszProgID, UINT idTypeName,
                                UINT idBitmap, int nRegFlags, DWORD dwMiscStatus, REFGUID tlid, WORD wVerMajor,
                                WORD wVerMinor) {
    std::string typeName;
    if (hInstance == nullptr || !AfxLoadString(idTypeName, typeName, hInstance)) return FALSE;
    const std::string path = hInstance->modulePath;
    return AllOrNothing([&](CRegistry& reg) {
        const std::string key = ClsidKey(clsid);
        char misc[16], version[32];
        std::snprintf(misc, sizeof misc, "%u", dwMiscStatus);
        std::snprintf(version, sizeof version, "%u.%u", wVerMajor, wVerMinor);
        bool ok = reg.SetStringValue(key, "", typeName) == ERROR_SUCCESS &&
                  reg.SetStringValue(key + "\\InprocServer32", "", path) == ERROR_SUCCESS;
        if (ok && ThreadingModel(nRegFlags))
            ok = reg.SetStringValue(key + "\\InprocServer32", "ThreadingModel", ThreadingModel(nRegFlags)) ==
                 ERROR_SUCCESS;
        ok = ok && reg.CreateKey(key + "\\Control") == ERROR_SUCCESS &&
             reg.SetStringValue(key + "\\ToolboxBitmap32", "", path + ", " + std::to_string(idBitmap)) ==
                 ERROR_SUCCESS &&
             reg.SetStringValue(key + "\\MiscStatus", "", "0") == ERROR_SUCCESS &&
             reg.SetStringValue(key + "\\MiscStatus\\1", "", misc) == ERROR_SUCCESS &&
             reg.SetStringValue(key + "\\TypeLib", "", StringFromGUID(tlid)) == ERROR_SUCCESS &&
             reg.SetStringValue(key + "\\Version", "", version) == ERROR_SUCCESS;
        if (ok && (nRegFlags & afxRegInsertable)) ok = reg.CreateKey(key + "\\Insertable") == ERROR_SUCCESS;
        if (ok && pszProgID && *pszProgID) {
            const std::string progKey = std::string(kClassesRoot) + "\\" + pszProgID;
            ok = reg.SetStringValue(key + "\\ProgID", "", pszProgID) == ERROR_SUCCESS &&
                 reg.SetStringValue(progKey, "", typeName) == ERROR_SUCCESS &&
                 reg.SetStringValue(progKey + "\\CLSID", "", StringFromGUID(clsid)) == ERROR_SUCCESS;
        }
        return ok;
    });
}

BOOL AfxOleRegisterPropertyPageClass(HINSTANCE hInstance, REFCLSID clsid, UINT idTypeName, int nRegFlags) {
    std::string typeName;
    if (hInstance == nullptr || !AfxLoadString(idTypeName, typeName, hInstance)) return FALSE;
    const std::string path = hInstance->modulePath;
    return AllOrNothing([&](CRegistry& reg) {
        const std::string key = ClsidKey(clsid);
        bool ok = reg.SetStringValue(key, "", typeName) == ERROR_SUCCESS &&
                  reg.SetStringValue(key + "\\InprocServer32", "", path) == ERROR_SUCCESS;
        if (ok && ThreadingModel(nRegFlags))
            ok = reg.SetStringValue(key + "\\InprocServer32", "ThreadingModel", ThreadingModel(nRegFlags)) ==
                 ERROR_SUCCESS;
        return ok;
    });
}

BOOL AfxOleUnregisterClass(REFCLSID clsid, LPCTSTR pszProgID) {
    return AllOrNothing([&](CRegistry& reg) {
        LONG rc = reg.DeleteTree(ClsidKey(clsid));
        bool ok = rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
        if (ok) reg.PruneEmptyParents(ClsidKey(clsid));
        if (ok && pszProgID && *pszProgID) {
            rc = reg.DeleteTree(std::string(kClassesRoot) + "\\" + pszProgID);
            ok = rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
        }
        return ok;
    });
}

BOOL AfxOleRegisterTypeLib(HINSTANCE hInstance, REFGUID tlid, LPCTSTR pszFileName, LPCTSTR pszHelpDir) {
    std::string path = pszFileName ? pszFileName : (hInstance ? hInstance->modulePath : std::string());
    if (path.empty()) return FALSE;
    const CTypeLibrary* lib = nullptr;
    if (FAILED(LoadTypeLib(path, &lib)) || lib == nullptr || lib->GetLibId() != tlid) return FALSE;
    return SUCCEEDED(RegisterTypeLib(*lib, path, pszHelpDir ? pszHelpDir : ""));
}

BOOL AfxOleUnregisterTypeLib(REFGUID tlid, WORD wVerMajor, WORD wVerMinor, LCID lcid) {
    return SUCCEEDED(UnRegisterTypeLib(tlid, wVerMajor, wVerMinor, lcid, SYS_WIN32));
}
