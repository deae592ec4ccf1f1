#pragma once
// What every fake COM object of the tests answers the same way: handing out an interface,
// refusing one, a name as a result, and IDispatch without type information.
#include <string>

#include "platform/com/Bstr.h"
#include "platform/com/OleInterfaces.h"
#include "platform/com/Variant.h"

namespace fake {

// Hands out `self` as the interface asked for (one reference for the caller).
template <class T>
HRESULT Answer(T* self, void** ppv) {
    if (ppv == nullptr) return E_POINTER;
    *ppv = self;
    self->AddRef();
    return S_OK;
}

inline HRESULT NoInterface(void** ppv) {
    if (ppv != nullptr) *ppv = nullptr;
    return E_NOINTERFACE;
}

// Writes a name into a result variant.
inline HRESULT AnswerName(const std::string& name, VARIANT* result) {
    if (result == nullptr) return E_POINTER;
    VariantInit(result);
    result->vt = VT_BSTR;
    result->bstrVal = SysAllocStringFrom(name);
    return S_OK;
}

}  // namespace fake

// The part of IDispatch a fake without type information answers the same way every time.
class CFakeDispatchNoTypeInfo : public IDispatch {
public:
    HRESULT GetTypeInfoCount(UINT* pctinfo) override {
        if (pctinfo != nullptr) *pctinfo = 0;
        return S_OK;
    }
    HRESULT GetTypeInfo(UINT, LCID, ITypeInfo** ppTInfo) override {
        if (ppTInfo != nullptr) *ppTInfo = nullptr;
        return E_NOTIMPL;
    }
};
