#include "platform/afx/COleDispatchDriver.h"

COleDispatchDriver::COleDispatchDriver(LPDISPATCH lpDispatch, BOOL bAutoRelease)
    : m_lpDispatch(lpDispatch), m_bAutoRelease(bAutoRelease) {}

COleDispatchDriver::~COleDispatchDriver() { ReleaseDispatch(); }

void COleDispatchDriver::AttachDispatch(LPDISPATCH lpDispatch, BOOL bAutoRelease) {
    ReleaseDispatch();
    m_lpDispatch = lpDispatch;
    m_bAutoRelease = bAutoRelease;
}

LPDISPATCH COleDispatchDriver::DetachDispatch() {
    LPDISPATCH p = m_lpDispatch;
    m_lpDispatch = nullptr;
    return p;
}

void COleDispatchDriver::ReleaseDispatch() {
    if (m_lpDispatch != nullptr && m_bAutoRelease) m_lpDispatch->Release();
    m_lpDispatch = nullptr;
}

HRESULT COleDispatchDriver::Invoke(DISPID dwDispID, WORD wFlags, DISPPARAMS* pParams, VARIANT* pResult) {
    EXCEPINFO ei{};
    UINT argErr = 0;
    HRESULT hr = m_lpDispatch->Invoke(dwDispID, IID_NULL, LOCALE_SYSTEM_DEFAULT, wFlags, pParams, pResult, &ei, &argErr);
    if (hr == DISP_E_EXCEPTION) {
        if (ei.pfnDeferredFillIn) ei.pfnDeferredFillIn(&ei);
        m_lastScode = ei.scode;
        m_lastDescription = StringFromBstr(ei.bstrDescription);
    } else if (FAILED(hr)) {
        m_lastScode = hr;
        m_lastDescription.clear();
    }
    ClearExcepInfo(&ei);
    return hr;
}

HRESULT COleDispatchDriver::StoreResult(VARIANT& result, VARTYPE vtRet, void* pvRet, bool toStdString) {
    if (vtRet == VT_VARIANT) {
        auto* out = static_cast<VARIANT*>(pvRet);
        *out = result;  // handed over as it is; the caller clears it
        return S_OK;
    }
    HRESULT hr = VariantChangeType(&result, &result, 0, vtRet);
    if (FAILED(hr)) {
        VariantClear(&result);
        return hr;
    }
    switch (vtRet) {
    case VT_I2: *static_cast<SHORT*>(pvRet) = result.iVal; break;
    case VT_I4: *static_cast<LONG*>(pvRet) = result.lVal; break;
    case VT_BOOL: *static_cast<LONG*>(pvRet) = result.boolVal ? TRUE : FALSE; break;
    case VT_R4: *static_cast<float*>(pvRet) = result.fltVal; break;
    case VT_R8: *static_cast<double*>(pvRet) = result.dblVal; break;
    case VT_BSTR:
        if (toStdString) {
            *static_cast<std::string*>(pvRet) = StringFromBstr(result.bstrVal);
            break;
        }
        *static_cast<BSTR*>(pvRet) = result.bstrVal;
        return S_OK;  // ownership moves to the caller
    case VT_DISPATCH:
        *static_cast<IDispatch**>(pvRet) = result.pdispVal;
        return S_OK;  // the reference moves to the caller
    default: break;
    }
    VariantClear(&result);
    return S_OK;
}
