#pragma once
// A control for the control base class tests: a property of each persisted type, a read-only
// property, an event, and a record of its draws. Its container is common/FakeContainer.h.
#include <string>
#include <vector>

#include "platform/afx/COleControl.h"
#include "platform/com/ComObject.h"
#include "platform/com/ComPtr.h"

// {0F5C2A71-6E2B-4C0E-8D4A-71B0A9C3E101}
constexpr IID IID_DTestCtrl = {0x0F5C2A71, 0x6E2B, 0x4C0E, {0x8D, 0x4A, 0x71, 0xB0, 0xA9, 0xC3, 0xE1, 0x01}};
// {0F5C2A71-6E2B-4C0E-8D4A-71B0A9C3E102}
constexpr IID IID_DTestCtrlEvents = {0x0F5C2A71, 0x6E2B, 0x4C0E, {0x8D, 0x4A, 0x71, 0xB0, 0xA9, 0xC3, 0xE1, 0x02}};
// {0F5C2A71-6E2B-4C0E-8D4A-71B0A9C3E103}
constexpr CLSID CLSID_TestCtrl = {0x0F5C2A71, 0x6E2B, 0x4C0E, {0x8D, 0x4A, 0x71, 0xB0, 0xA9, 0xC3, 0xE1, 0x03}};
constexpr const char* kTestCtrlProgID = "ORVEXTEST.TestCtrl.1";

class CTestCtrl : public COleControl {
public:
    CTestCtrl();

    std::string m_fileName;
    SHORT m_plotType = 0;
    LONG m_snapshot = 0;
    BOOL m_animated = FALSE;
    float m_left = 0.0f;
    double m_endTime = 10.0;
    double m_endLimit = 0.0;

    int m_nDraws = 0;
    int m_nMetafileDraws = 0;
    CRect m_rcLastBounds;
    CRect m_rcLastInvalid;
    int m_nSiteChanges = 0;

    // Property handlers and members of the table.
    void OnFileNameChanged();
    double GetMaximumTime() { return 48.0; }
    void SetStrict(LONG) { SetNotSupported(); }
    LONG GetStrict() { return 1; }
    void Fire(double t) { FireEvent(1, EVENT_PARAM(VTS_R8), t); }
    BSTR ReadOwnName();

    static const CDispatchInterface& DispatchInterface();
    static const CDispatchInterface& EventInterface();

protected:
    const CDispatchInterface& GetDispatchInterface() const override { return DispatchInterface(); }
    const CDispatchInterface* GetEventInterface() const override { return &EventInterface(); }
    void DoPropExchange(CPropExchange* pPX) override;
    void OnResetState() override;
    void OnDraw(CDC* pDC, const CRect& rcBounds, const CRect& rcInvalid) override;
    void OnDrawMetafile(CDC* pDC, const CRect& rcBounds) override;
    void OnSetClientSite() override { ++m_nSiteChanges; }
};
