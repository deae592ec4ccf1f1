// Gate figures and labels. A gate's figures are described along its own axis (where its edges lie)
// and across it; which screen direction that is depends on the gate's axis and on whether the plot
// is turned, so every figure is drawn through one small frame that maps (along, across) to pixels.
#include <cmath>

#include "lineplot/GateLogic.h"
#include "lineplot/LinePlotWnd.h"
#include "platform/base/Saturate.h"
#include "platform/gdi/CDCStateSaver.h"
#include "platform/gdi/CRgn.h"
#include "platform/gdi/CSelectObject.h"

namespace {

using W = CLinePlotWnd;

// End ticks of a threshold bar reach this far either side of it.
constexpr int kBarTick = 5;
// Arms of the corner marks of a box.
constexpr int kCornerMark = 10;

// Pixels in a gate's terms: "along" is the screen axis its edges are measured on, "across" the other.
// Vertical gates (x gates of a horizontal plot, y gates of a turned one) have their edges along the
// screen's x. acrossHigh and acrossLow are the plot edges at the high and low end of the other axis.
struct GateFrame {
    bool vertical;
    int a1, a2;           // the two points along the gate's axis
    int c1, c2;           // the two points across it
    int acrossHigh, acrossLow;

    CPoint Pt(int along, int across) const { return vertical ? CPoint(along, across) : CPoint(across, along); }
};

GateFrame MakeFrame(const W::CGate& gate, bool xGate, bool xHorizontal, const CRect& R) {
    GateFrame f{};
    f.vertical = xGate == xHorizontal;
    const CPoint& p1 = gate.ptFirst;
    const CPoint& p2 = gate.ptSecond;
    if (f.vertical) {
        f.a1 = p1.x, f.a2 = p2.x, f.c1 = p1.y, f.c2 = p2.y;
        f.acrossHigh = R.top;  // the high end of y (horizontal plot) or of x (turned plot) is up
        f.acrossLow = R.bottom;
    } else {
        f.a1 = p1.y, f.a2 = p2.y, f.c1 = p1.x, f.c2 = p2.x;
        // Across a y gate of a horizontal plot runs x, growing rightward; across an x gate of a
        // turned plot runs y, growing leftward.
        f.acrossHigh = xHorizontal ? R.right : R.left;
        f.acrossLow = xHorizontal ? R.left : R.right;
    }
    return f;
}

void Line(CDC* dc, CPoint from, CPoint to) {
    dc->MoveTo(from);
    dc->LineTo(to);
}

void ClosedOutline(CDC* dc, CPoint a, CPoint b, CPoint c, CPoint d) {
    const POINT points[5] = {a, b, c, d, a};
    dc->Polyline(points, 5);
}

// The region between a data end (along position e) and an edge (along position a), crossed out,
// and the edge itself.
void CrossedOut(CDC* dc, const GateFrame& f, int e, int a) {
    Line(dc, f.Pt(e, f.acrossHigh), f.Pt(a, f.acrossLow));
    Line(dc, f.Pt(e, f.acrossLow), f.Pt(a, f.acrossHigh));
    Line(dc, f.Pt(a, f.acrossHigh), f.Pt(a, f.acrossLow));
}

}  // namespace

int CLinePlotWnd::GateDataStartPixel(bool xGate, const CRect& R) const {
    if (xGate) {
        const int32_t s = TruncateToInt(-m_fXPixelsPerSample * m_fXViewStart);
        return m_bXAxisHorizontal ? SaturatingAdd(R.left, s) : SaturatingSub(R.bottom, s);
    }
    const float raw = (m_fYDataMin - m_fYOffset) / m_fYScale;
    const int32_t s = TruncateToInt((raw - m_fYViewStart) * m_fYPixelsPerUnit);
    return m_bXAxisHorizontal ? SaturatingSub(R.bottom, s) : SaturatingSub(R.right, s);
}

int CLinePlotWnd::GateDataEndPixel(bool xGate, const CRect& R) const {
    if (xGate) {
        const int32_t s = TruncateToInt((static_cast<float>(m_nLongestLine) - m_fXViewStart) * m_fXPixelsPerSample);
        return m_bXAxisHorizontal ? SaturatingAdd(R.left, s) : SaturatingSub(R.bottom, s);
    }
    const float raw = (m_fYDataMin + m_fYDataSpan - m_fYOffset) / m_fYScale;
    const int32_t s = TruncateToInt((raw - m_fYViewStart) * m_fYPixelsPerUnit);
    return m_bXAxisHorizontal ? SaturatingSub(R.bottom, s) : SaturatingSub(R.right, s);
}

void CLinePlotWnd::DrawGates(CDC* target) {
    if (m_gates.empty() || !target) return;
    CDCStateSaver saved(target);
    const CRect clip = PlotClipRect(target);
    CRgn region;
    region.CreateRectRgn(clip.left, clip.top, clip.right, clip.bottom);
    target->SelectClipRgn(&region);

    CRect R = GetPlotRect();
    R.DeflateRect(1, 1);
    for (const CGate& gate : m_gates) {
        if (!gate.pOwner || !gate.bVisible) continue;
        DrawGate(target, gate, R);
    }
}

void CLinePlotWnd::DrawGate(CDC* dc, const CGate& gate, const CRect& R) const {
    CPen pen;
    // A style the platform does not know would leave no pen at all; the gate then draws solid.
    if (!pen.CreatePen(gate.nPenStyle, gate.nPenWidth, gate.colour)) pen.CreatePen(PS_SOLID, gate.nPenWidth, gate.colour);
    CFont font;
    font.CreateFont(gate.nFontHeight, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_TT_PRECIS, CLIP_LH_ANGLES,
                    DRAFT_QUALITY, VARIABLE_PITCH | FF_ROMAN, "Times New Roman");
    CSelectObject selectedPen(*dc, pen);
    CSelectObject selectedFont(*dc, font);
    dc->SetTextColor(gate.colour);

    const int kind = gate.nKind;
    const bool xGate = (kind & kGateX) != 0;
    const bool horizontal = m_bXAxisHorizontal != 0;
    const GateFrame f = MakeFrame(gate, xGate, horizontal, R);
    const CPoint& P1 = gate.ptFirst;
    const CPoint& P2 = gate.ptSecond;

    if (kind & kGateBand)
        ClosedOutline(dc, f.Pt(f.a1, f.acrossHigh), f.Pt(f.a1, f.acrossLow), f.Pt(f.a2, f.acrossLow),
                      f.Pt(f.a2, f.acrossHigh));
    if (kind & kGateWindow) {
        ClosedOutline(dc, f.Pt(f.a1, f.acrossHigh), f.Pt(f.a1, f.c2), f.Pt(f.a2, f.c2), f.Pt(f.a2, f.acrossHigh));
        ClosedOutline(dc, f.Pt(f.a1, f.acrossLow), f.Pt(f.a1, f.c1), f.Pt(f.a2, f.c1), f.Pt(f.a2, f.acrossLow));
    }
    if (kind & kGateBar) {
        Line(dc, f.Pt(f.a1, f.c1), f.Pt(f.a2, f.c1));
        Line(dc, f.Pt(f.a1, SaturatingSub(f.c1, kBarTick)), f.Pt(f.a1, SaturatingAdd(f.c1, kBarTick)));
        Line(dc, f.Pt(f.a2, SaturatingSub(f.c1, kBarTick)), f.Pt(f.a2, SaturatingAdd(f.c1, kBarTick)));
    }
    if (kind & kGateLine) Line(dc, f.Pt(f.a1, f.acrossHigh), f.Pt(f.a1, f.acrossLow));
    if (kind & kGateCrossStart) CrossedOut(dc, f, GateDataStartPixel(xGate, R), f.a1);
    if (kind & kGateCrossEnd) CrossedOut(dc, f, GateDataEndPixel(xGate, R), f.a2);
    if (kind & kGateBox) {
        if (kind & kGateCornerMarks) {
            const POINT first[3] = {{P1.x, SaturatingSub(P1.y, kCornerMark)}, P1, {SaturatingAdd(P1.x, kCornerMark), P1.y}};
            const POINT second[3] = {{P2.x, SaturatingAdd(P2.y, kCornerMark)}, P2, {SaturatingSub(P2.x, kCornerMark), P2.y}};
            dc->Polyline(first, 3);
            dc->Polyline(second, 3);
        } else {
            ClosedOutline(dc, P1, CPoint(P1.x, P2.y), P2, CPoint(P2.x, P1.y));
        }
    }
    if (kind & kGateCrosshair) {
        Line(dc, CPoint(R.left, P1.y), CPoint(R.right, P1.y));
        Line(dc, CPoint(P1.x, R.top), CPoint(P1.x, R.bottom));
    }
    if (kind & (kGateSegment | kGateSegmentEndLabel)) Line(dc, P1, P2);
    if (kind & kGateCircle) {
        const double dx = static_cast<double>(P2.x) - P1.x, dy = static_cast<double>(P2.y) - P1.y;
        const int r = TruncateToInt(std::sqrt(dx * dx + dy * dy));
        const int left = SaturatingSub(P1.x, r);
        dc->Arc(left, SaturatingSub(P1.y, r), SaturatingAdd(P1.x, r), SaturatingAdd(P1.y, r), left, P1.y, left, P1.y);
    }

    if (kind & kGateLabel) {
        const int figure = GateLabelFigure(kind);
        CPoint at;
        bool placed = true;
        // Saturating: a gate far outside the view has pixels at the int32 limits.
        auto at1 = [](int v, int d) { return SaturatingAdd(v, d); };
        switch (figure) {
            case kGateBand:
            case kGateWindow:
                if (f.vertical)
                    at = CPoint(at1(xGate ? P1.x : P2.x, 2), R.top);
                else
                    at = CPoint(R.left, at1(P2.y, 2));
                break;
            case kGateBar: at = CPoint(at1(P1.x, 1), at1(P1.y, 1)); break;
            case kGateLine:
            case kGateCrossStart: at = f.vertical ? CPoint(at1(P1.x, 1), R.top) : CPoint(R.left, at1(P1.y, 1)); break;
            case kGateCrossEnd: at = f.vertical ? CPoint(at1(P2.x, 1), R.top) : CPoint(R.left, at1(P2.y, 1)); break;
            case kGateBox: at = CPoint(at1(horizontal ? P1.x : P2.x, 1), at1(P2.y, 1)); break;
            case kGateCrosshair:
            case kGateSegment:
            case kGateCircle: at = CPoint(at1(P1.x, 1), at1(P1.y, 1)); break;
            case kGateSegmentEndLabel: at = CPoint(at1(P2.x, 1), at1(P2.y, 1)); break;
            default: placed = false; break;
        }
        if (placed && R.PtInRect(at)) dc->TextOut(at.x, at.y, GateLabelText(gate, figure, m_nXDecimals, m_nYDecimals));
    }
    dc->SetTextColor(RGB(0, 0, 0));
}
