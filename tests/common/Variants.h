#pragma once
// Variants the tests pass to properties; the caller owns what they hold.
#include <string_view>

#include "platform/com/Bstr.h"
#include "platform/com/Variant.h"

inline VARIANT MakeR8(double v) {
    VARIANT x;
    VariantInit(&x);
    x.vt = VT_R8;
    x.dblVal = v;
    return x;
}
inline VARIANT MakeR4(float v) {
    VARIANT x;
    VariantInit(&x);
    x.vt = VT_R4;
    x.fltVal = v;
    return x;
}
inline VARIANT MakeI4(LONG v) {
    VARIANT x;
    VariantInit(&x);
    x.vt = VT_I4;
    x.lVal = v;
    return x;
}
// Holds a new string: clear it (or hand it to a callee that does).
inline VARIANT MakeBstr(std::string_view text) {
    VARIANT x;
    VariantInit(&x);
    x.vt = VT_BSTR;
    x.bstrVal = SysAllocStringFrom(text);
    return x;
}
