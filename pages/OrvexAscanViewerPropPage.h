#pragma once
// The A-scan control's page: the viewer to link, picked from the viewers in the same container
// (each with the file it shows), and the four range properties.
#include <string>
#include <vector>

#include "platform/afx/COlePropertyPage.h"

class COrvexAscanViewerPropPage : public COlePropertyPage {
public:
    COrvexAscanViewerPropPage();

    // The listed viewers' names and file texts, entry for entry with the combo box.
    const std::vector<std::string>& GetViewerNames() const { return m_viewerNames; }
    const std::vector<std::string>& GetFileTexts() const { return m_fileTexts; }

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    BOOL OnCommand(int nID, UINT nNotifyCode) override;

private:
    // Lists the viewers of the A-scan control's container in enumeration order.
    void FillViewerList();
    // Shows the selected viewer's file text under the list.
    void OnSelChangeViewerList();

    std::vector<std::string> m_fileTexts;
    std::vector<std::string> m_viewerNames;
    float m_fAscanXMin = 0.0f;
    float m_fAscanYMax = 0.0f;
    float m_fAscanXMax = 0.0f;
    float m_fAscanYMin = 0.0f;
    std::string m_strOrvexViewerName;
};
