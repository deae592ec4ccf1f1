#pragma once
// A control that records what happens to it, on the factory list under its own ProgID, and
// helpers that write documents into a folder of their own for each test.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/afx/COleControl.h"
#include "platform/com/ComLeakCheck.h"

// {3A1D6E52-94C7-4B0F-A1E3-5C7D2B9F4A01}
constexpr IID IID_DLogCtrl = {0x3A1D6E52, 0x94C7, 0x4B0F, {0xA1, 0xE3, 0x5C, 0x7D, 0x2B, 0x9F, 0x4A, 0x01}};
// {3A1D6E52-94C7-4B0F-A1E3-5C7D2B9F4A02}
constexpr IID IID_DLogCtrlEvents = {0x3A1D6E52, 0x94C7, 0x4B0F, {0xA1, 0xE3, 0x5C, 0x7D, 0x2B, 0x9F, 0x4A, 0x02}};
constexpr const char* kLogCtrlProgID = "ORVEXHOSTTEST.LogCtrl.1";

// Writes "<name>:site", "<name>:load", "<name>:create", "<name>:destroy" and "<name>:release"
// lines to a shared log; <name> is read through the control's own IDispatch, so an entry
// proves the container name was reachable at that moment ("?" when it was not).
class CLogCtrl : public COleControl {
public:
    CLogCtrl();
    ~CLogCtrl() override;

    static std::vector<std::string>& Log();

    SHORT m_count = 0;
    std::string m_label;
    BOOL m_flag = FALSE;
    double m_gain = 1.0;
    LONG m_colour = 0xFF0000;  // blue
    LONG m_ticks = 0;
    CPoint m_lastClick{-1, -1};
    UINT m_lastClickFlags = 0;

    LONG GetTicks() { return m_ticks; }
    LONG Twice(LONG value) { return 2 * value; }
    std::string OwnName();

    static const CDispatchInterface& DispatchInterface();
    static const CDispatchInterface& EventInterface();

protected:
    const CDispatchInterface& GetDispatchInterface() const override { return DispatchInterface(); }
    const CDispatchInterface* GetEventInterface() const override { return &EventInterface(); }
    void DoPropExchange(CPropExchange* pPX) override;
    void OnSetClientSite() override;
    void OnDraw(CDC* pDC, const CRect& rcBounds, const CRect& rcInvalid) override;
    int OnCreate(LPCREATESTRUCT lpCreateStruct) override;
    void OnDestroy() override;
    void OnTimer(UINT_PTR nIDEvent) override;
    void OnLButtonDown(UINT nFlags, CPoint point) override;
    void OnMouseMove(UINT nFlags, CPoint point) override;
};

// Each test starts and ends with no live COM object; it gets a fresh folder and an empty log.
class HostTest : public ComLeakCheck {
protected:
    void SetUp() override;
    void TearDown() override;
    // Writes text to a file in the test's folder and returns its path.
    std::string WriteFile(const std::string& name, const std::string& text) const;
    std::string PathOf(const std::string& name) const { return (m_folder / name).string(); }

    std::filesystem::path m_folder;
};
