#include "module/OrvexTypeLib.h"

#include "ascan/OrvexAscanViewerCtrl.h"
#include "ids/OrvexAscanViewerIds.h"
#include "ids/OrvexTypeLibIds.h"
#include "ids/OrvexViewerIds.h"
#include "platform/com/TypeLibRegistration.h"
#include "viewer/OrvexViewerCtrl.h"

namespace {

constexpr const char* kLibraryName = "ORVEXVIEWERLib";
constexpr const char* kLibraryHelp = "OrvexViewer ActiveX Control module";
constexpr const char* kViewerClassName = "OrvexViewer";
constexpr const char* kViewerClassHelp = "OrvexViewer Control";
constexpr const char* kAscanClassName = "OrvexAscanViewer";
constexpr const char* kAscanClassHelp = "OrvexAscanViewer Control";

// The library declares the viewer's read-only properties before ControlDetectionEnabled, which
// was added later and kept its id.
std::vector<DISPID> ViewerDeclarationOrder() {
    std::vector<DISPID> order;
    for (DISPID id = DISPID_VIEWER_FILENAME; id <= DISPID_VIEWER_CURRENTSNAPSHOT; ++id) order.push_back(id);
    order.insert(order.end(), {DISPID_VIEWER_MAXIMUMRAYTIME, DISPID_VIEWER_NUMBEROFSNAPSHOTS,
                               DISPID_VIEWER_MINIMUMRAYTIME, DISPID_VIEWER_CONTROLDETECTIONENABLED});
    for (DISPID id = DISPID_VIEWER_ZOOMOUT; id <= DISPID_VIEWER_REFRESHORVEXVIEWER; ++id) order.push_back(id);
    return order;
}

// The A-scan control's viewer property comes first in the library, although its id is 7.
std::vector<DISPID> AscanDeclarationOrder() {
    std::vector<DISPID> order = {DISPID_ASCAN_ORVEXVIEWER};
    for (DISPID id = DISPID_ASCAN_ASCANXMIN; id <= DISPID_ASCAN_CONTROLDETECTIONENABLED; ++id) order.push_back(id);
    for (DISPID id = DISPID_ASCAN_UPDATEASCANDATA; id <= DISPID_ASCAN_PANRIGHT; ++id) order.push_back(id);
    return order;
}

// The library's view of a control's interface: the same members, in the library's order.
CDispatchInterface InLibraryOrder(const CDispatchInterface& iface, std::vector<DISPID> order) {
    return CDispatchInterface(iface.GetName(), iface.GetIID(), iface.GetHelp(), iface.GetMembers(), std::move(order),
                              iface.GetRole());
}

}  // namespace

const CTypeLibrary& GetOrvexTypeLibrary() {
    static const CDispatchInterface viewer =
        InLibraryOrder(COrvexViewerCtrl::GetViewerInterface(), ViewerDeclarationOrder());
    static const CDispatchInterface ascan =
        InLibraryOrder(COrvexAscanViewerCtrl::GetAscanInterface(), AscanDeclarationOrder());
    static const CTypeLibrary library = [] {
        CTypeLibrary lib(kLibraryName, LIBID_ORVEXVIEWERLib, kOrvexTypeLibMajor, kOrvexTypeLibMinor, kLibraryHelp);
        const CDispatchInterface& viewerEvents = COrvexViewerCtrl::GetViewerEventInterface();
        const CDispatchInterface& ascanEvents = COrvexAscanViewerCtrl::GetAscanEventInterface();
        lib.AddInterface(viewer);
        lib.AddInterface(viewerEvents);
        lib.AddClass(TypeLibClass{kViewerClassName, CLSID_OrvexViewerCtrl, kViewerClassHelp, &viewer, &viewerEvents});
        lib.AddInterface(ascan);
        lib.AddInterface(ascanEvents);
        lib.AddClass(TypeLibClass{kAscanClassName, CLSID_OrvexAscanViewerCtrl, kAscanClassHelp, &ascan, &ascanEvents});
        return lib;
    }();
    return library;
}

HRESULT GetOrvexControlTypeInfo(REFIID iid, LCID lcid, ITypeInfo** ppTInfo) {
    if (ppTInfo == nullptr) return E_POINTER;
    *ppTInfo = nullptr;
    const CTypeLibrary* lib = nullptr;
    HRESULT hr = LoadRegTypeLib(LIBID_ORVEXVIEWERLib, kOrvexTypeLibMajor, kOrvexTypeLibMinor, lcid, &lib);
    if (FAILED(hr)) return hr;
    return lib->GetTypeInfoOfGuid(iid, ppTInfo);
}
