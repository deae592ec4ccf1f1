// After a load, the viewer tells the A-scan controls of its container that show its A-scan to
// refresh: every A-scan control whose OrvexViewerName equals this viewer's container name.
#include <string>

#include "ids/OrvexAscanViewerIds.h"
#include "ids/OrvexViewerIds.h"
#include "platform/afx/DebugOutput.h"
#include "platform/com/ComPtr.h"
#include "platform/com/OleInterfaces.h"
#include "viewer/OrvexViewerCtrl.h"

namespace {

constexpr const char* kNoContainerTrace = "Unable to get to the container.\n";
constexpr const char* kNameTracePrefix = "And the name is ... ";

// Reads a property of any dispatch interface as a string; false when it cannot be read.
bool ReadStringProperty(IDispatch* disp, DISPID id, std::string& text) {
    DISPPARAMS noArgs = {nullptr, nullptr, 0, 0};
    VARIANT result;
    VariantInit(&result);
    HRESULT hr = disp->Invoke(id, IID_NULL, LOCALE_SYSTEM_DEFAULT, DISPATCH_PROPERTYGET, &noArgs, &result, nullptr,
                              nullptr);
    if (FAILED(hr)) return false;
    hr = VariantChangeType(&result, &result, 0, VT_BSTR);
    if (FAILED(hr)) {
        VariantClear(&result);
        return false;
    }
    text = StringFromBstr(result.bstrVal);
    VariantClear(&result);
    return true;
}

// Asks any interface for another one of the same object; empty when it has none.
template <class Q>
CComPtr<Q> QueryAs(IUnknown* object, REFIID iid) {
    CComPtr<Q> result;
    void* pv = nullptr;
    if (object != nullptr && SUCCEEDED(object->QueryInterface(iid, &pv)) && pv != nullptr)
        result.Attach(static_cast<Q*>(pv));
    return result;
}

// The candidate to ask for its viewer name: an A-scan control's extended control, or the
// dispatch interface of an object that is not an embedded control. Null rejects the object.
CComPtr<IDispatch> CandidateOf(IUnknown* object) {
    CComPtr<IOleObject> oleObject = QueryAs<IOleObject>(object, IID_IOleObject);
    if (oleObject) {
        CComPtr<IOleClientSite> site;
        if (FAILED(oleObject->GetClientSite(&site)) || !site) return {};
        CComPtr<IOleControlSite> controlSite = QueryAs<IOleControlSite>(site.get(), IID_IOleControlSite);
        if (!controlSite) return {};
        CComPtr<IDispatch> extended;
        if (FAILED(controlSite->GetExtendedControl(&extended)) || !extended) return {};
        // Only marks the object as an A-scan control; the extended control is what we call.
        if (!QueryAs<IDispatch>(extended.get(), IID_DOrvexAscanViewer)) return {};
        return extended;
    }
    return QueryAs<IDispatch>(object, IID_IDispatch);
}

}  // namespace

void COrvexViewerCtrl::NotifyLinkedAscanControls() {
    // Through our own dispatch interface the extender's name property reaches the container.
    CComPtr<IDispatch> viewer = QueryAs<IDispatch>(GetControllingUnknown(), IID_DOrvexViewer);
    if (!viewer) return;
    std::string ownName;
    if (!ReadStringProperty(viewer.get(), DISPID_Name, ownName)) return;

    CComPtr<IOleClientSite> site(GetClientSite());
    if (!site) return;
    CComPtr<IOleContainer> container;
    if (FAILED(site->GetContainer(&container)) || !container) {
        OutputDebugStringA(kNoContainerTrace);
        return;
    }
    CComPtr<IEnumUnknown> objects;
    if (FAILED(container->EnumObjects(OLECONTF_EMBEDDINGS | OLECONTF_OTHERS, &objects)) || !objects) return;

    for (;;) {
        CComPtr<IUnknown> object;
        ULONG fetched = 0;
        if (objects->Next(1, &object, &fetched) != S_OK || !object) break;
        CComPtr<IDispatch> candidate = CandidateOf(object.get());
        if (!candidate) continue;
        // An object without a readable viewer name is skipped.
        std::string linkedName;
        if (!ReadStringProperty(candidate.get(), DISPID_ASCAN_ORVEXVIEWERNAME, linkedName)) continue;
        OutputDebugStringA((kNameTracePrefix + linkedName + "\n").c_str());
        if (linkedName == ownName) {
            DISPPARAMS noArgs = {nullptr, nullptr, 0, 0};
            candidate->Invoke(DISPID_ASCAN_REFRESHASCAN, IID_NULL, LOCALE_SYSTEM_DEFAULT, DISPATCH_METHOD, &noArgs,
                              nullptr, nullptr, nullptr);
        }
    }
}
