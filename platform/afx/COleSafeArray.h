#pragma once
// A VARIANT that holds a one-dimensional safe array, with the platform's wrapper operations.
// Failures come back as HRESULTs (the platform raises exceptions); a locked array is never freed.
#include "platform/com/SafeArray.h"

class COleSafeArray : public tagVARIANT {
public:
    COleSafeArray();
    COleSafeArray(const COleSafeArray&) = delete;
    COleSafeArray& operator=(const COleSafeArray&) = delete;
    // Frees the array; it must not be locked by then (a programmer error: the array is kept).
    ~COleSafeArray();

    // Frees the held array (DISP_E_ARRAYISLOCKED while locked, and then it is kept).
    HRESULT Clear();
    // Replaces the content by a new array of dwElements elements, copied from pvSrcData if given.
    HRESULT CreateOneDim(VARTYPE vtSrc, DWORD dwElements, const void* pvSrcData = nullptr, long nLBound = 0);
    // The element count; 0 without an array.
    DWORD GetOneDimSize() const;
    HRESULT ResizeOneDim(DWORD dwElements);
    DWORD GetDim() const;
    DWORD GetElemSize() const;
    HRESULT GetLBound(DWORD dwDim, long* pLBound) const;
    HRESULT GetUBound(DWORD dwDim, long* pUBound) const;
    HRESULT GetElement(long* rgIndices, void* pvData) const;
    HRESULT PutElement(long* rgIndices, void* pvData);
    HRESULT Lock();
    HRESULT Unlock();
    HRESULT AccessData(void** ppvData);
    HRESULT UnaccessData();

    // Takes over the content of varSrc (an array variant), leaving it empty.
    HRESULT Attach(VARIANT& varSrc);
    // Hands the content over, leaving this empty.
    VARIANT Detach();

    operator LPVARIANT() { return this; }
    operator LPCVARIANT() const { return this; }

private:
    SAFEARRAY* Array() const { return (vt & VT_ARRAY) ? parray : nullptr; }
};
