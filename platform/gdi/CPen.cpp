#include "platform/gdi/CPen.h"

CPen::CPen(int style, int width, COLORREF colour) : CGdiObject(OBJ_PEN) { CreatePen(style, width, colour); }

CPen::~CPen() { DeleteObject(); }

BOOL CPen::CreatePen(int style, int width, COLORREF colour) {
    if (m_hObject != nullptr) return FALSE;
    const int s = style & PS_STYLE_MASK;
    if (s > PS_INSIDEFRAME) return FALSE;
    m_logPen.lopnStyle = static_cast<UINT>(style);
    m_logPen.lopnWidth = POINT{width < 0 ? 0 : width, 0};
    m_logPen.lopnColor = colour & 0x00FFFFFFu;
    AttachSelf();
    return TRUE;
}

BOOL CPen::CreatePenIndirect(const LOGPEN* logPen) {
    if (logPen == nullptr) return FALSE;
    return CreatePen(static_cast<int>(logPen->lopnStyle), logPen->lopnWidth.x, logPen->lopnColor);
}

int CPen::GetLogPen(LOGPEN* logPen) const {
    const LOGPEN* d = GetData();
    if (d == nullptr || logPen == nullptr) return 0;
    *logPen = *d;
    return sizeof(LOGPEN);
}

const LOGPEN* CPen::GetData() const {
    const CPen* o = static_cast<const CPen*>(DataObject(OBJ_PEN));
    return o == nullptr ? nullptr : &o->m_logPen;
}
