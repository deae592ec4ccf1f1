// The A-scan control object: construction and destruction, properties with their change
// reactions, persistence, the dispatch interface, UpdateAscanData, RefreshAscan, the viewer
// property and the small message handlers.
#include "ascan/OrvexAscanViewerCtrl.h"

#include "ids/OrvexAscanViewerIds.h"
#include "lineplot/LinePlotWnd.h"
#include "platform/afx/CPropExchange.h"

namespace {

// Stored properties carry version 1.0 (major in the high word).
constexpr WORD kVersionMajor = 1;
constexpr WORD kVersionMinor = 0;

// Initial size of a new control.
constexpr int kInitialWidth = 600;
constexpr int kInitialHeight = 125;

// Stored default of each range property: all four at 0 mean "take the viewer's display window".
constexpr float kDefaultRange = 0.0f;

}  // namespace

// Properties 1-7 and methods 8-15, in id order, which is also their declaration order.
const DispatchMember COrvexAscanViewerCtrl::kMembers[] = {
    Property(DISPID_ASCAN_ASCANXMIN, "AscanXMin", VT_R4, &COrvexAscanViewerCtrl::GetAscanXMin,
             &COrvexAscanViewerCtrl::SetAscanXMin),
    Property(DISPID_ASCAN_ASCANXMAX, "AscanXMax", VT_R4, &COrvexAscanViewerCtrl::GetAscanXMax,
             &COrvexAscanViewerCtrl::SetAscanXMax),
    Property(DISPID_ASCAN_ASCANYMIN, "AscanYMin", VT_R4, &COrvexAscanViewerCtrl::GetAscanYMin,
             &COrvexAscanViewerCtrl::SetAscanYMin),
    Property(DISPID_ASCAN_ASCANYMAX, "AscanYMax", VT_R4, &COrvexAscanViewerCtrl::GetAscanYMax,
             &COrvexAscanViewerCtrl::SetAscanYMax),
    Property(DISPID_ASCAN_ORVEXVIEWERNAME, "OrvexViewerName", VT_BSTR, &COrvexAscanViewerCtrl::GetOrvexViewerName,
             &COrvexAscanViewerCtrl::SetOrvexViewerName),
    Property(DISPID_ASCAN_CONTROLDETECTIONENABLED, "ControlDetectionEnabled", VT_BOOL,
             &COrvexAscanViewerCtrl::GetControlDetectionEnabled,
             &COrvexAscanViewerCtrl::SetControlDetectionEnabled),
    Property(DISPID_ASCAN_ORVEXVIEWER, "OrvexViewer", VT_DISPATCH, &COrvexAscanViewerCtrl::GetOrvexViewer,
             &COrvexAscanViewerCtrl::SetOrvexViewer),
    Method(DISPID_ASCAN_UPDATEASCANDATA, "UpdateAscanData", VT_BOOL, {}, &COrvexAscanViewerCtrl::UpdateAscanData),
    Method(DISPID_ASCAN_ZOOMINX, "ZoomInX", VT_EMPTY, {}, &COrvexAscanViewerCtrl::ZoomInX),
    Method(DISPID_ASCAN_ZOOMOUTX, "ZoomOutX", VT_EMPTY, {}, &COrvexAscanViewerCtrl::ZoomOutX),
    Method(DISPID_ASCAN_REFRESHASCAN, "RefreshAscan", VT_EMPTY, {}, &COrvexAscanViewerCtrl::RefreshAscan),
    Method(DISPID_ASCAN_ZOOMINY, "ZoomInY", VT_EMPTY, {}, &COrvexAscanViewerCtrl::ZoomInY),
    Method(DISPID_ASCAN_ZOOMOUTY, "ZoomOutY", VT_EMPTY, {}, &COrvexAscanViewerCtrl::ZoomOutY),
    Method(DISPID_ASCAN_PANLEFT, "PanLeft", VT_EMPTY, {}, &COrvexAscanViewerCtrl::PanLeft),
    Method(DISPID_ASCAN_PANRIGHT, "PanRight", VT_EMPTY, {}, &COrvexAscanViewerCtrl::PanRight),
};

const CDispatchInterface& COrvexAscanViewerCtrl::GetAscanInterface() {
    static const CDispatchInterface iface("_DOrvexAscanViewer", IID_DOrvexAscanViewer,
                                          "Dispatch interface for OrvexAscanViewer Control", kMembers);
    return iface;
}

const CDispatchInterface& COrvexAscanViewerCtrl::GetAscanEventInterface() {
    static const CDispatchInterface iface("_DOrvexAscanViewerEvents", IID_DOrvexAscanViewerEvents,
                                          "Event interface for OrvexAscanViewer Control",
                                          std::span<const DispatchMember>(), {}, CDispatchInterface::Role::Events);
    return iface;
}

COrvexAscanViewerCtrl::COrvexAscanViewerCtrl() {
    InitializeIIDs(&IID_DOrvexAscanViewer, &IID_DOrvexAscanViewerEvents);
    SetInitialSize(kInitialWidth, kInitialHeight);
}

COrvexAscanViewerCtrl::~COrvexAscanViewerCtrl() {
    // The order matters: the plot reads the locked samples until it is gone, and the array can
    // only be freed once it is unlocked.
    DropViewerLink();
    delete m_pPlot;
    m_pPlot = nullptr;
    UnlockSamples();
    m_strLinkedFileName.clear();
    m_orvexViewerName.clear();
    m_ascanData.Clear();
}

// ---- Properties ------------------------------------------------------------------------------

void COrvexAscanViewerCtrl::OnRangePropertyChanged(DISPID id) {
    SyncRangeProperties(kApplyToPlot);
    InvalidateAscan();
    BoundPropertyChanged(id);
}

void COrvexAscanViewerCtrl::SetAscanXMin(float value) {
    m_ascanXMin = value;
    OnRangePropertyChanged(DISPID_ASCAN_ASCANXMIN);
}

void COrvexAscanViewerCtrl::SetAscanXMax(float value) {
    m_ascanXMax = value;
    OnRangePropertyChanged(DISPID_ASCAN_ASCANXMAX);
}

void COrvexAscanViewerCtrl::SetAscanYMin(float value) {
    m_ascanYMin = value;
    OnRangePropertyChanged(DISPID_ASCAN_ASCANYMIN);
}

void COrvexAscanViewerCtrl::SetAscanYMax(float value) {
    m_ascanYMax = value;
    OnRangePropertyChanged(DISPID_ASCAN_ASCANYMAX);
}

void COrvexAscanViewerCtrl::SetOrvexViewerName(std::string value) {
    m_orvexViewerName = std::move(value);
    OnOrvexViewerNameChanged();
}

void COrvexAscanViewerCtrl::SetControlDetectionEnabled(BOOL value) {
    m_controlDetectionEnabled = value;
    SetModifiedFlag();
}

IDispatch* COrvexAscanViewerCtrl::GetOrvexViewer() {
    IDispatch* viewer = m_viewer.m_lpDispatch;
    if (viewer != nullptr) viewer->AddRef();
    return viewer;
}

void COrvexAscanViewerCtrl::SetOrvexViewer(IDispatch* newValue) {
    if (newValue == nullptr) {
        // The plot keeps what it shows; only the link goes.
        DropViewerLink();
        return;
    }
    // Referenced before the old link goes, so setting the viewer already linked is safe.
    newValue->AddRef();
    DropViewerLink();
    m_viewer.AttachDispatch(newValue, FALSE);
    RefreshAscan();
}

void COrvexAscanViewerCtrl::DropViewerLink() {
    if (IDispatch* viewer = m_viewer.DetachDispatch()) viewer->Release();
}

// ---- Range properties ------------------------------------------------------------------------

void COrvexAscanViewerCtrl::SyncRangeProperties(ERangeSync direction) {
    if (!HasPlotWindow()) return;
    if (direction == kApplyToPlot) {
        m_pPlot->SetXRange(m_ascanXMin, m_ascanXMax);
        m_pPlot->SetYRange(m_ascanYMin, m_ascanYMax);
    } else {
        m_pPlot->GetXRange(&m_ascanXMin, &m_ascanXMax);
        m_pPlot->GetYRange(&m_ascanYMin, &m_ascanYMax);
    }
}

void COrvexAscanViewerCtrl::ClearRangeProperties() {
    m_ascanXMin = 0.0f;
    m_ascanXMax = 0.0f;
    m_ascanYMin = 0.0f;
    m_ascanYMax = 0.0f;
}

void COrvexAscanViewerCtrl::InvalidateAscan() {
    SetModifiedFlag();
    InvalidateControl(nullptr, TRUE);
    if (HasPlotWindow()) m_pPlot->Invalidate(TRUE);
}

bool COrvexAscanViewerCtrl::HasPlotWindow() const {
    return m_pPlot != nullptr && m_pPlot->GetSafeHwnd() != nullptr;
}

// ---- Methods ---------------------------------------------------------------------------------

BOOL COrvexAscanViewerCtrl::UpdateAscanData() {
    if (m_pPlot != nullptr) {
        delete m_pPlot;  // its window goes with it
        m_pPlot = nullptr;
    }
    if (!m_orvexViewerName.empty() || !m_controlDetectionEnabled) return BuildAscanPlot();
    // Detection on without a name: nothing to show but the placeholder.
    return FALSE;
}

void COrvexAscanViewerCtrl::RefreshAscan() {
    if (m_controlDetectionEnabled) {
        CheckViewerFileName();
    } else {
        // Scripts drive a control without detection: every refresh rebuilds and starts from the
        // viewer's display window.
        ClearRangeProperties();
        UpdateAscanData();
    }
    InvalidateAscan();
}

// ---- Persistence -----------------------------------------------------------------------------

void COrvexAscanViewerCtrl::DoPropExchange(CPropExchange* pPX) {
    ExchangeVersion(pPX, MAKELONG(kVersionMinor, kVersionMajor));
    COleControl::DoPropExchange(pPX);

    PX_String(pPX, "OrvexViewerName", m_orvexViewerName, std::string());
    if (pPX->IsLoading()) {
        // The container is not ready while properties load; the next draw links.
        m_bLinkPending = 1;
    } else {
        // The stored window is the one the user is looking at, zoomed or panned.
        SyncRangeProperties(kCaptureFromPlot);
    }

    PX_Float(pPX, "AscanXMin", m_ascanXMin, kDefaultRange);
    PX_Float(pPX, "AscanXMax", m_ascanXMax, kDefaultRange);
    PX_Float(pPX, "AscanYMin", m_ascanYMin, kDefaultRange);
    PX_Float(pPX, "AscanYMax", m_ascanYMax, kDefaultRange);

    if (pPX->IsLoading()) {
        // Detection is not stored: a loaded control always finds its viewer by name.
        m_controlDetectionEnabled = TRUE;
        SyncRangeProperties(kApplyToPlot);
    }
}

// ---- Messages --------------------------------------------------------------------------------

void COrvexAscanViewerCtrl::OnWindowPosChanging(WINDOWPOS* lpwndpos) {
    COleControl::OnWindowPosChanging(lpwndpos);
    // The plot remembers its view range on this message, so the size that follows keeps it.
    if (HasPlotWindow()) m_pPlot->SendMessage(WM_WINDOWPOSCHANGING, 0, reinterpret_cast<LPARAM>(lpwndpos));
}

void COrvexAscanViewerCtrl::OnRButtonUp(UINT nFlags, CPoint point) {
    (void)nFlags;
    (void)point;
    ReleaseCapture();
    if (!m_controlDetectionEnabled) return;
    InvalidateControl();
    CWnd* parent = GetParent();
    OnProperties(nullptr, parent != nullptr ? parent->GetSafeHwnd() : nullptr, nullptr);
}
