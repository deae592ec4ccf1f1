#include "platform/afx/CPropExchange.h"

#include <cassert>

namespace {
constexpr const char* kVersionKey = "_Version";

// Copies a C++ value of the exchanged type.
void CopyValue(VARTYPE vt, void* dst, const void* src) {
    switch (vt) {
    case VT_I2: *static_cast<SHORT*>(dst) = *static_cast<const SHORT*>(src); break;
    case VT_I4:
    case VT_BOOL: *static_cast<LONG*>(dst) = *static_cast<const LONG*>(src); break;
    case VT_R4: *static_cast<float*>(dst) = *static_cast<const float*>(src); break;
    case VT_R8: *static_cast<double*>(dst) = *static_cast<const double*>(src); break;
    case VT_BSTR: *static_cast<std::string*>(dst) = *static_cast<const std::string*>(src); break;
    default: assert(false && "unsupported property type");
    }
}
}  // namespace

CPropExchange::CPropExchange(IPropertyBag* pBag, Direction direction) : m_pBag(pBag), m_direction(direction) {
    assert((pBag != nullptr || direction == Direction::Reset) && "loading and saving need a bag");
}

BOOL CPropExchange::ExchangeVersion(DWORD& dwVersionLoaded, DWORD dwVersionDefault, BOOL bConvert) {
    ULONG version = m_direction == Direction::Save ? dwVersionDefault : m_dwVersion;
    BOOL ok = PX_ULong(this, kVersionKey, version, dwVersionDefault);
    if (IsLoading()) dwVersionLoaded = version;
    m_dwVersion = bConvert ? dwVersionDefault : version;
    return ok;
}

BOOL CPropExchange::ExchangeProp(LPCTSTR pszPropName, VARTYPE vtProp, void* pvProp, const void* pvDefault) {
    assert(pszPropName != nullptr && pvProp != nullptr);
    VARIANT v;
    VariantInit(&v);
    if (m_direction == Direction::Save) {
        v.vt = vtProp;
        switch (vtProp) {
        case VT_I2: v.iVal = *static_cast<SHORT*>(pvProp); break;
        case VT_I4: v.lVal = *static_cast<LONG*>(pvProp); break;
        case VT_BOOL: v.boolVal = *static_cast<LONG*>(pvProp) ? VARIANT_TRUE : VARIANT_FALSE; break;
        case VT_R4: v.fltVal = *static_cast<float*>(pvProp); break;
        case VT_R8: v.dblVal = *static_cast<double*>(pvProp); break;
        case VT_BSTR:
            v.bstrVal = SysAllocStringFrom(*static_cast<std::string*>(pvProp));
            if (v.bstrVal == nullptr) return FALSE;
            break;
        default: assert(false && "unsupported property type"); return FALSE;
        }
        HRESULT hr = m_pBag->Write(pszPropName, &v);
        VariantClear(&v);
        return SUCCEEDED(hr) ? TRUE : FALSE;
    }

    HRESULT hr = E_INVALIDARG;  // a reset finds every key absent
    if (m_direction == Direction::Load) {
        v.vt = vtProp;  // asks the bag to convert
        hr = m_pBag->Read(pszPropName, &v);
    }
    if (FAILED(hr) || v.vt != vtProp) {
        VariantClear(&v);
        if (pvDefault) CopyValue(vtProp, pvProp, pvDefault);
        return FALSE;
    }
    switch (vtProp) {
    case VT_I2: *static_cast<SHORT*>(pvProp) = v.iVal; break;
    case VT_I4: *static_cast<LONG*>(pvProp) = v.lVal; break;
    case VT_BOOL: *static_cast<LONG*>(pvProp) = v.boolVal ? TRUE : FALSE; break;
    case VT_R4: *static_cast<float*>(pvProp) = v.fltVal; break;
    case VT_R8: *static_cast<double*>(pvProp) = v.dblVal; break;
    case VT_BSTR: *static_cast<std::string*>(pvProp) = StringFromBstr(v.bstrVal); break;
    default: assert(false && "unsupported property type");
    }
    VariantClear(&v);
    return TRUE;
}

BOOL PX_Short(CPropExchange* pPX, LPCTSTR name, SHORT& v) { return pPX->ExchangeProp(name, VT_I2, &v); }
BOOL PX_Short(CPropExchange* pPX, LPCTSTR name, SHORT& v, SHORT d) { return pPX->ExchangeProp(name, VT_I2, &v, &d); }
BOOL PX_Long(CPropExchange* pPX, LPCTSTR name, LONG& v) { return pPX->ExchangeProp(name, VT_I4, &v); }
BOOL PX_Long(CPropExchange* pPX, LPCTSTR name, LONG& v, LONG d) { return pPX->ExchangeProp(name, VT_I4, &v, &d); }
BOOL PX_ULong(CPropExchange* pPX, LPCTSTR name, ULONG& v, ULONG d) {
    // Kept as the 32-bit pattern of a long, as the platform stores unsigned values.
    LONG bits = static_cast<LONG>(v);
    const LONG defBits = static_cast<LONG>(d);
    BOOL ok = pPX->ExchangeProp(name, VT_I4, &bits, &defBits);
    v = static_cast<ULONG>(bits);
    return ok;
}
BOOL PX_Bool(CPropExchange* pPX, LPCTSTR name, BOOL& v) { return pPX->ExchangeProp(name, VT_BOOL, &v); }
BOOL PX_Bool(CPropExchange* pPX, LPCTSTR name, BOOL& v, BOOL d) { return pPX->ExchangeProp(name, VT_BOOL, &v, &d); }
BOOL PX_Float(CPropExchange* pPX, LPCTSTR name, float& v) { return pPX->ExchangeProp(name, VT_R4, &v); }
BOOL PX_Float(CPropExchange* pPX, LPCTSTR name, float& v, float d) { return pPX->ExchangeProp(name, VT_R4, &v, &d); }
BOOL PX_Double(CPropExchange* pPX, LPCTSTR name, double& v) { return pPX->ExchangeProp(name, VT_R8, &v); }
BOOL PX_Double(CPropExchange* pPX, LPCTSTR name, double& v, double d) {
    return pPX->ExchangeProp(name, VT_R8, &v, &d);
}
BOOL PX_String(CPropExchange* pPX, LPCTSTR name, std::string& v) { return pPX->ExchangeProp(name, VT_BSTR, &v); }
BOOL PX_String(CPropExchange* pPX, LPCTSTR name, std::string& v, const std::string& d) {
    return pPX->ExchangeProp(name, VT_BSTR, &v, &d);
}
