// The plot's model: construction and destruction, the traces it holds and the axis set-up.
#include "lineplot/LinePlotWnd.h"

#include <algorithm>
#include <new>

CLinePlotWnd::CLinePlotWnd() = default;

CLinePlotWnd::~CLinePlotWnd() {
    // The memory context gets its original bitmap back before either is destroyed.
    if (m_pOldBitmap && m_pMemDC) m_pMemDC->SelectObject(m_pOldBitmap);
    RemoveAllLines();
    RemoveAllXYData();
    delete[] m_pPointBuffer;
    m_pPointBuffer = nullptr;
    m_nPointBufferSize = 0;
    m_clients.clear();  // the clients belong to whoever linked them
    m_gates.clear();
    m_bmpComposition.DeleteObject();
    m_bmpBackground.DeleteObject();
    if (m_pMemDC) {
        m_pMemDC->DeleteDC();
        delete m_pMemDC;
        m_pMemDC = nullptr;
    }
    // Destroyed here rather than by the base, so no message reaches a half-destroyed plot.
    if (GetSafeHwnd()) DestroyWindow();
}

int CLinePlotWnd::AddLine(int id, int count, COLORREF colour, int penWidth, int penStyle, int flags, float* data) {
    for (const stLineData& line : m_lines)
        if (line.nId == id) return static_cast<int>(m_lines.size());

    stLineData line;
    line.nDataType = 1;
    line.colour = colour;
    // A negative count cannot describe samples; it would also poison the point buffer size.
    line.nCount = std::max(count, 0);
    line.nPenWidth = penWidth;
    line.nPenStyle = penStyle;
    line.nFlags = flags;
    line.nId = id;
    if (data) {
        line.pFloatData = data;
        line.bExternal = 1;
    } else {
        // A failed allocation leaves a trace without samples, which draws nothing.
        line.pFloatData = line.nCount > 0 ? new (std::nothrow) float[static_cast<size_t>(line.nCount)] : nullptr;
        line.bExternal = 0;
    }
    m_lines.push_back(line);
    UpdatePointBuffer();
    UpdateDataIndexRange();
    return static_cast<int>(m_lines.size());
}

void CLinePlotWnd::RemoveAllLines() {
    for (stLineData& line : m_lines) {
        if (line.bExternal) continue;
        delete[] line.pShortData;
        delete[] line.pFloatData;
        line.pShortData = nullptr;
        line.pFloatData = nullptr;
    }
    m_lines.clear();
    UpdatePointBuffer();
}

void CLinePlotWnd::RemoveAllXYData() {
    for (stXYData& xy : m_xyData) {
        if (!xy.pY) continue;
        delete[] xy.pY;
        delete[] xy.pX;
        xy.pY = nullptr;
        xy.pX = nullptr;
    }
    m_xyData.clear();
    UpdatePointBuffer();
}

void CLinePlotWnd::SetXAxis(float offset, float scale, const std::string& label) {
    m_fXOffset = offset;
    m_fXScale = scale;
    m_strXLabel = label;
}

void CLinePlotWnd::SetYAxis(float offset, float scale, float minimum, float span, const std::string& label) {
    m_fYOffset = offset;
    m_fYScale = scale == 0.0f ? 1.0f : scale;
    m_fYViewStart = minimum;
    m_fYDataMin = minimum;
    m_fYDataSpan = span;
    m_rememberedRange[2] = minimum;
    m_strYLabel = label;
}

void CLinePlotWnd::GetPlotRect(CRect* rect) const {
    *rect = CRect(m_rcFrame.left + m_nMarginLeft, m_rcFrame.top + m_nMarginTop, m_rcFrame.right - m_nMarginRight,
                  m_rcFrame.bottom - m_nMarginBottom);
}

CRect CLinePlotWnd::GetPlotRect() const {
    CRect r;
    GetPlotRect(&r);
    return r;
}

void CLinePlotWnd::RememberViewRange() {
    if (!m_bKeepRangeOnResize) return;
    GetXRange(&m_rememberedRange[0], &m_rememberedRange[1]);
    GetYRange(&m_rememberedRange[2], &m_rememberedRange[3]);
}

void CLinePlotWnd::UpdatePointBuffer() {
    int32_t longest = 0;
    for (const stLineData& line : m_lines) longest = std::max(longest, line.nCount);
    m_nLongestLine = longest;
    int32_t needed = longest;
    for (const stXYData& xy : m_xyData) needed = std::max(needed, xy.nCount);
    if (needed == m_nPointBufferSize) return;
    delete[] m_pPointBuffer;
    // On failure the buffer stays null with the size recorded; drawing then draws nothing.
    m_pPointBuffer = needed > 0 ? new (std::nothrow) POINT[static_cast<size_t>(needed)] : nullptr;
    m_nPointBufferSize = needed;
}

void CLinePlotWnd::UpdateDataIndexRange() {
    if (m_xyData.empty()) {
        m_nDataIndexMin = 0;
        m_nDataIndexMax = m_lines.empty() ? 0 : m_nLongestLine;
        return;
    }
    bool started = false;
    for (const stXYData& xy : m_xyData) {
        if (!xy.pX) continue;
        for (int32_t k = 0; k < xy.nCount; ++k) {
            const int32_t x = xy.pX[k];
            if (!started) {
                m_nDataIndexMin = m_nDataIndexMax = x;
                started = true;
            }
            m_nDataIndexMin = std::min(m_nDataIndexMin, x);
            m_nDataIndexMax = std::max(m_nDataIndexMax, x);
        }
    }
    // Records without x values leave nothing to start from: the range of the lines alone.
    if (!started) m_nDataIndexMin = m_nDataIndexMax = 0;
    if (!m_lines.empty()) {
        if (m_nDataIndexMin > 0) m_nDataIndexMin = 0;
        if (m_nLongestLine > m_nDataIndexMax) m_nDataIndexMax = m_nLongestLine;
    }
}
