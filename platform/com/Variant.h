#pragma once
// The automation value: a tagged union of the types the controls exchange, with the platform's
// rules for ownership (a VARIANT owns its BSTR, interface reference or array; a VT_BYREF form
// only points at storage its creator owns).
#include "platform/com/Bstr.h"
#include "platform/com/HResult.h"

struct IUnknown;
struct IDispatch;
struct SAFEARRAY;

using VARTYPE = unsigned short;
using VARIANT_BOOL = short;
constexpr VARIANT_BOOL VARIANT_TRUE = -1;
constexpr VARIANT_BOOL VARIANT_FALSE = 0;

enum VARENUM : VARTYPE {
    VT_EMPTY = 0,
    VT_NULL = 1,
    VT_I2 = 2,
    VT_I4 = 3,
    VT_R4 = 4,
    VT_R8 = 5,
    VT_BSTR = 8,
    VT_DISPATCH = 9,
    VT_ERROR = 10,
    VT_BOOL = 11,
    VT_VARIANT = 12,
    VT_UNKNOWN = 13,
    VT_UI1 = 17,
    VT_ARRAY = 0x2000,
    VT_BYREF = 0x4000,
    VT_TYPEMASK = 0x0FFF,
};

struct tagVARIANT {
    VARTYPE vt;
    WORD wReserved1;
    WORD wReserved2;
    WORD wReserved3;
    union {
        BYTE bVal;
        SHORT iVal;
        LONG lVal;
        float fltVal;
        double dblVal;
        VARIANT_BOOL boolVal;
        SCODE scode;
        BSTR bstrVal;
        IUnknown* punkVal;
        IDispatch* pdispVal;
        SAFEARRAY* parray;
        BYTE* pbVal;
        SHORT* piVal;
        LONG* plVal;
        float* pfltVal;
        double* pdblVal;
        VARIANT_BOOL* pboolVal;
        SCODE* pscode;
        BSTR* pbstrVal;
        IUnknown** ppunkVal;
        IDispatch** ppdispVal;
        SAFEARRAY** pparray;
        tagVARIANT* pvarVal;
        void* byref;
    };
};
using VARIANT = tagVARIANT;
using VARIANTARG = tagVARIANT;
using LPVARIANT = VARIANT*;
using LPCVARIANT = const VARIANT*;

// Flag of VariantChangeType: a VT_BOOL becomes "True"/"False" rather than "-1"/"0".
constexpr USHORT VARIANT_ALPHABOOL = 0x02;

// Sets VT_EMPTY without looking at the old content.
void VariantInit(VARIANTARG* pvarg);
// Frees what the variant owns and leaves VT_EMPTY. A locked array is not freed: the call fails with
// DISP_E_ARRAYISLOCKED and the variant keeps it. An unknown type gives DISP_E_BADVARTYPE.
HRESULT VariantClear(VARIANTARG* pvarg);
// Clears *pvargDest, then makes it a deep copy of *pvargSrc (BSTRs and arrays duplicated,
// interfaces AddRef'd; a VT_BYREF form copies the pointer).
HRESULT VariantCopy(VARIANTARG* pvargDest, const VARIANTARG* pvargSrc);
// As VariantCopy, but a VT_BYREF source is copied as the value it points at.
HRESULT VariantCopyInd(VARIANT* pvarDest, const VARIANTARG* pvargSrc);
// Converts to `vt` (VT_BYREF sources are read through). Pairs among EMPTY, I2, I4, R4, R8, BOOL,
// BSTR and UI1 convert with the platform's rules (numbers round half to even into integers, out of
// range gives DISP_E_OVERFLOW, unparsable text DISP_E_TYPEMISMATCH); UNKNOWN and DISPATCH convert
// into each other through QueryInterface; anything else converts only to its own type.
// *pvargDest may be the source itself; on failure it is left unchanged.
HRESULT VariantChangeType(VARIANTARG* pvargDest, const VARIANTARG* pvargSrc, USHORT wFlags, VARTYPE vt);
