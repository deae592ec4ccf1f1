#include "platform/afx/COleSafeArray.h"

#include <cassert>
#include <cstring>

COleSafeArray::COleSafeArray() { VariantInit(this); }

COleSafeArray::~COleSafeArray() {
    HRESULT hr = Clear();
    assert(SUCCEEDED(hr) && "a safe array destroyed while locked");
    (void)hr;
}

HRESULT COleSafeArray::Clear() { return VariantClear(this); }

HRESULT COleSafeArray::CreateOneDim(VARTYPE vtSrc, DWORD dwElements, const void* pvSrcData, long nLBound) {
    SAFEARRAY* psa = SafeArrayCreateVector(vtSrc, static_cast<LONG>(nLBound), dwElements);
    if (psa == nullptr) return E_OUTOFMEMORY;
    if (pvSrcData != nullptr && dwElements != 0) {
        if (vtSrc == VT_BSTR || vtSrc == VT_VARIANT) {
            // Strings and variants are copied element by element so the array owns its copies.
            for (DWORD i = 0; i < dwElements; ++i) {
                LONG index = static_cast<LONG>(nLBound + static_cast<long>(i));
                const char* src = static_cast<const char*>(pvSrcData) + static_cast<size_t>(i) * psa->cbElements;
                void* elem = vtSrc == VT_BSTR ? static_cast<void*>(*reinterpret_cast<BSTR const*>(src))
                                              : const_cast<char*>(src);
                HRESULT hr = SafeArrayPutElement(psa, &index, elem);
                if (FAILED(hr)) {
                    SafeArrayDestroy(psa);
                    return hr;
                }
            }
        } else {
            std::memcpy(psa->pvData, pvSrcData, static_cast<size_t>(dwElements) * psa->cbElements);
        }
    }
    HRESULT hr = Clear();
    if (FAILED(hr)) {
        SafeArrayDestroy(psa);
        return hr;
    }
    vt = static_cast<VARTYPE>(VT_ARRAY | vtSrc);
    parray = psa;
    return S_OK;
}

DWORD COleSafeArray::GetOneDimSize() const {
    SAFEARRAY* psa = Array();
    return psa ? psa->rgsabound[0].cElements : 0;
}

HRESULT COleSafeArray::ResizeOneDim(DWORD dwElements) {
    SAFEARRAY* psa = Array();
    if (psa == nullptr) return E_UNEXPECTED;
    SAFEARRAYBOUND bound{dwElements, psa->rgsabound[0].lLbound};
    return SafeArrayRedim(psa, &bound);
}

DWORD COleSafeArray::GetDim() const { return SafeArrayGetDim(Array()); }
DWORD COleSafeArray::GetElemSize() const { return SafeArrayGetElemsize(Array()); }

HRESULT COleSafeArray::GetLBound(DWORD dwDim, long* pLBound) const {
    LONG v = 0;
    HRESULT hr = SafeArrayGetLBound(Array(), dwDim, &v);
    if (SUCCEEDED(hr) && pLBound) *pLBound = v;
    return hr;
}

HRESULT COleSafeArray::GetUBound(DWORD dwDim, long* pUBound) const {
    LONG v = 0;
    HRESULT hr = SafeArrayGetUBound(Array(), dwDim, &v);
    if (SUCCEEDED(hr) && pUBound) *pUBound = v;
    return hr;
}

HRESULT COleSafeArray::GetElement(long* rgIndices, void* pvData) const {
    if (rgIndices == nullptr) return E_INVALIDARG;
    LONG index = static_cast<LONG>(rgIndices[0]);
    return SafeArrayGetElement(Array(), &index, pvData);
}

HRESULT COleSafeArray::PutElement(long* rgIndices, void* pvData) {
    if (rgIndices == nullptr) return E_INVALIDARG;
    LONG index = static_cast<LONG>(rgIndices[0]);
    return SafeArrayPutElement(Array(), &index, pvData);
}

HRESULT COleSafeArray::Lock() { return SafeArrayLock(Array()); }
HRESULT COleSafeArray::Unlock() { return SafeArrayUnlock(Array()); }
HRESULT COleSafeArray::AccessData(void** ppvData) { return SafeArrayAccessData(Array(), ppvData); }
HRESULT COleSafeArray::UnaccessData() { return SafeArrayUnaccessData(Array()); }

HRESULT COleSafeArray::Attach(VARIANT& varSrc) {
    if ((varSrc.vt & VT_ARRAY) == 0 || (varSrc.vt & VT_BYREF) != 0) return E_INVALIDARG;
    HRESULT hr = Clear();
    if (FAILED(hr)) return hr;
    static_cast<VARIANT&>(*this) = varSrc;
    VariantInit(&varSrc);
    return S_OK;
}

VARIANT COleSafeArray::Detach() {
    VARIANT out = *this;
    VariantInit(this);
    return out;
}
