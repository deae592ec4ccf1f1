// Scroll bars that follow the view and drive it: positions derived from the view start within the
// data, and scroll requests turned back into view starts.
#include <algorithm>
#include <climits>

#include "lineplot/LinePlotWnd.h"
#include "platform/base/Saturate.h"
#include "platform/win/CScrollBar.h"

void CLinePlotWnd::UpdateScrollBars() {
    if (!m_bShowScrollBars && !m_bScrollBarsOnParent) return;
    CWnd* wnd = m_bScrollBarsOnParent ? GetParent() : (GetSafeHwnd() ? this : nullptr);
    if (!wnd) return;
    const int xBar = m_bXAxisHorizontal ? SB_HORZ : SB_VERT;
    const int yBar = m_bXAxisHorizontal ? SB_VERT : SB_HORZ;

    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    wnd->GetScrollInfo(xBar, &si, SIF_ALL);
    {
        const float M = static_cast<float>(si.nMax);
        const float visible = static_cast<float>(GetXPixelExtent()) / m_fXPixelsPerSample;
        const float span = static_cast<float>(m_nDataIndexMax - m_nDataIndexMin);
        int page, position;
        if (visible >= span) {
            page = si.nMax;
            position = 0;
        } else {
            const float product = M * visible / span;
            page = TruncateToInt(product);
            const float rest = M - product;
            position = TruncateToInt((m_fXViewStart - static_cast<float>(m_nDataIndexMin)) * rest / (span - visible));
            if (!m_bXAxisHorizontal) position = TruncateToInt(rest - static_cast<float>(position));
        }
        si.fMask = SIF_PAGE | SIF_POS;
        si.nPage = static_cast<UINT>(std::max(page, 0));
        si.nPos = position;
        wnd->SetScrollInfo(xBar, &si, TRUE);
    }

    si = SCROLLINFO{};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    wnd->GetScrollInfo(yBar, &si, SIF_ALL);
    {
        const float M = static_cast<float>(si.nMax);
        const float visible = static_cast<float>(GetYPixelExtent()) / m_fYPixelsPerUnit;
        int page, position;
        if (visible >= m_fYDataSpan) {
            page = si.nMax;
            position = 0;
        } else {
            page = TruncateToInt(M * visible / m_fYDataSpan);
            const float rest = M - static_cast<float>(page);
            float low, high;
            GetYRange(&low, &high);
            // The bar runs top to bottom while y runs bottom to top.
            const float fromBottom = (high - m_fYOffset) / m_fYScale - m_fYDataMin - visible;
            position = TruncateToInt(rest - fromBottom * rest / (m_fYDataSpan - visible));
        }
        si.fMask = SIF_PAGE | SIF_POS;
        si.nPage = static_cast<UINT>(std::max(page, 0));
        si.nPos = position;
        wnd->SetScrollInfo(yBar, &si, TRUE);
    }
}

void CLinePlotWnd::ScrollXTo(int position, int limit) {
    const float visible = static_cast<float>(GetXPixelExtent()) / m_fXPixelsPerSample;
    const float span = static_cast<float>(m_nDataIndexMax - m_nDataIndexMin);
    const float dataMin = static_cast<float>(m_nDataIndexMin);
    if (visible >= span) {
        m_fXViewStart = m_bXAxisHorizontal ? dataMin : static_cast<float>(m_nDataIndexMax - 1);
        return;
    }
    const float excess = span - visible;
    if (limit == 0)
        m_fXViewStart = dataMin;
    else if (m_bXAxisHorizontal)
        m_fXViewStart = dataMin + static_cast<float>(position) * excess / static_cast<float>(limit);
    else
        m_fXViewStart = dataMin + static_cast<float>(limit - position) * excess / static_cast<float>(limit);
    UpdateGatePositions();
    NotifyRangeChanging();
}

void CLinePlotWnd::ScrollYTo(int position, int limit) {
    const float visible = static_cast<float>(GetYPixelExtent()) / m_fYPixelsPerUnit;
    if (visible >= m_fYDataSpan) {
        m_fYViewStart = m_fYDataMin;
        return;
    }
    m_fYViewStart = m_fYDataMin;
    if (limit != 0)
        m_fYViewStart = (1 - static_cast<float>(position) / static_cast<float>(limit)) * (m_fYDataSpan - visible) +
                        m_fYDataMin;
    UpdateGatePositions();
    NotifyRangeChanging();
}

void CLinePlotWnd::HandleScroll(UINT code, UINT trackPosition, CScrollBar* bar, int whichBar) {
    // A message from a scroll-bar control reads that control; otherwise the window's own bar.
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    if (bar)
        bar->GetScrollInfo(&si, SIF_ALL);
    else
        GetScrollInfo(whichBar, &si, SIF_ALL);
    const int page = static_cast<int>(std::min<UINT>(si.nPage, INT_MAX));
    const int limit = SaturatingAdd(si.nMax, -page);
    int position = si.nPos;
    switch (code) {
        case SB_LINEUP: position = SaturatingAdd(position, -(page / 10)); break;
        case SB_LINEDOWN: position = SaturatingAdd(position, page / 10); break;
        case SB_PAGEUP: position = SaturatingAdd(position, -page); break;
        case SB_PAGEDOWN: position = SaturatingAdd(position, page); break;
        case SB_THUMBPOSITION:
        case SB_THUMBTRACK: position = static_cast<int>(trackPosition); break;
        case SB_BOTTOM: position = si.nMax; break;
        case SB_ENDSCROLL: NotifyRangeChanged(); return;
        default: break;
    }
    if (position < 0 || limit < 0)
        position = 0;
    else if (position > limit)
        position = limit;
    const bool drivesX = (whichBar == SB_HORZ) == (m_bXAxisHorizontal != 0);
    if (drivesX)
        ScrollXTo(position, limit);
    else
        ScrollYTo(position, limit);
    if (GetSafeHwnd()) Invalidate(FALSE);
}

void CLinePlotWnd::OnHScroll(UINT code, UINT position, CScrollBar* bar) { HandleScroll(code, position, bar, SB_HORZ); }

void CLinePlotWnd::OnVScroll(UINT code, UINT position, CScrollBar* bar) { HandleScroll(code, position, bar, SB_VERT); }
