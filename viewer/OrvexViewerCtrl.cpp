// The viewer control object: construction, properties with their change reactions, persistence,
// the dispatch and event interfaces, and the right-button and properties-verb handlers.
#include "viewer/OrvexViewerCtrl.h"

#include "geometry/CSimulationData.h"
#include "ids/OrvexViewerIds.h"
#include "platform/afx/CPropExchange.h"

namespace {

// Stored properties carry version 1.0 (major in the high word).
constexpr WORD kVersionMajor = 1;
constexpr WORD kVersionMinor = 0;

// Initial size of a new control, and of the back buffer before the first screen draw.
constexpr int kInitialWidth = 500;
constexpr int kInitialHeight = 400;
constexpr int kPlaceholderBufferWidth = 50;
constexpr int kPlaceholderBufferHeight = 40;

// Reset values that differ from the stored defaults, or are not stored.
constexpr double kResetPulseAnimateEndLimit = 0.0;

// Stored defaults.
constexpr SHORT kDefaultRayPlotType = 0;
constexpr double kDefaultRayEndTime = 10.0;
constexpr double kDefaultRayEndTimeIncrement = 0.5;
constexpr double kDefaultPulseAnimateStartLimit = 0.0;
constexpr double kDefaultPulseAnimateEndLimit = 50.0;
constexpr double kDefaultXAxis[3] = {1.0, 0.0, 0.0};
constexpr double kDefaultYAxis[3] = {0.0, 1.0, 0.0};
constexpr float kDefaultWndTop = 0.0f;
constexpr float kDefaultWndBottom = 40.0f;
constexpr float kDefaultWndLeft = 0.0f;
constexpr float kDefaultWndRight = 40.0f;

}  // namespace

// Properties 1-22 and methods 23-40, in id order, which is also their declaration order.
const DispatchMember COrvexViewerCtrl::kMembers[] = {
    Property(DISPID_VIEWER_FILENAME, "FileName", VT_BSTR, &COrvexViewerCtrl::GetFileName,
             &COrvexViewerCtrl::SetFileName),
    Property(DISPID_VIEWER_RAYPLOTTYPE, "RayPlotType", VT_I2, &COrvexViewerCtrl::GetRayPlotType,
             &COrvexViewerCtrl::SetRayPlotType),
    Property(DISPID_VIEWER_RAYENDTIME, "RayEndTime", VT_R8, &COrvexViewerCtrl::GetRayEndTime,
             &COrvexViewerCtrl::SetRayEndTime),
    Property(DISPID_VIEWER_RAYENDTIMEINCREMENT, "RayEndTimeIncrement", VT_R8,
             &COrvexViewerCtrl::GetRayEndTimeIncrement, &COrvexViewerCtrl::SetRayEndTimeIncrement),
    Property(DISPID_VIEWER_PULSEANIMATESTARTLIMIT, "PulseAnimateStartLimit", VT_R8,
             &COrvexViewerCtrl::GetPulseAnimateStartLimit, &COrvexViewerCtrl::SetPulseAnimateStartLimit),
    Property(DISPID_VIEWER_PULSEANIMATEENDLIMIT, "PulseAnimateEndLimit", VT_R8,
             &COrvexViewerCtrl::GetPulseAnimateEndLimit, &COrvexViewerCtrl::SetPulseAnimateEndLimit),
    Property(DISPID_VIEWER_ISANIMATED, "IsAnimated", VT_BOOL, &COrvexViewerCtrl::GetIsAnimated,
             &COrvexViewerCtrl::SetIsAnimated),
    Property(DISPID_VIEWER_XAXISX, "XAxisX", VT_R8, &COrvexViewerCtrl::GetXAxisX, &COrvexViewerCtrl::SetXAxisX),
    Property(DISPID_VIEWER_XAXISY, "XAxisY", VT_R8, &COrvexViewerCtrl::GetXAxisY, &COrvexViewerCtrl::SetXAxisY),
    Property(DISPID_VIEWER_XAXISZ, "XAxisZ", VT_R8, &COrvexViewerCtrl::GetXAxisZ, &COrvexViewerCtrl::SetXAxisZ),
    Property(DISPID_VIEWER_YAXISX, "YAxisX", VT_R8, &COrvexViewerCtrl::GetYAxisX, &COrvexViewerCtrl::SetYAxisX),
    Property(DISPID_VIEWER_YAXISY, "YAxisY", VT_R8, &COrvexViewerCtrl::GetYAxisY, &COrvexViewerCtrl::SetYAxisY),
    Property(DISPID_VIEWER_YAXISZ, "YAxisZ", VT_R8, &COrvexViewerCtrl::GetYAxisZ, &COrvexViewerCtrl::SetYAxisZ),
    Property(DISPID_VIEWER_WNDTOP, "WndTop", VT_R4, &COrvexViewerCtrl::GetWndTop, &COrvexViewerCtrl::SetWndTop),
    Property(DISPID_VIEWER_WNDBOTTOM, "WndBottom", VT_R4, &COrvexViewerCtrl::GetWndBottom,
             &COrvexViewerCtrl::SetWndBottom),
    Property(DISPID_VIEWER_WNDLEFT, "WndLeft", VT_R4, &COrvexViewerCtrl::GetWndLeft, &COrvexViewerCtrl::SetWndLeft),
    Property(DISPID_VIEWER_WNDRIGHT, "WndRight", VT_R4, &COrvexViewerCtrl::GetWndRight,
             &COrvexViewerCtrl::SetWndRight),
    Property(DISPID_VIEWER_CURRENTSNAPSHOT, "CurrentSnapShot", VT_I4, &COrvexViewerCtrl::GetCurrentSnapShot,
             &COrvexViewerCtrl::SetCurrentSnapShot),
    Property(DISPID_VIEWER_CONTROLDETECTIONENABLED, "ControlDetectionEnabled", VT_BOOL,
             &COrvexViewerCtrl::GetControlDetectionEnabled, &COrvexViewerCtrl::SetControlDetectionEnabled),
    Property(DISPID_VIEWER_MAXIMUMRAYTIME, "MaximumRayTime", VT_R8, &COrvexViewerCtrl::GetMaximumRayTime, nullptr),
    Property(DISPID_VIEWER_NUMBEROFSNAPSHOTS, "NumberOfSnapShots", VT_I4, &COrvexViewerCtrl::GetNumberOfSnapShots,
             nullptr),
    Property(DISPID_VIEWER_MINIMUMRAYTIME, "MinimumRayTime", VT_R8, &COrvexViewerCtrl::GetMinimumRayTime, nullptr),
    Method(DISPID_VIEWER_ZOOMOUT, "ZoomOut", VT_EMPTY, {}, &COrvexViewerCtrl::ZoomOut),
    Method(DISPID_VIEWER_ROTATE, "Rotate", VT_EMPTY, {{"AngleInDeg", VT_R4}}, &COrvexViewerCtrl::Rotate),
    Method(DISPID_VIEWER_ZOOMIN, "ZoomIn", VT_EMPTY, {}, &COrvexViewerCtrl::ZoomIn),
    Method(DISPID_VIEWER_FITTOWINDOW, "FitToWindow", VT_EMPTY, {}, &COrvexViewerCtrl::FitToWindow),
    Method(DISPID_VIEWER_SPIN, "Spin", VT_EMPTY, {{"AnglInDeg", VT_R4}}, &COrvexViewerCtrl::Spin),
    Method(DISPID_VIEWER_TILT, "Tilt", VT_EMPTY, {{"AngleInDeg", VT_R4}}, &COrvexViewerCtrl::Tilt),
    Method(DISPID_VIEWER_VIEWFROMFRONT, "ViewFromFront", VT_EMPTY, {}, &COrvexViewerCtrl::ViewFromFront),
    Method(DISPID_VIEWER_VIEWFROMSIDE, "ViewFromSide", VT_EMPTY, {}, &COrvexViewerCtrl::ViewFromSide),
    Method(DISPID_VIEWER_VIEWFROMTOP, "ViewFromTop", VT_EMPTY, {}, &COrvexViewerCtrl::ViewFromTop),
    Method(DISPID_VIEWER_ANIMATEPULSE, "AnimatePulse", VT_EMPTY, {}, &COrvexViewerCtrl::AnimatePulse),
    Method(DISPID_VIEWER_ADVANCERAYS, "AdvanceRays", VT_EMPTY, {}, &COrvexViewerCtrl::AdvanceRays),
    Method(DISPID_VIEWER_RETREATRAYS, "RetreatRays", VT_EMPTY, {}, &COrvexViewerCtrl::RetreatRays),
    Method(DISPID_VIEWER_DOFILENAMEUPDATE, "DoFileNameUpdate", VT_EMPTY, {}, &COrvexViewerCtrl::DoFileNameUpdate),
    Method(DISPID_VIEWER_GETASCAN, "GetAscan", VT_BOOL,
           {{"DataStart", VT_R8 | VT_BYREF}, {"Resolution", VT_R8 | VT_BYREF}, {"Ascan", VT_VARIANT | VT_BYREF}},
           &COrvexViewerCtrl::GetAscan),
    Method(DISPID_VIEWER_GETWINDOWEDASCANDATA, "GetWindowedAscanData", VT_BOOL,
           {{"DataStart", VT_R8 | VT_BYREF}, {"Resolution", VT_R8 | VT_BYREF}, {"Ascan", VT_VARIANT | VT_BYREF}},
           &COrvexViewerCtrl::GetWindowedAscanData),
    Method(DISPID_VIEWER_GETASCANDISPLAYWINDOW, "GetAscanDisplayWindow", VT_BOOL,
           {{"DisplayStart", VT_R8 | VT_BYREF},
            {"DisplayEnd", VT_R8 | VT_BYREF},
            {"DisplayYAxisMax", VT_R8 | VT_BYREF},
            {"DisplayYAxisMin", VT_R8 | VT_BYREF}},
           &COrvexViewerCtrl::GetAscanDisplayWindow),
    Method(DISPID_VIEWER_GETASCANXAXISLABEL, "GetAscanXAxisLabel", VT_BOOL, {{"XAxisLabel", VT_BSTR | VT_BYREF}},
           &COrvexViewerCtrl::GetAscanXAxisLabel),
    Method(DISPID_VIEWER_REFRESHORVEXVIEWER, "RefreshOrvexViewer", VT_EMPTY, {},
           &COrvexViewerCtrl::RefreshOrvexViewer),
};

const DispatchMember COrvexViewerCtrl::kEvents[] = {
    Event(DISPID_VIEWER_EVENT_ONPULSETIMECHANGED, "OnPulseTimeChanged", {{"Time", VT_R8}}),
    Event(DISPID_VIEWER_EVENT_DATASRCCHANGE, "DataSrcChange"),
};

const CDispatchInterface& COrvexViewerCtrl::GetViewerInterface() {
    static const CDispatchInterface iface("_DOrvexViewer", IID_DOrvexViewer,
                                          "Dispatch interface for OrvexViewer Control", kMembers);
    return iface;
}

const CDispatchInterface& COrvexViewerCtrl::GetViewerEventInterface() {
    static const CDispatchInterface iface("_DOrvexViewerEvents", IID_DOrvexViewerEvents,
                                          "Event interface for OrvexViewer Control", kEvents, {},
                                          CDispatchInterface::Role::Events);
    return iface;
}

COrvexViewerCtrl::COrvexViewerCtrl() {
    m_extent.SetEmpty();
    InitializeIIDs(&IID_DOrvexViewer, &IID_DOrvexViewerEvents);
    m_pSimData = new CSimulationData;
    SetInitialSize(kInitialWidth, kInitialHeight);
    m_backBitmap.CreateBitmap(kPlaceholderBufferWidth, kPlaceholderBufferHeight, 1, 32, nullptr);
    // The reset values, without the framework's reset exchange (the container asks for that).
    m_fileName.clear();
    m_rayPlotType = 0;
    m_rayEndTime = 10.0;
    m_rayEndTimeIncrement = 0.5;
    m_pulseAnimateStartLimit = 0.0;
    m_pulseAnimateEndLimit = kResetPulseAnimateEndLimit;
    m_isAnimated = FALSE;
    m_currentSnapShot = 0;
    m_bNotifyPending = false;
    m_controlDetectionEnabled = TRUE;
}

COrvexViewerCtrl::~COrvexViewerCtrl() {
    delete m_pSimData;
    m_pSimData = nullptr;
    m_fileName.clear();
    m_backDC.DeleteDC();
    m_backBitmap.DeleteObject();
}

// ---- Change reactions ------------------------------------------------------------------------

void COrvexViewerCtrl::OnPlainPropertyChanged(DISPID id) {
    SetModifiedFlag();
    InvalidateControl();
    BoundPropertyChanged(id);
}

void COrvexViewerCtrl::OnAxisPropertyChanged(DISPID id) {
    // Changing one axis component re-fits the view to the new frame.
    ExchangeViewWithData(kViewToData);
    FitToWindow();
    ExchangeViewWithData(kViewToData);
    SetModifiedFlag();
    InvalidateControl();
    BoundPropertyChanged(id);
}

void COrvexViewerCtrl::OnWindowPropertyChanged(DISPID id) {
    ExchangeViewWithData(kViewToData);
    InvalidateControl();
    SetModifiedFlag();
    BoundPropertyChanged(id);
}

// ---- Property setters ------------------------------------------------------------------------

void COrvexViewerCtrl::SetFileName(std::string value) {
    m_fileName = std::move(value);
    OnFileNameChanged();
}

void COrvexViewerCtrl::SetRayPlotType(SHORT value) {
    m_rayPlotType = value;
    OnPlainPropertyChanged(DISPID_VIEWER_RAYPLOTTYPE);
}

void COrvexViewerCtrl::SetRayEndTime(double value) {
    m_rayEndTime = value;
    OnPlainPropertyChanged(DISPID_VIEWER_RAYENDTIME);
}

void COrvexViewerCtrl::SetRayEndTimeIncrement(double value) {
    m_rayEndTimeIncrement = value;
    OnPlainPropertyChanged(DISPID_VIEWER_RAYENDTIMEINCREMENT);
}

void COrvexViewerCtrl::SetPulseAnimateStartLimit(double value) {
    m_pulseAnimateStartLimit = value;
    OnPlainPropertyChanged(DISPID_VIEWER_PULSEANIMATESTARTLIMIT);
}

void COrvexViewerCtrl::SetPulseAnimateEndLimit(double value) {
    m_pulseAnimateEndLimit = value;
    OnPlainPropertyChanged(DISPID_VIEWER_PULSEANIMATEENDLIMIT);
}

void COrvexViewerCtrl::SetIsAnimated(BOOL value) {
    m_isAnimated = value;
    OnIsAnimatedChanged();
}

void COrvexViewerCtrl::SetXAxisX(double value) {
    m_xAxisX = value;
    OnAxisPropertyChanged(DISPID_VIEWER_XAXISX);
}

void COrvexViewerCtrl::SetXAxisY(double value) {
    m_xAxisY = value;
    OnAxisPropertyChanged(DISPID_VIEWER_XAXISY);
}

void COrvexViewerCtrl::SetXAxisZ(double value) {
    m_xAxisZ = value;
    OnAxisPropertyChanged(DISPID_VIEWER_XAXISZ);
}

void COrvexViewerCtrl::SetYAxisX(double value) {
    m_yAxisX = value;
    OnAxisPropertyChanged(DISPID_VIEWER_YAXISX);
}

void COrvexViewerCtrl::SetYAxisY(double value) {
    m_yAxisY = value;
    OnAxisPropertyChanged(DISPID_VIEWER_YAXISY);
}

void COrvexViewerCtrl::SetYAxisZ(double value) {
    m_yAxisZ = value;
    OnAxisPropertyChanged(DISPID_VIEWER_YAXISZ);
}

void COrvexViewerCtrl::SetWndTop(float value) {
    m_wndTop = value;
    OnWindowPropertyChanged(DISPID_VIEWER_WNDTOP);
}

void COrvexViewerCtrl::SetWndBottom(float value) {
    m_wndBottom = value;
    OnWindowPropertyChanged(DISPID_VIEWER_WNDBOTTOM);
}

void COrvexViewerCtrl::SetWndLeft(float value) {
    m_wndLeft = value;
    OnWindowPropertyChanged(DISPID_VIEWER_WNDLEFT);
}

void COrvexViewerCtrl::SetWndRight(float value) {
    m_wndRight = value;
    OnWindowPropertyChanged(DISPID_VIEWER_WNDRIGHT);
}

void COrvexViewerCtrl::SetCurrentSnapShot(LONG value) {
    // Only the A-scan service reads it; the picture does not change.
    m_currentSnapShot = value;
    SetModifiedFlag();
}

void COrvexViewerCtrl::SetControlDetectionEnabled(BOOL value) {
    m_controlDetectionEnabled = value;
    SetModifiedFlag();
}

LONG COrvexViewerCtrl::GetNumberOfSnapShots() {
    if (m_pSimData == nullptr) return 0;
    return static_cast<LONG>(m_pSimData->m_snapshots.size());
}

void COrvexViewerCtrl::RefreshOrvexViewer() {
    InvalidateControl();
    SetModifiedFlag();
}

// ---- View exchange ---------------------------------------------------------------------------

void COrvexViewerCtrl::ExchangeViewWithData(EViewExchange direction) {
    CSimulationData& data = *m_pSimData;
    if (direction == kViewToData) {
        data.m_viewRect = CfRect(m_wndLeft, m_wndBottom, m_wndRight, m_wndTop);
        const CVector3D x(m_xAxisX, m_xAxisY, m_xAxisZ);
        const CVector3D y(m_yAxisX, m_yAxisY, m_yAxisZ);
        // Used as given: neither normalised nor made perpendicular.
        data.m_viewFrame = CCoordinates3D(CPoint3D(0.0, 0.0, 0.0), x, y, y ^ x);
        return;
    }
    m_wndLeft = data.m_viewRect.left;
    m_wndBottom = data.m_viewRect.bottom;
    m_wndRight = data.m_viewRect.right;
    m_wndTop = data.m_viewRect.top;
    const CVector3D& x = data.m_viewFrame.GetXAxis();
    const CVector3D& y = data.m_viewFrame.GetYAxis();
    m_xAxisX = x.x;
    m_xAxisY = x.y;
    m_xAxisZ = x.z;
    m_yAxisX = y.x;
    m_yAxisY = y.y;
    m_yAxisZ = y.z;
}

// ---- Persistence -----------------------------------------------------------------------------

void COrvexViewerCtrl::DoPropExchange(CPropExchange* pPX) {
    DWORD versionLoaded = 0;
    pPX->ExchangeVersion(versionLoaded, MAKELONG(kVersionMinor, kVersionMajor));
    COleControl::DoPropExchange(pPX);

    // The file first, read at once: its limits and view are then replaced by the stored values.
    PX_String(pPX, "FileName", m_fileName, std::string());
    if (pPX->IsLoading()) OnFileNameChanged();

    PX_Short(pPX, "RayPlotType", m_rayPlotType, kDefaultRayPlotType);
    PX_Double(pPX, "RayEndTime", m_rayEndTime, kDefaultRayEndTime);
    PX_Double(pPX, "RayEndTimeIncrement", m_rayEndTimeIncrement, kDefaultRayEndTimeIncrement);
    PX_Double(pPX, "PulseAnimateStartLimit", m_pulseAnimateStartLimit, kDefaultPulseAnimateStartLimit);
    PX_Double(pPX, "PulseAnimateEndLimit", m_pulseAnimateEndLimit, kDefaultPulseAnimateEndLimit);
    PX_Bool(pPX, "IsAnimated", m_isAnimated, FALSE);

    // The stored view is the one in effect.
    if (!pPX->IsLoading()) ExchangeViewWithData(kViewFromData);

    PX_Float(pPX, "WndTop", m_wndTop, kDefaultWndTop);
    PX_Float(pPX, "WndBottom", m_wndBottom, kDefaultWndBottom);
    PX_Float(pPX, "WndLeft", m_wndLeft, kDefaultWndLeft);
    PX_Float(pPX, "WndRight", m_wndRight, kDefaultWndRight);
    PX_Double(pPX, "XAxisX", m_xAxisX, kDefaultXAxis[0]);
    PX_Double(pPX, "XAxisY", m_xAxisY, kDefaultXAxis[1]);
    PX_Double(pPX, "XAxisZ", m_xAxisZ, kDefaultXAxis[2]);
    PX_Double(pPX, "YAxisX", m_yAxisX, kDefaultYAxis[0]);
    PX_Double(pPX, "YAxisY", m_yAxisY, kDefaultYAxis[1]);
    PX_Double(pPX, "YAxisZ", m_yAxisZ, kDefaultYAxis[2]);

    if (pPX->IsLoading()) ExchangeViewWithData(kViewToData);
}

void COrvexViewerCtrl::OnResetState() {
    COleControl::OnResetState();  // runs the exchange with every stored default
    m_fileName.clear();
    m_rayPlotType = 0;
    m_rayEndTime = 10.0;
    m_rayEndTimeIncrement = 0.5;
    m_pulseAnimateStartLimit = 0.0;
    // A new control starts without an animation range; a stored one without the key gets 50.
    m_pulseAnimateEndLimit = kResetPulseAnimateEndLimit;
    m_isAnimated = FALSE;
    m_currentSnapShot = 0;
    m_bNotifyPending = false;
    m_controlDetectionEnabled = TRUE;
}

// ---- Mouse -----------------------------------------------------------------------------------

void COrvexViewerCtrl::OnRButtonUp(UINT nFlags, CPoint point) {
    (void)nFlags;
    (void)point;
    ReleaseCapture();
    if (m_controlDetectionEnabled) {
        InvalidateControl();
        CWnd* parent = GetParent();
        OnProperties(nullptr, parent != nullptr ? parent->GetSafeHwnd() : nullptr, nullptr);
    }
}
