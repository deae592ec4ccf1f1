// Event sinks for the macro layer.
#include "host/LuaEventSink.h"

#include <new>

#include "platform/afx/COleControl.h"
#include "platform/com/DispatchTable.h"

namespace {

// The event table is a protected member of the control base class; naming it through a derived
// class gives a member pointer that applies to any control. (The host's ControlAccess has the same
// stopgap for the interface ids; the base class offers no public accessor yet.)
struct CEventAccess : COleControl {
    static const CDispatchInterface* Events(const COleControl& control) {
        auto member = &CEventAccess::GetEventInterface;
        return (control.*member)();
    }
};

}  // namespace

CLuaEventSink* CLuaEventSink::Connect(COleControl& control, Callback callback) {
    const CDispatchInterface* events = CEventAccess::Events(control);
    if (events == nullptr) return nullptr;
    IConnectionPoint* point = nullptr;
    if (FAILED(control.FindConnectionPoint(events->GetIID(), &point)) || point == nullptr) return nullptr;
    auto* sink = new (std::nothrow) CLuaEventSink(*events, std::move(callback));
    if (sink == nullptr || FAILED(point->Advise(static_cast<IDispatch*>(sink), &sink->m_cookie))) {
        if (sink) sink->Release();
        point->Release();
        return nullptr;
    }
    sink->m_pPoint = point;
    return sink;
}

CLuaEventSink::CLuaEventSink(const CDispatchInterface& events, Callback callback)
    : m_events(events), m_callback(std::move(callback)) {}

CLuaEventSink::~CLuaEventSink() { Disconnect(); }

void CLuaEventSink::Disconnect() {
    m_callback = nullptr;
    if (IConnectionPoint* point = m_pPoint) {
        m_pPoint = nullptr;
        point->Unadvise(m_cookie);
        point->Release();
    }
}

HRESULT CLuaEventSink::QueryInterface(REFIID riid, void** ppvObject) {
    if (ppvObject == nullptr) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDispatch || riid == m_events.GetIID()) {
        *ppvObject = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *ppvObject = nullptr;
    return E_NOINTERFACE;
}

HRESULT CLuaEventSink::GetTypeInfoCount(UINT* pctinfo) {
    if (pctinfo == nullptr) return E_POINTER;
    *pctinfo = 0;
    return S_OK;
}

HRESULT CLuaEventSink::GetTypeInfo(UINT, LCID, ITypeInfo** ppTInfo) {
    if (ppTInfo) *ppTInfo = nullptr;
    return DISP_E_BADINDEX;
}

HRESULT CLuaEventSink::GetIDsOfNames(REFIID, LPOLESTR* rgszNames, UINT cNames, LCID, DISPID* rgDispId) {
    return m_events.GetIDsOfNames(rgszNames, cNames, rgDispId);
}

HRESULT CLuaEventSink::Invoke(DISPID dispIdMember, REFIID, LCID, WORD, DISPPARAMS* pDispParams, VARIANT* pVarResult,
                              EXCEPINFO*, UINT*) {
    if (pVarResult) VariantInit(pVarResult);
    const DispatchMember* event = m_events.Find(dispIdMember);
    if (event == nullptr) return DISP_E_MEMBERNOTFOUND;
    // The callback may disconnect this sink; the control holds a reference while it calls.
    if (m_callback) {
        const DISPPARAMS none{nullptr, nullptr, 0, 0};
        Callback callback = m_callback;
        callback(*event, pDispParams ? *pDispParams : none);
    }
    return S_OK;
}
