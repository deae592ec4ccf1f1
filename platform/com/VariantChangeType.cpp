#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <string_view>

#include "platform/base/Saturate.h"
#include "platform/com/Dispatch.h"
#include "platform/com/Variant.h"

namespace {

bool IsNumericSource(VARTYPE vt) {
    return vt == VT_EMPTY || vt == VT_I2 || vt == VT_I4 || vt == VT_R4 || vt == VT_R8 || vt == VT_BOOL ||
           vt == VT_UI1;
}

double NumberOf(const VARIANT& v) {
    switch (v.vt) {
    case VT_I2: return v.iVal;
    case VT_I4: return v.lVal;
    case VT_R4: return v.fltVal;
    case VT_R8: return v.dblVal;
    case VT_BOOL: return v.boolVal ? -1.0 : 0.0;
    case VT_UI1: return v.bVal;
    default: return 0.0;  // VT_EMPTY
    }
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

std::string_view Trimmed(BSTR s) {
    std::string_view text(s ? s : "", SysStringLen(s));
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

// Parses the whole text as a number in the invariant format.
HRESULT ParseNumber(BSTR s, double* out) {
    std::string_view text = Trimmed(s);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty()) return DISP_E_TYPEMISMATCH;
    double v = 0.0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec == std::errc::result_out_of_range) return DISP_E_OVERFLOW;
    if (ec != std::errc() || end != text.data() + text.size()) return DISP_E_TYPEMISMATCH;
    *out = v;
    return S_OK;
}

// Integer targets round half to even, as the platform's conversions do; the range is checked
// before anything is narrowed.
HRESULT ToInteger(double v, bool fromFloat, double lo, double hi, int32_t* out) {
    if (std::isnan(v)) return DISP_E_OVERFLOW;
    const double r = fromFloat ? std::nearbyint(v) : v;
    if (r < lo || r > hi) return DISP_E_OVERFLOW;
    *out = TruncateToInt(r);
    return S_OK;
}

HRESULT FormatNumber(const VARIANT& src, USHORT wFlags, BSTR* out) {
    char text[64];
    switch (src.vt) {
    case VT_EMPTY: text[0] = '\0'; break;
    case VT_I2: std::snprintf(text, sizeof text, "%d", src.iVal); break;
    case VT_I4: std::snprintf(text, sizeof text, "%d", static_cast<int>(src.lVal)); break;
    case VT_UI1: std::snprintf(text, sizeof text, "%u", src.bVal); break;
    case VT_R4: std::snprintf(text, sizeof text, "%.7g", static_cast<double>(src.fltVal)); break;
    case VT_R8: std::snprintf(text, sizeof text, "%.15g", src.dblVal); break;
    case VT_BOOL:
        if (wFlags & VARIANT_ALPHABOOL)
            std::snprintf(text, sizeof text, "%s", src.boolVal ? "True" : "False");
        else
            std::snprintf(text, sizeof text, "%s", src.boolVal ? "-1" : "0");
        break;
    default: return DISP_E_TYPEMISMATCH;
    }
    *out = SysAllocString(text);
    return *out ? S_OK : E_OUTOFMEMORY;
}

// Converts a by-value source into a fresh owned variant of type `vt`.
HRESULT Convert(const VARIANT& src, USHORT wFlags, VARTYPE vt, VARIANT* result) {
    VariantInit(result);
    if (vt == VT_EMPTY) return S_OK;
    if (src.vt == vt) return VariantCopy(result, &src);

    if (vt == VT_UNKNOWN || vt == VT_DISPATCH) {
        if (src.vt == VT_EMPTY) {
            result->vt = vt;
            result->punkVal = nullptr;
            return S_OK;
        }
        if (src.vt != VT_UNKNOWN && src.vt != VT_DISPATCH) return DISP_E_TYPEMISMATCH;
        result->vt = vt;
        if (src.punkVal == nullptr) return S_OK;
        void* pv = nullptr;
        HRESULT hr = src.punkVal->QueryInterface(vt == VT_DISPATCH ? IID_IDispatch : IID_IUnknown, &pv);
        if (FAILED(hr)) {
            VariantInit(result);
            return DISP_E_TYPEMISMATCH;
        }
        result->punkVal = static_cast<IUnknown*>(pv);
        return S_OK;
    }

    if (vt == VT_BSTR) {
        if (!IsNumericSource(src.vt)) return DISP_E_TYPEMISMATCH;
        BSTR s = nullptr;
        HRESULT hr = FormatNumber(src, wFlags, &s);
        if (FAILED(hr)) return hr;
        result->vt = VT_BSTR;
        result->bstrVal = s;
        return S_OK;
    }

    double v = 0.0;
    bool fromFloat = src.vt == VT_R4 || src.vt == VT_R8;
    if (src.vt == VT_BSTR) {
        if (vt == VT_BOOL) {
            std::string_view text = Trimmed(src.bstrVal);
            if (EqualsIgnoringCase(text, "true") || EqualsIgnoringCase(text, "false")) {
                result->vt = VT_BOOL;
                result->boolVal = EqualsIgnoringCase(text, "true") ? VARIANT_TRUE : VARIANT_FALSE;
                return S_OK;
            }
        }
        HRESULT hr = ParseNumber(src.bstrVal, &v);
        if (FAILED(hr)) return hr;
        fromFloat = true;
    } else if (IsNumericSource(src.vt)) {
        v = NumberOf(src);
    } else {
        return DISP_E_TYPEMISMATCH;
    }

    int32_t n = 0;
    HRESULT hr = S_OK;
    switch (vt) {
    case VT_I2:
        hr = ToInteger(v, fromFloat, -32768.0, 32767.0, &n);
        if (SUCCEEDED(hr)) result->iVal = static_cast<SHORT>(n);
        break;
    case VT_I4:
        hr = ToInteger(v, fromFloat, -2147483648.0, 2147483647.0, &n);
        if (SUCCEEDED(hr)) result->lVal = n;
        break;
    case VT_UI1:
        hr = ToInteger(v, fromFloat, 0.0, 255.0, &n);
        if (SUCCEEDED(hr)) result->bVal = static_cast<BYTE>(n);
        break;
    case VT_R4:
        if (std::isfinite(v) && std::fabs(v) > static_cast<double>(FLT_MAX)) return DISP_E_OVERFLOW;
        result->fltVal = static_cast<float>(v);
        break;
    case VT_R8: result->dblVal = v; break;
    case VT_BOOL: result->boolVal = (v != 0.0 || std::isnan(v)) ? VARIANT_TRUE : VARIANT_FALSE; break;
    default: return DISP_E_TYPEMISMATCH;
    }
    if (FAILED(hr)) return hr;
    result->vt = vt;
    return S_OK;
}

}  // namespace

HRESULT VariantChangeType(VARIANTARG* pvargDest, const VARIANTARG* pvargSrc, USHORT wFlags, VARTYPE vt) {
    if (pvargDest == nullptr || pvargSrc == nullptr) return E_INVALIDARG;
    if (vt & VT_BYREF) return DISP_E_TYPEMISMATCH;
    // Read through a reference first; `value` owns what it holds.
    VARIANT value;
    VariantInit(&value);
    HRESULT hr = VariantCopyInd(&value, pvargSrc);
    if (FAILED(hr)) return hr;
    VARIANT result;
    hr = Convert(value, wFlags, vt, &result);
    VariantClear(&value);
    if (FAILED(hr)) return hr;
    hr = VariantClear(pvargDest);
    if (FAILED(hr)) {
        VariantClear(&result);
        return hr;
    }
    *pvargDest = result;
    return S_OK;
}
