#pragma once
// Automation: IDispatch with the platform's calling conventions (arguments in DISPPARAMS in
// reverse order, the named DISPID_PROPERTYPUT for a property put, VT_BYREF for arguments the
// callee writes back) and the minimal ITypeInfo that describes a dispatch interface.
#include "platform/com/Unknown.h"
#include "platform/com/Variant.h"

using DISPID = LONG;
using MEMBERID = DISPID;
using LCID = DWORD;

constexpr DISPID DISPID_UNKNOWN = -1;
constexpr DISPID DISPID_VALUE = 0;
constexpr DISPID DISPID_PROPERTYPUT = -3;
// The extended control's name property: the name the container gives the control.
constexpr DISPID DISPID_Name = static_cast<DISPID>(0x80010000u);
// Dispatch ids the container's extended control answers in place of the control.
constexpr bool IsExtenderDispid(DISPID id) {
    return (static_cast<uint32_t>(id) & 0xFFFF0000u) == 0x80010000u;
}

constexpr LCID LOCALE_SYSTEM_DEFAULT = 0x0800;
constexpr LCID LOCALE_USER_DEFAULT = 0x0400;

constexpr WORD DISPATCH_METHOD = 0x1;
constexpr WORD DISPATCH_PROPERTYGET = 0x2;
constexpr WORD DISPATCH_PROPERTYPUT = 0x4;
constexpr WORD DISPATCH_PROPERTYPUTREF = 0x8;

struct DISPPARAMS {
    VARIANTARG* rgvarg;        // arguments, last argument first
    DISPID* rgdispidNamedArgs;
    UINT cArgs;
    UINT cNamedArgs;
};

struct EXCEPINFO {
    WORD wCode;
    WORD wReserved;
    BSTR bstrSource;
    BSTR bstrDescription;
    BSTR bstrHelpFile;
    DWORD dwHelpContext;
    void* pvReserved;
    HRESULT (*pfnDeferredFillIn)(EXCEPINFO*);
    SCODE scode;
};
// Frees the strings an EXCEPINFO carries and zeroes it.
void ClearExcepInfo(EXCEPINFO* pExcepInfo);

struct ITypeInfo;
class CDispatchInterface;

// {00020400-0000-0000-C000-000000000046}
constexpr IID IID_IDispatch = {0x00020400, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

struct IDispatch : IUnknown {
    virtual HRESULT GetTypeInfoCount(UINT* pctinfo) = 0;
    virtual HRESULT GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) = 0;
    // Names compare without regard to ASCII case; further names are parameter names, answered
    // with their 0-based positions.
    virtual HRESULT GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid, DISPID* rgDispId) = 0;
    virtual HRESULT Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags, DISPPARAMS* pDispParams,
                           VARIANT* pVarResult, EXCEPINFO* pExcepInfo, UINT* puArgErr) = 0;

protected:
    ~IDispatch() = default;
};
using LPDISPATCH = IDispatch*;

enum TYPEKIND { TKIND_DISPATCH = 4, TKIND_COCLASS = 5 };

// What a type description is: its kind, identifier, member count and version.
struct TYPEATTR {
    GUID guid;
    TYPEKIND typekind;
    WORD cFuncs;   // methods (and events)
    WORD cVars;    // properties
    WORD cImplTypes;
    WORD wMajorVerNum;
    WORD wMinorVerNum;
};

// {00020401-0000-0000-C000-000000000046}
constexpr IID IID_ITypeInfo = {0x00020401, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

// The parts of a type description that automation clients use. Members are indexed in the
// declaration order of the type library, which need not be their dispatch-id order.
struct ITypeInfo : IUnknown {
    virtual HRESULT GetTypeAttr(TYPEATTR* pTypeAttr) = 0;
    // MEMBERID_NIL (-1) asks for the type itself. Any out pointer may be null.
    virtual HRESULT GetDocumentation(MEMBERID memid, BSTR* pBstrName, BSTR* pBstrDocString,
                                     DWORD* pdwHelpContext, BSTR* pBstrHelpFile) = 0;
    // The member's name followed by its parameter names.
    virtual HRESULT GetNames(MEMBERID memid, BSTR* rgBstrNames, UINT cMaxNames, UINT* pcNames) = 0;
    virtual HRESULT GetIDsOfNames(LPOLESTR* rgszNames, UINT cNames, MEMBERID* pMemId) = 0;
    // The dispatch id of the member at a declaration index; TYPE_E_ELEMENTNOTFOUND past the end.
    virtual HRESULT GetMemberIdOfIndex(UINT index, MEMBERID* pMemId) = 0;
    // The dispatch table behind a dispatch interface, for code that describes it (null for a class).
    virtual const CDispatchInterface* GetDispatchInterface() = 0;

protected:
    ~ITypeInfo() = default;
};
constexpr MEMBERID MEMBERID_NIL = -1;
