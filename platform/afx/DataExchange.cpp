#include "platform/afx/DataExchange.h"

#include <cctype>
#include <cerrno>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "platform/afx/AfxMessageBox.h"
#include "platform/afx/COlePropertyPage.h"
#include "platform/com/Dispatch.h"

CDataExchange::CDataExchange(COlePropertyPage* pDlgWnd, BOOL bSaveAndValidate)
    : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}

void CDataExchange::PrepareCtrl(int nIDC) { m_idLastControl = nIDC; }
void CDataExchange::PrepareEditCtrl(int nIDC) { m_idLastControl = nIDC; }

void CDataExchange::Fail() {
    if (m_pDlgWnd && m_idLastControl != 0) m_pDlgWnd->GotoDlgCtrl(m_idLastControl);
    throw CUserException();
}

// ---- Number parsing and formatting

namespace {

// Checks the shape [blanks][sign]digits[.digits][(e|E)[sign]digits][blanks] (digits on at least one
// side of the point) and hands back the part without blanks.
bool IsSimpleNumber(const std::string& text, bool allowFraction, std::string* core) {
    size_t b = 0, e = text.size();
    while (b < e && std::isspace(static_cast<unsigned char>(text[b]))) ++b;
    while (e > b && std::isspace(static_cast<unsigned char>(text[e - 1]))) --e;
    size_t i = b;
    if (i < e && (text[i] == '+' || text[i] == '-')) ++i;
    size_t digits = 0;
    while (i < e && std::isdigit(static_cast<unsigned char>(text[i]))) ++i, ++digits;
    if (allowFraction && i < e && text[i] == '.') {
        ++i;
        while (i < e && std::isdigit(static_cast<unsigned char>(text[i]))) ++i, ++digits;
    }
    if (digits == 0) return false;
    if (allowFraction && i < e && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < e && (text[i] == '+' || text[i] == '-')) ++i;
        size_t expDigits = 0;
        while (i < e && std::isdigit(static_cast<unsigned char>(text[i]))) ++i, ++expDigits;
        if (expDigits == 0) return false;
    }
    if (i != e) return false;
    *core = text.substr(b, e - b);
    return true;
}

}  // namespace

BOOL AfxParseInt(const std::string& text, int* pValue) {
    std::string core;
    if (!IsSimpleNumber(text, false, &core)) return FALSE;
    errno = 0;
    long long v = std::strtoll(core.c_str(), nullptr, 10);
    if (errno == ERANGE || v < INT_MIN || v > INT_MAX) return FALSE;
    *pValue = static_cast<int>(v);
    return TRUE;
}

BOOL AfxParseDouble(const std::string& text, double* pValue) {
    std::string core;
    if (!IsSimpleNumber(text, true, &core)) return FALSE;
    double v = std::strtod(core.c_str(), nullptr);
    if (!std::isfinite(v)) return FALSE;
    *pValue = v;
    return TRUE;
}

std::string AfxFormatDouble(double value) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*g", DBL_DIG, value);
    return buf;
}

std::string AfxFormatFloat(float value) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*g", FLT_DIG, static_cast<double>(value));
    return buf;
}

// ---- DDX

void DDX_Text(CDataExchange* pDX, int nIDC, std::string& value) {
    pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = pDX->m_pDlgWnd->GetDlgItemText(nIDC);
    else
        pDX->m_pDlgWnd->SetDlgItemText(nIDC, value);
}

void DDX_Text(CDataExchange* pDX, int nIDC, int& value) {
    pDX->PrepareEditCtrl(nIDC);
    if (!pDX->m_bSaveAndValidate) {
        pDX->m_pDlgWnd->SetDlgItemText(nIDC, std::to_string(value));
        return;
    }
    int parsed = 0;
    if (!AfxParseInt(pDX->m_pDlgWnd->GetDlgItemText(nIDC), &parsed)) {
        AfxMessageBox(kParseIntMessage, MB_OK | MB_ICONEXCLAMATION);
        pDX->Fail();
    }
    value = parsed;
}

void DDX_Text(CDataExchange* pDX, int nIDC, double& value) {
    pDX->PrepareEditCtrl(nIDC);
    if (!pDX->m_bSaveAndValidate) {
        pDX->m_pDlgWnd->SetDlgItemText(nIDC, AfxFormatDouble(value));
        return;
    }
    double parsed = 0;
    if (!AfxParseDouble(pDX->m_pDlgWnd->GetDlgItemText(nIDC), &parsed)) {
        AfxMessageBox(kParseRealMessage, MB_OK | MB_ICONEXCLAMATION);
        pDX->Fail();
    }
    value = parsed;
}

void DDX_Text(CDataExchange* pDX, int nIDC, float& value) {
    pDX->PrepareEditCtrl(nIDC);
    if (!pDX->m_bSaveAndValidate) {
        pDX->m_pDlgWnd->SetDlgItemText(nIDC, AfxFormatFloat(value));
        return;
    }
    double parsed = 0;
    // A number a float cannot hold is refused like text, rather than becoming infinity.
    if (!AfxParseDouble(pDX->m_pDlgWnd->GetDlgItemText(nIDC), &parsed) || std::fabs(parsed) > FLT_MAX) {
        AfxMessageBox(kParseRealMessage, MB_OK | MB_ICONEXCLAMATION);
        pDX->Fail();
    }
    value = static_cast<float>(parsed);
}

void DDX_Check(CDataExchange* pDX, int nIDC, int& value) {
    pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = pDX->m_pDlgWnd->IsDlgButtonChecked(nIDC) ? 1 : 0;
    else
        pDX->m_pDlgWnd->CheckDlgButton(nIDC, value ? TRUE : FALSE);
}

void DDX_Radio(CDataExchange* pDX, int nIDC, int& value) {
    pDX->PrepareCtrl(nIDC);
    std::vector<int> group = pDX->m_pDlgWnd->GetRadioGroup(nIDC);
    if (pDX->m_bSaveAndValidate) {
        value = -1;
        for (size_t i = 0; i < group.size(); ++i)
            if (pDX->m_pDlgWnd->IsDlgButtonChecked(group[i])) value = static_cast<int>(i);
        return;
    }
    // A value outside the group checks no button.
    for (size_t i = 0; i < group.size(); ++i)
        pDX->m_pDlgWnd->CheckDlgButton(group[i], static_cast<int>(i) == value);
}

void DDX_CBString(CDataExchange* pDX, int nIDC, std::string& value) {
    pDX->PrepareCtrl(nIDC);
    CDialogControl* combo = pDX->m_pDlgWnd->GetDlgItem(nIDC);
    if (combo == nullptr) return;
    if (pDX->m_bSaveAndValidate) {
        value = combo->GetWindowText();
        return;
    }
    auto startsWithNoCase = [](const std::string& s, const std::string& prefix) {
        if (prefix.size() > s.size()) return false;
        for (size_t i = 0; i < prefix.size(); ++i)
            if (std::tolower(static_cast<unsigned char>(s[i])) != std::tolower(static_cast<unsigned char>(prefix[i])))
                return false;
        return true;
    };
    for (int i = 0; i < combo->GetCount(); ++i) {
        if (startsWithNoCase(combo->GetLBText(i), value)) {
            combo->SetCurSel(i);
            return;
        }
    }
    combo->SetCurSel(CB_ERR);
    pDX->m_pDlgWnd->SetDlgItemText(nIDC, value);
}

// ---- Property access

BOOL AfxGetObjectProperty(LPDISPATCH pDisp, LPCTSTR pszPropName, VARTYPE vt, VARIANT* pResult) {
    if (pDisp == nullptr || pResult == nullptr) return FALSE;
    LPOLESTR name = const_cast<LPOLESTR>(pszPropName);
    DISPID dispid = DISPID_UNKNOWN;
    if (FAILED(pDisp->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &dispid))) return FALSE;
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    VARIANT raw;
    VariantInit(&raw);
    if (FAILED(pDisp->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &raw, nullptr,
                             nullptr))) {
        VariantClear(&raw);
        return FALSE;
    }
    VariantInit(pResult);
    HRESULT hr = VariantChangeType(pResult, &raw, 0, vt);
    VariantClear(&raw);
    return SUCCEEDED(hr);
}

BOOL AfxSetObjectProperty(LPDISPATCH pDisp, LPCTSTR pszPropName, const VARIANT& value) {
    if (pDisp == nullptr) return FALSE;
    LPOLESTR name = const_cast<LPOLESTR>(pszPropName);
    DISPID dispid = DISPID_UNKNOWN;
    if (FAILED(pDisp->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &dispid))) return FALSE;
    VARIANT arg = value;  // borrowed for the call: the callee does not free its arguments
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS params{&arg, &named, 1, 1};
    return SUCCEEDED(
        pDisp->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params, nullptr, nullptr, nullptr));
}

// ---- DDP

namespace {

// Loading: the first object's property, converted; the value stays as it was when it cannot be read.
template <class T>
void LoadProperty(CDataExchange* pDX, LPCTSTR pszPropName, VARTYPE vt, T& value) {
    ULONG count = 0;
    LPDISPATCH* objects = pDX->m_pDlgWnd->GetObjectArray(&count);
    if (count == 0) return;
    VARIANT v;
    VariantInit(&v);
    if (!AfxGetObjectProperty(objects[0], pszPropName, vt, &v)) return;
    if constexpr (std::is_same_v<T, std::string>) {
        value = StringFromBstr(v.bstrVal);
    } else if constexpr (std::is_same_v<T, double>) {
        value = v.dblVal;
    } else if constexpr (std::is_same_v<T, float>) {
        value = v.fltVal;
    } else {
        value = vt == VT_BOOL ? (v.boolVal ? 1 : 0) : v.lVal;
    }
    VariantClear(&v);
}

void Note(CDataExchange* pDX, int nIDC, LPCTSTR pszPropName, VARTYPE vt, const void* pValue) {
    pDX->m_pending.push_back({nIDC, pszPropName, vt, pValue});
}

}  // namespace

void DDP_Text(CDataExchange* pDX, int nIDC, std::string& value, LPCTSTR pszPropName) {
    if (pDX->m_bSaveAndValidate)
        Note(pDX, nIDC, pszPropName, VT_BSTR, &value);
    else
        LoadProperty(pDX, pszPropName, VT_BSTR, value);
}

void DDP_Text(CDataExchange* pDX, int nIDC, int& value, LPCTSTR pszPropName) {
    if (pDX->m_bSaveAndValidate)
        Note(pDX, nIDC, pszPropName, VT_I4, &value);
    else
        LoadProperty(pDX, pszPropName, VT_I4, value);
}

void DDP_Text(CDataExchange* pDX, int nIDC, float& value, LPCTSTR pszPropName) {
    if (pDX->m_bSaveAndValidate)
        Note(pDX, nIDC, pszPropName, VT_R4, &value);
    else
        LoadProperty(pDX, pszPropName, VT_R4, value);
}

void DDP_Text(CDataExchange* pDX, int nIDC, double& value, LPCTSTR pszPropName) {
    if (pDX->m_bSaveAndValidate)
        Note(pDX, nIDC, pszPropName, VT_R8, &value);
    else
        LoadProperty(pDX, pszPropName, VT_R8, value);
}

void DDP_Check(CDataExchange* pDX, int nIDC, int& value, LPCTSTR pszPropName) {
    if (pDX->m_bSaveAndValidate)
        Note(pDX, nIDC, pszPropName, VT_BOOL, &value);
    else
        LoadProperty(pDX, pszPropName, VT_BOOL, value);
}

void DDP_Radio(CDataExchange* pDX, int nIDC, int& value, LPCTSTR pszPropName) {
    if (pDX->m_bSaveAndValidate)
        Note(pDX, nIDC, pszPropName, VT_I4, &value);
    else
        LoadProperty(pDX, pszPropName, VT_I4, value);
}

void DDP_CBString(CDataExchange* pDX, int nIDC, std::string& value, LPCTSTR pszPropName) {
    DDP_Text(pDX, nIDC, value, pszPropName);
}

void DDP_PostProcessing(CDataExchange* pDX) {
    std::vector<CDataExchange::PendingProperty> pending = std::move(pDX->m_pending);
    pDX->m_pending.clear();
    if (!pDX->m_bSaveAndValidate) return;
    COlePropertyPage* page = pDX->m_pDlgWnd;
    ULONG count = 0;
    LPDISPATCH* objects = page->GetObjectArray(&count);
    for (const CDataExchange::PendingProperty& p : pending) {
        if (!page->GetControlStatus(p.nIDC)) continue;
        VARIANT v;
        VariantInit(&v);
        v.vt = p.vt;
        switch (p.vt) {
        case VT_BSTR: v.bstrVal = SysAllocStringFrom(*static_cast<const std::string*>(p.pValue)); break;
        case VT_R8: v.dblVal = *static_cast<const double*>(p.pValue); break;
        case VT_R4: v.fltVal = *static_cast<const float*>(p.pValue); break;
        case VT_BOOL: v.boolVal = *static_cast<const int*>(p.pValue) ? VARIANT_TRUE : VARIANT_FALSE; break;
        default: v.lVal = *static_cast<const int*>(p.pValue); break;
        }
        for (ULONG i = 0; i < count; ++i) {
            if (!AfxSetObjectProperty(objects[i], p.name.c_str(), v))
                AfxMessageBox("Unable to set property " + p.name + ".", MB_OK | MB_ICONEXCLAMATION);
        }
        VariantClear(&v);
        page->SetControlStatus(p.nIDC, FALSE);
    }
}
