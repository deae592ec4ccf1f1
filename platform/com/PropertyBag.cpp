#include "platform/com/PropertyBag.h"

#include <new>

CComPtr<CPropertyBag> CPropertyBag::Create() {
    CComPtr<CPropertyBag> bag;
    bag.Attach(new CPropertyBag());
    return bag;
}

CPropertyBag::~CPropertyBag() { Clear(); }

HRESULT CPropertyBag::QueryInterface(REFIID riid, void** ppvObject) {
    if (ppvObject == nullptr) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IPropertyBag) {
        *ppvObject = static_cast<IPropertyBag*>(this);
        AddRef();
        return S_OK;
    }
    *ppvObject = nullptr;
    return E_NOINTERFACE;
}

const VARIANT* CPropertyBag::Find(std::string_view name) const {
    for (const auto& [key, value] : m_entries)
        if (key == name) return &value;
    return nullptr;
}

HRESULT CPropertyBag::Read(LPCOLESTR pszPropName, VARIANT* pVar) {
    if (pszPropName == nullptr || pVar == nullptr) return E_POINTER;
    const VARIANT* stored = Find(pszPropName);
    if (stored == nullptr) return E_INVALIDARG;
    if (pVar->vt == VT_EMPTY) return VariantCopy(pVar, stored);
    return VariantChangeType(pVar, stored, 0, pVar->vt);
}

HRESULT CPropertyBag::Write(LPCOLESTR pszPropName, VARIANT* pVar) {
    if (pszPropName == nullptr || pVar == nullptr) return E_POINTER;
    return Set(pszPropName, *pVar);
}

HRESULT CPropertyBag::Set(std::string_view name, const VARIANT& value) {
    VARIANT copy;
    VariantInit(&copy);
    HRESULT hr = VariantCopyInd(&copy, &value);
    if (FAILED(hr)) return hr;
    for (auto& [key, stored] : m_entries) {
        if (key == name) {
            hr = VariantClear(&stored);
            if (FAILED(hr)) {
                VariantClear(&copy);
                return hr;
            }
            stored = copy;
            return S_OK;
        }
    }
    try {
        m_entries.emplace_back(std::string(name), copy);
    } catch (const std::bad_alloc&) {
        VariantClear(&copy);
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

BOOL CPropertyBag::Remove(std::string_view name) {
    for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
        if (it->first == name) {
            VariantClear(&it->second);
            m_entries.erase(it);
            return TRUE;
        }
    }
    return FALSE;
}

void CPropertyBag::Clear() {
    for (auto& entry : m_entries) VariantClear(&entry.second);
    m_entries.clear();
}

std::vector<std::string> CPropertyBag::GetNames() const {
    std::vector<std::string> names;
    for (const auto& entry : m_entries) names.push_back(entry.first);
    return names;
}
