#include "platform/gdi/CRgn.h"

#include "platform/base/Saturate.h"

CRgn::~CRgn() { DeleteObject(); }

BOOL CRgn::CreateRectRgn(int left, int top, int right, int bottom) {
    if (m_hObject != nullptr) return FALSE;
    AttachSelf();
    SetRectRgn(left, top, right, bottom);
    return TRUE;
}

BOOL CRgn::CreateRectRgnIndirect(LPCRECT rect) {
    if (rect == nullptr) return FALSE;
    return CreateRectRgn(rect->left, rect->top, rect->right, rect->bottom);
}

void CRgn::SetRectRgn(int left, int top, int right, int bottom) {
    CRgn* o = const_cast<CRgn*>(static_cast<const CRgn*>(DataObject(OBJ_REGION)));
    if (o == nullptr) return;
    CRect r(left, top, right, bottom);
    r.NormalizeRect();
    if (r.IsRectEmpty()) r.SetRectEmpty();
    o->m_rect = r;
}

int CRgn::GetRgnBox(LPRECT rect) const {
    const CRect* d = GetData();
    if (d == nullptr) return RGN_ERROR;
    if (rect != nullptr) *rect = *d;
    return d->IsRectEmpty() ? NULLREGION : SIMPLEREGION;
}

int CRgn::OffsetRgn(int dx, int dy) {
    CRgn* o = const_cast<CRgn*>(static_cast<const CRgn*>(DataObject(OBJ_REGION)));
    if (o == nullptr) return RGN_ERROR;
    if (!o->m_rect.IsRectEmpty()) {
        CRect& r = o->m_rect;
        r.SetRect(SaturatingAdd(r.left, dx), SaturatingAdd(r.top, dy), SaturatingAdd(r.right, dx),
                  SaturatingAdd(r.bottom, dy));
    }
    return o->m_rect.IsRectEmpty() ? NULLREGION : SIMPLEREGION;
}

BOOL CRgn::PtInRegion(int x, int y) const {
    const CRect* d = GetData();
    return d != nullptr && d->PtInRect(CPoint(x, y));
}

const CRect* CRgn::GetData() const {
    const CRgn* o = static_cast<const CRgn*>(DataObject(OBJ_REGION));
    return o == nullptr ? nullptr : &o->m_rect;
}
