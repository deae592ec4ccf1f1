// The clock seam and the display swap the desktop builds on: the virtual and the real clock
// behind one interface, the stepper that turns readings into pump steps, and a window manager
// handing an existing surface to a display put in place after the window was made.
#include <gtest/gtest.h>

#include <limits>
#include <vector>

#include "platform/gdi/CBitmap.h"
#include "platform/win/CDisplay.h"
#include "platform/win/CWindowManager.h"
#include "platform/win/CWnd.h"
#include "platform/win/WinClock.h"

namespace {

TEST(ClockTest, VirtualClockMovesOnlyWhenToldAndSaturates) {
    CVirtualClock clock;
    EXPECT_EQ(clock.GetMilliseconds(), 0u);
    clock.Advance(250);
    clock.Advance(0);
    EXPECT_EQ(clock.GetMilliseconds(), 250u);
    clock.Advance(std::numeric_limits<uint64_t>::max());  // would wrap to 249
    EXPECT_EQ(clock.GetMilliseconds(), std::numeric_limits<uint64_t>::max());
}

TEST(ClockTest, StepperGivesTheTimeSinceTheLastStepCappedAtItsLimit) {
    CVirtualClock clock;
    clock.Advance(5000);  // time before the stepper was made does not count
    CClockStepper stepper(clock, 1000);
    EXPECT_EQ(stepper.TakeStep(), 0u);
    clock.Advance(16);
    EXPECT_EQ(stepper.TakeStep(), 16u);
    EXPECT_EQ(stepper.TakeStep(), 0u);  // nothing passed since
    clock.Advance(3600000);             // a stall: the lost hour is skipped, not replayed
    EXPECT_EQ(stepper.TakeStep(), 1000u);
    clock.Advance(200);
    EXPECT_EQ(stepper.TakeStep(), 200u);
}

TEST(ClockTest, RealClockNeverGoesBack) {
    CRealClock clock;
    const CClock& c = clock;
    uint64_t last = c.GetMilliseconds();
    for (int i = 0; i < 1000; ++i) {
        const uint64_t now = c.GetMilliseconds();
        ASSERT_GE(now, last);
        last = now;
    }
}

// Records what reaches it.
class CRecordingDisplay : public CDisplay {
public:
    struct SLog {
        std::vector<std::pair<HWND, CBitmap*>> surfaces;
        std::vector<std::pair<HWND, CRect>> presents;
        std::vector<HWND> destroyed;
        std::vector<HCURSOR> cursors;
    };
    explicit CRecordingDisplay(SLog& log) : m_log(log) {}
    void OnSurfaceChanged(HWND h, CBitmap* s) override { m_log.surfaces.emplace_back(h, s); }
    void OnTopLevelDestroyed(HWND h) override { m_log.destroyed.push_back(h); }
    void Present(HWND h, const CBitmap&, const RECT& rc) override { m_log.presents.emplace_back(h, CRect(rc)); }
    void OnCursorChanged(HCURSOR c) override { m_log.cursors.push_back(c); }

private:
    SLog& m_log;
};

TEST(DisplaySwapTest, ANewDisplayIsShownEveryExistingSurfaceWhole) {
    CWindowManager manager;
    CWnd page;
    ASSERT_TRUE(page.CreateEx(0, nullptr, "page", WS_VISIBLE, CRect(0, 0, 40, 30), nullptr, 0));
    manager.Pump(0);
    ::SetCursor(LoadStandardCursor(IDC_CROSS));

    CRecordingDisplay::SLog log;
    std::unique_ptr<CDisplay> old = manager.SetDisplay(std::make_unique<CRecordingDisplay>(log));
    EXPECT_NE(old, nullptr);
    ASSERT_EQ(log.surfaces.size(), 1u);
    EXPECT_EQ(log.surfaces[0].first, page.m_hWnd);
    EXPECT_EQ(log.surfaces[0].second, manager.GetSurface(page.m_hWnd));
    ASSERT_EQ(log.presents.size(), 1u);
    EXPECT_EQ(log.presents[0].second, CRect(0, 0, 40, 30));
    ASSERT_EQ(log.cursors.size(), 1u);  // the cursor as it is, so the new display shows the same
    EXPECT_EQ(GetCursorId(log.cursors[0]), GetCursorId(LoadStandardCursor(IDC_CROSS)));

    // From now on the new display gets what happens.
    page.Invalidate();
    manager.Pump(0);
    EXPECT_EQ(log.presents.size(), 2u);
    const HWND h = page.m_hWnd;
    page.DestroyWindow();
    ASSERT_EQ(log.destroyed.size(), 1u);
    EXPECT_EQ(log.destroyed[0], h);
}

}  // namespace
