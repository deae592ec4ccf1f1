#pragma once
// A pen: style, width and colour held inline, so creating, selecting and deleting one never
// touches the heap (the viewer makes one per ray leg).
#include "platform/gdi/GdiTypes.h"

class CPen : public CGdiObject {
public:
    CPen() : CGdiObject(OBJ_PEN) {}
    // Creates the pen at once, as the platform's constructor does.
    CPen(int style, int width, COLORREF colour);
    ~CPen() override;

    operator HPEN() const { return reinterpret_cast<HPEN>(m_hObject); }

    // PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_NULL (PS_INSIDEFRAME draws solid);
    // width in logical units, 0 and 1 being one device pixel at any scale. FALSE for an unknown style
    // or when this object already holds a pen.
    BOOL CreatePen(int style, int width, COLORREF colour);
    BOOL CreatePenIndirect(const LOGPEN* logPen);
    // Fills the description of the pen; 0 when there is none.
    int GetLogPen(LOGPEN* logPen) const;

    static CPen* FromHandle(HPEN h) { return static_cast<CPen*>(CGdiObject::FromHandle(h)); }

    // The description of the pen this object refers to (stock or own); null without one.
    const LOGPEN* GetData() const;

private:
    LOGPEN m_logPen{};
};
