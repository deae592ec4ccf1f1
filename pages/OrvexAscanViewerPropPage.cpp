#include "pages/OrvexAscanViewerPropPage.h"

#include <memory>

#include "ids/OrvexViewerIds.h"
#include "pages/PageResourceIds.h"
#include "platform/afx/DataExchange.h"
#include "platform/afx/DebugOutput.h"
#include "platform/com/ComPtr.h"
#include "platform/com/OleInterfaces.h"

namespace {

constexpr const char* kNoContainerTrace = "Unable to get to the container.\n";
constexpr const char* kNameTracePrefix = "And the name is ... ";
constexpr const char* kNoFileText = "This control does not have a file associated with it.";
constexpr const char* kFileTextPrefix = "The ";
constexpr const char* kFileTextMiddle = " control is using the file : ";
constexpr const char* kFileTextEnd = ".";

// A property read as a string; false when it cannot be read or converted.
bool ReadString(IDispatch* disp, DISPID id, std::string& text) {
    DISPPARAMS noArgs = {nullptr, nullptr, 0, 0};
    VARIANT result;
    VariantInit(&result);
    HRESULT hr =
        disp->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &noArgs, &result, nullptr, nullptr);
    if (SUCCEEDED(hr)) hr = VariantChangeType(&result, &result, 0, VT_BSTR);
    if (SUCCEEDED(hr)) text = StringFromBstr(result.bstrVal);
    VariantClear(&result);
    return SUCCEEDED(hr);
}

// The interface to ask a listed object for its name and file: the extended control of an embedded
// control that is a viewer, or the object's own IDispatch when it is not an embedded control.
CComPtr<IDispatch> ViewerCandidate(IUnknown* object) {
    CComPtr<IUnknown> unknown(object);
    CComPtr<IOleObject> oleObject;
    unknown.QueryInterface(IID_IOleObject, std::addressof(oleObject));
    if (oleObject) {
        CComPtr<IOleClientSite> site;
        if (FAILED(oleObject->GetClientSite(&site)) || !site) return {};
        CComPtr<IOleControlSite> controlSite;
        site.QueryInterface(IID_IOleControlSite, std::addressof(controlSite));
        if (!controlSite) return {};
        CComPtr<IDispatch> extended;
        if (FAILED(controlSite->GetExtendedControl(&extended)) || !extended) return {};
        CComPtr<IUnknown> viewer;
        extended.QueryInterface(IID_DOrvexViewer, std::addressof(viewer));
        if (!viewer) return {};
        return extended;
    }
    CComPtr<IDispatch> disp;
    unknown.QueryInterface(IID_IDispatch, std::addressof(disp));
    return disp;
}

}  // namespace

COrvexAscanViewerPropPage::COrvexAscanViewerPropPage()
    : COlePropertyPage(IDD_PROPPAGE_ORVEXASCANVIEWER, IDS_ORVEXASCANVIEWER_PPG_CAPTION) {}

void COrvexAscanViewerPropPage::DoDataExchange(CDataExchange* pDX) {
    DDP_Text(pDX, IDC_ASCANXMIN, m_fAscanXMin, "AscanXMin");
    DDX_Text(pDX, IDC_ASCANXMIN, m_fAscanXMin);
    DDP_Text(pDX, IDC_ASCANYMAX, m_fAscanYMax, "AscanYMax");
    DDX_Text(pDX, IDC_ASCANYMAX, m_fAscanYMax);
    DDP_Text(pDX, IDC_ASCANXMAX, m_fAscanXMax, "AscanXMax");
    DDX_Text(pDX, IDC_ASCANXMAX, m_fAscanXMax);
    DDP_Text(pDX, IDC_ASCANYMIN, m_fAscanYMin, "AscanYMin");
    DDX_Text(pDX, IDC_ASCANYMIN, m_fAscanYMin);
    DDP_CBString(pDX, IDC_VIEWERLIST, m_strOrvexViewerName, "OrvexViewerName");
    DDX_CBString(pDX, IDC_VIEWERLIST, m_strOrvexViewerName);
    DDP_PostProcessing(pDX);
}

BOOL COrvexAscanViewerPropPage::OnInitDialog() {
    COlePropertyPage::OnInitDialog();
    FillViewerList();
    CDialogControl* list = GetDlgItem(IDC_VIEWERLIST);
    if (list != nullptr && list->GetCount() > 0) {
        // The last entry of that name wins; without one, the first entry.
        int selected = 0;
        for (int i = 0; i < list->GetCount(); ++i)
            if (static_cast<size_t>(i) < m_viewerNames.size() && m_viewerNames[static_cast<size_t>(i)] == m_strOrvexViewerName)
                selected = i;
        list->SetCurSel(selected);
        OnSelChangeViewerList();
    }
    // The values take what the controls show; nothing is written, since nothing was changed yet.
    UpdateData(TRUE);
    return TRUE;
}

BOOL COrvexAscanViewerPropPage::OnCommand(int nID, UINT nNotifyCode) {
    if (nID == IDC_VIEWERLIST && nNotifyCode == CBN_SELCHANGE) {
        OnSelChangeViewerList();
        return TRUE;
    }
    return FALSE;
}

void COrvexAscanViewerPropPage::OnSelChangeViewerList() {
    CDialogControl* list = GetDlgItem(IDC_VIEWERLIST);
    if (list == nullptr) return;
    int index = list->GetCurSel();
    if (index == CB_ERR || static_cast<size_t>(index) >= m_fileTexts.size()) return;
    SetDlgItemText(IDC_FILETEXT, m_fileTexts[static_cast<size_t>(index)]);
}

void COrvexAscanViewerPropPage::FillViewerList() {
    CDialogControl* list = GetDlgItem(IDC_VIEWERLIST);
    if (list == nullptr) return;
    list->ResetContent();

    ULONG count = 0;
    LPDISPATCH* objects = GetObjectArray(&count);
    if (count == 0) return;
    CComPtr<IOleClientSite> site;
    {
        CComPtr<IOleObject> control;
        CComPtr<IDispatch>(objects[0]).QueryInterface(IID_IOleObject, std::addressof(control));
        if (!control || FAILED(control->GetClientSite(&site)) || !site) return;
    }  // the control's interface goes once the site is in hand
    CComPtr<IOleContainer> container;
    if (FAILED(site->GetContainer(&container)) || !container) {
        OutputDebugStringA(kNoContainerTrace);
        return;
    }
    CComPtr<IEnumUnknown> enumerator;
    if (FAILED(container->EnumObjects(OLECONTF_EMBEDDINGS | OLECONTF_OTHERS, &enumerator)) || !enumerator) return;

    m_fileTexts.clear();
    m_viewerNames.clear();
    for (;;) {
        CComPtr<IUnknown> object;
        ULONG fetched = 0;
        if (enumerator->Next(1, &object, &fetched) != S_OK || !object) break;
        CComPtr<IDispatch> viewer = ViewerCandidate(object.get());
        if (!viewer) continue;
        std::string name;
        if (!ReadString(viewer.get(), DISPID_Name, name)) continue;  // an unnamed object cannot be linked
        OutputDebugStringA((kNameTracePrefix + name + "\n").c_str());
        std::string fileName;
        // An object whose file cannot be read is left out whole, so the lists stay entry for entry.
        if (!ReadString(viewer.get(), DISPID_VIEWER_FILENAME, fileName)) continue;
        list->AddString(name);
        m_viewerNames.push_back(name);
        m_fileTexts.push_back(fileName.empty() ? std::string(kNoFileText)
                                               : kFileTextPrefix + name + kFileTextMiddle + fileName + kFileTextEnd);
    }
}
