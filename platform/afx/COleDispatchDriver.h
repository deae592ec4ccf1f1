#pragma once
// A client-side wrapper around an IDispatch: typed calls by dispatch id with the platform's
// parameter strings. Where the platform raises an exception for a failed call, InvokeHelper returns
// the HRESULT instead (the result is then left untouched) and keeps the automation error's code
// and text for GetLastError*, so nothing unwinds through control code.
#include <string>
#include <type_traits>

#include "platform/afx/VtsArgs.h"

class COleDispatchDriver {
public:
    COleDispatchDriver() = default;
    // Takes over `lpDispatch`'s reference; released at the end when bAutoRelease.
    explicit COleDispatchDriver(LPDISPATCH lpDispatch, BOOL bAutoRelease = TRUE);
    COleDispatchDriver(const COleDispatchDriver&) = delete;
    COleDispatchDriver& operator=(const COleDispatchDriver&) = delete;
    // Releases the interface if it was attached with auto-release.
    ~COleDispatchDriver();

    // Attaches an interface (releasing a previous auto-release one); the driver takes over one
    // reference when bAutoRelease, and borrows otherwise.
    void AttachDispatch(LPDISPATCH lpDispatch, BOOL bAutoRelease = TRUE);
    // Gives up the interface without releasing it.
    LPDISPATCH DetachDispatch();
    // Releases the interface if auto-release, and forgets it either way.
    void ReleaseDispatch();

    // Calls member `dwDispID` with the arguments `pbParamInfo` describes. The result is converted
    // to `vtRet` and stored through pvRet: VT_EMPTY with nullptr, VT_I2 SHORT*, VT_I4 and VT_BOOL
    // LONG* (BOOL*), VT_R4 float*, VT_R8 double*, VT_BSTR std::string* or BSTR* (caller frees),
    // VT_DISPATCH IDispatch** (caller releases), VT_VARIANT VARIANT* (caller clears).
    // A property put passes the named DISPID_PROPERTYPUT argument as the platform requires.
    template <class R, class... Args>
    HRESULT InvokeHelper(DISPID dwDispID, WORD wFlags, VARTYPE vtRet, R* pvRet, const char* pbParamInfo,
                         Args&&... args);
    template <class... Args>
    HRESULT InvokeHelper(DISPID dwDispID, WORD wFlags, VARTYPE vtRet, std::nullptr_t, const char* pbParamInfo,
                         Args&&... args) {
        return InvokeHelper(dwDispID, wFlags, vtRet, static_cast<void*>(nullptr), pbParamInfo,
                            std::forward<Args>(args)...);
    }
    // A property read (DISPATCH_PROPERTYGET) into pvProp, typed as for InvokeHelper.
    template <class R>
    HRESULT GetProperty(DISPID dwDispID, VARTYPE vtProp, R* pvProp) {
        return InvokeHelper(dwDispID, DISPATCH_PROPERTYGET, vtProp, pvProp, VTS_NONE);
    }
    // A property write of one value of type vtProp (a VTS code's type: SHORT, LONG, float, double,
    // string, IDispatch*, VARIANT).
    template <class V>
    HRESULT SetProperty(DISPID dwDispID, VARTYPE vtProp, V&& value) {
        const char code[2] = {static_cast<char>(vtProp), 0};
        return InvokeHelper(dwDispID, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, code, std::forward<V>(value));
    }

    // The automation error of the last call that failed with DISP_E_EXCEPTION.
    SCODE GetLastErrorCode() const { return m_lastScode; }
    const std::string& GetLastErrorDescription() const { return m_lastDescription; }

    LPDISPATCH m_lpDispatch = nullptr;
    BOOL m_bAutoRelease = TRUE;

private:
    HRESULT Invoke(DISPID dwDispID, WORD wFlags, DISPPARAMS* pParams, VARIANT* pResult);
    // Converts the call's result and stores it through pvRet.
    static HRESULT StoreResult(VARIANT& result, VARTYPE vtRet, void* pvRet, bool toStdString);

    SCODE m_lastScode = S_OK;
    std::string m_lastDescription;
};

template <class R, class... Args>
HRESULT COleDispatchDriver::InvokeHelper(DISPID dwDispID, WORD wFlags, VARTYPE vtRet, R* pvRet,
                                         const char* pbParamInfo, Args&&... args) {
    // The result pointer must suit vtRet; a mismatch is a programmer error.
    if constexpr (std::is_void_v<R>) {
        assert(vtRet == VT_EMPTY && pvRet == nullptr);
    } else if constexpr (std::is_same_v<R, SHORT>) {
        assert(vtRet == VT_I2);
    } else if constexpr (std::is_same_v<R, LONG>) {
        assert(vtRet == VT_I4 || vtRet == VT_BOOL);
    } else if constexpr (std::is_same_v<R, float>) {
        assert(vtRet == VT_R4);
    } else if constexpr (std::is_same_v<R, double>) {
        assert(vtRet == VT_R8);
    } else if constexpr (std::is_same_v<R, std::string> || std::is_same_v<R, BSTR>) {
        assert(vtRet == VT_BSTR);
    } else if constexpr (std::is_same_v<R, IDispatch*>) {
        assert(vtRet == VT_DISPATCH);
    } else if constexpr (std::is_same_v<R, VARIANT>) {
        assert(vtRet == VT_VARIANT);
    } else {
        static_assert(sizeof(R) == 0, "unsupported result type");
    }
    if (m_lpDispatch == nullptr) return E_POINTER;
    afx_detail::CPackedArgs pk;
    if (!afx_detail::PackArgs(pbParamInfo, pk, std::forward<Args>(args)...)) return DISP_E_TYPEMISMATCH;
    DISPPARAMS params = pk.Params();
    DISPID named = DISPID_PROPERTYPUT;
    if (wFlags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
        params.rgdispidNamedArgs = &named;
        params.cNamedArgs = 1;
    }
    VARIANT result;
    VariantInit(&result);
    HRESULT hr = Invoke(dwDispID, wFlags, &params, vtRet == VT_EMPTY ? nullptr : &result);
    pk.CopyBack();
    if (FAILED(hr)) {
        VariantClear(&result);
        return hr;
    }
    if constexpr (std::is_void_v<R>) {
        VariantClear(&result);
        return hr;
    } else {
        return StoreResult(result, vtRet, pvRet, std::is_same_v<R, std::string>);
    }
}
