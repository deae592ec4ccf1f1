#include "platform/com/EnumUnknown.h"

#include <new>

CEnumUnknown::CEnumUnknown(std::span<IUnknown* const> objects) : m_objects(objects.begin(), objects.end()) {
    for (IUnknown* p : m_objects)
        if (p) p->AddRef();
}

CEnumUnknown::~CEnumUnknown() {
    for (IUnknown* p : m_objects)
        if (p) p->Release();
}

HRESULT CEnumUnknown::Create(std::span<IUnknown* const> objects, IEnumUnknown** ppenum) {
    if (ppenum == nullptr) return E_POINTER;
    *ppenum = new (std::nothrow) CEnumUnknown(objects);
    return *ppenum ? S_OK : E_OUTOFMEMORY;
}

HRESULT CEnumUnknown::QueryInterface(REFIID riid, void** ppvObject) {
    if (ppvObject == nullptr) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IEnumUnknown) {
        *ppvObject = static_cast<IEnumUnknown*>(this);
        AddRef();
        return S_OK;
    }
    *ppvObject = nullptr;
    return E_NOINTERFACE;
}

HRESULT CEnumUnknown::Next(ULONG celt, IUnknown** rgelt, ULONG* pceltFetched) {
    if (rgelt == nullptr) return E_POINTER;
    // The platform allows a null count only when one object is asked for.
    if (pceltFetched == nullptr && celt != 1) return E_INVALIDARG;
    ULONG fetched = 0;
    while (fetched < celt && m_next < m_objects.size()) {
        IUnknown* p = m_objects[m_next++];
        if (p) p->AddRef();
        rgelt[fetched++] = p;
    }
    if (pceltFetched) *pceltFetched = fetched;
    return fetched == celt ? S_OK : S_FALSE;
}

HRESULT CEnumUnknown::Skip(ULONG celt) {
    const size_t left = m_objects.size() - m_next;
    if (celt > left) {
        m_next = m_objects.size();
        return S_FALSE;
    }
    m_next += celt;
    return S_OK;
}

HRESULT CEnumUnknown::Reset() {
    m_next = 0;
    return S_OK;
}

HRESULT CEnumUnknown::Clone(IEnumUnknown** ppenum) {
    if (ppenum == nullptr) return E_POINTER;
    auto* clone = new (std::nothrow) CEnumUnknown(m_objects);
    if (clone == nullptr) return E_OUTOFMEMORY;
    clone->m_next = m_next;
    *ppenum = clone;
    return S_OK;
}
