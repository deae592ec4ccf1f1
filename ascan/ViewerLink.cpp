// The link to a viewer control: the search of the container by name, the reactions to a new
// name and to a refresh, and the dispatch calls that fetch the viewer's file name and A-scan.
#include <memory>
#include <string>

#include "ascan/OrvexAscanViewerCtrl.h"
#include "ids/OrvexAscanViewerIds.h"
#include "ids/OrvexViewerIds.h"
#include "platform/afx/DebugOutput.h"
#include "platform/com/ComPtr.h"
#include "platform/com/OleInterfaces.h"

namespace {

constexpr const char* kNoContainerTrace = "Unable to get to the container.\n";
constexpr const char* kNameTracePrefix = "FindOrvexControlDisp:: And the Orvex controls name is ... ";

// Reads a property of a dispatch interface as a string; false when it cannot be read or is no
// string. A name that cannot be read rejects the object rather than ending the search.
bool ReadStringProperty(IDispatch* disp, DISPID id, WORD flags, std::string& text) {
    DISPPARAMS noArgs = {nullptr, nullptr, 0, 0};
    VARIANT result;
    VariantInit(&result);
    if (FAILED(disp->Invoke(id, IID_NULL, LOCALE_SYSTEM_DEFAULT, flags, &noArgs, &result, nullptr, nullptr))) {
        VariantClear(&result);
        return false;
    }
    if (FAILED(VariantChangeType(&result, &result, 0, VT_BSTR))) {
        VariantClear(&result);
        return false;
    }
    text = StringFromBstr(result.bstrVal);
    VariantClear(&result);
    return true;
}

// Another interface of the same object, or null.
template <class Q, class T>
CComPtr<Q> Query(const CComPtr<T>& from, REFIID iid) {
    CComPtr<Q> out;
    if (from) from.QueryInterface(iid, std::addressof(out));
    return out;
}

// The object's candidate for a viewer: the extended control of an embedded control that answers
// `iid`, or the dispatch interface of an object that is not an embedded control. Null rejects it;
// everything obtained on the way is released by the smart pointers.
CComPtr<IDispatch> CandidateOf(IUnknown* object, REFIID iid) {
    const CComPtr<IUnknown> unknown(object);
    const CComPtr<IOleObject> oleObject = Query<IOleObject>(unknown, IID_IOleObject);
    if (oleObject) {
        CComPtr<IOleClientSite> site;
        if (FAILED(oleObject->GetClientSite(&site)) || !site) return {};
        const CComPtr<IOleControlSite> controlSite = Query<IOleControlSite>(site, IID_IOleControlSite);
        if (!controlSite) return {};
        CComPtr<IDispatch> extended;
        if (FAILED(controlSite->GetExtendedControl(&extended)) || !extended) return {};
        // Only proves that the object is a viewer; the extended control is what we call.
        if (!Query<IUnknown>(extended, iid)) return {};
        return extended;
    }
    return Query<IDispatch>(unknown, IID_IDispatch);
}

}  // namespace

// ---- The search ------------------------------------------------------------------------------

IDispatch* COrvexAscanViewerCtrl::FindOrvexControlDisp(REFIID iid, std::string& name) {
    IOleClientSite* siteBorrowed = GetClientSite();
    if (siteBorrowed == nullptr) return nullptr;
    CComPtr<IOleClientSite> site(siteBorrowed);
    CComPtr<IOleContainer> container;
    if (FAILED(site->GetContainer(&container)) || !container) {
        OutputDebugStringA(kNoContainerTrace);
        return nullptr;
    }
    CComPtr<IEnumUnknown> objects;
    if (FAILED(container->EnumObjects(OLECONTF_EMBEDDINGS | OLECONTF_OTHERS, &objects)) || !objects) return nullptr;

    CComPtr<IDispatch> lastAccepted;
    std::string lastName;
    for (;;) {
        CComPtr<IUnknown> object;
        ULONG fetched = 0;
        if (objects->Next(1, &object, &fetched) != S_OK || !object) break;
        CComPtr<IDispatch> candidate = CandidateOf(object.get(), iid);
        if (!candidate) continue;
        std::string candidateName;
        if (!ReadStringProperty(candidate.get(), DISPID_Name, DISPATCH_PROPERTYGET, candidateName)) continue;
        OutputDebugStringA((kNameTracePrefix + candidateName + "\n").c_str());
        // Exact byte comparison: names that differ only in case are different viewers.
        if (candidateName == name) return candidate.Detach();
        lastAccepted.Attach(candidate.Detach());  // releases the one kept before
        lastName = std::move(candidateName);
    }
    if (!name.empty() || !lastAccepted) return nullptr;
    // An empty name links the last viewer enumerated and takes its name.
    name = lastName;
    return lastAccepted.Detach();
}

// ---- Link reactions --------------------------------------------------------------------------

void COrvexAscanViewerCtrl::OnOrvexViewerNameChanged() {
    if (!m_controlDetectionEnabled) return;
    IDispatch* found = FindOrvexControlDisp(IID_DOrvexViewer, m_orvexViewerName);
    SetOrvexViewer(found);
    if (found != nullptr) {
        ClearRangeProperties();
        UpdateAscanData();
        SetModifiedFlag();
        // The search may have filled the name in.
        BoundPropertyChanged(DISPID_ASCAN_ORVEXVIEWERNAME);
        found->Release();  // the link holds its own reference
    }
    InvalidateAscan();
}

void COrvexAscanViewerCtrl::CheckViewerFileName() {
    std::string fileName;
    GetViewerFileName(fileName);
    if (fileName == m_strLinkedFileName) return;  // same file: the plot keeps its data and view
    m_strLinkedFileName = fileName;
    ClearRangeProperties();
    UpdateAscanData();
}

BOOL COrvexAscanViewerCtrl::GetViewerFileName(std::string& text) {
    IDispatch* viewer = m_viewer.m_lpDispatch;
    if (viewer == nullptr) return FALSE;
    return ReadStringProperty(viewer, DISPID_VIEWER_FILENAME, DISPATCH_METHOD | DISPATCH_PROPERTYGET, text) ? TRUE
                                                                                                           : FALSE;
}

// ---- Data calls ------------------------------------------------------------------------------

// Each call is the typed method call of the platform's dispatch driver. A call the viewer rejects
// (an error result instead of a BOOL) counts as a call that returned FALSE.

BOOL COrvexAscanViewerCtrl::GetAscan(double* dataStart, double* resolution, VARIANT* ascan) {
    if (m_viewer.m_lpDispatch == nullptr) return FALSE;
    LONG result = FALSE;
    if (FAILED(m_viewer.InvokeHelper(DISPID_VIEWER_GETASCAN, DISPATCH_METHOD, VT_BOOL, &result,
                                     VTS_PR8 VTS_PR8 VTS_PVARIANT, dataStart, resolution, ascan)))
        return FALSE;
    return result ? TRUE : FALSE;
}

BOOL COrvexAscanViewerCtrl::GetAscanDisplayWindow(double* displayStart, double* displayEnd, double* displayYAxisMax,
                                                  double* displayYAxisMin) {
    if (m_viewer.m_lpDispatch == nullptr) return FALSE;
    LONG result = FALSE;
    if (FAILED(m_viewer.InvokeHelper(DISPID_VIEWER_GETASCANDISPLAYWINDOW, DISPATCH_METHOD, VT_BOOL, &result,
                                     VTS_PR8 VTS_PR8 VTS_PR8 VTS_PR8, displayStart, displayEnd, displayYAxisMax,
                                     displayYAxisMin)))
        return FALSE;
    return result ? TRUE : FALSE;
}

BOOL COrvexAscanViewerCtrl::GetAscanXAxisLabel(std::string& label) {
    if (m_viewer.m_lpDispatch == nullptr) return FALSE;
    LONG result = FALSE;
    if (FAILED(m_viewer.InvokeHelper(DISPID_VIEWER_GETASCANXAXISLABEL, DISPATCH_METHOD, VT_BOOL, &result, VTS_PBSTR,
                                     &label)))
        return FALSE;
    return result ? TRUE : FALSE;
}
