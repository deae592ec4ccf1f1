#include "host/ControlSite.h"

#include <new>

#include "host/ExtendedControl.h"

CControlSite* CControlSite::Create(IOleContainer* container, CExtendedControl* extended) {
    return new (std::nothrow) CControlSite(container, extended);
}

CControlSite::CControlSite(IOleContainer* container, CExtendedControl* extended)
    : m_pContainer(container), m_pExtended(extended) {
    if (m_pContainer) m_pContainer->AddRef();
    if (m_pExtended) m_pExtended->AddRef();
}

CControlSite::~CControlSite() { Detach(); }

void CControlSite::Detach() {
    if (CExtendedControl* p = m_pExtended) {
        m_pExtended = nullptr;
        p->Disconnect();
        p->Release();
    }
    if (IOleContainer* p = m_pContainer) {
        m_pContainer = nullptr;
        p->Release();
    }
}

HRESULT CControlSite::QueryInterface(REFIID riid, void** ppvObject) {
    if (ppvObject == nullptr) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IOleClientSite) {
        *ppvObject = static_cast<IOleClientSite*>(this);
    } else if (riid == IID_IOleControlSite) {
        *ppvObject = static_cast<IOleControlSite*>(this);
    } else {
        *ppvObject = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

HRESULT CControlSite::GetContainer(IOleContainer** ppContainer) {
    if (ppContainer == nullptr) return E_POINTER;
    *ppContainer = m_pContainer;
    if (m_pContainer == nullptr) return E_NOINTERFACE;
    m_pContainer->AddRef();
    return S_OK;
}

HRESULT CControlSite::GetExtendedControl(IDispatch** ppDisp) {
    if (ppDisp == nullptr) return E_POINTER;
    *ppDisp = m_pExtended;
    if (m_pExtended == nullptr) return E_NOTIMPL;
    m_pExtended->AddRef();
    return S_OK;
}
