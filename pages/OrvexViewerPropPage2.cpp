#include "pages/OrvexViewerPropPage2.h"

#include "pages/PageResourceIds.h"
#include "platform/afx/DataExchange.h"

namespace {
constexpr const char* kOne = "1.0";
constexpr const char* kZero = "0.0";
// Texts for edits 217 to 222: the view's x axis, then its y axis.
constexpr const char* const kTopViewAxes[6] = {kOne, kZero, kZero, kZero, kZero, kOne};
constexpr const char* const kSideViewAxes[6] = {kZero, kZero, kOne, kZero, kOne, kZero};
constexpr const char* const kFrontViewAxes[6] = {kOne, kZero, kZero, kZero, kOne, kZero};
constexpr int kAxisEdits[6] = {IDC_XAXISX, IDC_XAXISY, IDC_XAXISZ, IDC_YAXISX, IDC_YAXISY, IDC_YAXISZ};
}  // namespace

COrvexViewerPropPage2::COrvexViewerPropPage2()
    : COlePropertyPage(IDD_PROPPAGE_ORVEXVIEWER2, IDS_ORVEXVIEWER_PPG2_CAPTION) {}

void COrvexViewerPropPage2::DoDataExchange(CDataExchange* pDX) {
    DDP_Text(pDX, IDC_XAXISX, m_dXAxisX, "XAxisX");
    DDX_Text(pDX, IDC_XAXISX, m_dXAxisX);
    DDP_Text(pDX, IDC_XAXISY, m_dXAxisY, "XAxisY");
    DDX_Text(pDX, IDC_XAXISY, m_dXAxisY);
    DDP_Text(pDX, IDC_XAXISZ, m_dXAxisZ, "XAxisZ");
    DDX_Text(pDX, IDC_XAXISZ, m_dXAxisZ);
    DDP_Text(pDX, IDC_YAXISX, m_dYAxisX, "YAxisX");
    DDX_Text(pDX, IDC_YAXISX, m_dYAxisX);
    DDP_Text(pDX, IDC_YAXISY, m_dYAxisY, "YAxisY");
    DDX_Text(pDX, IDC_YAXISY, m_dYAxisY);
    DDP_Text(pDX, IDC_YAXISZ, m_dYAxisZ, "YAxisZ");
    DDX_Text(pDX, IDC_YAXISZ, m_dYAxisZ);
    DDP_Text(pDX, IDC_WNDTOP, m_fWndTop, "WndTop");
    DDX_Text(pDX, IDC_WNDTOP, m_fWndTop);
    DDP_Text(pDX, IDC_WNDLEFT, m_fWndLeft, "WndLeft");
    DDX_Text(pDX, IDC_WNDLEFT, m_fWndLeft);
    DDP_Text(pDX, IDC_WNDBOTTOM, m_fWndBottom, "WndBottom");
    DDX_Text(pDX, IDC_WNDBOTTOM, m_fWndBottom);
    DDP_Text(pDX, IDC_WNDRIGHT, m_fWndRight, "WndRight");
    DDX_Text(pDX, IDC_WNDRIGHT, m_fWndRight);
    DDP_PostProcessing(pDX);
}

BOOL COrvexViewerPropPage2::OnCommand(int nID, UINT nNotifyCode) {
    if (nNotifyCode != BN_CLICKED) return FALSE;
    switch (nID) {
    case IDC_TOPVIEW: SetPresetAxes(kTopViewAxes); return TRUE;
    case IDC_SIDEVIEW: SetPresetAxes(kSideViewAxes); return TRUE;
    case IDC_FRONTVIEW: SetPresetAxes(kFrontViewAxes); return TRUE;
    default: return FALSE;
    }
}

void COrvexViewerPropPage2::SetPresetAxes(const char* const (&texts)[6]) {
    for (int i = 0; i < 6; ++i) SetDlgItemText(kAxisEdits[i], texts[i]);
    // The viewer re-fits on each axis it receives; the window edits are left as they are.
    UpdateData(TRUE);
}
