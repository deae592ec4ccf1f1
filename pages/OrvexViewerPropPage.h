#pragma once
// The viewer's "General" page: simulation file (typed or browsed), pulse animation, ray plot type
// and the time settings, exchanged with the viewer's properties.
#include <string>

#include "platform/afx/COlePropertyPage.h"

class COrvexViewerPropPage : public COlePropertyPage {
public:
    COrvexViewerPropPage();

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnCommand(int nID, UINT nNotifyCode) override;

private:
    // Picks a simulation file and sends it to the viewer at once.
    void OnBrowse();

    std::string m_strFileName;
    int m_bAnimated = 0;
    int m_nRayPlotType = -1;  // no button checked
    double m_dRayEndTimeIncrement = 0.0;
    double m_dPulseAnimateStartLimit = 0.0;
    double m_dPulseAnimateEndLimit = 0.0;
    double m_dRayEndTime = 0.0;
};
