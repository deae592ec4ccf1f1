#pragma once
// How C++ parameter and result types of dispatch members meet VARIANTs. Each C++ type accepts the
// automation types listed beside it; a table whose types disagree with its functions is a
// programmer error and asserts when the table is built.
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>

#include "platform/com/Dispatch.h"

namespace dispatch_detail {

template <class A>
using Bare = std::remove_cvref_t<A>;

// Whether an argument of C++ type A can receive a VARIANT already coerced to `vt`.
template <class A>
constexpr bool ArgAccepts(VARTYPE vt) {
    using T = Bare<A>;
    if constexpr (std::is_same_v<T, SHORT>) return vt == VT_I2;
    else if constexpr (std::is_same_v<T, LONG>) return vt == VT_I4 || vt == VT_BOOL;  // LONG and BOOL
    else if constexpr (std::is_same_v<T, BYTE>) return vt == VT_UI1;
    else if constexpr (std::is_same_v<T, float>) return vt == VT_R4;
    else if constexpr (std::is_same_v<T, double>) return vt == VT_R8;
    else if constexpr (std::is_same_v<T, const char*> || std::is_same_v<T, std::string>) return vt == VT_BSTR;
    else if constexpr (std::is_same_v<T, IDispatch*>) return vt == VT_DISPATCH;
    else if constexpr (std::is_same_v<T, IUnknown*>) return vt == VT_UNKNOWN;
    else if constexpr (std::is_same_v<T, VARIANT>) return vt == VT_VARIANT;
    else if constexpr (std::is_same_v<T, SHORT*>) return vt == (VT_I2 | VT_BYREF) || vt == (VT_BOOL | VT_BYREF);
    else if constexpr (std::is_same_v<T, LONG*>) return vt == (VT_I4 | VT_BYREF);
    else if constexpr (std::is_same_v<T, float*>) return vt == (VT_R4 | VT_BYREF);
    else if constexpr (std::is_same_v<T, double*>) return vt == (VT_R8 | VT_BYREF);
    else if constexpr (std::is_same_v<T, BSTR*>) return vt == (VT_BSTR | VT_BYREF);
    else if constexpr (std::is_same_v<T, VARIANT*>) return vt == (VT_VARIANT | VT_BYREF);
    else if constexpr (std::is_same_v<T, IDispatch**>) return vt == (VT_DISPATCH | VT_BYREF);
    else return false;
}

// Reads an argument from a VARIANT of the type ArgAccepts checked (references: the pointed-at storage).
template <class A>
decltype(auto) ArgFrom(VARIANT& v) {
    using T = Bare<A>;
    if constexpr (std::is_same_v<T, SHORT>) return static_cast<SHORT>(v.iVal);
    else if constexpr (std::is_same_v<T, LONG>) return v.vt == VT_BOOL ? LONG(v.boolVal ? TRUE : FALSE) : v.lVal;
    else if constexpr (std::is_same_v<T, BYTE>) return static_cast<BYTE>(v.bVal);
    else if constexpr (std::is_same_v<T, float>) return static_cast<float>(v.fltVal);
    else if constexpr (std::is_same_v<T, double>) return static_cast<double>(v.dblVal);
    else if constexpr (std::is_same_v<T, const char*>) return static_cast<const char*>(v.bstrVal ? v.bstrVal : "");
    else if constexpr (std::is_same_v<T, std::string>) return StringFromBstr(v.bstrVal);
    else if constexpr (std::is_same_v<T, IDispatch*>) return static_cast<IDispatch*>(v.pdispVal);
    else if constexpr (std::is_same_v<T, IUnknown*>) return static_cast<IUnknown*>(v.punkVal);
    else if constexpr (std::is_same_v<T, VARIANT>) return static_cast<const VARIANT&>(v);
    else if constexpr (std::is_same_v<T, SHORT*>) return static_cast<SHORT*>(v.piVal);
    else if constexpr (std::is_same_v<T, LONG*>) return static_cast<LONG*>(v.plVal);
    else if constexpr (std::is_same_v<T, float*>) return static_cast<float*>(v.pfltVal);
    else if constexpr (std::is_same_v<T, double*>) return static_cast<double*>(v.pdblVal);
    else if constexpr (std::is_same_v<T, BSTR*>) return static_cast<BSTR*>(v.pbstrVal);
    else if constexpr (std::is_same_v<T, VARIANT*>) return static_cast<VARIANT*>(v.pvarVal);
    else if constexpr (std::is_same_v<T, IDispatch**>) return static_cast<IDispatch**>(v.ppdispVal);
    else static_assert(sizeof(T) == 0, "unsupported dispatch argument type");
}

// Whether every argument type of a tuple accepts the declared parameter type at its position.
template <class Tuple, class Params>
bool ArgsAccept(const Params& params) {
    return [&]<size_t... I>(std::index_sequence<I...>) {
        return ((ArgAccepts<std::tuple_element_t<I, Tuple>>(params[I].vt)) && ...);
    }(std::make_index_sequence<std::tuple_size_v<Tuple>>{});
}

// Whether a C++ result of type R can be reported as `vt`.
template <class R>
constexpr bool ResultAccepts(VARTYPE vt) {
    using T = Bare<R>;
    if constexpr (std::is_void_v<T>) return vt == VT_EMPTY;
    else if constexpr (std::is_same_v<T, SHORT>) return vt == VT_I2;
    else if constexpr (std::is_same_v<T, LONG>) return vt == VT_I4 || vt == VT_BOOL;
    else if constexpr (std::is_same_v<T, BYTE>) return vt == VT_UI1;
    else if constexpr (std::is_same_v<T, float>) return vt == VT_R4;
    else if constexpr (std::is_same_v<T, double>) return vt == VT_R8;
    else if constexpr (std::is_same_v<T, BSTR> || std::is_same_v<T, std::string>) return vt == VT_BSTR;
    else if constexpr (std::is_same_v<T, IDispatch*>) return vt == VT_DISPATCH;
    else if constexpr (std::is_same_v<T, VARIANT>) return vt == VT_VARIANT;
    else return false;
}

// Stores a result into an empty VARIANT. A BSTR or IDispatch* result is owned by the getter's
// caller, as the platform's getters return them, so ownership moves into the VARIANT.
template <class R>
void StoreResult(R&& value, VARTYPE vt, VARIANT& out) {
    using T = Bare<R>;
    out.vt = vt;
    if constexpr (std::is_same_v<T, SHORT>) out.iVal = value;
    else if constexpr (std::is_same_v<T, LONG>) {
        if (vt == VT_BOOL) out.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
        else out.lVal = value;
    } else if constexpr (std::is_same_v<T, BYTE>) out.bVal = value;
    else if constexpr (std::is_same_v<T, float>) out.fltVal = value;
    else if constexpr (std::is_same_v<T, double>) out.dblVal = value;
    else if constexpr (std::is_same_v<T, BSTR>) out.bstrVal = value;
    else if constexpr (std::is_same_v<T, std::string>) out.bstrVal = SysAllocStringFrom(value);
    else if constexpr (std::is_same_v<T, IDispatch*>) out.pdispVal = value;
    else if constexpr (std::is_same_v<T, VARIANT>) {
        out = value;  // the getter's VARIANT is handed over as it is
    } else static_assert(sizeof(T) == 0, "unsupported dispatch result type");
}

// Class and signature of a member function pointer.
template <class F>
struct MemberFn;
template <class C, class R, class... A>
struct MemberFn<R (C::*)(A...)> {
    using Class = C;
    using Result = R;
    using Args = std::tuple<A...>;
    static constexpr size_t kArity = sizeof...(A);
};
template <class C, class R, class... A>
struct MemberFn<R (C::*)(A...) const> : MemberFn<R (C::*)(A...)> {};

}  // namespace dispatch_detail
