#include "platform/com/Variant.h"

#include <cstring>

#include "platform/com/Dispatch.h"
#include "platform/com/SafeArray.h"

namespace {

// Types a variant may hold by value or, with VT_BYREF, point at.
bool IsKnownBaseType(VARTYPE base) {
    switch (base) {
    case VT_EMPTY:
    case VT_NULL:
    case VT_I2:
    case VT_I4:
    case VT_R4:
    case VT_R8:
    case VT_BSTR:
    case VT_DISPATCH:
    case VT_ERROR:
    case VT_BOOL:
    case VT_UNKNOWN:
    case VT_UI1:
    case VT_VARIANT:
        return true;
    default:
        return false;
    }
}

bool IsValidType(VARTYPE vt) {
    const VARTYPE base = vt & VT_TYPEMASK;
    if ((vt & ~(VT_TYPEMASK | VT_ARRAY | VT_BYREF)) != 0) return false;
    if (!IsKnownBaseType(base)) return false;
    // A plain VT_VARIANT only exists by reference or as an array element type.
    if (base == VT_VARIANT && (vt & (VT_BYREF | VT_ARRAY)) == 0) return false;
    if ((vt & VT_BYREF) && (base == VT_EMPTY || base == VT_NULL)) return false;
    return true;
}

}  // namespace

void VariantInit(VARIANTARG* pvarg) {
    std::memset(pvarg, 0, sizeof *pvarg);
    pvarg->vt = VT_EMPTY;
}

HRESULT VariantClear(VARIANTARG* pvarg) {
    if (pvarg == nullptr) return E_INVALIDARG;
    if (!IsValidType(pvarg->vt)) return DISP_E_BADVARTYPE;
    if ((pvarg->vt & VT_BYREF) == 0) {
        if (pvarg->vt & VT_ARRAY) {
            HRESULT hr = SafeArrayDestroy(pvarg->parray);
            if (FAILED(hr)) return hr;
        } else if (pvarg->vt == VT_BSTR) {
            SysFreeString(pvarg->bstrVal);
        } else if (pvarg->vt == VT_DISPATCH || pvarg->vt == VT_UNKNOWN) {
            if (pvarg->punkVal) pvarg->punkVal->Release();
        }
    }
    VariantInit(pvarg);
    return S_OK;
}

HRESULT VariantCopy(VARIANTARG* pvargDest, const VARIANTARG* pvargSrc) {
    if (pvargDest == nullptr || pvargSrc == nullptr) return E_INVALIDARG;
    if (pvargDest == pvargSrc) return S_OK;
    if (!IsValidType(pvargSrc->vt)) return DISP_E_BADVARTYPE;
    // Build the copy first, so a failure leaves the destination as it was.
    VARIANT copy = *pvargSrc;
    if ((pvargSrc->vt & VT_BYREF) == 0) {
        if (pvargSrc->vt & VT_ARRAY) {
            HRESULT hr = SafeArrayCopy(pvargSrc->parray, &copy.parray);
            if (FAILED(hr)) return hr;
        } else if (pvargSrc->vt == VT_BSTR && pvargSrc->bstrVal != nullptr) {
            copy.bstrVal = SysAllocStringLen(pvargSrc->bstrVal, SysStringLen(pvargSrc->bstrVal));
            if (copy.bstrVal == nullptr) return E_OUTOFMEMORY;
        } else if ((pvargSrc->vt == VT_DISPATCH || pvargSrc->vt == VT_UNKNOWN) && pvargSrc->punkVal) {
            pvargSrc->punkVal->AddRef();
        }
    }
    HRESULT hr = VariantClear(pvargDest);
    if (FAILED(hr)) {
        VariantClear(&copy);
        return hr;
    }
    *pvargDest = copy;
    return S_OK;
}

HRESULT VariantCopyInd(VARIANT* pvarDest, const VARIANTARG* pvargSrc) {
    if (pvarDest == nullptr || pvargSrc == nullptr) return E_INVALIDARG;
    if ((pvargSrc->vt & VT_BYREF) == 0) return VariantCopy(pvarDest, pvargSrc);
    if (!IsValidType(pvargSrc->vt)) return DISP_E_BADVARTYPE;
    if (pvargSrc->byref == nullptr) return E_INVALIDARG;
    const VARTYPE vt = pvargSrc->vt & ~VT_BYREF;
    if (vt == VT_VARIANT) {
        const VARIANT* inner = pvargSrc->pvarVal;
        // A variant that refers to another reference is not followed further.
        if (inner->vt & VT_BYREF) return E_INVALIDARG;
        return VariantCopy(pvarDest, inner);
    }
    VARIANT value;
    VariantInit(&value);
    value.vt = vt;
    if (vt & VT_ARRAY) {
        value.parray = *pvargSrc->pparray;
    } else {
        switch (vt) {
        case VT_UI1: value.bVal = *pvargSrc->pbVal; break;
        case VT_I2: value.iVal = *pvargSrc->piVal; break;
        case VT_I4: value.lVal = *pvargSrc->plVal; break;
        case VT_R4: value.fltVal = *pvargSrc->pfltVal; break;
        case VT_R8: value.dblVal = *pvargSrc->pdblVal; break;
        case VT_BOOL: value.boolVal = *pvargSrc->pboolVal; break;
        case VT_ERROR: value.scode = *pvargSrc->pscode; break;
        case VT_BSTR: value.bstrVal = *pvargSrc->pbstrVal; break;
        case VT_DISPATCH:
        case VT_UNKNOWN: value.punkVal = *pvargSrc->ppunkVal; break;
        default: return DISP_E_BADVARTYPE;
        }
    }
    // `value` borrows the pointed-at storage; VariantCopy makes the owned copy.
    return VariantCopy(pvarDest, &value);
}

void ClearExcepInfo(EXCEPINFO* pExcepInfo) {
    if (pExcepInfo == nullptr) return;
    SysFreeString(pExcepInfo->bstrSource);
    SysFreeString(pExcepInfo->bstrDescription);
    SysFreeString(pExcepInfo->bstrHelpFile);
    std::memset(pExcepInfo, 0, sizeof *pExcepInfo);
}
