#pragma once
// CLinePlotWnd: a child window that plots traces of equally spaced samples (an A-scan) with axes,
// ticks, zoom, pan, scroll bars, gates and a cursor readout. Three unit spaces meet here: sample
// index, axis units (offset + index x scale) and window pixels. All view state is single precision.
#include <cstdint>
#include <string>
#include <vector>

#include "lineplot/LinePlotClient.h"
#include "lineplot/TracePoints.h"
#include "platform/gdi/CBitmap.h"
#include "platform/gdi/CDC.h"
#include "platform/win/CWnd.h"

class CScrollBar;

class CLinePlotWnd : public CWnd,
                     public CLinePlotClient,
                     public CVantorPersistentObject,
                     public CVantorFocusWnd,
                     public CVantorPrintingWnd {
public:
    // An index-based trace. The sample buffer is the caller's when external is 1, else the plot's.
    struct stLineData {
        int16_t* pShortData = nullptr;  // samples when the data type is 0
        float* pFloatData = nullptr;    // samples when the data type is 1
        int32_t nDataType = 1;          // 0: 16-bit integers, 1: 32-bit floats
        BYTE bExternal = 0;
        COLORREF colour = 0;
        int32_t nCount = 0;
        int32_t nPenWidth = 0;
        int32_t nPenStyle = 0;
        int32_t nFlags = 0;  // bit 0: drawn; bit 1: drawn with R2_NOTXORPEN
        int32_t nId = 0;
    };

    // A trace with explicit x positions (sample-index units) and raw 16-bit y; both buffers are the plot's.
    struct stXYData {
        int32_t* pX = nullptr;
        int16_t* pY = nullptr;
        int32_t nCount = 0;
        COLORREF colour = 0;
        int32_t nPenWidth = 0;
        int32_t nPenStyle = 0;
        BYTE nFlags = 0;
    };

    // A marker drawn over the traces in axis units, placed by two points.
    struct CGate {
        CLinePlotWnd* pOwner = nullptr;
        GateData data;
        float fXShift = 0;  // added to x1 and x2 when placing the pixels, with kind bit 0x2000
        GateData saved;
        CPoint ptFirst;
        CPoint ptSecond;
        COLORREF colour = 0;
        int32_t nPenWidth = 0;
        int32_t nPenStyle = 0;
        int32_t nKind = 0;
        int32_t nDragPart = 0;
        BYTE bKeepXOrder = 1;
        BYTE bKeepYOrder = 1;
        BYTE bDragging = 0;
        std::string label;
        int32_t nFontHeight = 14;
        int32_t nId = 0;
        BYTE bVisible = 1;
    };

    // Kind bits of a gate: which axis it works on, its figures, and how it behaves.
    static constexpr int32_t kGateX = 0x1;                 // works on the x axis
    static constexpr int32_t kGateY = 0x2;                 // works on the y axis
    static constexpr int32_t kGateCrossStart = 0x4;        // crossed out from the data start to the first edge
    static constexpr int32_t kGateCrossEnd = 0x8;          // crossed out from the second edge to the data end
    static constexpr int32_t kGateBand = 0x10;             // band across the plot between the edges
    static constexpr int32_t kGateBox = 0x20;              // box with corners at the two points
    static constexpr int32_t kGateBar = 0x40;              // threshold bar with end ticks
    static constexpr int32_t kGateSegment = 0x80;          // segment, label at the first point
    static constexpr int32_t kGateLine = 0x100;            // one line across the plot at the first edge
    static constexpr int32_t kGateCrosshair = 0x200;       // crosshair through the first point
    static constexpr int32_t kGateWindow = 0x400;          // two boxes from the plot edges to the levels
    static constexpr int32_t kGateMovable = 0x800;         // dragging and SetGateData move it
    static constexpr int32_t kGateLabel = 0x1000;          // label shown
    static constexpr int32_t kGateXShift = 0x2000;         // x positions shifted by fXShift
    static constexpr int32_t kGateSegmentEndLabel = 0x4000;  // segment, label at the second point
    static constexpr int32_t kGateCircle = 0x8000;         // circle about the first point through the second
    static constexpr int32_t kGateNoHit = 0x10000;         // never hit by the mouse
    static constexpr int32_t kGateCornerMarks = 0x20000;   // with kGateBox: two corner marks instead

    // Drag parts: what a gate drag moves.
    static constexpr int32_t kDragX1 = 1;
    static constexpr int32_t kDragX2 = 2;
    static constexpr int32_t kDragY1 = 4;
    static constexpr int32_t kDragY2 = 8;
    static constexpr int32_t kDragTurn = 16;    // turn the segment about the first point
    static constexpr int32_t kDragRadius = 32;  // change the circle's radius

    CLinePlotWnd();
    ~CLinePlotWnd() override;
    CLinePlotWnd(const CLinePlotWnd&) = delete;
    CLinePlotWnd& operator=(const CLinePlotWnd&) = delete;

    // --- Data (model and lifecycle) ---

    // Appends a float trace unless the id exists; a null data pointer makes the plot allocate count
    // floats. Returns the number of lines.
    int AddLine(int id, int count, COLORREF colour, int penWidth, int penStyle, int flags, float* data);
    // Frees the plot's own sample buffers and empties the lines.
    void RemoveAllLines();
    // Frees and empties the x/y traces.
    void RemoveAllXYData();
    // Stores the x offset, scale (a zero scale is the caller's error and is kept) and label.
    void SetXAxis(float offset, float scale, const std::string& label);
    // Stores the y offset and scale (0 becomes 1), the clampable band and the label.
    void SetYAxis(float offset, float scale, float minimum, float span, const std::string& label);
    // The whole drawing area in window pixels.
    void SetFrameRect(const CRect& rect) { m_rcFrame = rect; }
    void GetFrameRect(CRect* rect) const { *rect = m_rcFrame; }
    // The frame less the margins.
    void GetPlotRect(CRect* rect) const;
    CRect GetPlotRect() const;
    // With keep-range-on-resize set, stores the current x and y ranges for the next resize.
    void RememberViewRange();
    // Sizes the point buffer to the longest trace.
    void UpdatePointBuffer();
    // Recomputes the smallest and largest sample index over all traces.
    void UpdateDataIndexRange();

    // --- Coordinates, ranges, zoom, pan, scroll bars ---

    int GetXPixelExtent() const;
    int GetYPixelExtent() const;
    void GetXRange(float* low, float* high) const;
    void GetYRange(float* low, float* high) const;
    void GetXDataRange(float* low, float* high) const;
    // Clamped setters; an empty or inverted range (before or after clamping) changes nothing.
    void SetXViewRange(float low, float high);
    void SetYViewRange(float low, float high);
    // The setters the host uses: remember the range before and after, keep the aspect lock.
    void SetXRange(float low, float high);
    void SetYRange(float low, float high);
    // False, outputs untouched, outside the plot rectangle.
    bool PixelToData(int px, int py, float* x, float* y) const;
    void DataToPixel(float x, float y, CPoint* point) const;
    void ZoomToPixelRect(CPoint a, CPoint b);
    void ZoomToDataRect(float x1, float y1, float x2, float y2);
    void FitYToAspect();
    void FitXToAspect();
    void ApplyAspectRatio();
    // Starts a zoom or pan drag at a pixel: press point, anchor and ranges at the press.
    void BeginViewDrag(CPoint press);
    // One zoom-drag step to the mouse position (modes 1, 2 and 3).
    void ZoomDragTo(CPoint mouse, int mode);
    // One pan-drag step from the previous mouse position to the current one (modes 4, 5 and 6).
    void PanDragTo(CPoint previous, CPoint current, int mode);
    void UpdateScrollBars();
    void ScrollXTo(int position, int limit);
    void ScrollYTo(int position, int limit);

    // --- Painting ---

    // Composes axes, gates, decorations and traces off-screen and copies the frame to target.
    void Render(CDC* target, BYTE gatesOnTop);
    // Recomposes from the cached axes of the last Render (gate selection changes only).
    void RedrawFromBackground(int redrawFully);
    // Draws axes and traces straight into a printer or metafile context.
    void DrawToDC(CDC* target);
    void PrintPlot(CRect target, CDC* dc) override;
    void DrawDecorations(CDC* target);
    // Rebuilds the two back buffers at the new client size.
    void RebuildBackBuffers(int width, int height);

    // --- Traces ---

    void DrawLines(CDC* target);
    void DrawXYLines(CDC* target);
    void DrawLinesDirect(CDC* target);
    void DrawXYLinesDirect(CDC* target);
    static void DrawPointChain(CDC* target, const POINT* points, int count);

    // --- Axes ---

    void DrawAxes(CDC* target);
    void DrawAxesDirect(CDC* target);
    void DrawFootnote(CDC* target, BYTE erase);
    bool GetXAxisBand(CRect* band) const;
    bool GetYAxisBand(CRect* band) const;

    // --- Gates ---

    // Adds a gate unless the id exists (then returns the count and changes nothing) and mirrors it
    // to the clients that want gate creation. Returns the gate count.
    int AddGate(int id, const GateData* data, const std::string& label, COLORREF colour, int penWidth,
                int penStyle, int kind);
    // Index of the first gate with this id, or -1.
    int FindGate(int id) const;
    // Copies the points into a movable gate and places it; TRUE when the id exists.
    BOOL SetGateData(int id, const GateData* data);
    // TRUE and the gate's points when the id exists.
    BOOL GetGateData(int id, GateData* data) const;
    // Recomputes the pixels of every gate (after any view change or resize).
    void UpdateGatePositions();
    // Finds the first gate under a pixel, prepares its drag part and records its cursor.
    void HitTestGates(int px, int py);
    // Draws every visible gate, clipped to the plot rectangle.
    void DrawGates(CDC* target);

    // --- Readout and clients ---

    void UpdateReadout(CDC* target, CPoint point);
    void NotifyRangeChanging();
    void NotifyRangeChanged();
    virtual void NotifyGateMoving(int gateIndex);
    virtual void NotifyGateMoved(int gateIndex);
    // Third own slot, so a derived plot may replace the paint entry.
    virtual void OnPaint() override;

    // --- Client interface ---
    // Adds a gate with colour, pen and kind 0, then redraws.
    void AddGate(int id, const GateData* data, const std::string& label) override;
    // Sets the gate's colour, pen and kind, then redraws; TRUE when the id exists.
    BOOL SetGateStyle(int id, COLORREF colour, int penWidth, int penStyle, int kind) override;
    // Removes the gate (clients are not told), then redraws.
    void RemoveGate(int id) override;
    // Moves a movable gate, then redraws; no notification of its own, so links do not loop.
    void GateChanging(int id, const GateData* data) override;
    void GateChanged(int id, const GateData* data) override;
    void RangeChanging(const PlotViewRect* view) override;
    void RangeChanged(const PlotViewRect* view) override;

    // --- Other interfaces ---
    bool Clone(CVantorPersistentObject** target) override;
    bool CloneSettings(CVantorPersistentObject** target) override;
    void Destroy() override;
    void Reserved(int32_t) override {}
    void SetFocusMark(bool focused) override;
    bool HasFocusMark() override { return m_bFocused != 0; }

    // --- Window messages ---
    int OnCreate(LPCREATESTRUCT cs) override;
    void OnSize(UINT type, int cx, int cy) override;
    void OnWindowPosChanging(WINDOWPOS* pos) override;
    void OnHScroll(UINT code, UINT position, CScrollBar* bar) override;
    void OnVScroll(UINT code, UINT position, CScrollBar* bar) override;
    void OnLButtonDown(UINT flags, CPoint point) override;
    void OnMouseMove(UINT flags, CPoint point) override;
    void OnLButtonUp(UINT flags, CPoint point) override;
    void OnLButtonDblClk(UINT flags, CPoint point) override;
    void OnRButtonUp(UINT flags, CPoint point) override;
    BOOL OnSetCursor(CWnd* wnd, UINT hitTest, UINT message) override;

    // MouseMode resolved for a pixel: mode 7 zooms x inside the plot rectangle and pans x outside.
    int ResolveDragMode(CPoint point) const;
    // Draws the XOR rubber band (outline and diagonal) between two device points.
    static void DrawRubberBand(CDC* target, CPoint first, CPoint second);

    // The view as the trace point computation needs it.
    CTraceView GetTraceView(const CRect& plot) const;

    // --- State (public: the host sets some fields directly) ---

    CRect m_rcFrame;
    void* m_pHost = nullptr;
    int32_t m_nLongestLine = 0;
    int32_t m_nDataIndexMin = 0;
    int32_t m_nDataIndexMax = 1;
    std::vector<stLineData> m_lines;
    std::vector<stXYData> m_xyData;
    POINT* m_pPointBuffer = nullptr;
    int32_t m_nPointBufferSize = 0;
    int32_t m_nDblClickGateId = -1;
    int32_t m_nXAxisPos = 4;  // 0 none, 3 top, 4 bottom
    int32_t m_nYAxisPos = 1;  // 0 none, 1 left, 2 right
    int32_t m_nReadoutHorz = 0;
    int32_t m_nReadoutVert = 0;
    HWND m_hReadoutWnd = nullptr;
    BYTE m_bButtonDown = 0;
    float m_fXOffset = 0.0f;
    float m_fXScale = 1.0f;
    float m_fXViewStart = 0.0f;
    float m_fXPixelsPerSample = 1.0f;
    std::string m_strXLabel;
    std::string m_strXSecondText;
    BYTE m_bClampX = 1;
    float m_fYOffset = 0.0f;
    float m_fYScale = 1.0f;
    float m_fYPixelsPerUnit = 1.0f;
    float m_fYViewStart = 0.0f;
    float m_fYDataMin = 0.0f;
    float m_fYDataSpan = 255.0f;
    std::string m_strYLabel;
    std::string m_strYSecondText;
    BYTE m_bXAxisHorizontal = 1;
    BYTE m_bShowScrollBars = 0;
    BYTE m_bXGrid = 1;
    BYTE m_bYGrid = 1;
    BYTE m_bClampY = 1;
    float m_fAspectRatio = 1.0f;
    BYTE m_bLockAspect = 0;
    int32_t m_nXDecimals = 3;
    int32_t m_nYDecimals = 3;
    CBitmap m_bmpComposition;
    CBitmap m_bmpBackground;
    CDC* m_pMemDC = nullptr;
    CBitmap* m_pOldBitmap = nullptr;
    int32_t m_nMarginLeft = 55;
    int32_t m_nMarginTop = 20;
    int32_t m_nMarginRight = 10;
    int32_t m_nMarginBottom = 55;
    std::string m_strTitle;
    std::string m_strFootnote;
    BYTE m_bScrollBarsOnParent = 0;
    BYTE m_bZoomBoxArmed = 0;
    int32_t MouseMode = 0;
    int32_t m_nActiveDragMode = 0;
    float m_fAnchorX = 0.0f;
    float m_fAnchorY = 0.0f;
    float m_fPressXLow = 0.0f, m_fPressXHigh = 0.0f, m_fPressYLow = 0.0f, m_fPressYHigh = 0.0f;
    float m_rangeBefore[4] = {0, 0, 0, 0};  // x low, x high, y low, y high
    float m_rangeAfter[4] = {0, 0, 0, 0};
    BYTE m_bRubberBandShown = 0;
    CPoint m_ptLastMouse;
    CPoint m_ptPress;
    BYTE m_bFocusMarkShown = 0;
    BYTE m_bFocused = 0;
    BYTE m_bPrinting = 0;
    CDC* m_pPrintDC = nullptr;
    std::vector<CGate> m_gates;
    LPCTSTR m_cursorUnderMouse = nullptr;
    int32_t m_nGateUnderMouse = -1;
    std::vector<CLinePlotClient*> m_clients;
    int32_t m_nCaptionStrip = 0;
    int32_t m_nCaptionActive = 0;
    BYTE m_bKeepRangeOnResize = 0;
    float m_rememberedRange[4] = {0, 0, 0, 0};

private:
    // Which axis routines draw: measured text in 0.01 inch, or fixed sizes in the target's units.
    enum class AxisRoutines { Measured, Direct };
    // The label strip of an axis along a horizontal (positions 3, 4) or vertical (1, 2) edge.
    bool AxisBand(bool alongHorizontalEdge, int position, CRect* band) const;
    void DrawAxesWith(CDC* target, AxisRoutines routines);
    // Render through a client-area context of the window, when there is one.
    void RenderToWindow(BYTE gatesOnTop);
    // Handles a scroll request for one bar.
    void HandleScroll(UINT code, UINT position, CScrollBar* bar, int whichBar);
    // The plot rectangle in the target's device units (screen pixels for a print preview), as
    // the traces and the gates clip to it.
    CRect PlotClipRect(CDC* target) const;
    // Draws the index traces into target, one polyline or point chain per trace.
    void DrawLineRecords(CDC* target, bool direct);
    void DrawXYRecords(CDC* target, bool direct);
    // Copies the settings of this plot into target (both clone operations).
    void CopySettingsTo(CLinePlotWnd& target) const;
    // Places one gate's pixels from its points.
    void PlaceGate(CGate& gate) const;
    // One gate's figures and label; R is the plot rectangle shrunk by a pixel.
    void DrawGate(CDC* target, const CGate& gate, const CRect& R) const;
    // A gate drag step to the axis values (x, y) of the mouse.
    void DragGateTo(CGate& gate, float x, float y);
    // The pixel, along a gate's axis, of the start and of the end of the data.
    int GateDataStartPixel(bool xGate, const CRect& R) const;
    int GateDataEndPixel(bool xGate, const CRect& R) const;
    // The point clamped into the interior of the plot rectangle.
    CPoint ClampIntoPlot(CPoint point) const;

    // The gate this plot is announcing to its clients: a client linked back must not restyle it.
    int32_t m_nAnnouncedGateId = 0;
    BYTE m_bAnnouncingGate = 0;
};
