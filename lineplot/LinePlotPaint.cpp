// The paint pipeline: two back buffers (the axes in the background, the composed frame in the
// composition), the layer order of each path, printing into a page rectangle and direct drawing
// into printer and metafile contexts.
#include "lineplot/LinePlotWnd.h"
#include "lineplot/PlotCursors.h"
#include "platform/gdi/CBrush.h"
#include "platform/gdi/CDCStateSaver.h"
#include "platform/gdi/CPen.h"
#include "platform/gdi/CSelectObject.h"
#include "platform/win/PaintStruct.h"
#include "platform/win/SysColor.h"

namespace {
constexpr COLORREF kFocusMarkColour = RGB(0, 0, 128);
constexpr int kFocusMarkSize = 5;
constexpr int kCaptionStripHeight = 3;

// A temporary memory context holding the composition bitmap, with its own bitmap put back at the end.
class CCompositionDC {
public:
    CCompositionDC(CDC* like, CBitmap& composition) {
        m_dc.CreateCompatibleDC(like);
        m_kept = m_dc.SelectObject(&composition);
    }
    ~CCompositionDC() {
        if (m_kept) m_dc.SelectObject(m_kept);
        m_dc.DeleteDC();
    }
    CCompositionDC(const CCompositionDC&) = delete;
    CCompositionDC& operator=(const CCompositionDC&) = delete;
    CDC* operator->() { return &m_dc; }
    CDC* get() { return &m_dc; }

private:
    CDC m_dc;
    CBitmap* m_kept = nullptr;
};
}  // namespace

void CLinePlotWnd::OnPaint() {
    PAINTSTRUCT ps{};
    CDC* dc = BeginPaint(&ps);
    if (dc) Render(dc, 0);
    EndPaint(&ps);
}

void CLinePlotWnd::Render(CDC* target, BYTE gatesOnTop) {
    const CRect R = m_rcFrame;
    if (R.right == 0 || R.bottom == 0) return;
    UpdateScrollBars();
    // Before the first size change there is nothing to compose into; the window keeps its image.
    if (!m_pMemDC || !m_bmpComposition.GetSafeHandle() || !m_bmpBackground.GetSafeHandle()) return;

    CCompositionDC composition(target, m_bmpComposition);
    m_pMemDC->PatBlt(0, 0, R.right, R.bottom, WHITENESS);
    DrawAxes(m_pMemDC);
    composition->BitBlt(0, 0, R.right, R.bottom, m_pMemDC, 0, 0, SRCCOPY);

    DrawGates(composition.get());
    DrawDecorations(composition.get());
    DrawLines(composition.get());
    if (gatesOnTop) DrawGates(composition.get());

    target->BitBlt(0, 0, R.right, R.bottom, composition.get(), 0, 0, SRCCOPY);
    // The readout goes on the screen only; the next frame is composed without it.
    UpdateReadout(target, m_ptLastMouse);
}

void CLinePlotWnd::RedrawFromBackground(int) {
    if (!GetSafeHwnd()) return;
    CDC* client = GetDC();
    if (!client) return;
    {
        CCompositionDC composition(client, m_bmpComposition);
        const CRect R = m_rcFrame;
        if (R.right != 0 && R.bottom != 0 && m_pMemDC && m_bmpComposition.GetSafeHandle()) {
            // The axes of the last Render are reused as they are: no text is measured here.
            composition->BitBlt(0, 0, R.right, R.bottom, m_pMemDC, 0, 0, SRCCOPY);
            DrawLines(composition.get());
            DrawDecorations(composition.get());
            DrawGates(composition.get());
            UpdateReadout(composition.get(), m_ptLastMouse);
            client->BitBlt(0, 0, R.right, R.bottom, composition.get(), 0, 0, SRCCOPY);
        }
    }
    ReleaseDC(client);
}

void CLinePlotWnd::DrawToDC(CDC* target) {
    const CSize extent = target->GetWindowExt();
    if (extent.cx == 0 || extent.cy == 0) return;
    UpdateScrollBars();
    DrawAxesDirect(target);
    DrawLinesDirect(target);
}

void CLinePlotWnd::PrintPlot(CRect T, CDC* dc) {
    if (!dc) return;
    m_bPrinting = 1;
    m_pPrintDC = dc;
    {
        CDCStateSaver saved(dc);
        const CRect& R = m_rcFrame;
        dc->SetMapMode(MM_ANISOTROPIC);
        dc->SetWindowExt(R.right - R.left, R.bottom - R.top);
        dc->SetViewportExt(T.right - T.left, T.bottom - T.top);
        dc->SetWindowOrg(0, 0);
        dc->SetViewportOrg(T.left, T.top);
        DrawAxes(dc);
        DrawGates(dc);
        DrawLines(dc);
    }
    m_bPrinting = 0;
    m_pPrintDC = nullptr;
}

int CLinePlotWnd::OnCreate(LPCREATESTRUCT cs) {
    if (CWnd::OnCreate(cs) == -1) return -1;
    // The plot brings its cursors; a module that registered its own keeps them.
    RegisterLinePlotCursors();
    CDC* client = GetDC();
    if (!m_pMemDC) m_pMemDC = new CDC;
    m_pMemDC->CreateCompatibleDC(client);
    if (client) ReleaseDC(client);
    return 0;
}

void CLinePlotWnd::RebuildBackBuffers(int width, int height) {
    // The background is selected in the memory context; it goes out before it is deleted.
    if (m_pOldBitmap && m_pMemDC) m_pMemDC->SelectObject(m_pOldBitmap);
    m_bmpComposition.DeleteObject();
    m_bmpBackground.DeleteObject();

    CDC* client = GetSafeHwnd() ? GetDC() : nullptr;
    m_bmpComposition.CreateCompatibleBitmap(client, width, height);
    m_bmpBackground.CreateCompatibleBitmap(client, width, height);
    if (m_pOldBitmap) {
        m_pMemDC->SelectObject(&m_bmpBackground);
    } else if (m_pMemDC) {
        m_pOldBitmap = m_pMemDC->SelectObject(&m_bmpBackground);
    }
    if (client) ReleaseDC(client);
}

void CLinePlotWnd::OnSize(UINT type, int cx, int cy) {
    CWnd::OnSize(type, cx, cy);
    RebuildBackBuffers(cx, cy);
    UpdateGatePositions();
    if (m_bKeepRangeOnResize) {
        SetXRange(m_rememberedRange[0], m_rememberedRange[1]);
        SetYRange(m_rememberedRange[2], m_rememberedRange[3]);
    }
}

void CLinePlotWnd::OnWindowPosChanging(WINDOWPOS*) {
    // Not passed on: the size that follows applies this range again.
    RememberViewRange();
}

void CLinePlotWnd::DrawDecorations(CDC* target) {
    if (m_bFocusMarkShown) {
        if (m_bFocused) {
            CBrush brush;
            brush.CreateSolidBrush(kFocusMarkColour);
            const CRect mark(0, 0, kFocusMarkSize, kFocusMarkSize);
            target->FillRect(&mark, &brush);
        } else {
            CPen pen(PS_SOLID, 0, RGB(0, 0, 0));
            CSelectObject selected(*target, pen);
            target->MoveTo(0, 0);
            target->LineTo(0, kFocusMarkSize);
            target->LineTo(kFocusMarkSize, kFocusMarkSize);
            target->LineTo(kFocusMarkSize, 0);
            target->LineTo(0, 0);
        }
    }
    if (m_nCaptionStrip) {
        CBrush brush;
        brush.CreateSolidBrush(GetSysColor(m_nCaptionActive ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION));
        CRect strip(0, 0, m_rcFrame.right - m_rcFrame.left, kCaptionStripHeight);
        target->DPtoLP(&strip);
        target->FillRect(&strip, &brush);
    }
}

void CLinePlotWnd::RenderToWindow(BYTE gatesOnTop) {
    if (!GetSafeHwnd()) return;
    CDC* dc = GetDC();
    if (!dc) return;
    Render(dc, gatesOnTop);
    ReleaseDC(dc);
}
