#include "platform/gdi/CBrush.h"

CBrush::CBrush(COLORREF colour) : CGdiObject(OBJ_BRUSH) { CreateSolidBrush(colour); }

CBrush::~CBrush() { DeleteObject(); }

BOOL CBrush::CreateSolidBrush(COLORREF colour) {
    LOGBRUSH lb{BS_SOLID, colour, 0};
    return CreateBrushIndirect(&lb);
}

BOOL CBrush::CreateBrushIndirect(const LOGBRUSH* logBrush) {
    if (logBrush == nullptr || m_hObject != nullptr) return FALSE;
    if (logBrush->lbStyle != BS_SOLID && logBrush->lbStyle != BS_NULL) return FALSE;
    m_logBrush = *logBrush;
    m_logBrush.lbColor &= 0x00FFFFFFu;
    AttachSelf();
    return TRUE;
}

int CBrush::GetLogBrush(LOGBRUSH* logBrush) const {
    const LOGBRUSH* d = GetData();
    if (d == nullptr || logBrush == nullptr) return 0;
    *logBrush = *d;
    return sizeof(LOGBRUSH);
}

const LOGBRUSH* CBrush::GetData() const {
    const CBrush* o = static_cast<const CBrush*>(DataObject(OBJ_BRUSH));
    return o == nullptr ? nullptr : &o->m_logBrush;
}
