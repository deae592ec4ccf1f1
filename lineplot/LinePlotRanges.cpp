// The plot's view: mapping between axis units and pixels, the clamped range setters, the aspect
// lock, zoom to a box and the zoom and pan drags. Everything is single precision, in the order the
// view contract fixes, so that ranges read back exactly as other plots and hosts expect.
#include <cmath>
#include <cstdlib>

#include "lineplot/LinePlotWnd.h"
#include "platform/base/Saturate.h"

int CLinePlotWnd::GetXPixelExtent() const {
    const CRect r = GetPlotRect();
    return std::abs(m_bXAxisHorizontal ? r.Width() : r.Height());
}

int CLinePlotWnd::GetYPixelExtent() const {
    const CRect r = GetPlotRect();
    return std::abs(m_bXAxisHorizontal ? r.Height() : r.Width());
}

void CLinePlotWnd::GetXRange(float* low, float* high) const {
    const float lo = m_fXViewStart * m_fXScale + m_fXOffset;
    *low = lo;
    *high = lo + (static_cast<float>(GetXPixelExtent()) / m_fXPixelsPerSample) * m_fXScale;
}

void CLinePlotWnd::GetYRange(float* low, float* high) const {
    *low = m_fYViewStart * m_fYScale + m_fYOffset;
    *high = (static_cast<float>(GetYPixelExtent()) / m_fYPixelsPerUnit + m_fYViewStart) * m_fYScale + m_fYOffset;
}

void CLinePlotWnd::GetXDataRange(float* low, float* high) const {
    *low = m_fXOffset;
    *high = static_cast<float>(m_nDataIndexMax - m_nDataIndexMin) * m_fXScale + m_fXOffset;
}

void CLinePlotWnd::SetXViewRange(float low, float high) {
    if (!(low < high)) return;
    if (m_bClampX) {
        const float dataLow = static_cast<float>(m_nDataIndexMin) * m_fXScale + m_fXOffset;
        const float dataHigh = static_cast<float>(m_nDataIndexMax) * m_fXScale + m_fXOffset;
        if (low < dataLow) low = dataLow;
        if (high > dataHigh) high = dataHigh;
        if (!(low < high)) return;
    }
    // A plot rectangle without width cannot show any range; a zoom factor of 0 would turn every
    // later range into NaN, so the view is kept until the plot has room again.
    const int extent = GetXPixelExtent();
    if (extent == 0) return;
    m_fXPixelsPerSample = static_cast<float>(extent) / ((high - low) / m_fXScale);
    m_fXViewStart = (low - m_fXOffset) / m_fXScale;
}

void CLinePlotWnd::SetYViewRange(float low, float high) {
    if (!(low < high)) return;
    if (m_bClampY) {
        if (low < m_fYDataMin) low = m_fYDataMin;
        if (high > m_fYDataMin + m_fYDataSpan) high = m_fYDataMin + m_fYDataSpan;
        if (!(low < high)) return;
    }
    const int extent = GetYPixelExtent();
    if (extent == 0) return;  // as for x: no room, no change
    m_fYViewStart = (low - m_fYOffset) / m_fYScale;
    const float span = (high - m_fYOffset) / m_fYScale - m_fYViewStart;
    if (span != 0.0f) m_fYPixelsPerUnit = static_cast<float>(extent) / span;
}

void CLinePlotWnd::SetXRange(float low, float high) {
    GetXRange(&m_rangeBefore[0], &m_rangeBefore[1]);
    SetXViewRange(low, high);
    FitYToAspect();
    GetXRange(&m_rangeAfter[0], &m_rangeAfter[1]);
}

void CLinePlotWnd::SetYRange(float low, float high) {
    GetYRange(&m_rangeBefore[2], &m_rangeBefore[3]);
    SetYViewRange(low, high);
    FitXToAspect();
    GetYRange(&m_rangeAfter[2], &m_rangeAfter[3]);
}

bool CLinePlotWnd::PixelToData(int px, int py, float* x, float* y) const {
    const CRect R = GetPlotRect();
    if (!R.PtInRect(CPoint(px, py))) return false;
    if (m_bXAxisHorizontal) {
        *x = (static_cast<float>(px - R.left) / m_fXPixelsPerSample + m_fXViewStart) * m_fXScale + m_fXOffset;
        *y = (static_cast<float>(R.bottom - py) / m_fYPixelsPerUnit + m_fYViewStart) * m_fYScale + m_fYOffset;
    } else {
        *x = (static_cast<float>(R.bottom - py) / m_fXPixelsPerSample + m_fXViewStart) * m_fXScale + m_fXOffset;
        *y = (static_cast<float>(R.right - px) / m_fYPixelsPerUnit + m_fYViewStart) * m_fYScale + m_fYOffset;
    }
    return true;
}

void CLinePlotWnd::DataToPixel(float x, float y, CPoint* point) const {
    const CRect R = GetPlotRect();
    const int32_t sx = TruncateToInt(((x - m_fXOffset) / m_fXScale - m_fXViewStart) * m_fXPixelsPerSample + 0.5f);
    const int32_t sy = TruncateToInt(((y - m_fYOffset) / m_fYScale - m_fYViewStart) * m_fYPixelsPerUnit + 0.5f);
    if (m_bXAxisHorizontal)
        *point = CPoint(SaturatingAdd(R.left, sx), SaturatingSub(R.bottom, sy));
    else
        *point = CPoint(SaturatingSub(R.right, sy), SaturatingSub(R.bottom, sx));
}

void CLinePlotWnd::ZoomToPixelRect(CPoint a, CPoint b) {
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    // A corner outside the plot cannot be converted; the zoom then has no box to go to.
    if (!PixelToData(a.x, a.y, &x1, &y1) || !PixelToData(b.x, b.y, &x2, &y2)) return;
    ZoomToDataRect(x1, y1, x2, y2);
}

namespace {
// Orders a pair; an empty pair is widened by 4 % of its larger end (single precision).
void OrderAndWiden(float& a, float& b) {
    if (a > b) std::swap(a, b);
    if (a == b) b = b * 1.04f;
}
}  // namespace

void CLinePlotWnd::ZoomToDataRect(float x1, float y1, float x2, float y2) {
    GetXRange(&m_rangeBefore[0], &m_rangeBefore[1]);
    GetYRange(&m_rangeBefore[2], &m_rangeBefore[3]);
    OrderAndWiden(x1, x2);
    OrderAndWiden(y1, y2);
    SetXViewRange(x1, x2);
    SetYViewRange(y1, y2);
    ApplyAspectRatio();
    UpdateGatePositions();
    if (GetSafeHwnd()) Invalidate(FALSE);
    GetXRange(&m_rangeAfter[0], &m_rangeAfter[1]);
    GetYRange(&m_rangeAfter[2], &m_rangeAfter[3]);
    NotifyRangeChanged();
}

void CLinePlotWnd::FitYToAspect() {
    if (!m_bLockAspect) return;
    m_fYPixelsPerUnit = m_fAspectRatio * m_fXPixelsPerSample;
    float low, high;
    GetYRange(&low, &high);
    SetYViewRange(low, high);
}

void CLinePlotWnd::FitXToAspect() {
    if (!m_bLockAspect) return;
    m_fXPixelsPerSample = m_fYPixelsPerUnit / m_fAspectRatio;
    float low, high;
    GetXRange(&low, &high);
    SetXViewRange(low, high);
}

void CLinePlotWnd::ApplyAspectRatio() {
    if (!m_bLockAspect) return;
    const int xe = GetXPixelExtent(), ye = GetYPixelExtent();
    if (xe == 0 || ye == 0) return;
    if (static_cast<float>(ye) / static_cast<float>(xe) > m_fAspectRatio)
        FitYToAspect();
    else
        FitXToAspect();
}

void CLinePlotWnd::BeginViewDrag(CPoint press) {
    m_ptPress = press;
    GetXRange(&m_fPressXLow, &m_fPressXHigh);
    GetYRange(&m_fPressYLow, &m_fPressYHigh);
    PixelToData(press.x, press.y, &m_fAnchorX, &m_fAnchorY);
}

void CLinePlotWnd::ZoomDragTo(CPoint mouse, int mode) {
    const CRect R = GetPlotRect();
    const float W = static_cast<float>(R.Width()), H = static_cast<float>(R.Height());
    const float dx = static_cast<float>(mouse.x - m_ptPress.x), dy = static_cast<float>(mouse.y - m_ptPress.y);
    float fx, fy;
    if (m_bXAxisHorizontal) {
        fx = 2 * dx / W + 1;
        fy = 2 * dy / H + 1;
    } else {
        fx = 2 * dy / H + 1;
        fy = 2 * dx / W + 1;
    }
    // Dragging back past the press point would turn the range inside out; widen it W-fold instead.
    if (fx <= 0) fx = 1 / W;
    if (fy <= 0) fy = 1 / H;

    const float xLow = m_fAnchorX - (m_fAnchorX - m_fPressXLow) / fx;
    const float xHigh = m_fAnchorX + (m_fPressXHigh - m_fAnchorX) / fx;
    const float yLow = m_fAnchorY - (m_fAnchorY - m_fPressYLow) / fy;
    const float yHigh = m_fAnchorY + (m_fPressYHigh - m_fAnchorY) / fy;
    if (mode == 3) {
        SetXViewRange(xLow, xHigh);
        SetYViewRange(yLow, yHigh);
        ApplyAspectRatio();
    } else if (mode == 1) {
        SetXViewRange(xLow, xHigh);
        FitYToAspect();
    } else if (mode == 2) {
        SetYViewRange(yLow, yHigh);
        FitXToAspect();
    }
    UpdateGatePositions();
    RenderToWindow(0);
    NotifyRangeChanging();
    m_bButtonDown = 0;
}

void CLinePlotWnd::PanDragTo(CPoint previous, CPoint current, int mode) {
    float px = 0, py = 0, cx = 0, cy = 0;
    // Both points lie in the plot when the mouse handler clamps them; otherwise there is no step.
    if (!PixelToData(previous.x, previous.y, &px, &py) || !PixelToData(current.x, current.y, &cx, &cy)) return;
    const float dx = px - cx, dy = py - cy;
    if (mode == 4 || mode == 6) {
        float low, high, dataLow, dataHigh;
        GetXRange(&low, &high);
        GetXDataRange(&dataLow, &dataHigh);
        const bool refused = (low <= dataLow && dx < 0) || (high >= dataHigh && dx > 0);
        if (!refused) SetXViewRange(low + dx, high + dx);
    }
    if (mode == 5 || mode == 6) {
        float low, high;
        GetYRange(&low, &high);
        SetYViewRange(low + dy, high + dy);
    }
    UpdateGatePositions();
    RenderToWindow(0);
    NotifyRangeChanging();
}
