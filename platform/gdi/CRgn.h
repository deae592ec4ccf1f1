#pragma once
// A rectangular region (all the module clips with), in device coordinates when selected.
#include "platform/gdi/GdiTypes.h"

class CRgn : public CGdiObject {
public:
    CRgn() : CGdiObject(OBJ_REGION) {}
    ~CRgn() override;

    operator HRGN() const { return reinterpret_cast<HRGN>(m_hObject); }

    // The corners are normalised; left and top are inside, right and bottom outside.
    BOOL CreateRectRgn(int left, int top, int right, int bottom);
    BOOL CreateRectRgnIndirect(LPCRECT rect);
    // Changes an existing region to the rectangle.
    void SetRectRgn(int left, int top, int right, int bottom);
    // NULLREGION, SIMPLEREGION, or RGN_ERROR without a region.
    int GetRgnBox(LPRECT rect) const;
    int OffsetRgn(int dx, int dy);
    BOOL PtInRegion(int x, int y) const;

    static CRgn* FromHandle(HRGN h) { return static_cast<CRgn*>(CGdiObject::FromHandle(h)); }

    // The rectangle of the region this object refers to; null without one.
    const CRect* GetData() const;

private:
    CRect m_rect;
};
