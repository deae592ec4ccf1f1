// The container's side of a control's automation: its name, and everything else passed on.
#include "host/ExtendedControl.h"

#include <new>

#include "platform/com/DispatchTable.h"

namespace {
constexpr const char* kNamePropertyName = "Name";
constexpr const char* kNameReadOnly = "The container name of a control cannot be changed.";
}  // namespace

CExtendedControl* CExtendedControl::Create(IDispatch* control, std::string name, const IID& dispatchIid,
                                           const IID& eventIid) {
    return new (std::nothrow) CExtendedControl(control, std::move(name), dispatchIid, eventIid);
}

CExtendedControl::CExtendedControl(IDispatch* control, std::string name, const IID& dispatchIid,
                                   const IID& eventIid)
    : m_pControl(control), m_name(std::move(name)), m_dispatchIid(dispatchIid), m_eventIid(eventIid) {
    if (m_pControl) m_pControl->AddRef();
}

CExtendedControl::~CExtendedControl() { Disconnect(); }

void CExtendedControl::Disconnect() {
    if (IDispatch* p = m_pControl) {
        m_pControl = nullptr;
        p->Release();
    }
}

HRESULT CExtendedControl::QueryInterface(REFIID riid, void** ppvObject) {
    if (ppvObject == nullptr) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDispatch || (riid == m_dispatchIid && riid != GUID_NULL) ||
        (riid == m_eventIid && riid != GUID_NULL)) {
        *ppvObject = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *ppvObject = nullptr;
    return E_NOINTERFACE;
}

HRESULT CExtendedControl::GetTypeInfoCount(UINT* pctinfo) {
    if (pctinfo == nullptr) return E_POINTER;
    if (m_pControl == nullptr) {
        *pctinfo = 0;
        return S_OK;
    }
    return m_pControl->GetTypeInfoCount(pctinfo);
}

HRESULT CExtendedControl::GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) {
    if (ppTInfo == nullptr) return E_POINTER;
    *ppTInfo = nullptr;
    if (m_pControl == nullptr) return E_UNEXPECTED;
    return m_pControl->GetTypeInfo(iTInfo, lcid, ppTInfo);
}

HRESULT CExtendedControl::GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid,
                                        DISPID* rgDispId) {
    if (rgszNames == nullptr || rgDispId == nullptr) return E_POINTER;
    if (cNames == 1 && rgszNames[0] != nullptr && DispatchNamesEqual(rgszNames[0], kNamePropertyName)) {
        rgDispId[0] = DISPID_Name;
        return S_OK;
    }
    if (m_pControl == nullptr) return E_UNEXPECTED;
    return m_pControl->GetIDsOfNames(riid, rgszNames, cNames, lcid, rgDispId);
}

HRESULT CExtendedControl::Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags, DISPPARAMS* pDispParams,
                                 VARIANT* pVarResult, EXCEPINFO* pExcepInfo, UINT* puArgErr) {
    if (dispIdMember == DISPID_Name) {
        if (wFlags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
            FillExcepInfo(pExcepInfo, CTL_E_SETNOTSUPPORTED, kNameReadOnly, kNamePropertyName);
            return DISP_E_EXCEPTION;
        }
        if ((wFlags & DISPATCH_PROPERTYGET) == 0) return DISP_E_MEMBERNOTFOUND;
        if (pDispParams != nullptr && pDispParams->cArgs != 0) return DISP_E_BADPARAMCOUNT;
        if (pVarResult != nullptr) {
            VariantInit(pVarResult);
            pVarResult->vt = VT_BSTR;
            pVarResult->bstrVal = SysAllocStringFrom(m_name);
        }
        return S_OK;
    }
    // The control hands the extender range back to us; passing another member of it on would
    // bounce between the two objects for ever.
    if (IsExtenderDispid(dispIdMember)) return DISP_E_MEMBERNOTFOUND;
    if (m_pControl == nullptr) return E_UNEXPECTED;
    return m_pControl->Invoke(dispIdMember, riid, lcid, wFlags, pDispParams, pVarResult, pExcepInfo, puArgErr);
}
