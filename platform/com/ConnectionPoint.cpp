#include "platform/com/ConnectionPoint.h"

#include <cassert>

CConnectionPoint::CConnectionPoint(IConnectionPointContainer* owner, const IID& iid) : m_owner(owner), m_iid(iid) {
    assert(owner != nullptr);
}

CConnectionPoint::~CConnectionPoint() { UnadviseAll(); }

HRESULT CConnectionPoint::QueryInterface(REFIID riid, void** ppvObject) {
    if (ppvObject == nullptr) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IConnectionPoint) {
        *ppvObject = static_cast<IConnectionPoint*>(this);
        AddRef();
        return S_OK;
    }
    *ppvObject = nullptr;
    return E_NOINTERFACE;
}

ULONG CConnectionPoint::AddRef() { return m_owner->AddRef(); }
ULONG CConnectionPoint::Release() { return m_owner->Release(); }

HRESULT CConnectionPoint::GetConnectionInterface(IID* pIID) {
    if (pIID == nullptr) return E_POINTER;
    *pIID = m_iid;
    return S_OK;
}

HRESULT CConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** ppCPC) {
    if (ppCPC == nullptr) return E_POINTER;
    m_owner->AddRef();
    *ppCPC = m_owner;
    return S_OK;
}

HRESULT CConnectionPoint::Advise(IUnknown* pUnkSink, DWORD* pdwCookie) {
    if (pdwCookie == nullptr) return E_POINTER;
    *pdwCookie = 0;
    if (pUnkSink == nullptr) return E_POINTER;
    void* sink = nullptr;
    if (FAILED(pUnkSink->QueryInterface(m_iid, &sink)) || sink == nullptr) return CONNECT_E_CANNOTCONNECT;
    if (m_nextCookie == 0) {  // cookies never repeat; after 2^32 connections the point is full
        static_cast<IUnknown*>(sink)->Release();
        return CONNECT_E_ADVISELIMIT;
    }
    const DWORD cookie = m_nextCookie++;
    m_sinks.emplace_back(cookie, static_cast<IUnknown*>(sink));
    *pdwCookie = cookie;
    return S_OK;
}

HRESULT CConnectionPoint::Unadvise(DWORD dwCookie) {
    for (auto it = m_sinks.begin(); it != m_sinks.end(); ++it) {
        if (it->first == dwCookie) {
            IUnknown* sink = it->second;
            m_sinks.erase(it);
            sink->Release();
            return S_OK;
        }
    }
    return CONNECT_E_NOCONNECTION;
}

std::vector<IUnknown*> CConnectionPoint::GetSinks() const {
    std::vector<IUnknown*> sinks;
    sinks.reserve(m_sinks.size());
    for (const auto& [cookie, sink] : m_sinks) {
        sink->AddRef();
        sinks.push_back(sink);
    }
    return sinks;
}

void CConnectionPoint::UnadviseAll() {
    // Release after the list is empty, so a sink's destructor that calls back finds a consistent point.
    auto sinks = std::move(m_sinks);
    m_sinks.clear();
    for (auto& [cookie, sink] : sinks) sink->Release();
}
