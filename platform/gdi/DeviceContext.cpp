#include "platform/gdi/DeviceContext.h"

#include "platform/base/Saturate.h"

#include <cassert>
#include <cmath>
#include <cstdlib>

namespace gdi {

namespace {

using i128 = __int128;

// floor(num / den + 1/2): the platform rounds halves toward +infinity in both directions.
int64_t RoundDiv(i128 num, i128 den) {
    if (den < 0) {
        num = -num;
        den = -den;
    }
    const i128 n2 = 2 * num + den;
    const i128 d2 = 2 * den;
    i128 q = n2 / d2;
    if ((n2 % d2) != 0 && n2 < 0) --q;
    if (q > INT64_MAX) return INT64_MAX;
    if (q < INT64_MIN) return INT64_MIN;
    return static_cast<int64_t>(q);
}

int32_t Saturate32(int64_t v) {
    if (v > INT32_MAX) return INT32_MAX;
    if (v < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(v);
}

}  // namespace

CDeviceContext::CDeviceContext(CDC* owner, bool memoryDC) : m_owner(owner), m_memoryDC(memoryDC) {}

const PixelStore* CDeviceContext::Store() const {
    const PixelStore* s = m_memoryDC ? m_state.bitmapStore.get() : m_surface.get();
    if (s == nullptr || s->stock || s->pixels.empty()) return nullptr;
    return s;
}

CSize CDeviceContext::SurfaceSize() const {
    const PixelStore* s = m_memoryDC ? m_state.bitmapStore.get() : m_surface.get();
    if (s == nullptr) return CSize(0, 0);
    return CSize(s->width, s->height);
}

CRect CDeviceContext::VisibleDeviceRect() const {
    const PixelStore* s = Store();
    if (s == nullptr) return CRect();
    CRect bounds(0, 0, s->width, s->height);
    if (m_memoryDC) return bounds;
    CRect vis;
    if (!vis.IntersectRect(&bounds, &m_visRect)) return CRect();
    vis.OffsetRect(-m_dcOrg.x, -m_dcOrg.y);
    return vis;
}

void CDeviceContext::UpdateTarget() {
    PixelStore* s = m_memoryDC ? m_state.bitmapStore.get() : m_surface.get();
    m_target = RasterTarget{};
    if (Store() == nullptr) return;
    m_target.pixels = s->pixels.data();
    m_target.stride = s->width;
    m_target.offsetX = m_memoryDC ? 0 : m_dcOrg.x;
    m_target.offsetY = m_memoryDC ? 0 : m_dcOrg.y;
    CRect clip = VisibleDeviceRect();
    if (m_state.hasClip) {
        CRect r;
        if (!r.IntersectRect(&clip, &m_state.clipRgn)) r.SetRectEmpty();
        clip = r;
    }
    m_target.clip = clip;
}

void CDeviceContext::UpdateTools() {
    const DcState& st = m_state;
    const int style = static_cast<int>(st.logPen.lopnStyle) & PS_STYLE_MASK;
    m_penNull = style == PS_NULL || st.rop2 == R2_NOP;
    const int width = st.logPen.lopnWidth.x;
    if (width <= 1) {
        m_penDeviceWidth = 1;
    } else {
        // A geometric pen's width follows the x scale of the mapping.
        const double w = std::fabs(width * ScaleX());
        const int32_t dw = TruncateToInt(std::floor(w + 0.5));
        m_penDeviceWidth = dw < 1 ? 1 : dw;
    }
    m_penMasks = MakeRop2Masks(st.rop2, st.logPen.lopnColor);
    m_dash = m_penDeviceWidth > 1 ? DashPattern{} : MakeDashPattern(style);
    m_penLine.on = m_penMasks;
    m_penLine.off = MakeRop2Masks(st.rop2, st.bkColor);
    m_penLine.paintOff = st.bkMode == OPAQUE;
    m_penLine.dash = m_dash.count > 0 ? &m_dash : nullptr;
    m_brushNull = st.logBrush.lbStyle == BS_NULL || st.rop2 == R2_NOP;
    m_brushMasks = MakeRop2Masks(st.rop2, st.logBrush.lbColor);
}

bool CDeviceContext::IsIdentity() const {
    const DcState& s = m_state;
    return s.windowOrg.x == 0 && s.windowOrg.y == 0 && s.viewportOrg.x == 0 && s.viewportOrg.y == 0 &&
           s.windowExt.cx == s.viewportExt.cx && s.windowExt.cy == s.viewportExt.cy;
}

CPoint CDeviceContext::ToDevice(int x, int y) const {
    const DcState& s = m_state;
    if (s.mapMode == MM_TEXT) {
        return CPoint(Saturate32(static_cast<int64_t>(x) - s.windowOrg.x + s.viewportOrg.x),
                      Saturate32(static_cast<int64_t>(y) - s.windowOrg.y + s.viewportOrg.y));
    }
    const int64_t dx = RoundDiv(static_cast<i128>(static_cast<int64_t>(x) - s.windowOrg.x) * s.viewportExt.cx,
                                s.windowExt.cx);
    const int64_t dy = RoundDiv(static_cast<i128>(static_cast<int64_t>(y) - s.windowOrg.y) * s.viewportExt.cy,
                                s.windowExt.cy);
    return CPoint(Saturate32(dx + s.viewportOrg.x), Saturate32(dy + s.viewportOrg.y));
}

CPoint CDeviceContext::ToLogical(int x, int y) const {
    const DcState& s = m_state;
    if (s.mapMode == MM_TEXT) {
        return CPoint(Saturate32(static_cast<int64_t>(x) - s.viewportOrg.x + s.windowOrg.x),
                      Saturate32(static_cast<int64_t>(y) - s.viewportOrg.y + s.windowOrg.y));
    }
    const int64_t lx = RoundDiv(static_cast<i128>(static_cast<int64_t>(x) - s.viewportOrg.x) * s.windowExt.cx,
                                s.viewportExt.cx);
    const int64_t ly = RoundDiv(static_cast<i128>(static_cast<int64_t>(y) - s.viewportOrg.y) * s.windowExt.cy,
                                s.viewportExt.cy);
    return CPoint(Saturate32(lx + s.windowOrg.x), Saturate32(ly + s.windowOrg.y));
}

DPoint CDeviceContext::ToDeviceExact(double x, double y) const {
    const DcState& s = m_state;
    return DPoint{(x - s.windowOrg.x) * ScaleX() + s.viewportOrg.x, (y - s.windowOrg.y) * ScaleY() + s.viewportOrg.y};
}

void CDeviceContext::ApplyMapModeExtents() {
    DcState& s = m_state;
    // Window units per inch for the fixed modes; the viewport is the device's pixels per inch.
    int unitsPerInch = 0;
    switch (s.mapMode) {
    case MM_TEXT: s.windowExt = CSize(1, 1); s.viewportExt = CSize(1, 1); return;
    case MM_LOMETRIC: unitsPerInch = 254; break;
    case MM_HIMETRIC: unitsPerInch = 2540; break;
    case MM_LOENGLISH: unitsPerInch = 100; break;
    case MM_HIENGLISH: unitsPerInch = 1000; break;
    case MM_TWIPS: unitsPerInch = 1440; break;
    default: return;  // MM_ANISOTROPIC keeps the extents it had
    }
    s.windowExt = CSize(unitsPerInch, unitsPerInch);
    s.viewportExt = CSize(m_logPixelsX, -m_logPixelsY);
}

}  // namespace gdi
