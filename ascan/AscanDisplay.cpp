// The A-scan display: building the plot from the viewer's samples, zoom and pan of the view
// window, the size handler and the draw routine with its placeholder.
#include "ascan/OrvexAscanViewerCtrl.h"
#include "lineplot/LinePlotWnd.h"
#include "platform/gdi/CBrush.h"
#include "platform/gdi/CFont.h"
#include "platform/gdi/StockObjects.h"
#include "platform/com/SafeArray.h"

namespace {

constexpr UINT kPlotChildId = 911;
// Visible child; the low bits mean nothing to the plot's window class.
constexpr DWORD kPlotWindowStyle = 0x5000020E;

constexpr int kTraceId = 0;
constexpr COLORREF kTraceColour = 0x008000;  // dark green
constexpr int kTracePenWidth = 0;
constexpr int kTracePenStyle = 0;
constexpr int kTraceFlags = 1;  // drawn

// Amplitudes run from -1 to 1 and are plotted as they are.
constexpr float kYAxisOffset = 0.0f;
constexpr float kYAxisScale = 1.0f;
constexpr float kYDataMinimum = -1.0f;
constexpr float kYDataSpan = 2.0f;
// The array starts at time 0 (the samples before the data start are zeros).
constexpr float kXAxisOffset = 0.0f;

// Each zoom step takes this fraction of the width (or height) off, or adds it, at both ends.
constexpr float kZoomStep = 0.1f;
// Each pan step moves the window by this fraction of its width.
constexpr float kPanStep = 0.2f;

constexpr const char* kPlaceholderText = "OrvexAscanViewer";
constexpr int kPlaceholderLeftOfCentre = 20;
constexpr const char* kDrawFace = "Times New Roman";
constexpr int kDrawPointSize = 100;  // tenths of a point

// The number of samples the plot may read in place: the size of a one-dimensional array of
// 4-byte floats, and 0 for anything else (a viewer that is not ours could hand out doubles, which
// the plot would read past their end).
int FloatSampleCount(const VARIANT& samples) {
    if (samples.vt != (VT_ARRAY | VT_R4) || samples.parray == nullptr) return 0;
    SAFEARRAY* array = samples.parray;
    if (SafeArrayGetDim(array) != 1 || SafeArrayGetElemsize(array) != sizeof(float)) return 0;
    LONG lower = 0, upper = -1;
    if (FAILED(SafeArrayGetLBound(array, 1, &lower)) || FAILED(SafeArrayGetUBound(array, 1, &upper))) return 0;
    const int64_t count = int64_t{upper} - lower + 1;
    if (count <= 0 || count > INT32_MAX) return 0;
    return static_cast<int>(count);
}

}  // namespace

// ---- Building the plot -----------------------------------------------------------------------

void COrvexAscanViewerCtrl::UnlockSamples() {
    if (m_pAscanSamples == nullptr) return;
    m_ascanData.UnaccessData();
    m_pAscanSamples = nullptr;
}

BOOL COrvexAscanViewerCtrl::BuildAscanPlot() {
    if (m_pPlot != nullptr) return TRUE;
    // The viewer may refill or replace the array: nothing may read it from here on.
    UnlockSamples();

    m_pPlot = new CLinePlotWnd;
    m_pPlot->m_pHost = this;
    int width = 0, height = 0;
    GetControlSize(&width, &height);
    const CRect frame(0, 0, width, height);
    m_pPlot->SetFrameRect(frame);
    m_pPlot->Create(nullptr, nullptr, kPlotWindowStyle, frame, this, kPlotChildId);
    m_pPlot->m_nCaptionStrip = 0;

    double dataStart = 0.0, resolution = 0.0;
    if (!GetAscan(&dataStart, &resolution, &m_ascanData)) return FALSE;
    (void)dataStart;  // the array starts at time 0 whatever the data start is

    const int count = FloatSampleCount(m_ascanData);
    if (count == 0) return FALSE;
    void* data = nullptr;
    m_ascanData.AccessData(&data);
    m_pAscanSamples = static_cast<float*>(data);
    m_pPlot->AddLine(kTraceId, count, kTraceColour, kTracePenWidth, kTracePenStyle, kTraceFlags,
                     m_pAscanSamples);
    m_pPlot->MouseMode = 0;
    m_pPlot->SetYAxis(kYAxisOffset, kYAxisScale, kYDataMinimum, kYDataSpan, std::string());

    std::string label;
    GetAscanXAxisLabel(label);
    m_pPlot->SetXAxis(kXAxisOffset, static_cast<float>(resolution), label);

    if (m_ascanXMin == 0.0f && m_ascanXMax == 0.0f && m_ascanYMin == 0.0f && m_ascanYMax == 0.0f)
        TakeDisplayWindow();
    m_pPlot->SetYRange(m_ascanYMin, m_ascanYMax);
    m_pPlot->SetXRange(m_ascanXMin, m_ascanXMax);

    m_pPlot->m_bKeepRangeOnResize = 1;
    m_pPlot->RememberViewRange();
    return TRUE;
}

void COrvexAscanViewerCtrl::TakeDisplayWindow() {
    double start = 0.0, end = 0.0, yMax = 0.0, yMin = 0.0;
    GetAscanDisplayWindow(&start, &end, &yMax, &yMin);
    m_ascanXMin = static_cast<float>(start);
    m_ascanXMax = static_cast<float>(end);
    // The third output is the upper y limit, the fourth the lower one.
    m_ascanYMin = static_cast<float>(yMin);
    m_ascanYMax = static_cast<float>(yMax);
}

// ---- Zoom and pan ----------------------------------------------------------------------------

void COrvexAscanViewerCtrl::ZoomInX() {
    if (!HasPlotWindow()) return;
    float low = 0.0f, high = 0.0f;
    m_pPlot->GetXRange(&low, &high);
    const float d = (high - low) * kZoomStep;
    m_pPlot->SetXRange(low + d, high - d);
    InvalidateAscan();
}

void COrvexAscanViewerCtrl::ZoomOutX() {
    if (!HasPlotWindow()) return;
    float low = 0.0f, high = 0.0f;
    m_pPlot->GetXRange(&low, &high);
    const float d = (high - low) * kZoomStep;
    m_pPlot->SetXRange(low - d, high + d);
    InvalidateAscan();
}

void COrvexAscanViewerCtrl::ZoomInY() {
    if (!HasPlotWindow()) return;
    float low = 0.0f, high = 0.0f;
    m_pPlot->GetYRange(&low, &high);
    const float d = (high - low) * kZoomStep;
    m_pPlot->SetYRange(low + d, high - d);
    InvalidateAscan();
}

void COrvexAscanViewerCtrl::ZoomOutY() {
    if (!HasPlotWindow()) return;
    float low = 0.0f, high = 0.0f;
    m_pPlot->GetYRange(&low, &high);
    const float d = (high - low) * kZoomStep;
    m_pPlot->SetYRange(low - d, high + d);
    InvalidateAscan();
}

void COrvexAscanViewerCtrl::PanLeft() {
    if (!HasPlotWindow()) return;
    float low = 0.0f, high = 0.0f;
    m_pPlot->GetXRange(&low, &high);
    const float s = (high - low) * kPanStep;
    double start = 0.0, end = 0.0, yMax = 0.0, yMin = 0.0;
    // Without the viewer's display end there is no limit to pan against: the pan is refused.
    if (!GetAscanDisplayWindow(&start, &end, &yMax, &yMin)) return;
    if (!(high + s < end)) return;
    m_pPlot->SetXRange(low + s, high + s);
    InvalidateAscan();
}

void COrvexAscanViewerCtrl::PanRight() {
    if (!HasPlotWindow()) return;
    float low = 0.0f, high = 0.0f;
    m_pPlot->GetXRange(&low, &high);
    const float s = (high - low) * kPanStep;
    if (!(low - s > 0.0f)) return;
    m_pPlot->SetXRange(low - s, high - s);
    InvalidateAscan();
}

// ---- Size ------------------------------------------------------------------------------------

void COrvexAscanViewerCtrl::OnSize(UINT nType, int cx, int cy) {
    COleControl::OnSize(nType, cx, cy);
    if (m_pPlot == nullptr) return;
    if (m_pPlot->GetSafeHwnd() != nullptr) {
        RefreshAscan();
        return;
    }
    // The plot's window died with an earlier window of the control: rebuild, keeping the view.
    float xLow = 0.0f, xHigh = 0.0f, yLow = 0.0f, yHigh = 0.0f;
    m_pPlot->GetXRange(&xLow, &xHigh);
    m_pPlot->GetYRange(&yLow, &yHigh);
    UpdateAscanData();
    if (m_pPlot != nullptr) {
        m_pPlot->SetXRange(xLow, xHigh);
        m_pPlot->SetYRange(yLow, yHigh);
    }
}

// ---- Drawing ---------------------------------------------------------------------------------

void COrvexAscanViewerCtrl::LinkAfterLoading() {
    const float stored[4] = {m_ascanXMin, m_ascanXMax, m_ascanYMin, m_ascanYMax};
    OnOrvexViewerNameChanged();
    // Linking starts from the viewer's display window, which would throw away the window the
    // document stored (saving captures the one the user was looking at): a stored window wins.
    const bool anyStored = stored[0] != 0.0f || stored[1] != 0.0f || stored[2] != 0.0f || stored[3] != 0.0f;
    if (!anyStored || m_viewer.m_lpDispatch == nullptr || !HasPlotWindow()) return;
    m_ascanXMin = stored[0];
    m_ascanXMax = stored[1];
    m_ascanYMin = stored[2];
    m_ascanYMax = stored[3];
    SyncRangeProperties(kApplyToPlot);
    m_pPlot->RememberViewRange();  // so the plot's next size change keeps it
}

void COrvexAscanViewerCtrl::OnDraw(CDC* pdc, const CRect& rcBounds, const CRect& rcInvalid) {
    (void)rcInvalid;
    if (m_bLinkPending) {
        // The first draw after loading: the container is ready now.
        m_bLinkPending = 0;
        LinkAfterLoading();
    }

    if (rcBounds != m_rcLastBounds && HasPlotWindow()) {
        // The plot's size change returns to the view it remembered, which is the one it was
        // built with unless its window moved since. A plot built after an earlier draw, or
        // drawn into other bounds, may show another view by now (range properties, zoom, a
        // rebuild that kept the old view): that is the view to keep.
        m_pPlot->RememberViewRange();
        m_pPlot->SetFrameRect(rcBounds);
        m_pPlot->SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(rcBounds.Width(), rcBounds.Height()));
        m_rcLastBounds = rcBounds;
    }

    CBrush* white = static_cast<CBrush*>(gdi::StockObject(WHITE_BRUSH));
    pdc->FillRect(&rcBounds, white);

    CFont font;
    font.CreatePointFont(kDrawPointSize, kDrawFace, pdc);
    CFont* previousFont = pdc->SelectObject(&font);

    if (m_pPlot != nullptr) {
        if (pdc->GetDeviceCaps(TECHNOLOGY) == DT_RASDISPLAY) {
            m_pPlot->Render(pdc, 0);
        } else {
            m_pPlot->DrawToDC(pdc);
        }
    } else if (!m_controlDetectionEnabled) {
        pdc->FillRect(&rcBounds, white);
    } else {
        pdc->FillRect(&rcBounds, static_cast<CBrush*>(gdi::StockObject(LTGRAY_BRUSH)));
        // Offsets from the bounds, so a placeholder printed on a page lands inside the control.
        const int x = rcBounds.left + rcBounds.Width() / 2 - kPlaceholderLeftOfCentre;
        const int y = rcBounds.top + rcBounds.Height() / 2;
        pdc->TextOut(x, y, kPlaceholderText);
    }

    if (previousFont != nullptr) pdc->SelectObject(previousFont);
    font.DeleteObject();
}
