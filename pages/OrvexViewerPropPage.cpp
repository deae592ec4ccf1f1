#include "pages/OrvexViewerPropPage.h"

#include "pages/PageResourceIds.h"
#include "platform/afx/AfxMessageBox.h"
#include "platform/afx/CFileDialog.h"
#include "platform/afx/DataExchange.h"

namespace {
constexpr const char* kSimulationFileExt = ".orvex";
constexpr const char* kSimulationFileFilter = "Orvex simulation export files (*.orvex )| *.orvex||";
}  // namespace

COrvexViewerPropPage::COrvexViewerPropPage()
    : COlePropertyPage(IDD_PROPPAGE_ORVEXVIEWER, IDS_ORVEXVIEWER_PPG_CAPTION) {}

void COrvexViewerPropPage::DoDataExchange(CDataExchange* pDX) {
    DDP_Text(pDX, IDC_FILENAME, m_strFileName, "FileName");
    DDX_Text(pDX, IDC_FILENAME, m_strFileName);
    DDP_Check(pDX, IDC_ANIMATE, m_bAnimated, "IsAnimated");
    DDX_Check(pDX, IDC_ANIMATE, m_bAnimated);
    DDP_Radio(pDX, IDC_FULLRAYS, m_nRayPlotType, "RayPlotType");
    DDX_Radio(pDX, IDC_FULLRAYS, m_nRayPlotType);
    DDP_Text(pDX, IDC_TIMEINCREMENT, m_dRayEndTimeIncrement, "RayEndTimeIncrement");
    DDX_Text(pDX, IDC_TIMEINCREMENT, m_dRayEndTimeIncrement);
    DDP_Text(pDX, IDC_STARTTIME, m_dPulseAnimateStartLimit, "PulseAnimateStartLimit");
    DDX_Text(pDX, IDC_STARTTIME, m_dPulseAnimateStartLimit);
    DDP_Text(pDX, IDC_ENDTIME, m_dPulseAnimateEndLimit, "PulseAnimateEndLimit");
    DDX_Text(pDX, IDC_ENDTIME, m_dPulseAnimateEndLimit);
    DDP_Text(pDX, IDC_RAYENDTIME, m_dRayEndTime, "RayEndTime");
    DDX_Text(pDX, IDC_RAYENDTIME, m_dRayEndTime);
    DDP_PostProcessing(pDX);
}

BOOL COrvexViewerPropPage::OnCommand(int nID, UINT nNotifyCode) {
    if (nID == IDC_BROWSE && nNotifyCode == BN_CLICKED) {
        OnBrowse();
        return TRUE;
    }
    return FALSE;
}

void COrvexViewerPropPage::OnBrowse() {
    CFileDialog dialog(TRUE, kSimulationFileExt, nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                       kSimulationFileFilter, nullptr);
    if (dialog.DoModal() != IDOK) return;
    SetDlgItemText(IDC_FILENAME, dialog.GetPathName());
    // The viewer loads the file now, not on Apply; so does any other field already changed.
    UpdateData(TRUE);
}
