#include "host/StoredPropertyBag.h"

#include <charconv>
#include <cstdlib>
#include <limits>
#include <new>

#include "platform/com/DispatchTable.h"

namespace {

const char* DescribeVarType(VARTYPE vt) {
    switch (vt) {
        case VT_BOOL: return "a boolean";
        case VT_BSTR: return "a string";
        case VT_I2:
        case VT_I4:
        case VT_UI1: return "a whole number";
        default: return "a number";
    }
}

bool IsFloatType(VARTYPE vt) { return vt == VT_R4 || vt == VT_R8; }

// JSON has no NaN or infinities; documents store them as these strings, which a float property
// reads as the number.
bool IsNonFiniteText(const std::string& text) { return text == "NaN" || text == "Infinity" || text == "-Infinity"; }

CStoredValue NonFiniteFromText(const CStoredValue& value, VARTYPE wanted) {
    if (value.index() != 3 || !IsFloatType(wanted)) return value;
    const std::string& text = std::get<std::string>(value);
    if (text == "NaN") return std::numeric_limits<double>::quiet_NaN();
    if (text == "Infinity") return std::numeric_limits<double>::infinity();
    if (text == "-Infinity") return -std::numeric_limits<double>::infinity();
    return value;
}

bool IsNumericType(VARTYPE vt) {
    return vt == VT_I2 || vt == VT_I4 || vt == VT_UI1 || vt == VT_R4 || vt == VT_R8;
}

// Whether a stored value may become a property of type vt at all: strings only for strings,
// numbers for numbers and booleans (as the platform counts any non-zero as true), booleans only
// for booleans.
bool KindsMatch(const CStoredValue& value, VARTYPE vt) {
    switch (value.index()) {
        case 0: return vt == VT_BOOL;
        case 3: return vt == VT_BSTR || (IsFloatType(vt) && IsNonFiniteText(std::get<std::string>(value)));
        default: return IsNumericType(vt) || vt == VT_BOOL;
    }
}

}  // namespace

bool StoredValueFromVariant(const VARIANT& v, CStoredValue& out) {
    switch (v.vt) {
        case VT_BOOL: out = v.boolVal != VARIANT_FALSE; return true;
        case VT_UI1: out = static_cast<int32_t>(v.bVal); return true;
        case VT_I2: out = static_cast<int32_t>(v.iVal); return true;
        case VT_I4: out = static_cast<int32_t>(v.lVal); return true;
        case VT_R8: out = v.dblVal; return true;
        case VT_BSTR: out = StringFromBstr(v.bstrVal); return true;
        case VT_R4: {
            // 0.1f is written as 0.1, not 0.100000001490116: it reads back to the same float.
            char text[64];
            auto res = std::to_chars(text, text + sizeof text - 1, v.fltVal);
            *res.ptr = '\0';
            out = res.ec == std::errc() ? std::strtod(text, nullptr) : static_cast<double>(v.fltVal);
            return true;
        }
        default: return false;
    }
}

void VariantFromStoredValue(const CStoredValue& value, VARIANT& out) {
    VariantInit(&out);
    switch (value.index()) {
        case 0:
            out.vt = VT_BOOL;
            out.boolVal = std::get<bool>(value) ? VARIANT_TRUE : VARIANT_FALSE;
            break;
        case 1:
            out.vt = VT_I4;
            out.lVal = std::get<int32_t>(value);
            break;
        case 2:
            out.vt = VT_R8;
            out.dblVal = std::get<double>(value);
            break;
        default:
            out.vt = VT_BSTR;
            out.bstrVal = SysAllocStringFrom(std::get<std::string>(value));
            break;
    }
}

CStoredPropertyBag* CStoredPropertyBag::Create(std::vector<SStoredProperty> properties, std::string where) {
    return new (std::nothrow) CStoredPropertyBag(std::move(properties), std::move(where));
}

CStoredPropertyBag::CStoredPropertyBag(std::vector<SStoredProperty> properties, std::string where)
    : m_properties(std::move(properties)), m_where(std::move(where)) {}

HRESULT CStoredPropertyBag::QueryInterface(REFIID riid, void** ppvObject) {
    if (ppvObject == nullptr) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IPropertyBag) {
        *ppvObject = static_cast<IPropertyBag*>(this);
        AddRef();
        return S_OK;
    }
    *ppvObject = nullptr;
    return E_NOINTERFACE;
}

namespace {

// A property's current value through the control's dispatch table, in its stored form.
bool ReadStoredProperty(IDispatch* control, DISPID id, CStoredValue& out) {
    VARIANT value;
    VariantInit(&value);
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    EXCEPINFO info{};
    UINT argErr = 0;
    HRESULT hr = control->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &value, &info, &argErr);
    if (hr == DISP_E_EXCEPTION) ClearExcepInfo(&info);
    bool ok = SUCCEEDED(hr) && StoredValueFromVariant(value, out);
    VariantClear(&value);
    return ok;
}

const CDispatchInterface* DispatchTableOf(IDispatch* control) {
    ITypeInfo* info = nullptr;
    if (FAILED(control->GetTypeInfo(0, LOCALE_USER_DEFAULT, &info)) || info == nullptr) return nullptr;
    const CDispatchInterface* table = info->GetDispatchInterface();
    info->Release();
    return table;
}

}  // namespace

void CStoredPropertyBag::FollowControl(IDispatch* control) {
    m_pControl = control;
    m_beforeLoad.clear();
    const CDispatchInterface* table = control ? DispatchTableOf(control) : nullptr;
    if (table == nullptr) return;
    for (const DispatchMember& member : table->GetMembers()) {
        if (member.kind != DispatchKind::Property || !member.get) continue;
        CStoredValue value;
        if (ReadStoredProperty(control, member.id, value)) m_beforeLoad.push_back({member.name, std::move(value)});
    }
}

bool CStoredPropertyBag::ReadChangedByLoad(const std::string& name, CStoredValue& value) {
    if (!m_pControl) return false;
    for (const SStoredProperty& before : m_beforeLoad) {
        if (before.name != name) continue;
        const CDispatchInterface* table = DispatchTableOf(m_pControl.get());
        const DispatchMember* member = table ? table->FindByName(name) : nullptr;
        if (member == nullptr || !ReadStoredProperty(m_pControl.get(), member->id, value)) return false;
        return value != before.value;
    }
    return false;
}

HRESULT CStoredPropertyBag::Read(LPCOLESTR pszPropName, VARIANT* pVar) {
    if (pszPropName == nullptr || pVar == nullptr) return E_POINTER;
    const SStoredProperty* found = nullptr;
    for (const SStoredProperty& p : m_properties)
        if (p.name == pszPropName) found = &p;  // the last of repeated keys wins, as in the JSON
    if (found != nullptr) return ReadValue(found->value, found->name, pVar);
    CStoredValue current;
    if (ReadChangedByLoad(pszPropName, current)) return ReadValue(current, pszPropName, pVar);
    return E_INVALIDARG;
}

HRESULT CStoredPropertyBag::ReadValue(const CStoredValue& value, const std::string& name, VARIANT* pVar) {
    const VARTYPE wanted = pVar->vt;
    VARIANT stored;
    VariantFromStoredValue(NonFiniteFromText(value, wanted), stored);
    if (wanted == VT_EMPTY) {
        *pVar = stored;  // the caller owns it now
        return S_OK;
    }
    HRESULT hr = DISP_E_TYPEMISMATCH;
    if (KindsMatch(value, wanted)) {
        VARIANT converted;
        VariantInit(&converted);
        hr = VariantChangeType(&converted, &stored, 0, wanted);
        if (SUCCEEDED(hr)) {
            VariantClear(pVar);
            *pVar = converted;
        }
    }
    VariantClear(&stored);
    if (FAILED(hr)) {
        std::string problem = m_where + ": property \"" + name + "\": expected " + DescribeVarType(wanted) +
                              ", got " + DescribeStoredValue(value);
        if (hr == DISP_E_OVERFLOW) problem += " out of its range";
        m_problems.push_back(problem + "; the stored default is used");
    }
    return hr;
}

HRESULT CStoredPropertyBag::Write(LPCOLESTR pszPropName, VARIANT* pVar) {
    if (pszPropName == nullptr || pVar == nullptr) return E_POINTER;
    CStoredValue value;
    if (!StoredValueFromVariant(*pVar, value)) return DISP_E_TYPEMISMATCH;
    for (SStoredProperty& p : m_properties) {
        if (p.name == pszPropName) {
            p.value = std::move(value);
            return S_OK;
        }
    }
    m_properties.push_back({pszPropName, std::move(value)});
    return S_OK;
}
