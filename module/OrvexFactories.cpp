#include "module/OrvexFactories.h"

#include "ascan/OrvexAscanViewerCtrl.h"
#include "ids/OrvexAscanViewerIds.h"
#include "ids/OrvexTypeLibIds.h"
#include "ids/OrvexViewerIds.h"
#include "module/resource.h"
#include "pages/OrvexAscanViewerPropPage.h"
#include "pages/OrvexViewerPropPage.h"
#include "pages/OrvexViewerPropPage2.h"
#include "pages/PageResourceIds.h"
#include "platform/afx/OleRegistration.h"
#include "viewer/OrvexViewerCtrl.h"

namespace {

// Both controls: recompose on resize, no links inside, inside-out, active when visible, client
// site first (131473).
constexpr DWORD kControlMiscStatus = OLEMISC_RECOMPOSEONRESIZE | OLEMISC_CANTLINKINSIDE | OLEMISC_INSIDEOUT |
                                     OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_SETCLIENTSITEFIRST;
static_assert(kControlMiscStatus == 0x20191);

// A control class: registered with its ProgID, type name, toolbox bitmap and type library.
class CControlFactory : public COleObjectFactory {
public:
    CControlFactory(REFCLSID clsid, CreateObjectFn create, LPCTSTR progID, UINT idTypeName, UINT idBitmap)
        : COleObjectFactory(clsid, create, FALSE, progID), m_idTypeName(idTypeName), m_idBitmap(idBitmap) {}

    BOOL UpdateRegistry(BOOL bRegister) override {
        if (!bRegister) return AfxOleUnregisterClass(GetClassID(), GetProgID());
        return AfxOleRegisterControlClass(AfxGetInstanceHandle(), GetClassID(), GetProgID(), m_idTypeName, m_idBitmap,
                                          afxRegApartmentThreading, kControlMiscStatus, LIBID_ORVEXVIEWERLib,
                                          kOrvexTypeLibMajor, kOrvexTypeLibMinor);
    }

private:
    UINT m_idTypeName;
    UINT m_idBitmap;
};

// A property page class: registered by class identifier alone; its ProgID stays with the factory.
class CPropertyPageFactory : public COleObjectFactory {
public:
    CPropertyPageFactory(REFCLSID clsid, CreateObjectFn create, LPCTSTR progID, UINT idTypeName)
        : COleObjectFactory(clsid, create, FALSE, progID), m_idTypeName(idTypeName) {}

    BOOL UpdateRegistry(BOOL bRegister) override {
        if (!bRegister) return AfxOleUnregisterClass(GetClassID(), nullptr);
        return AfxOleRegisterPropertyPageClass(AfxGetInstanceHandle(), GetClassID(), m_idTypeName);
    }

private:
    UINT m_idTypeName;
};

CControlFactory g_viewerFactory(CLSID_OrvexViewerCtrl, &COleControl::CreateObject<COrvexViewerCtrl>,
                                kOrvexViewerProgID, IDS_ORVEXVIEWER, IDB_ORVEXVIEWER);
CControlFactory g_ascanFactory(CLSID_OrvexAscanViewerCtrl, &COleControl::CreateObject<COrvexAscanViewerCtrl>,
                               kOrvexAscanViewerProgID, IDS_ORVEXASCANVIEWER, IDB_ORVEXASCANVIEWER);
CPropertyPageFactory g_viewerPageFactory(CLSID_OrvexViewerPropPage,
                                         &COlePropertyPage::CreateObject<COrvexViewerPropPage>,
                                         kOrvexViewerPropPageProgID, IDS_ORVEXVIEWER_PPG);
CPropertyPageFactory g_viewerPage2Factory(CLSID_OrvexViewerPropPage2,
                                          &COlePropertyPage::CreateObject<COrvexViewerPropPage2>,
                                          kOrvexViewerPropPage2ProgID, IDS_ORVEXVIEWER_PPG2);
CPropertyPageFactory g_ascanPageFactory(CLSID_OrvexAscanViewerPropPage,
                                        &COlePropertyPage::CreateObject<COrvexAscanViewerPropPage>,
                                        kOrvexAscanViewerPropPageProgID, IDS_ORVEXASCANVIEWER_PPG);

}  // namespace

const std::vector<COleObjectFactory*>& GetOrvexFactories() {
    static const std::vector<COleObjectFactory*> factories = {&g_viewerFactory, &g_ascanFactory, &g_viewerPageFactory,
                                                              &g_viewerPage2Factory, &g_ascanPageFactory};
    return factories;
}

std::vector<CLSID> GetPropertyPageClassIds(REFCLSID controlClsid) {
    if (controlClsid == CLSID_OrvexViewerCtrl) return {CLSID_OrvexViewerPropPage, CLSID_OrvexViewerPropPage2};
    if (controlClsid == CLSID_OrvexAscanViewerCtrl) return {CLSID_OrvexAscanViewerPropPage};
    return {};
}

std::vector<CLSID> GetPropertyPageClassIds(IUnknown* control) {
    if (control == nullptr) return {};
    for (const auto& [iid, clsid] : {std::pair{IID_DOrvexViewer, CLSID_OrvexViewerCtrl},
                                     std::pair{IID_DOrvexAscanViewer, CLSID_OrvexAscanViewerCtrl}}) {
        void* pv = nullptr;
        if (SUCCEEDED(control->QueryInterface(iid, &pv)) && pv) {
            static_cast<IUnknown*>(pv)->Release();
            return GetPropertyPageClassIds(clsid);
        }
    }
    return {};
}
