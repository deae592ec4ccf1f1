// Trace drawing: each trace's pen and raster operation, the clip to the plot rectangle, and the
// point computation of TracePoints for index-based and x/y traces.
#include "lineplot/LinePlotWnd.h"
#include "platform/base/Saturate.h"
#include "platform/gdi/CDCStateSaver.h"
#include "platform/gdi/CPreviewDC.h"
#include "platform/gdi/CPen.h"
#include "platform/gdi/CRgn.h"

namespace {
constexpr int kFlagDrawn = 1;
constexpr int kFlagXor = 2;

// Selects a trace's pen and, with the XOR flag, R2_NOTXORPEN; both go back at scope end.
class CTracePen {
public:
    CTracePen(CDC* dc, int style, int width, COLORREF colour, int flags)
        : m_dc(dc), m_xor((flags & kFlagXor) != 0), m_pen(style, width, colour) {
        if (m_xor) m_oldRop = m_dc->SetROP2(R2_NOTXORPEN);
        m_oldPen = m_dc->SelectObject(&m_pen);
    }
    ~CTracePen() {
        if (m_oldPen) m_dc->SelectObject(m_oldPen);
        if (m_xor) m_dc->SetROP2(m_oldRop);
    }
    CTracePen(const CTracePen&) = delete;
    CTracePen& operator=(const CTracePen&) = delete;

private:
    CDC* m_dc;
    bool m_xor;
    CPen m_pen;
    CPen* m_oldPen = nullptr;
    int m_oldRop = 0;
};
}  // namespace

CTraceView CLinePlotWnd::GetTraceView(const CRect& plot) const {
    CTraceView v;
    v.plot = plot;
    v.xViewStart = m_fXViewStart;
    v.xPixelsPerSample = m_fXPixelsPerSample;
    v.yViewStart = m_fYViewStart;
    v.yPixelsPerUnit = m_fYPixelsPerUnit;
    v.xHorizontal = m_bXAxisHorizontal != 0;
    return v;
}

void CLinePlotWnd::DrawPointChain(CDC* target, const POINT* points, int count) {
    if (!points || count <= 0) return;
    target->MoveTo(points[0]);
    for (int i = 1; i < count; ++i) target->LineTo(points[i]);
}

CRect CLinePlotWnd::PlotClipRect(CDC* target) const {
    CRect C = GetPlotRect();
    // Clip regions are in device units; only the print path maps logical units to other pixels.
    if (m_bPrinting) {
        target->LPtoDP(&C);  // printer dots: conversions go through the attribute context
        if (auto* preview = dynamic_cast<CPreviewDC*>(target)) {
            // A preview's clip region belongs to its screen context. The rectangle is taken relative
            // to the printer's viewport origin (the page rectangle's corner), scaled to screen pixels
            // and put where that corner lands on the screen. Moving it to (0, 0) instead would drop
            // the plot's margins and cut the traces short on the right and bottom.
            const CPoint printerOrg = preview->GetViewportOrg();
            CPoint corners[2] = {CPoint(SaturatingSub(C.left, printerOrg.x), SaturatingSub(C.top, printerOrg.y)),
                                 CPoint(SaturatingSub(C.right, printerOrg.x), SaturatingSub(C.bottom, printerOrg.y))};
            preview->PrinterDPtoScreenDP(&corners[0]);
            preview->PrinterDPtoScreenDP(&corners[1]);
            const CDC* screen = CDC::FromHandle(preview->m_hDC);
            const CPoint screenOrg = screen != nullptr ? screen->GetViewportOrg() : CPoint();
            C = CRect(SaturatingAdd(corners[0].x, screenOrg.x), SaturatingAdd(corners[0].y, screenOrg.y),
                      SaturatingAdd(corners[1].x, screenOrg.x), SaturatingAdd(corners[1].y, screenOrg.y));
        }
    }
    C.NormalizeRect();
    return C;
}

void CLinePlotWnd::DrawLineRecords(CDC* target, bool direct) {
    const CTraceView view = GetTraceView(GetPlotRect());
    for (const stLineData& line : m_lines) {
        if (!(line.nFlags & kFlagDrawn)) continue;
        CTracePen pen(target, line.nPenStyle, line.nPenWidth, line.colour, line.nFlags);
        if (!m_pPointBuffer) continue;  // the buffer could not be allocated: draw nothing
        const CTraceSamples samples{line.pShortData, line.pFloatData, line.nCount};
        const size_t n = ComputeLinePoints(samples, view, m_pPointBuffer, static_cast<size_t>(m_nPointBufferSize));
        if (direct)
            DrawPointChain(target, m_pPointBuffer, static_cast<int>(n));
        else
            target->Polyline(m_pPointBuffer, static_cast<int>(n));
    }
}

void CLinePlotWnd::DrawXYRecords(CDC* target, bool direct) {
    const CTraceView view = GetTraceView(GetPlotRect());
    for (const stXYData& xy : m_xyData) {
        if (!(xy.nFlags & kFlagDrawn)) continue;
        CTracePen pen(target, xy.nPenStyle, xy.nPenWidth, xy.colour, xy.nFlags);
        if (!m_pPointBuffer) continue;
        const size_t n =
            ComputeXYPoints(xy.pX, xy.pY, xy.nCount, view, m_pPointBuffer, static_cast<size_t>(m_nPointBufferSize));
        if (direct)
            DrawPointChain(target, m_pPointBuffer, static_cast<int>(n));
        else
            target->Polyline(m_pPointBuffer, static_cast<int>(n));
    }
}

void CLinePlotWnd::DrawLines(CDC* target) {
    CRgn region;  // outlives the saved state, which deselects it
    CDCStateSaver saved(target);
    const CRect C = PlotClipRect(target);
    region.CreateRectRgn(C.left, C.top, C.right, C.bottom);
    target->SelectClipRgn(&region);
    if (m_nLongestLine > 1 && !m_lines.empty()) DrawLineRecords(target, false);
    DrawXYLines(target);
}

void CLinePlotWnd::DrawXYLines(CDC* target) { DrawXYRecords(target, false); }

void CLinePlotWnd::DrawLinesDirect(CDC* target) {
    // Unclipped: on this path a trace may run beyond the plot rectangle.
    if (m_nLongestLine > 1 && !m_lines.empty()) DrawLineRecords(target, true);
    DrawXYLinesDirect(target);
}

void CLinePlotWnd::DrawXYLinesDirect(CDC* target) { DrawXYRecords(target, true); }
