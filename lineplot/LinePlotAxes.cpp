// Everything around and behind the traces: footnote, title, the two axes and the plot frame.
#include <cstdlib>

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

bool CLinePlotWnd::GetXAxisBand(CRect* band) const {
    CRect r = m_rcFrame;
    if (m_nXAxisPos == 3) r.bottom = r.top + m_nMarginTop;
    if (m_nXAxisPos == 4) r.top = r.bottom - m_nMarginBottom;
    r.left += m_nMarginLeft;
    r.right -= m_nMarginRight;
    *band = r;
    return r.Width() > 0 && r.Height() > 0;
}

bool CLinePlotWnd::GetYAxisBand(CRect* band) const {
    CRect r = m_rcFrame;
    if (m_nYAxisPos == 1) r.right = r.left + m_nMarginLeft;
    if (m_nYAxisPos == 2) r.left = r.right - m_nMarginRight;
    r.top += m_nMarginTop;
    r.bottom -= m_nMarginBottom;
    *band = r;
    return r.Width() > 0 && r.Height() > 0;
}

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
    DrawFootnote(target, 0);

    if (plot.m_nXAxisPos != 3 && !plot.m_strTitle.empty()) {
        CFont font;
        CreateAxisFont(font, kTitleFontHeight, plot.m_bFocused ? FW_BOLD : FW_NORMAL, 0, 0);
        CSelectObject selected(*target, font);
        TEXTMETRIC tm{};
        target->GetTextMetrics(&tm);
        const int chars = static_cast<int>(plot.m_strTitle.size());
        target->TextOut((D.left + D.right) / 2 - (tm.tmAveCharWidth * chars) / 2, kTitleTop, plot.m_strTitle);
    }

    CRect band;
    if (plot.m_nXAxisPos != 0 && plot.GetXAxisBand(&band)) {
        const float span = static_cast<float>(band.right - band.left) / plot.m_fXPixelsPerSample;
        const int Q = plot.m_bXGrid ? D.top : D.bottom;
        const std::string title = MakeAxisLabel(plot.m_strXSecondText, plot.m_strXLabel);
        const int below = plot.m_nXAxisPos == 4 ? 1 : 0;
        // A top axis runs along the top edge; its labels go above it.
        const int P = below ? D.bottom : D.top;
        const int Qx = below ? Q : (plot.m_bXGrid ? D.bottom : D.top);
        if (routines == AxisRoutines::Measured)
            DrawHorzAxis(target, plot.m_fXViewStart, span, plot.m_fXOffset, plot.m_fXScale, kAxisDivisions, P, D.left,
                         D.right, Qx, title, below);
        else
            DrawHorzAxisDirect(target, plot.m_fXViewStart, span, plot.m_fXOffset, plot.m_fXScale, kAxisDivisions, P,
                               D.left, D.right, Qx, title, below);
    }
    if (plot.m_nYAxisPos != 0 && plot.GetYAxisBand(&band)) {
        const float h = static_cast<float>(std::abs(D.bottom - D.top));
        const float span = (h / plot.m_fYPixelsPerUnit + plot.m_fYViewStart) - plot.m_fYViewStart;
        const int right = plot.m_nYAxisPos == 2 ? 1 : 0;
        const int P = right ? D.right : D.left;
        const int Q = plot.m_bYGrid ? (right ? D.left : D.right) : P;
        const std::string title = MakeAxisLabel(plot.m_strYSecondText, plot.m_strYLabel);
        if (routines == AxisRoutines::Measured)
            DrawVertAxis(target, plot.m_fYViewStart, span, plot.m_fYOffset, plot.m_fYScale, kAxisDivisions, P, D.top,
                         D.bottom, Q, title, right);
        else
            DrawVertAxisDirect(target, plot.m_fYViewStart, span, plot.m_fYOffset, plot.m_fYScale, kAxisDivisions, P,
                               D.top, D.bottom, Q, title, right);
    }
    DrawPlotFrame(target, D);
}

void CLinePlotWnd::DrawAxes(CDC* target) { DrawAxesWith(target, AxisRoutines::Measured); }

void CLinePlotWnd::DrawAxesDirect(CDC* target) { DrawAxesWith(target, AxisRoutines::Direct); }
