#include "platform/com/SafeArray.h"

#include <cassert>
#include <cstdlib>
#include <cstring>
#include <new>

#include "platform/com/LiveObjects.h"

namespace {

// Largest data block an array may own: counts come from data and are checked before allocating.
constexpr uint64_t kMaxArrayBytes = 0x7FFFFFFFull;

ULONG ElementSize(VARTYPE vt) {
    switch (vt) {
    case VT_UI1: return 1;
    case VT_I2:
    case VT_BOOL: return 2;
    case VT_I4:
    case VT_R4: return 4;
    case VT_R8: return 8;
    case VT_BSTR: return sizeof(BSTR);
    case VT_VARIANT: return sizeof(VARIANT);
    default: return 0;
    }
}

USHORT FeaturesOf(VARTYPE vt) {
    USHORT f = FADF_HAVEVARTYPE;
    if (vt == VT_BSTR) f |= FADF_BSTR;
    if (vt == VT_VARIANT) f |= FADF_VARIANT;
    return f;
}

// Frees the strings or variants held in elements [from, to).
void ReleaseElements(SAFEARRAY* psa, ULONG from, ULONG to) {
    if (psa->vt == VT_BSTR) {
        auto* p = static_cast<BSTR*>(psa->pvData);
        for (ULONG i = from; i < to; ++i) {
            SysFreeString(p[i]);
            p[i] = nullptr;
        }
    } else if (psa->vt == VT_VARIANT) {
        auto* p = static_cast<VARIANT*>(psa->pvData);
        for (ULONG i = from; i < to; ++i) VariantClear(&p[i]);
    }
}

// The element at a 1-D index, or null outside the bounds.
void* ElementAt(SAFEARRAY* psa, LONG index) {
    const int64_t offset = static_cast<int64_t>(index) - psa->rgsabound[0].lLbound;
    if (offset < 0 || offset >= static_cast<int64_t>(psa->rgsabound[0].cElements)) return nullptr;
    return static_cast<char*>(psa->pvData) + offset * psa->cbElements;
}

}  // namespace

SAFEARRAY* SafeArrayCreate(VARTYPE vt, UINT cDims, SAFEARRAYBOUND* rgsabound) {
    const ULONG size = ElementSize(vt);
    if (cDims != 1 || rgsabound == nullptr || size == 0) return nullptr;
    const uint64_t bytes = static_cast<uint64_t>(rgsabound[0].cElements) * size;
    if (bytes > kMaxArrayBytes) return nullptr;
    auto* psa = new (std::nothrow) SAFEARRAY{};
    if (psa == nullptr) return nullptr;
    // calloc so string and variant slots start as null strings and VT_EMPTY.
    psa->pvData = bytes ? std::calloc(bytes, 1) : nullptr;
    if (bytes != 0 && psa->pvData == nullptr) {
        delete psa;
        return nullptr;
    }
    psa->cDims = 1;
    psa->fFeatures = FeaturesOf(vt);
    psa->cbElements = size;
    psa->cLocks = 0;
    psa->rgsabound[0] = rgsabound[0];
    psa->vt = vt;
    com_detail::AdjustLiveSafeArrays(+1);
    return psa;
}

SAFEARRAY* SafeArrayCreateVector(VARTYPE vt, LONG lLbound, ULONG cElements) {
    SAFEARRAYBOUND bound{cElements, lLbound};
    return SafeArrayCreate(vt, 1, &bound);
}

HRESULT SafeArrayDestroy(SAFEARRAY* psa) {
    if (psa == nullptr) return S_OK;
    if (psa->cLocks != 0) return DISP_E_ARRAYISLOCKED;
    ReleaseElements(psa, 0, psa->rgsabound[0].cElements);
    std::free(psa->pvData);
    delete psa;
    com_detail::AdjustLiveSafeArrays(-1);
    return S_OK;
}

HRESULT SafeArrayLock(SAFEARRAY* psa) {
    if (psa == nullptr) return E_INVALIDARG;
    if (psa->cLocks == 0xFFFFFFFFu) return E_UNEXPECTED;
    ++psa->cLocks;
    return S_OK;
}

HRESULT SafeArrayUnlock(SAFEARRAY* psa) {
    if (psa == nullptr) return E_INVALIDARG;
    if (psa->cLocks == 0) return E_UNEXPECTED;
    --psa->cLocks;
    return S_OK;
}

HRESULT SafeArrayAccessData(SAFEARRAY* psa, void** ppvData) {
    if (psa == nullptr || ppvData == nullptr) return E_INVALIDARG;
    HRESULT hr = SafeArrayLock(psa);
    if (FAILED(hr)) return hr;
    *ppvData = psa->pvData;
    return S_OK;
}

HRESULT SafeArrayUnaccessData(SAFEARRAY* psa) { return SafeArrayUnlock(psa); }

UINT SafeArrayGetDim(SAFEARRAY* psa) { return psa ? psa->cDims : 0; }
UINT SafeArrayGetElemsize(SAFEARRAY* psa) { return psa ? psa->cbElements : 0; }

HRESULT SafeArrayGetVartype(SAFEARRAY* psa, VARTYPE* pvt) {
    if (psa == nullptr || pvt == nullptr) return E_INVALIDARG;
    *pvt = psa->vt;
    return S_OK;
}

HRESULT SafeArrayGetLBound(SAFEARRAY* psa, UINT nDim, LONG* plLbound) {
    if (psa == nullptr || plLbound == nullptr) return E_INVALIDARG;
    if (nDim != 1) return DISP_E_BADINDEX;
    *plLbound = psa->rgsabound[0].lLbound;
    return S_OK;
}

HRESULT SafeArrayGetUBound(SAFEARRAY* psa, UINT nDim, LONG* plUbound) {
    if (psa == nullptr || plUbound == nullptr) return E_INVALIDARG;
    if (nDim != 1) return DISP_E_BADINDEX;
    // Computed in 64 bits: an empty array at INT32_MIN has no representable upper bound.
    const int64_t ub = static_cast<int64_t>(psa->rgsabound[0].lLbound) + psa->rgsabound[0].cElements - 1;
    if (ub > INT32_MAX || ub < INT32_MIN) return DISP_E_OVERFLOW;
    *plUbound = static_cast<LONG>(ub);
    return S_OK;
}

HRESULT SafeArrayGetElement(SAFEARRAY* psa, LONG* rgIndices, void* pv) {
    if (psa == nullptr || rgIndices == nullptr || pv == nullptr) return E_INVALIDARG;
    void* elem = ElementAt(psa, rgIndices[0]);
    if (elem == nullptr) return DISP_E_BADINDEX;
    if (psa->vt == VT_BSTR) {
        BSTR src = *static_cast<BSTR*>(elem);
        BSTR copy = src ? SysAllocStringLen(src, SysStringLen(src)) : nullptr;
        if (src && !copy) return E_OUTOFMEMORY;
        *static_cast<BSTR*>(pv) = copy;
        return S_OK;
    }
    if (psa->vt == VT_VARIANT) {
        auto* out = static_cast<VARIANT*>(pv);
        VariantInit(out);
        return VariantCopy(out, static_cast<VARIANT*>(elem));
    }
    std::memcpy(pv, elem, psa->cbElements);
    return S_OK;
}

HRESULT SafeArrayPutElement(SAFEARRAY* psa, LONG* rgIndices, void* pv) {
    if (psa == nullptr || rgIndices == nullptr) return E_INVALIDARG;
    void* elem = ElementAt(psa, rgIndices[0]);
    if (elem == nullptr) return DISP_E_BADINDEX;
    if (psa->vt == VT_BSTR) {
        BSTR src = static_cast<BSTR>(pv);
        BSTR copy = src ? SysAllocStringLen(src, SysStringLen(src)) : nullptr;
        if (src && !copy) return E_OUTOFMEMORY;
        SysFreeString(*static_cast<BSTR*>(elem));
        *static_cast<BSTR*>(elem) = copy;
        return S_OK;
    }
    if (pv == nullptr) return E_INVALIDARG;
    if (psa->vt == VT_VARIANT) return VariantCopy(static_cast<VARIANT*>(elem), static_cast<VARIANT*>(pv));
    std::memcpy(elem, pv, psa->cbElements);
    return S_OK;
}

HRESULT SafeArrayCopy(SAFEARRAY* psa, SAFEARRAY** ppsaOut) {
    if (ppsaOut == nullptr) return E_INVALIDARG;
    *ppsaOut = nullptr;
    if (psa == nullptr) return S_OK;
    SAFEARRAY* copy = SafeArrayCreate(psa->vt, 1, psa->rgsabound);
    if (copy == nullptr) return E_OUTOFMEMORY;
    const ULONG n = psa->rgsabound[0].cElements;
    if (psa->vt == VT_BSTR || psa->vt == VT_VARIANT) {
        for (ULONG i = 0; i < n; ++i) {
            LONG index = static_cast<LONG>(psa->rgsabound[0].lLbound + static_cast<int64_t>(i));
            void* elem = static_cast<char*>(psa->pvData) + static_cast<size_t>(i) * psa->cbElements;
            HRESULT hr = SafeArrayPutElement(copy, &index, psa->vt == VT_BSTR ? *static_cast<BSTR*>(elem) : elem);
            if (FAILED(hr)) {
                SafeArrayDestroy(copy);
                return hr;
            }
        }
    } else if (n != 0) {
        std::memcpy(copy->pvData, psa->pvData, static_cast<size_t>(n) * psa->cbElements);
    }
    *ppsaOut = copy;
    return S_OK;
}

HRESULT SafeArrayRedim(SAFEARRAY* psa, SAFEARRAYBOUND* psaboundNew) {
    if (psa == nullptr || psaboundNew == nullptr) return E_INVALIDARG;
    if (psa->cLocks != 0) return DISP_E_ARRAYISLOCKED;
    const ULONG oldCount = psa->rgsabound[0].cElements;
    const ULONG newCount = psaboundNew->cElements;
    const uint64_t bytes = static_cast<uint64_t>(newCount) * psa->cbElements;
    if (bytes > kMaxArrayBytes) return E_OUTOFMEMORY;
    if (newCount < oldCount) ReleaseElements(psa, newCount, oldCount);
    void* data = nullptr;
    if (bytes != 0) {
        data = std::realloc(psa->pvData, bytes);
        if (data == nullptr) return E_OUTOFMEMORY;
    } else {
        std::free(psa->pvData);
    }
    if (newCount > oldCount)
        std::memset(static_cast<char*>(data) + static_cast<size_t>(oldCount) * psa->cbElements, 0,
                    static_cast<size_t>(newCount - oldCount) * psa->cbElements);
    psa->pvData = data;
    psa->rgsabound[0] = *psaboundNew;
    return S_OK;
}
