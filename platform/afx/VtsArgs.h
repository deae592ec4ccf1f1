#pragma once
// Argument lists described by the platform's parameter strings (VTS_R8 VTS_PBSTR ...), as
// COleDispatchDriver::InvokeHelper and COleControl::FireEvent take them. The values follow the
// string; each is checked against its code (a mismatch is a programmer error and asserts) and
// packed into DISPPARAMS in the platform's reversed order.
#include <algorithm>
#include <cassert>
#include <cstring>
#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "platform/com/Dispatch.h"

// Codes of one byte each; 0x40 marks a by-reference parameter. They concatenate as string literals.
#define VTS_NONE ""
#define VTS_I2 "\x02"
#define VTS_I4 "\x03"
#define VTS_R4 "\x04"
#define VTS_R8 "\x05"
#define VTS_BSTR "\x08"
#define VTS_DISPATCH "\x09"
#define VTS_BOOL "\x0B"
#define VTS_VARIANT "\x0C"
#define VTS_UNKNOWN "\x0D"
#define VTS_PI2 "\x42"
#define VTS_PI4 "\x43"
#define VTS_PR4 "\x44"
#define VTS_PR8 "\x45"
#define VTS_PBSTR "\x48"
#define VTS_PDISPATCH "\x49"
#define VTS_PBOOL "\x4B"
#define VTS_PVARIANT "\x4C"
#define EVENT_PARAM(params) (params)

namespace afx_detail {

// The VARTYPE a parameter code stands for.
constexpr VARTYPE VarTypeOfCode(char code) {
    const auto c = static_cast<unsigned char>(code);
    return static_cast<VARTYPE>((c & 0x3F) | ((c & 0x40) ? VT_BYREF : 0));
}

// Owns the packed arguments of one call: by-value copies are freed, and values passed as
// std::string* or BOOL* are copied back after the call.
class CPackedArgs {
public:
    CPackedArgs() = default;
    CPackedArgs(const CPackedArgs&) = delete;
    CPackedArgs& operator=(const CPackedArgs&) = delete;
    ~CPackedArgs() {
        for (VARIANT& v : m_args)
            if ((v.vt & VT_BYREF) == 0) VariantClear(&v);
        for (BSTR s : m_tempStrings) SysFreeString(s);
    }
    // DISPPARAMS over the arguments, last argument first; valid while this object lives.
    DISPPARAMS Params() {
        return DISPPARAMS{m_args.empty() ? nullptr : m_args.data(), nullptr, static_cast<UINT>(m_args.size()), 0};
    }
    void CopyBack() {
        for (auto& f : m_copyBacks) f();
    }

    std::vector<VARIANT> m_args;  // in declaration order until Reverse
    std::deque<BSTR> m_tempStrings;
    std::deque<VARIANT_BOOL> m_tempBools;
    std::vector<std::function<void()>> m_copyBacks;
};

template <class A>
bool PackOne(VARTYPE vt, A&& a, CPackedArgs& pk) {
    using T = std::remove_cvref_t<A>;
    VARIANT v;
    VariantInit(&v);
    v.vt = vt;
    bool ok = true;
    switch (vt) {
    case VT_I2:
    case VT_I4:
    case VT_BOOL:
        if constexpr (std::is_integral_v<T>) {
            if (vt == VT_I2) v.iVal = static_cast<SHORT>(a);
            else if (vt == VT_I4) v.lVal = static_cast<LONG>(a);
            else v.boolVal = a ? VARIANT_TRUE : VARIANT_FALSE;
        } else ok = false;
        break;
    case VT_R4:
    case VT_R8:
        if constexpr (std::is_arithmetic_v<T>) {
            if (vt == VT_R4) v.fltVal = static_cast<float>(a);
            else v.dblVal = static_cast<double>(a);
        } else ok = false;
        break;
    case VT_BSTR:
        if constexpr (std::is_convertible_v<T, std::string_view>) v.bstrVal = SysAllocStringFrom(std::string_view(a));
        else ok = false;
        break;
    case VT_DISPATCH:
    case VT_UNKNOWN:
        if constexpr (std::is_null_pointer_v<T>) v.punkVal = nullptr;
        else if constexpr (std::is_convertible_v<T, IDispatch*>) {
            v.pdispVal = a;
            if (a) a->AddRef();
            if (vt == VT_UNKNOWN) v.punkVal = static_cast<IUnknown*>(static_cast<IDispatch*>(a));
        } else if constexpr (std::is_convertible_v<T, IUnknown*>) {
            if (vt != VT_UNKNOWN) ok = false;
            else {
                v.punkVal = a;
                if (a) a->AddRef();
            }
        } else ok = false;
        break;
    case VT_VARIANT:
        if constexpr (std::is_same_v<T, VARIANT> || std::is_same_v<T, const VARIANT*> || std::is_same_v<T, VARIANT*>) {
            const VARIANT* src;
            if constexpr (std::is_same_v<T, VARIANT>) src = &a;
            else src = a;
            VariantInit(&v);
            ok = src != nullptr && SUCCEEDED(VariantCopy(&v, src));
        } else ok = false;
        break;
    case VT_I2 | VT_BYREF:
        if constexpr (std::is_same_v<T, SHORT*>) v.piVal = a;
        else ok = false;
        break;
    case VT_I4 | VT_BYREF:
        if constexpr (std::is_same_v<T, LONG*>) v.plVal = a;
        else ok = false;
        break;
    case VT_R4 | VT_BYREF:
        if constexpr (std::is_same_v<T, float*>) v.pfltVal = a;
        else ok = false;
        break;
    case VT_R8 | VT_BYREF:
        if constexpr (std::is_same_v<T, double*>) v.pdblVal = a;
        else ok = false;
        break;
    case VT_BSTR | VT_BYREF:
        if constexpr (std::is_same_v<T, BSTR*>) v.pbstrVal = a;
        else if constexpr (std::is_same_v<T, std::string*>) {
            BSTR& temp = pk.m_tempStrings.emplace_back(SysAllocStringFrom(*a));
            v.pbstrVal = &temp;
            pk.m_copyBacks.push_back([a, &temp] { *a = StringFromBstr(temp); });
        } else ok = false;
        break;
    case VT_BOOL | VT_BYREF:
        if constexpr (std::is_same_v<T, LONG*>) {  // BOOL*
            VARIANT_BOOL& temp = pk.m_tempBools.emplace_back(*a ? VARIANT_TRUE : VARIANT_FALSE);
            v.pboolVal = &temp;
            pk.m_copyBacks.push_back([a, &temp] { *a = temp ? TRUE : FALSE; });
        } else if constexpr (std::is_same_v<T, VARIANT_BOOL*>) v.pboolVal = a;
        else ok = false;
        break;
    case VT_VARIANT | VT_BYREF:
        if constexpr (std::is_same_v<T, VARIANT*>) v.pvarVal = a;
        else ok = false;
        break;
    case VT_DISPATCH | VT_BYREF:
        if constexpr (std::is_same_v<T, IDispatch**>) v.ppdispVal = a;
        else ok = false;
        break;
    default: ok = false; break;
    }
    if (!ok) VariantInit(&v);
    pk.m_args.push_back(v);
    return ok;
}

// Packs `args` as `params` describes them; FALSE (after asserting) when they disagree.
template <class... Args>
bool PackArgs(const char* params, CPackedArgs& pk, Args&&... args) {
    const size_t n = params ? std::strlen(params) : 0;
    assert(n == sizeof...(Args) && "parameter string and arguments differ in count");
    if (n != sizeof...(Args)) return false;
    pk.m_args.reserve(n);
    size_t i = 0;
    bool ok = (PackOne(VarTypeOfCode(params[i++]), std::forward<Args>(args), pk) && ...);
    assert(ok && "argument does not match its parameter code");
    // The platform passes the last argument first.
    std::reverse(pk.m_args.begin(), pk.m_args.end());
    return ok;
}

}  // namespace afx_detail
