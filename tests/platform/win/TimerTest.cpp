// Timers on the virtual clock: when they tick, in what order, and when they stop.
#include "WinTestSupport.h"

namespace {

class TimerTest : public WinTest {
protected:
    void SetUp() override { ASSERT_TRUE(m_page.CreateTop(CRect(0, 0, 100, 100))); }
    CProbeWnd m_page{"page", &m_log};
};

TEST_F(TimerTest, TwoHundredMsTimerTicksFiveTimesInOneSecond) {
    m_page.SetTimer(20, 200, nullptr);
    m_manager.Pump(1000);
    EXPECT_EQ(LogWith("timer").size(), 5u);
    EXPECT_EQ(m_manager.GetTime(), 1000u);
}

TEST_F(TimerTest, FirstTickComesOnePeriodAfterSetting) {
    m_manager.Pump(50);  // the timer is set at t = 50, not at 0
    m_page.SetTimer(20, 200, nullptr);
    m_manager.Pump(199);
    EXPECT_TRUE(LogWith("timer").empty());
    m_manager.Pump(1);  // a step includes its end time
    EXPECT_EQ(LogWith("timer").size(), 1u);
    m_manager.Pump(0);  // no time passes, no tick
    EXPECT_EQ(LogWith("timer").size(), 1u);
}

TEST_F(TimerTest, KillingStopsTheTicks) {
    m_page.SetTimer(20, 200, nullptr);
    m_manager.Pump(400);
    EXPECT_TRUE(m_page.KillTimer(20));
    EXPECT_FALSE(m_page.KillTimer(20));  // already gone
    m_manager.Pump(1000);
    EXPECT_EQ(LogWith("timer").size(), 2u);
}

TEST_F(TimerTest, TimerDiesWithItsWindow) {
    std::vector<std::string> log;
    CProbeWnd child("child", &log);
    ASSERT_TRUE(child.CreateChild(&m_page, CRect(0, 0, 10, 10)));
    child.SetTimer(20, 200, nullptr);
    m_manager.Pump(200);
    child.DestroyWindow();
    EXPECT_EQ(m_manager.GetTimerCount(nullptr), 0u);
    m_manager.Pump(1000);
    EXPECT_EQ(std::count(log.begin(), log.end(), "child:timer 20"), 1);
}

TEST_F(TimerTest, SettingTheSameIdAgainLeavesOneRestartedTimer) {
    m_page.SetTimer(20, 200, nullptr);
    m_manager.Pump(150);
    EXPECT_EQ(m_page.SetTimer(20, 200, nullptr), 20u);
    EXPECT_EQ(m_manager.GetTimerCount(m_page.m_hWnd), 1u);
    m_manager.Pump(199);  // t = 349: the restarted timer is due at 350
    EXPECT_TRUE(LogWith("timer").empty());
    m_manager.Pump(651);  // t = 1000: ticks at 350, 550, 750, 950
    EXPECT_EQ(LogWith("timer").size(), 4u);
}

TEST_F(TimerTest, TicksOfSeveralTimersComeInTimeOrder) {
    m_page.SetTimer(3, 300, nullptr);
    m_page.SetTimer(2, 200, nullptr);
    m_manager.Pump(600);
    // 200: 2; 300: 3; 400: 2; 600: both, in the order they were set.
    const std::vector<std::string> expected = {"page:timer 2", "page:timer 3", "page:timer 2", "page:timer 3",
                                               "page:timer 2"};
    EXPECT_EQ(LogWith("timer"), expected);
}

TEST_F(TimerTest, EachTickIsFollowedByDispatchAndPaint) {
    m_manager.Pump(0);
    m_page.m_onTimer = [this](UINT_PTR) {
        m_page.PostMessage(WM_USER + 1);
        m_page.Invalidate(FALSE);
    };
    m_page.SetTimer(1, 100, nullptr);
    m_log.clear();
    m_manager.Pump(200);
    const std::vector<std::string> expected = {"page:timer 1", "page:paint", "page:timer 1", "page:paint"};
    EXPECT_EQ(LogWith(":"), expected);
}

TEST_F(TimerTest, PeriodsAreClampedToThePlatformMinimum) {
    m_page.SetTimer(1, 0, nullptr);
    m_manager.Pump(100);
    EXPECT_EQ(LogWith("timer").size(), 10u);
}

TEST_F(TimerTest, TimerCallbackReceivesTheTicksInsteadOfTheWindow) {
    static int calls;
    calls = 0;
    m_page.SetTimer(7, 100, [](HWND, UINT message, UINT_PTR id, DWORD) {
        if (message == WM_TIMER && id == 7) ++calls;
    });
    m_manager.Pump(300);
    EXPECT_EQ(calls, 3);
    EXPECT_TRUE(LogWith("timer").empty());
}

TEST_F(TimerTest, TimerOnADeadWindowIsRefused) {
    CProbeWnd never("never", &m_log);
    EXPECT_EQ(never.SetTimer(1, 100, nullptr), 0u);
}

}  // namespace
