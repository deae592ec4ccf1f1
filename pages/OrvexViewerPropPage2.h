#pragma once
// The viewer's "View" page: the two axes of the view frame and the view rectangle, with three
// buttons that put a preset frame into the axis edits and send it to the viewer at once.
#include "platform/afx/COlePropertyPage.h"

class COrvexViewerPropPage2 : public COlePropertyPage {
public:
    COrvexViewerPropPage2();

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnCommand(int nID, UINT nNotifyCode) override;

private:
    // Writes the six axis texts (x axis, then y axis) and saves them to the viewer.
    void SetPresetAxes(const char* const (&texts)[6]);

    double m_dXAxisX = 0.0;
    double m_dXAxisY = 0.0;
    double m_dXAxisZ = 0.0;
    double m_dYAxisX = 0.0;
    double m_dYAxisY = 0.0;
    double m_dYAxisZ = 0.0;
    float m_fWndTop = 0.0f;
    float m_fWndLeft = 0.0f;
    float m_fWndBottom = 0.0f;
    float m_fWndRight = 0.0f;
};
