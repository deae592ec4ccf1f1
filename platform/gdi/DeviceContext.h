#pragma once
// The context behind an HDC: its state as a value, the stack of saved states, its surface and
// what is worked out once from them (clip, raster masks, dash pattern) before pixels are touched.
#include "platform/gdi/GdiTypes.h"
#include "platform/gdi/LineRaster.h"
#include "platform/gdi/PixelStore.h"
#include "platform/gdi/RasterTarget.h"

#include <memory>
#include <vector>

class CBitmap;
class CBrush;
class CDC;
class CFont;
class CPen;

namespace gdi {

// Everything SaveDC copies.
struct DcState {
    CPen* pen = nullptr;
    LOGPEN logPen{};
    CBrush* brush = nullptr;
    LOGBRUSH logBrush{};
    CFont* font = nullptr;
    LOGFONT logFont{};
    CBitmap* bitmap = nullptr;
    std::shared_ptr<PixelStore> bitmapStore;
    int mapMode = MM_TEXT;
    CPoint windowOrg;
    CPoint viewportOrg;
    CSize windowExt{1, 1};
    CSize viewportExt{1, 1};
    COLORREF textColor = RGB(0, 0, 0);
    COLORREF bkColor = RGB(255, 255, 255);
    int bkMode = OPAQUE;
    int rop2 = R2_COPYPEN;
    UINT textAlign = TA_TOP | TA_LEFT;
    bool hasClip = false;
    CRect clipRgn;  // device coordinates
    CPoint penPos;  // logical coordinates
};

// A point in device space before rounding (wide lines, text, arcs).
struct DPoint {
    double x = 0;
    double y = 0;
};

class CDeviceContext {
public:
    CDeviceContext(CDC* owner, bool memoryDC);

    CDC* m_owner;
    DcState m_state;
    std::vector<DcState> m_saved;
    bool m_memoryDC;
    int m_technology = DT_RASDISPLAY;
    int m_logPixelsX = 96;
    int m_logPixelsY = 96;
    // The surface of a SetSurface context.
    std::shared_ptr<PixelStore> m_surface;
    CPoint m_dcOrg;
    CRect m_visRect;

    // Worked out from the state by the Update functions.
    RasterTarget m_target;
    LineStyle m_penLine;        // thin pen: masks and dash
    DashPattern m_dash;
    RopMasks m_penMasks;        // wide pen (solid)
    RopMasks m_brushMasks;
    bool m_penNull = false;
    bool m_brushNull = false;
    int m_penDeviceWidth = 1;   // 1 for cosmetic pens

    // Recomputes the clip target after a surface, bitmap or clip change.
    void UpdateTarget();
    // Recomputes pen and brush masks after a selection, ROP, colour, mode or mapping change.
    void UpdateTools();
    void UpdateAll() { UpdateTarget(); UpdateTools(); }

    // The store drawn into (null when there is none or it is the stock bitmap).
    const PixelStore* Store() const;
    // Surface size for the device caps.
    CSize SurfaceSize() const;
    // The device rectangle that may ever be drawn, before any clip region.
    CRect VisibleDeviceRect() const;

    // Mapping. Scale factors device per logical unit.
    double ScaleX() const { return static_cast<double>(m_state.viewportExt.cx) / m_state.windowExt.cx; }
    double ScaleY() const { return static_cast<double>(m_state.viewportExt.cy) / m_state.windowExt.cy; }
    bool IsIdentity() const;
    CPoint ToDevice(int x, int y) const;
    CPoint ToLogical(int x, int y) const;
    DPoint ToDeviceExact(double x, double y) const;
    // Sets the extents that a fixed mapping mode implies.
    void ApplyMapModeExtents();
};

// The context behind a handle (null for null).
inline CDeviceContext* FromHdc(HDC h) { return reinterpret_cast<CDeviceContext*>(h); }
inline HDC ToHdc(CDeviceContext* dc) { return reinterpret_cast<HDC>(dc); }

}  // namespace gdi
