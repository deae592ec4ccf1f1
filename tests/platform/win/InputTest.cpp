// Mouse input: routing to the window under the point or the capture window, key state, the
// WM_SETCURSOR that precedes each mouse message, peeking at the queue, and the cursor record.
#include "WinTestSupport.h"

#include "platform/win/WinApi.h"

namespace {

using Action = CWindowManager::MouseAction;

class InputTest : public WinTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_page.CreateTop(CRect(0, 0, 200, 100)));
        ASSERT_TRUE(m_a.CreateChild(&m_page, CRect(10, 10, 60, 60)));
        ASSERT_TRUE(m_b.CreateChild(&m_page, CRect(100, 10, 150, 60)));
        m_manager.Pump(0);
        m_log.clear();
    }
    void Mouse(Action action, int x, int y) { ASSERT_TRUE(m_manager.QueueMouseInput(m_page.m_hWnd, action, CPoint(x, y))); }

    CProbeWnd m_page{"page", &m_log};
    CProbeWnd m_a{"a", &m_log};
    CProbeWnd m_b{"b", &m_log};
};

TEST_F(InputTest, InputWaitsForThePumpAndGoesToTheWindowUnderThePoint) {
    Mouse(Action::Move, 120, 30);
    EXPECT_TRUE(m_log.empty());
    m_manager.Pump(0);
    // The platform asks for the cursor first: hit test HTCLIENT, the mouse message in the high word.
    const std::vector<std::string> expected = {"b:setcursor 1 512", "b:move 20,20"};
    EXPECT_EQ(LogWith("b:"), expected);
    EXPECT_TRUE(LogWith("a:").empty());
}

TEST_F(InputTest, MouseMessagesCarryTheButtonState) {
    struct Step {
        Action action;
        int x, y;
        const char* entry;  // null: not logged, only the state is checked
        UINT flags;
    };
    const Step steps[] = {
        {Action::Move, 15, 15, "a:move 5,5", 0},                     // no button
        {Action::LeftDown, 15, 15, "a:ldown 5,5", MK_LBUTTON},       // the press carries its button
        {Action::Move, 16, 16, "a:move 6,6", MK_LBUTTON},            // a drag
        {Action::LeftUp, 16, 16, "a:lup 6,6", 0},                    // the release no longer has it
        {Action::Move, 17, 17, "a:move 7,7", 0},                     // hovering again
        {Action::LeftDoubleClick, 17, 17, "a:ldbl 7,7", MK_LBUTTON}, // the second press of a double click
        {Action::LeftUp, 17, 17, "a:lup 7,7", 0},
        {Action::RightDown, 17, 17, nullptr, MK_RBUTTON},
        {Action::Move, 18, 18, "a:move 8,8", MK_RBUTTON},            // a right drag
        {Action::RightUp, 18, 18, "a:rup 8,8", 0},
    };
    for (const Step& step : steps) {
        Mouse(step.action, step.x, step.y);
        m_manager.Pump(0);
        if (!step.entry) {
            EXPECT_EQ(m_manager.GetMouseButtons(), step.flags);
            continue;
        }
        EXPECT_EQ(m_log.back(), step.entry);
        EXPECT_EQ(m_a.m_nLastFlags, step.flags) << step.entry;
    }
}

TEST_F(InputTest, PeekMessageSeesAQueuedMoveWithoutRemovingIt) {
    std::vector<BOOL> newerQueued;
    MSG peeked{};
    m_a.m_onMouseMove = [&](UINT, CPoint) {
        newerQueued.push_back(PeekMessage(&peeked, m_a.m_hWnd, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_NOREMOVE));
    };
    Mouse(Action::Move, 20, 20);
    Mouse(Action::Move, 25, 30);
    m_manager.Pump(0);
    ASSERT_EQ(newerQueued.size(), 2u);  // both moves are still dispatched
    EXPECT_TRUE(newerQueued[0]);
    EXPECT_FALSE(newerQueued[1]);
    EXPECT_EQ(CPoint(peeked.lParam), CPoint(15, 20));  // client coordinates of the second move
    EXPECT_EQ(peeked.hwnd, m_a.m_hWnd);
}

TEST_F(InputTest, PeekMessageFiltersByWindowAndMessage) {
    Mouse(Action::Move, 120, 20);  // over b
    m_a.PostMessage(WM_USER, 1, 2);
    MSG msg{};
    EXPECT_FALSE(PeekMessage(&msg, m_a.m_hWnd, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_NOREMOVE));
    EXPECT_TRUE(PeekMessage(&msg, m_b.m_hWnd, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_NOREMOVE));
    // The page sees its children's messages; posted messages come before input.
    EXPECT_TRUE(PeekMessage(&msg, m_page.m_hWnd, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, WM_USER);
    EXPECT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 1u);
    EXPECT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_MOUSEMOVE);
    EXPECT_FALSE(PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE));
}

TEST_F(InputTest, MoveDroppedWhileANewerOneWaitsLeavesOnlyTheLast) {
    std::vector<CPoint> handled;
    m_a.m_onMouseMove = [&](UINT, CPoint pt) {
        MSG msg;
        if (PeekMessage(&msg, m_a.m_hWnd, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_NOREMOVE)) return;
        handled.push_back(pt);
    };
    Mouse(Action::Move, 20, 20);
    Mouse(Action::Move, 21, 20);
    Mouse(Action::Move, 22, 20);
    m_manager.Pump(0);
    ASSERT_EQ(handled.size(), 1u);
    EXPECT_EQ(handled[0], CPoint(12, 10));
}

TEST_F(InputTest, CaptureRoutesInputDecidedWhenTakenFromTheQueue) {
    m_a.m_onLButtonDown = [this](UINT, CPoint) { m_a.SetCapture(); };
    // All queued before the pump: the press captures, so the move over b goes to a.
    Mouse(Action::LeftDown, 20, 20);
    Mouse(Action::Move, 120, 20);
    Mouse(Action::Move, 5, 95);
    m_manager.Pump(0);
    // The parent gets the first say over the cursor; while captured no WM_SETCURSOR is sent and
    // nothing reaches b or the page.
    const std::vector<std::string> expected = {"a:setcursor 1 513", "page:setcursor 1 513", "a:ldown 10,10",
                                               "a:move 110,10", "a:move -5,85"};
    EXPECT_EQ(m_log, expected);
    EXPECT_EQ(CWnd::GetCapture(), &m_a);

    EXPECT_TRUE(ReleaseCapture());
    m_log.clear();
    Mouse(Action::Move, 120, 20);
    m_manager.Pump(0);
    EXPECT_EQ(m_log.back(), "b:move 20,10");
}

TEST_F(InputTest, CaptureChangeIsToldToTheLoser) {
    m_a.SetCapture();
    EXPECT_EQ(m_b.SetCapture(), &m_a);
    const std::vector<std::string> expected = {"a:capturechanged"};
    EXPECT_EQ(m_log, expected);
    m_b.DestroyWindow();
    EXPECT_EQ(CWnd::GetCapture(), nullptr);  // capture dies with its window
}

TEST_F(InputTest, TopmostSiblingGetsOverlappingInput) {
    CProbeWnd over("over", &m_log);
    ASSERT_TRUE(over.CreateChild(&m_a, CRect(0, 0, 20, 20)));
    CProbeWnd late("late", &m_log);
    ASSERT_TRUE(late.CreateChild(&m_page, CRect(0, 0, 15, 15)));  // over a's corner, created last
    m_log.clear();
    Mouse(Action::Move, 12, 12);   // in late
    Mouse(Action::Move, 16, 16);   // in over (a's child), outside late
    Mouse(Action::Move, 40, 40);   // in a only
    Mouse(Action::Move, 195, 95);  // on the page
    Mouse(Action::Move, 250, 50);  // off the surface: dropped
    m_manager.Pump(0);
    const std::vector<std::string> expected = {"late:move 12,12", "over:move 6,6", "a:move 30,30",
                                               "page:move 195,95"};
    EXPECT_EQ(LogWith("move"), expected);
}

TEST_F(InputTest, CursorRecordFollowsSetCursor) {
    const HCURSOR cross = LoadStandardCursor(IDC_CROSS);
    const HCURSOR arrow = LoadStandardCursor(IDC_ARROW);
    m_a.m_onSetCursor = [cross](UINT, UINT) {
        SetCursor(cross);
        return TRUE;
    };
    m_manager.ClearCursorChanges();
    SetCursor(nullptr);
    m_manager.ClearCursorChanges();
    Mouse(Action::Move, 20, 20);
    Mouse(Action::Move, 21, 20);   // the same cursor again: no new record
    Mouse(Action::Move, 120, 20);  // b: the class cursor, by default processing
    m_manager.Pump(0);
    const auto& changes = m_manager.GetCursorChanges();
    ASSERT_EQ(changes.size(), 2u);
    EXPECT_EQ(changes[0].hCursor, cross);
    EXPECT_EQ(changes[1].hCursor, arrow);
    EXPECT_EQ(GetCursorId(GetCursor()), 32512u);
}

TEST_F(InputTest, InputForAChildHandleOrADeadPageIsRefused) {
    EXPECT_FALSE(m_manager.QueueMouseInput(m_a.m_hWnd, Action::Move, CPoint(1, 1)));
    EXPECT_FALSE(m_manager.QueueMouseInput(nullptr, Action::Move, CPoint(1, 1)));
}

TEST_F(InputTest, InputTargetIsDecidedWhenTakenFromTheQueue) {
    Mouse(Action::Move, 20, 20);
    m_a.DestroyWindow();
    m_manager.Pump(0);
    EXPECT_EQ(LogWith("move").back(), "page:move 20,20");  // the page is under the point now
}

}  // namespace
