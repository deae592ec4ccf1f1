#include "host/DocumentContainer.h"

#include <new>

#include "platform/com/EnumUnknown.h"

CDocumentContainer* CDocumentContainer::Create() { return new (std::nothrow) CDocumentContainer(); }

CDocumentContainer::~CDocumentContainer() { Clear(); }

HRESULT CDocumentContainer::QueryInterface(REFIID riid, void** ppvObject) {
    if (ppvObject == nullptr) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IOleContainer) {
        *ppvObject = static_cast<IOleContainer*>(this);
        AddRef();
        return S_OK;
    }
    *ppvObject = nullptr;
    return E_NOINTERFACE;
}

HRESULT CDocumentContainer::EnumObjects(DWORD grfFlags, IEnumUnknown** ppenum) {
    if (ppenum == nullptr) return E_POINTER;
    if ((grfFlags & OLECONTF_EMBEDDINGS) == 0) return CEnumUnknown::Create({}, ppenum);
    return CEnumUnknown::Create(m_objects, ppenum);
}

void CDocumentContainer::AddObject(IUnknown* object) {
    if (object == nullptr) return;
    object->AddRef();
    m_objects.push_back(object);
}

void CDocumentContainer::RemoveObject(IUnknown* object) {
    for (auto it = m_objects.begin(); it != m_objects.end(); ++it) {
        if (*it == object) {
            m_objects.erase(it);
            object->Release();
            return;
        }
    }
}

void CDocumentContainer::Clear() {
    std::vector<IUnknown*> objects;
    objects.swap(m_objects);
    for (IUnknown* p : objects) p->Release();
}
