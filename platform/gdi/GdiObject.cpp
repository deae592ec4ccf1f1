#include "platform/gdi/GdiTypes.h"

#include "platform/gdi/StockObjects.h"

CGdiObject::~CGdiObject() = default;

CGdiObject* CGdiObject::FromHandle(HGDIOBJ h) { return reinterpret_cast<CGdiObject*>(h); }

BOOL CGdiObject::Attach(HGDIOBJ h) {
    if (h == nullptr || m_hObject != nullptr) return FALSE;
    m_hObject = h;
    return TRUE;
}

HGDIOBJ CGdiObject::Detach() {
    HGDIOBJ h = m_hObject;
    m_hObject = nullptr;
    return h;
}

BOOL CGdiObject::DeleteObject() {
    if (m_hObject == nullptr) return FALSE;
    const bool own = FromHandle(m_hObject) == this;
    if (own && gdi::IsStockObject(this)) return TRUE;  // stock objects live for the whole run
    m_hObject = nullptr;
    if (own) OnDeleteData();
    return TRUE;
}

BOOL CGdiObject::CreateStockObject(int index) {
    CGdiObject* stock = gdi::StockObject(index);
    if (stock == nullptr || stock->m_type != m_type || m_hObject != nullptr) return FALSE;
    m_hObject = stock->m_hObject;
    return TRUE;
}

int CGdiObject::GetObjectType() const {
    const CGdiObject* o = FromHandle(m_hObject);
    return o == nullptr ? 0 : o->m_type;
}

void CGdiObject::AttachSelf() { m_hObject = reinterpret_cast<HGDIOBJ>(this); }

const CGdiObject* CGdiObject::DataObject(int type) const {
    const CGdiObject* o = FromHandle(m_hObject);
    return (o != nullptr && o->m_type == type) ? o : nullptr;
}

HGDIOBJ GetStockObject(int index) {
    CGdiObject* o = gdi::StockObject(index);
    return o == nullptr ? nullptr : o->m_hObject;
}

BOOL DeleteObject(HGDIOBJ h) {
    CGdiObject* o = CGdiObject::FromHandle(h);
    if (o == nullptr) return FALSE;
    return o->DeleteObject();
}
