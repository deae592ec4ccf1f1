// Everything around and behind the traces: footnote, title, the two axes and the plot frame.
#include <cstdlib>
#include <utility>

#include "lineplot/AxisDrawing.h"
#include "lineplot/LinePlotWnd.h"
#include "lineplot/NumberFormat.h"
#include "platform/gdi/CFont.h"
#include "platform/gdi/CPen.h"
#include "platform/gdi/CSelectObject.h"

namespace {
constexpr int kTitleFontHeight = 20;
constexpr int kFootnoteFontHeight = 15;
constexpr int kTitleTop = 5;
constexpr int kFootnoteLift = 15;
constexpr int kAxisDivisions = 10;

// The frame of the plot rectangle, right and bottom edges included.
void DrawPlotFrame(CDC* target, const CRect& D) {
    CPen pen(PS_SOLID, 0, RGB(0, 0, 0));
    CSelectObject selected(*target, pen);
    target->MoveTo(D.left, D.top);
    target->LineTo(D.left, D.bottom);
    target->LineTo(D.right, D.bottom);
    target->LineTo(D.right, D.top);
    target->LineTo(D.left, D.top);
}
}  // namespace

// The label strip of an axis drawn along a horizontal edge (position 3 top, 4 bottom) or a vertical
// one (1 left, 2 right): the frame cut down to that margin, the other margins taken off its length.
bool CLinePlotWnd::AxisBand(bool alongHorizontalEdge, int position, CRect* band) const {
    CRect r = m_rcFrame;
    if (alongHorizontalEdge) {
        if (position == 3) r.bottom = r.top + m_nMarginTop;
        if (position == 4) r.top = r.bottom - m_nMarginBottom;
        r.left += m_nMarginLeft;
        r.right -= m_nMarginRight;
    } else {
        if (position == 1) r.right = r.left + m_nMarginLeft;
        if (position == 2) r.left = r.right - m_nMarginRight;
        r.top += m_nMarginTop;
        r.bottom -= m_nMarginBottom;
    }
    *band = r;
    return r.Width() > 0 && r.Height() > 0;
}

bool CLinePlotWnd::GetXAxisBand(CRect* band) const { return AxisBand(true, m_nXAxisPos, band); }

bool CLinePlotWnd::GetYAxisBand(CRect* band) const { return AxisBand(false, m_nYAxisPos, band); }

void CLinePlotWnd::DrawFootnote(CDC* target, BYTE) {
    if (m_strFootnote.empty()) return;
    CFont font;
    CreateAxisFont(font, kFootnoteFontHeight, FW_NORMAL, 0, 0);
    CSelectObject selected(*target, font);
    target->TextOut(m_rcFrame.left, m_rcFrame.bottom - kFootnoteLift, m_strFootnote);
}

void CLinePlotWnd::DrawAxesWith(CDC* target, AxisRoutines routines) {
    const CLinePlotWnd& plot = *this;
    const CRect D = GetPlotRect();
    const bool turned = plot.m_bXAxisHorizontal == 0;
    // A turned plot runs x up the vertical edge and y leftward along the horizontal one, so the x
    // axis is drawn by the vertical routine and the y axis by the horizontal one. The axes keep
    // their wide margins: an x axis at the bottom (4) turns to the left, one at the top (3) to
    // the right; a y axis on the left (1) turns to the bottom, one on the right (2) to the top.
    int horzPos = plot.m_nXAxisPos, vertPos = plot.m_nYAxisPos;
    if (turned) {
        horzPos = plot.m_nYAxisPos == 0 ? 0 : (plot.m_nYAxisPos == 2 ? 3 : 4);
        vertPos = plot.m_nXAxisPos == 0 ? 0 : (plot.m_nXAxisPos == 3 ? 2 : 1);
    }
    DrawFootnote(target, 0);

    if (horzPos != 3 && !plot.m_strTitle.empty()) {
        CFont font;
        CreateAxisFont(font, kTitleFontHeight, plot.m_bFocused ? FW_BOLD : FW_NORMAL, 0, 0);
        CSelectObject selected(*target, font);
        TEXTMETRIC tm{};
        target->GetTextMetrics(&tm);
        const int chars = static_cast<int>(plot.m_strTitle.size());
        target->TextOut((D.left + D.right) / 2 - (tm.tmAveCharWidth * chars) / 2, kTitleTop, plot.m_strTitle);
    }

    const std::string xTitle = MakeAxisLabel(plot.m_strXSecondText, plot.m_strXLabel);
    const std::string yTitle = MakeAxisLabel(plot.m_strYSecondText, plot.m_strYLabel);
    CRect band;
    if (horzPos != 0 && AxisBand(true, horzPos, &band)) {
        const int below = horzPos == 4 ? 1 : 0;
        // A top axis runs along the top edge; its labels go above it.
        const int P = below ? D.bottom : D.top;
        const bool grid = turned ? plot.m_bYGrid != 0 : plot.m_bXGrid != 0;
        const int Q = grid ? (below ? D.top : D.bottom) : P;
        float start = plot.m_fXViewStart, span = static_cast<float>(band.right - band.left) / plot.m_fXPixelsPerSample;
        double offset = plot.m_fXOffset, scale = plot.m_fXScale;
        int a = D.left, b = D.right;
        if (turned) {
            // y grows leftward: its low end is at the right edge.
            const float w = static_cast<float>(std::abs(D.right - D.left));
            start = plot.m_fYViewStart;
            span = (w / plot.m_fYPixelsPerUnit + plot.m_fYViewStart) - plot.m_fYViewStart;
            offset = plot.m_fYOffset;
            scale = plot.m_fYScale;
            std::swap(a, b);
        }
        const std::string& title = turned ? yTitle : xTitle;
        if (routines == AxisRoutines::Measured)
            DrawHorzAxis(target, start, span, offset, scale, kAxisDivisions, P, a, b, Q, title, below);
        else
            DrawHorzAxisDirect(target, start, span, offset, scale, kAxisDivisions, P, a, b, Q, title, below);
    }
    if (vertPos != 0 && AxisBand(false, vertPos, &band)) {
        const float h = static_cast<float>(std::abs(D.bottom - D.top));
        const int right = vertPos == 2 ? 1 : 0;
        const int P = right ? D.right : D.left;
        const bool grid = turned ? plot.m_bXGrid != 0 : plot.m_bYGrid != 0;
        const int Q = grid ? (right ? D.left : D.right) : P;
        // Both axes grow upward on this edge: x in a turned plot, y otherwise.
        const float start = turned ? plot.m_fXViewStart : plot.m_fYViewStart;
        const float span = turned ? h / plot.m_fXPixelsPerSample
                                  : (h / plot.m_fYPixelsPerUnit + plot.m_fYViewStart) - plot.m_fYViewStart;
        const double offset = turned ? plot.m_fXOffset : plot.m_fYOffset;
        const double scale = turned ? plot.m_fXScale : plot.m_fYScale;
        const std::string& title = turned ? xTitle : yTitle;
        if (routines == AxisRoutines::Measured)
            DrawVertAxis(target, start, span, offset, scale, kAxisDivisions, P, D.top, D.bottom, Q, title, right);
        else
            DrawVertAxisDirect(target, start, span, offset, scale, kAxisDivisions, P, D.top, D.bottom, Q, title, right);
    }
    DrawPlotFrame(target, D);
}

void CLinePlotWnd::DrawAxes(CDC* target) { DrawAxesWith(target, AxisRoutines::Measured); }

void CLinePlotWnd::DrawAxesDirect(CDC* target) { DrawAxesWith(target, AxisRoutines::Direct); }
