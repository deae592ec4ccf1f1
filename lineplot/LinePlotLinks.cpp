// The cursor readout, notifications to linked plots, and the plot as a range client, a clone and a
// focus owner.
#include <algorithm>

#include "lineplot/LinePlotWnd.h"
#include "lineplot/NumberFormat.h"
#include "lineplot/AxisDrawing.h"
#include "platform/gdi/CFont.h"
#include "platform/gdi/CSelectObject.h"

namespace {
constexpr int kReadoutFontHeight = 15;
constexpr int kFootnoteLift = 15;
}  // namespace

void CLinePlotWnd::UpdateReadout(CDC* target, CPoint point) {
    const bool inPlot = m_nReadoutHorz != 0 && m_nReadoutVert != 0;
    CWnd* readoutWnd = m_hReadoutWnd ? CWnd::FromHandle(m_hReadoutWnd) : nullptr;
    if (!inPlot && !readoutWnd) return;
    float x, y;
    if (!PixelToData(point.x, point.y, &x, &y)) return;

    // Built by appending: GCC 12 warns falsely (-Wrestrict) on chains of string additions at -O3.
    std::string text;
    float px, py;
    if (m_bButtonDown && PixelToData(m_ptPress.x, m_ptPress.y, &px, &py)) {
        text.append("<").append(FormatNumber(x - px, m_nXDecimals)).append(",");
        text.append(FormatNumber(y - py, m_nYDecimals)).append(">");
    } else {
        // Trailing blanks let a shorter text cover a longer one drawn before it.
        text.append("( ").append(FormatNumber(x, m_nXDecimals)).append(", ");
        text.append(FormatNumber(y, m_nYDecimals)).append(")      ");
    }

    if (inPlot && target) {
        CFont font;
        CreateAxisFont(font, kReadoutFontHeight, FW_NORMAL, 0, 0);
        CSelectObject selected(*target, font);
        const CSize size = target->GetTextExtent(text);
        const int tx = m_nReadoutHorz == 1 ? 0 : m_rcFrame.right - size.cx;
        int ty = m_nReadoutVert == 3 ? 0 : m_rcFrame.bottom - size.cy;
        if (m_nReadoutVert != 3 && m_bXAxisHorizontal && !m_strFootnote.empty()) ty -= kFootnoteLift;
        target->TextOut(tx, ty, text);
    }
    if (readoutWnd) readoutWnd->SetWindowText(text.c_str());
}

void CLinePlotWnd::NotifyRangeChanging() {
    PlotViewRect view;
    GetXRange(&view.xLow, &view.xHigh);
    GetYRange(&view.yLow, &view.yHigh);
    for (CLinePlotClient* client : m_clients)
        if (client && client->m_bWantsRangeChanging) client->RangeChanging(&view);
}

void CLinePlotWnd::NotifyRangeChanged() {
    PlotViewRect view;
    GetXRange(&view.xLow, &view.xHigh);
    GetYRange(&view.yLow, &view.yHigh);
    for (CLinePlotClient* client : m_clients)
        if (client && client->m_bWantsRangeChanged) client->RangeChanged(&view);
}

void CLinePlotWnd::NotifyGateMoving(int gateIndex) {
    if (gateIndex < 0 || gateIndex >= static_cast<int>(m_gates.size())) return;
    const CGate& gate = m_gates[static_cast<size_t>(gateIndex)];
    for (CLinePlotClient* client : m_clients)
        if (client && client->m_bWantsGateChanging) client->GateChanging(gate.nId, &gate.data);
}

void CLinePlotWnd::NotifyGateMoved(int gateIndex) {
    if (gateIndex < 0 || gateIndex >= static_cast<int>(m_gates.size())) return;
    const CGate& gate = m_gates[static_cast<size_t>(gateIndex)];
    for (CLinePlotClient* client : m_clients)
        if (client && client->m_bWantsGateChanged) client->GateChanged(gate.nId, &gate.data);
}

void CLinePlotWnd::RangeChanging(const PlotViewRect* view) {
    if (!view) return;
    // Applied without notifying this plot's own clients, so links both ways do not loop.
    SetXViewRange(view->xLow, view->xHigh);
    SetYViewRange(view->yLow, view->yHigh);
    ApplyAspectRatio();
    UpdateGatePositions();
    RenderToWindow(0);
}

void CLinePlotWnd::RangeChanged(const PlotViewRect* view) { RangeChanging(view); }

void CLinePlotWnd::SetFocusMark(bool focused) {
    m_bFocused = focused ? 1 : 0;
    if (GetSafeHwnd()) Invalidate(TRUE);
}

void CLinePlotWnd::CopySettingsTo(CLinePlotWnd& t) const {
    t.m_bScrollBarsOnParent = m_bScrollBarsOnParent;
    t.m_nLongestLine = m_nLongestLine;
    t.m_nDataIndexMin = m_nDataIndexMin;
    t.m_nDataIndexMax = m_nDataIndexMax;
    t.m_fXOffset = m_fXOffset;
    t.m_fXScale = m_fXScale;
    t.m_fYOffset = m_fYOffset;
    t.m_fYScale = m_fYScale;
    t.m_fXViewStart = m_fXViewStart;
    t.m_fXPixelsPerSample = m_fXPixelsPerSample;
    t.m_fYPixelsPerUnit = m_fYPixelsPerUnit;
    t.m_fYViewStart = m_fYViewStart;
    t.m_fYDataMin = m_fYDataMin;
    t.m_fYDataSpan = m_fYDataSpan;
    t.m_bXAxisHorizontal = m_bXAxisHorizontal;
    t.m_nXAxisPos = m_nXAxisPos;
    t.m_nYAxisPos = m_nYAxisPos;
    t.m_bShowScrollBars = m_bShowScrollBars;
    t.m_nMarginLeft = m_nMarginLeft;
    t.m_nMarginTop = m_nMarginTop;
    t.m_nMarginRight = m_nMarginRight;
    t.m_nMarginBottom = m_nMarginBottom;
    t.m_bRubberBandShown = m_bRubberBandShown;
    // The previous bitmap belongs to this plot's memory context; a copy without that context must
    // not select it anywhere, so it is not carried over.
    t.m_bPrinting = m_bPrinting;
    t.m_pPrintDC = nullptr;
    t.m_nReadoutHorz = m_nReadoutHorz;
    t.m_nReadoutVert = m_nReadoutVert;
    t.m_hReadoutWnd = m_hReadoutWnd;
    t.m_bZoomBoxArmed = m_bZoomBoxArmed;
    t.m_bButtonDown = m_bButtonDown;
    t.m_fAspectRatio = m_fAspectRatio;
    t.m_bLockAspect = m_bLockAspect;
    t.m_bXGrid = m_bXGrid;
    t.m_bYGrid = m_bYGrid;
    t.MouseMode = MouseMode;
    t.m_nActiveDragMode = 0;
    t.m_bClampX = m_bClampX;
    t.m_bClampY = m_bClampY;
    t.m_nXDecimals = m_nXDecimals;
    t.m_nYDecimals = m_nYDecimals;
    std::copy(std::begin(m_rangeBefore), std::end(m_rangeBefore), t.m_rangeBefore);
    std::copy(std::begin(m_rangeAfter), std::end(m_rangeAfter), t.m_rangeAfter);
    t.m_bFocusMarkShown = m_bFocusMarkShown;
    t.m_nDblClickGateId = m_nDblClickGateId;
    t.m_strXLabel = m_strXLabel;
    t.m_strYLabel = m_strYLabel;
    t.m_nCaptionStrip = m_nCaptionStrip;
    t.m_nCaptionActive = m_nCaptionActive;
    t.m_bKeepRangeOnResize = 0;
    t.m_gates = m_gates;
    for (CGate& gate : t.m_gates) gate.pOwner = &t;
}

namespace {
// The clone target: a new plot when *target is null, else the plot it must be.
CLinePlotWnd* CloneTarget(CVantorPersistentObject** target) {
    if (!target) return nullptr;
    if (!*target) {
        CLinePlotWnd* plot = new CLinePlotWnd;
        *target = plot;
        return plot;
    }
    return dynamic_cast<CLinePlotWnd*>(*target);
}

template <typename T>
T* CopyBuffer(const T* source, int32_t count) {
    if (!source || count <= 0) return nullptr;
    T* copy = new (std::nothrow) T[static_cast<size_t>(count)];
    if (copy) std::copy(source, source + count, copy);
    return copy;
}
}  // namespace

bool CLinePlotWnd::Clone(CVantorPersistentObject** target) {
    CLinePlotWnd* t = CloneTarget(target);
    if (!t) return false;
    if (t == this) return true;
    CopySettingsTo(*t);
    t->RemoveAllLines();
    for (const stLineData& line : m_lines) {
        stLineData copy = line;
        copy.bExternal = 0;
        copy.pShortData = line.nDataType == 0 ? CopyBuffer(line.pShortData, line.nCount) : nullptr;
        copy.pFloatData = line.nDataType == 1 ? CopyBuffer(line.pFloatData, line.nCount) : nullptr;
        t->m_lines.push_back(copy);
    }
    t->RemoveAllXYData();
    for (const stXYData& xy : m_xyData) {
        stXYData copy = xy;
        copy.pX = CopyBuffer(xy.pX, xy.nCount);
        copy.pY = xy.pX ? CopyBuffer(xy.pY, xy.nCount) : nullptr;
        t->m_xyData.push_back(copy);
    }
    // The counts were copied with the settings; the buffer follows the copied traces.
    t->UpdatePointBuffer();
    t->m_nLongestLine = m_nLongestLine;
    return true;
}

bool CLinePlotWnd::CloneSettings(CVantorPersistentObject** target) {
    CLinePlotWnd* t = CloneTarget(target);
    if (!t) return false;
    if (t == this) return true;
    CopySettingsTo(*t);
    delete[] t->m_pPointBuffer;
    t->m_pPointBuffer = m_pPointBuffer;
    t->m_nPointBufferSize = m_nPointBufferSize;
    m_pPointBuffer = nullptr;
    m_nPointBufferSize = 0;
    return true;
}

void CLinePlotWnd::Destroy() { delete this; }
