// Creation, destruction, position changes and text of windows.
#include "WinTestSupport.h"

#include "platform/win/WinApi.h"

namespace {

using WindowLifecycleTest = WinTest;

TEST_F(WindowLifecycleTest, CreationSendsSizeAfterCreate) {
    CProbeWnd page("page", &m_log);
    ASSERT_TRUE(page.CreateTop(CRect(0, 0, 300, 200)));
    CProbeWnd child("child", &m_log);
    m_log.clear();
    ASSERT_TRUE(child.CreateChild(&page, CRect(10, 20, 60, 45)));
    const std::vector<std::string> expected = {"child:create 50x25", "child:size 50x25"};
    EXPECT_EQ(m_log, expected);
    CRect client;
    child.GetClientRect(&client);
    EXPECT_EQ(client, CRect(0, 0, 50, 25));
    EXPECT_EQ(child.GetParent(), &page);
    EXPECT_EQ(CWnd::FromHandle(child.m_hWnd), &child);
    EXPECT_EQ(child.GetDlgCtrlID(), 1);
}

TEST_F(WindowLifecycleTest, CreateReturningMinusOneAbortsCreation) {
    CProbeWnd page("page", &m_log);
    ASSERT_TRUE(page.CreateTop(CRect(0, 0, 100, 100)));
    CProbeWnd child("child", &m_log);
    child.m_nCreateResult = -1;
    m_log.clear();
    EXPECT_FALSE(child.CreateChild(&page, CRect(0, 0, 10, 10)));
    EXPECT_EQ(child.m_hWnd, nullptr);
    EXPECT_TRUE(m_manager.GetChildren(page.m_hWnd).empty());
    // No size message for a window that never came to be.
    EXPECT_TRUE(LogWith("size").empty());
}

TEST_F(WindowLifecycleTest, ChildWithoutParentFails) {
    CProbeWnd child("child", &m_log);
    EXPECT_FALSE(child.CreateChild(nullptr, CRect(0, 0, 10, 10)));
    EXPECT_TRUE(m_log.empty());
}

TEST_F(WindowLifecycleTest, DestroyReachesChildrenAndInvalidatesHandles) {
    CProbeWnd page("page", &m_log), a("a", &m_log), b("b", &m_log), a1("a1", &m_log);
    ASSERT_TRUE(page.CreateTop(CRect(0, 0, 100, 100)));
    ASSERT_TRUE(a.CreateChild(&page, CRect(0, 0, 50, 50)));
    ASSERT_TRUE(b.CreateChild(&page, CRect(50, 0, 100, 50)));
    ASSERT_TRUE(a1.CreateChild(&a, CRect(0, 0, 10, 10)));
    const HWND hA1 = a1.m_hWnd;
    m_log.clear();
    EXPECT_TRUE(page.DestroyWindow());
    // WM_DESTROY goes down the tree; WM_NCDESTROY comes back up, children first.
    const std::vector<std::string> expected = {"page:destroy", "a:destroy",   "a1:destroy", "a1:ncdestroy",
                                               "a:ncdestroy",  "b:destroy",   "b:ncdestroy", "page:ncdestroy"};
    EXPECT_EQ(m_log, expected);
    EXPECT_EQ(a1.m_hWnd, nullptr);
    EXPECT_FALSE(IsWindow(hA1));
    EXPECT_EQ(CWnd::FromHandle(hA1), nullptr);
    EXPECT_TRUE(m_manager.GetTopLevelWindows().empty());
}

TEST_F(WindowLifecycleTest, HandlesAreNotReused) {
    CProbeWnd page("page", &m_log);
    ASSERT_TRUE(page.CreateTop(CRect(0, 0, 10, 10)));
    const HWND hOld = page.m_hWnd;
    page.DestroyWindow();
    ASSERT_TRUE(page.CreateTop(CRect(0, 0, 10, 10)));
    EXPECT_NE(page.m_hWnd, hOld);
    EXPECT_FALSE(IsWindow(hOld));
}

TEST_F(WindowLifecycleTest, SetWindowPosHonoursTheChangingHandler) {
    CProbeWnd page("page", &m_log), child("child", &m_log);
    ASSERT_TRUE(page.CreateTop(CRect(0, 0, 200, 200)));
    ASSERT_TRUE(child.CreateChild(&page, CRect(0, 0, 50, 50)));
    child.m_onPosChanging = [](WINDOWPOS* pos) { pos->cx = 80; };
    m_log.clear();
    child.MoveWindow(5, 6, 60, 70);
    const std::vector<std::string> expected = {"child:poschanging", "child:size 80x70"};
    EXPECT_EQ(LogWith("child"), expected);
    CRect rc;
    child.GetWindowRect(&rc);
    EXPECT_EQ(rc, CRect(5, 6, 85, 76));
}

TEST_F(WindowLifecycleTest, MovingWithoutResizingSendsNoSize) {
    CProbeWnd page("page", &m_log), child("child", &m_log);
    ASSERT_TRUE(page.CreateTop(CRect(0, 0, 200, 200)));
    ASSERT_TRUE(child.CreateChild(&page, CRect(0, 0, 50, 50)));
    m_log.clear();
    child.MoveWindow(30, 30, 50, 50);
    EXPECT_EQ(LogWith("poschanging").size(), 1u);
    EXPECT_TRUE(LogWith("size").empty());
}

TEST_F(WindowLifecycleTest, ResizingATopLevelWindowReallocatesItsSurface) {
    CProbeWnd page("page", &m_log);
    ASSERT_TRUE(page.CreateTop(CRect(0, 0, 40, 30)));
    page.MoveWindow(0, 0, 64, 48);
    const CBitmap* surface = m_manager.GetSurface(page.m_hWnd);
    ASSERT_NE(surface, nullptr);
    EXPECT_EQ(surface->GetWidth(), 64);
    EXPECT_EQ(surface->GetHeight(), 48);
}

TEST_F(WindowLifecycleTest, HostileSizesAreBoundedBeforeAllocating) {
    CProbeWnd huge("huge", &m_log), child("child", &m_log);
    // A page of 30000 x 30000 would be a 3.6 GB surface: refused.
    EXPECT_FALSE(huge.CreateTop(CRect(0, 0, 30000, 30000)));
    CProbeWnd page("page", &m_log);
    ASSERT_TRUE(page.CreateTop(CRect(0, 0, 10, 10)));
    // Child extents stay within the 16 bits that size messages carry; negative ones become 0.
    ASSERT_TRUE(child.CreateChild(&page, CRect(0, 0, 1000000, -5)));
    CRect client;
    child.GetClientRect(&client);
    EXPECT_EQ(client, CRect(0, 0, CWindowManager::kMaxWindowExtent, 0));
}

TEST_F(WindowLifecycleTest, ScreenCoordinatesAddUpTheTree) {
    CProbeWnd page("page", &m_log), child("child", &m_log), inner("inner", &m_log);
    ASSERT_TRUE(page.CreateTop(CRect(100, 50, 300, 250)));  // a page placed on the screen
    ASSERT_TRUE(child.CreateChild(&page, CRect(10, 20, 110, 120)));
    ASSERT_TRUE(inner.CreateChild(&child, CRect(5, 5, 25, 15)));
    CRect rc;
    inner.GetWindowRect(&rc);
    EXPECT_EQ(rc, CRect(115, 75, 135, 85));
    child.ScreenToClient(&rc);  // as a control maps a child's rectangle into its own client area
    EXPECT_EQ(rc, CRect(5, 5, 25, 15));
    EXPECT_EQ(m_manager.GetClientOriginOnSurface(inner.m_hWnd), CPoint(15, 25));
    // Input at surface coordinates reaches the window in its client coordinates.
    m_manager.QueueMouseInput(page.m_hWnd, CWindowManager::MouseAction::Move, CPoint(16, 27));
    m_manager.Pump(0);
    EXPECT_EQ(LogWith("move").back(), "inner:move 1,2");
}

TEST_F(WindowLifecycleTest, WindowTextRoundTrips) {
    CProbeWnd page("page", &m_log);
    ASSERT_TRUE(page.CreateTop(CRect(0, 0, 10, 10)));
    std::string text;
    page.GetWindowText(text);
    EXPECT_EQ(text, "page");  // the creation name
    page.SetWindowText("( 12.50, 0.5000)      ");
    page.GetWindowText(text);
    EXPECT_EQ(text, "( 12.50, 0.5000)      ");
    char small[5];
    EXPECT_EQ(GetWindowText(page.m_hWnd, small, sizeof small), 4);  // truncated, terminated
    EXPECT_STREQ(small, "( 12");
    EXPECT_FALSE(SetWindowText(nullptr, "x"));
}

TEST_F(WindowLifecycleTest, ManagerTearDownDestroysRemainingWindows) {
    std::vector<std::string> log;
    auto page = std::make_unique<CProbeWnd>("page", &log);
    {
        CWindowManager inner;
        ASSERT_TRUE(page->CreateTop(CRect(0, 0, 10, 10)));
    }
    EXPECT_EQ(page->m_hWnd, nullptr);
    EXPECT_EQ(log.back(), "page:ncdestroy");
    EXPECT_EQ(&CWindowManager::Current(), &m_manager);
}

TEST_F(WindowLifecycleTest, ManagersMayBeDestroyedInAnyOrder) {
    auto first = std::make_unique<CWindowManager>();
    auto second = std::make_unique<CWindowManager>();
    CProbeWnd page("page", &m_log);
    ASSERT_TRUE(page.CreateTop(CRect(0, 0, 10, 10)));  // in the second, the current one
    first.reset();
    EXPECT_EQ(&CWindowManager::Current(), second.get());
    EXPECT_TRUE(IsWindow(page.m_hWnd));
    second.reset();
    EXPECT_EQ(page.m_hWnd, nullptr);
    EXPECT_EQ(&CWindowManager::Current(), &m_manager);
}

}  // namespace
