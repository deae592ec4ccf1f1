// The mouse: press, drag, release and double-click by MouseMode and by the gate under the mouse,
// the XOR rubber band, the cursors, the right button for the host's menu.
#include <algorithm>

#include "lineplot/GateLogic.h"
#include "lineplot/LinePlotWnd.h"
#include "lineplot/PlotCursors.h"
#include "platform/gdi/CPen.h"
#include "platform/gdi/CSelectObject.h"
#include "platform/win/CClientDC.h"
#include "platform/win/WinApi.h"

namespace {
// MouseMode 7: zoom x inside the plot rectangle, pan x outside it.
constexpr int kModeZoomOrPanX = 7;
constexpr int kModeZoomX = 1;
constexpr int kModePanX = 4;
}  // namespace

int CLinePlotWnd::ResolveDragMode(CPoint point) const {
    if (MouseMode != kModeZoomOrPanX) return MouseMode;
    return GetPlotRect().PtInRect(point) ? kModeZoomX : kModePanX;
}

CPoint CLinePlotWnd::ClampIntoPlot(CPoint p) const {
    const CRect R = GetPlotRect();
    // Lower bound first: a plot rectangle too small for an interior still yields a defined point.
    p.x = std::max(p.x, R.left + 1);
    p.x = std::min(p.x, R.right - 1);
    p.y = std::max(p.y, R.top + 1);
    p.y = std::min(p.y, R.bottom - 1);
    return p;
}

void CLinePlotWnd::DrawRubberBand(CDC* dc, CPoint first, CPoint second) {
    CPoint corners[2] = {first, second};
    dc->DPtoLP(corners, 2);
    const CPoint A = corners[0], B = corners[1];
    const int oldRop = dc->SetROP2(R2_NOTXORPEN);
    // Outline and diagonal touch every pixel once (the closing point is not drawn), so a second
    // drawing restores the screen exactly.
    const POINT outline[5] = {A, {A.x, B.y}, B, {B.x, A.y}, A};
    dc->Polyline(outline, 5);
    dc->MoveTo(A);
    dc->LineTo(B);
    dc->SetROP2(oldRop);
}

void CLinePlotWnd::OnLButtonDown(UINT flags, CPoint point) {
    m_ptPress = ClampIntoPlot(point);
    // A press without a move before it (a click where the mouse already rested, injected input)
    // must not make the first pan step or a zoom box start from an older position.
    m_ptLastMouse = m_ptPress;
    HitTestGates(point.x, point.y);
    m_bButtonDown = 1;
    if (m_nGateUnderMouse >= 0) {
        CGate& gate = m_gates[static_cast<size_t>(m_nGateUnderMouse)];
        gate.bDragging = 1;
        gate.saved = gate.data;
        OrderGatePoints(gate);
        RedrawFromBackground(1);
        if (GetSafeHwnd()) {
            CClientDC dc(this);
            DrawGates(&dc);
        }
    }
    m_nActiveDragMode = ResolveDragMode(point);
    const bool zooms = MouseMode == 1 || MouseMode == 2 || MouseMode == 3 || MouseMode == kModeZoomOrPanX;
    if (zooms || m_nGateUnderMouse >= 0) BeginViewDrag(m_ptPress);
    SetCapture();
    CWnd::OnLButtonDown(flags, point);
}

void CLinePlotWnd::OnMouseMove(UINT flags, CPoint point) {
    // A newer move is already waiting: this one would only be painted over. Keeps drags smooth
    // when a redraw is slower than the mouse.
    MSG waiting{};
    if (::PeekMessage(&waiting, m_hWnd, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_NOREMOVE)) return;

    const CPoint Q = ClampIntoPlot(point);
    CClientDC dc(this);
    if (m_bRubberBandShown) {
        DrawRubberBand(&dc, m_ptLastMouse, m_ptPress);
        m_bRubberBandShown = 0;
    }

    if (!(flags & MK_LBUTTON)) {
        m_nActiveDragMode = ResolveDragMode(point);
        HitTestGates(Q.x, Q.y);
    } else if (m_bZoomBoxArmed) {
        DrawRubberBand(&dc, Q, m_ptPress);
        m_bRubberBandShown = 1;
    } else if (m_nGateUnderMouse >= 0 && m_nGateUnderMouse < static_cast<int>(m_gates.size())) {
        float x, y;
        if (Q != m_ptLastMouse && PixelToData(Q.x, Q.y, &x, &y)) {
            DragGateTo(m_gates[static_cast<size_t>(m_nGateUnderMouse)], x, y);
            RenderToWindow(1);
            NotifyGateMoving(m_nGateUnderMouse);
        }
    } else {
        switch (m_nActiveDragMode) {
            case 1:
            case 2:
            case 3: ZoomDragTo(point, m_nActiveDragMode); break;
            case 4:
            case 5:
            case 6: PanDragTo(m_ptLastMouse, Q, m_nActiveDragMode); break;
            default:
                DrawRubberBand(&dc, Q, m_ptPress);
                m_bRubberBandShown = 1;
                break;
        }
    }
    UpdateReadout(&dc, Q);
    m_ptLastMouse = Q;
    CWnd::OnMouseMove(flags, point);
}

void CLinePlotWnd::OnLButtonUp(UINT flags, CPoint point) {
    if (m_bZoomBoxArmed) {
        m_bZoomBoxArmed = 0;
        ::SetCursor(LoadStandardCursor(IDC_ARROW));
        ZoomToPixelRect(m_ptLastMouse, m_ptPress);
        NotifyRangeChanged();
        ::ReleaseCapture();
    } else if (m_nGateUnderMouse >= 0 && m_nGateUnderMouse < static_cast<int>(m_gates.size())) {
        CGate& gate = m_gates[static_cast<size_t>(m_nGateUnderMouse)];
        gate.bDragging = 0;
        OrderGatePoints(gate);
        RedrawFromBackground(1);
        if (GetSafeHwnd()) {
            CClientDC dc(this);
            DrawGates(&dc);
        }
        NotifyGateMoved(m_nGateUnderMouse);
    } else if (MouseMode != 0) {
        NotifyRangeChanged();
    }
    if (m_bRubberBandShown && GetSafeHwnd()) {
        CClientDC dc(this);
        DrawRubberBand(&dc, m_ptLastMouse, m_ptPress);
        m_bRubberBandShown = 0;
    }
    ::ReleaseCapture();
    m_bButtonDown = 0;
    CWnd::OnLButtonUp(flags, point);
}

void CLinePlotWnd::OnLButtonDblClk(UINT flags, CPoint point) {
    float x, y;
    if (m_nDblClickGateId != -1 && PixelToData(point.x, point.y, &x, &y)) {
        GateData data;
        if (GetGateData(m_nDblClickGateId, &data)) {
            const float width = data.x2 - data.x1;
            data.x1 = x;
            data.x2 = x + width;
            SetGateData(m_nDblClickGateId, &data);
            NotifyGateMoving(FindGate(m_nDblClickGateId));
        }
        RenderToWindow(1);
    }
    CWnd::OnLButtonDblClk(flags, point);
}

void CLinePlotWnd::OnRButtonUp(UINT, CPoint) {
    // The host shows its own menu; it needs no position from the plot.
    if (CWnd* parent = GetParent()) parent->SendMessage(WM_RBUTTONUP, 0, 0);
}

BOOL CLinePlotWnd::OnSetCursor(CWnd* wnd, UINT hitTest, UINT message) {
    const int code = static_cast<int>(static_cast<SHORT>(hitTest));
    if (code == HTHSCROLL || code == HTVSCROLL) return CWnd::OnSetCursor(wnd, hitTest, message);
    if (m_bZoomBoxArmed) {
        ::SetCursor(LoadStandardCursor(IDC_CROSS));
        return TRUE;
    }
    if (m_nGateUnderMouse >= 0 && m_cursorUnderMouse) {
        ::SetCursor(LoadStandardCursor(m_cursorUnderMouse));
        return TRUE;
    }
    UINT own = 0;
    if (m_nActiveDragMode == kModeZoomX) own = m_bXAxisHorizontal ? kCursorZoomHorz : kCursorZoomVert;
    if (m_nActiveDragMode == kModePanX) own = m_bXAxisHorizontal ? kCursorPanHorz : kCursorPanVert;
    if (own != 0) {
        // A cursor the module does not have leaves the one on the screen.
        if (HCURSOR cursor = LoadCursor(own)) ::SetCursor(cursor);
        return TRUE;
    }
    return CWnd::OnSetCursor(wnd, hitTest, message);
}
