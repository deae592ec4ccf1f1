// Invalid regions, paint order, erasing, and where paint and client contexts may draw.
#include "WinTestSupport.h"

#include "platform/win/CClientDC.h"
#include "platform/win/SysColor.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

class PaintTest : public WinTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_page.CreateTop(CRect(0, 0, 100, 80)));
        ASSERT_TRUE(m_left.CreateChild(&m_page, CRect(10, 10, 50, 50)));
        ASSERT_TRUE(m_right.CreateChild(&m_page, CRect(40, 10, 90, 50)));  // overlaps m_left
        m_manager.Pump(0);
        m_log.clear();
        m_page.m_nPaints = m_left.m_nPaints = m_right.m_nPaints = 0;
    }
    CProbeWnd m_page{"page", &m_log};
    CProbeWnd m_left{"left", &m_log};
    CProbeWnd m_right{"right", &m_log};
};

TEST_F(PaintTest, ParentsPaintBeforeChildrenAndSiblingsInCreationOrder) {
    m_page.Invalidate();
    m_manager.Pump(0);
    // The page does not clip its children, so they paint again over it.
    const std::vector<std::string> expected = {"page:paint", "left:paint", "right:paint"};
    EXPECT_EQ(LogWith("paint"), expected);
}

TEST_F(PaintTest, OnlyInvalidWindowsArePainted) {
    m_right.Invalidate(FALSE);
    m_manager.Pump(0);
    // Invalidated without erase: painted, not erased; the others are left alone.
    const std::vector<std::string> expected = {"right:paint"};
    EXPECT_EQ(m_log, expected);
    EXPECT_FALSE(m_right.m_lastPaint.fErase);
    m_manager.Pump(0);
    EXPECT_EQ(m_log.size(), 1u);  // painting validated it
}

TEST_F(PaintTest, EraseComesBeforePaintAndUsesTheWindowColour) {
    m_right.m_bFillOnPaint = true;
    m_right.Invalidate(FALSE);
    m_manager.Pump(0);
    EXPECT_EQ(SurfacePixel(m_page, 70, 20), kRed);
    m_right.m_bFillOnPaint = false;
    m_right.Invalidate(TRUE);
    m_manager.Pump(0);
    const std::vector<std::string> expected = {"right:paint", "right:erase", "right:paint"};
    EXPECT_EQ(m_log, expected);
    EXPECT_EQ(SurfacePixel(m_page, 70, 20), GetSysColor(COLOR_WINDOW));
}

TEST_F(PaintTest, WindowsAboveARepaintedSiblingPaintAgainOnTop) {
    m_left.m_bFillOnPaint = true;
    m_left.m_fillColour = kRed;
    m_right.m_bFillOnPaint = true;
    m_right.m_fillColour = kBlue;
    m_left.Invalidate(FALSE);
    m_manager.Pump(0);
    const std::vector<std::string> expected = {"left:paint", "right:erase", "right:paint"};
    EXPECT_EQ(m_log, expected);
    // Only the overlap (x 40..49) was invalid in the right window.
    EXPECT_EQ(CRect(m_right.m_lastPaint.rcPaint), CRect(0, 0, 10, 40));
    EXPECT_EQ(SurfacePixel(m_page, 39, 20), kRed);   // the left window's own part
    EXPECT_EQ(SurfacePixel(m_page, 40, 20), kBlue);  // the overlap shows the window above
    EXPECT_EQ(SurfacePixel(m_page, 50, 20), kWhite); // the right window beyond the overlap, untouched
}

TEST_F(PaintTest, PaintContextDrawsOnlyInsideTheInvalidRectangle) {
    m_page.m_bFillOnPaint = true;
    m_page.m_onPaint = [this] { EXPECT_EQ(CRect(m_page.m_lastPaint.rcPaint), CRect(0, 60, 30, 70)); };
    const CRect rc(0, 60, 30, 70);
    m_page.InvalidateRect(&rc, FALSE);
    m_manager.Pump(0);
    struct Probe {
        int x, y;
        COLORREF expected;
    };
    const Probe probes[] = {
        {0, 60, kRed},     // the invalid rectangle's first pixel
        {29, 69, kRed},    // its last pixel
        {30, 65, kWhite},  // just right of it
        {10, 59, kWhite},  // just above it
        {10, 70, kWhite},  // just below it
    };
    for (const Probe& p : probes) EXPECT_EQ(SurfacePixel(m_page, p.x, p.y), p.expected) << p.x << "," << p.y;
}

TEST_F(PaintTest, ChildClientContextDrawsOnlyOnItsOwnPart) {
    {
        CClientDC dc(&m_left);
        CRect everything(-1000, -1000, 1000, 1000);
        dc.FillSolidRect(&everything, kBlue);
    }
    struct Probe {
        int x, y;
        COLORREF expected;
    };
    const Probe probes[] = {
        {10, 10, kBlue},   // left's client origin on the page
        {49, 49, kBlue},   // its last pixel
        {9, 20, kWhite},   // just outside, on the page
        {50, 20, kWhite},  // just right of it
        {20, 50, kWhite},  // just below it
        {0, 0, kWhite},    // the page's corner
    };
    for (const Probe& p : probes) EXPECT_EQ(SurfacePixel(m_page, p.x, p.y), p.expected) << p.x << "," << p.y;
}

TEST_F(PaintTest, GrandchildIsClippedByItsParent) {
    CProbeWnd inner("inner", &m_log);
    ASSERT_TRUE(inner.CreateChild(&m_left, CRect(30, 30, 80, 80)));  // sticks out of m_left
    CClientDC dc(&inner);
    CRect box;
    dc.GetClipBox(&box);
    EXPECT_EQ(box, CRect(0, 0, 10, 10));
}

TEST_F(PaintTest, HiddenWindowsAreNotPaintedAndShowingRepaints) {
    m_left.ShowWindow(SW_HIDE);
    m_log.clear();
    m_left.Invalidate();
    m_manager.Pump(0);
    EXPECT_TRUE(LogWith("left:paint").empty());
    {
        CClientDC dc(&m_left);
        CRect box;
        dc.GetClipBox(&box);
        EXPECT_TRUE(box.IsRectEmpty());
    }
    m_left.ShowWindow(SW_SHOW);
    m_manager.Pump(0);
    EXPECT_EQ(LogWith("left:paint").size(), 1u);
}

TEST_F(PaintTest, ClipChildrenKeepsParentInvalidationToItself) {
    CProbeWnd clipped("clipped", &m_log), inside("inside", &m_log);
    ASSERT_TRUE(clipped.CreateTop(CRect(0, 0, 50, 50), WS_VISIBLE | WS_CLIPCHILDREN));
    ASSERT_TRUE(inside.CreateChild(&clipped, CRect(0, 0, 10, 10)));
    m_manager.Pump(0);
    m_log.clear();
    clipped.Invalidate();
    m_manager.Pump(0);
    const std::vector<std::string> expected = {"clipped:paint"};
    EXPECT_EQ(LogWith("paint"), expected);
}

TEST_F(PaintTest, SelfInvalidatingPaintIsBounded) {
    m_left.m_onPaint = [this] { m_left.Invalidate(FALSE); };
    m_left.Invalidate(FALSE);
    m_manager.Pump(0);
    EXPECT_EQ(m_left.m_nPaints, CWindowManager::kMaxPaintPasses);
}

TEST_F(PaintTest, PaintThatInvalidatesAnotherWindowIsFollowedUp) {
    // The right window invalidates the left one, which comes earlier in paint order.
    m_right.m_onPaint = [this] {
        if (m_right.m_nPaints == 1) m_left.Invalidate(FALSE);
    };
    m_right.Invalidate(FALSE);
    m_manager.Pump(0);
    // The left window paints in the next pass, and the right one again above it.
    const std::vector<std::string> expected = {"right:paint", "left:paint", "right:paint"};
    EXPECT_EQ(LogWith("paint"), expected);
}

TEST_F(PaintTest, UpdateWindowPaintsAtOnce) {
    m_left.Invalidate(FALSE);
    m_left.UpdateWindow();
    EXPECT_EQ(LogWith("left:paint").size(), 1u);
    CRect rc;
    EXPECT_FALSE(m_left.GetUpdateRect(&rc));
}

TEST_F(PaintTest, DestroyingAChildShowsTheParentAgain) {
    m_left.DestroyWindow();
    m_log.clear();
    m_manager.Pump(0);
    // The page repaints where the child was, and so does the sibling that overlapped it.
    const std::vector<std::string> expected = {"page:erase", "page:paint", "right:erase", "right:paint"};
    EXPECT_EQ(m_log, expected);
}

TEST_F(PaintTest, ValidateRectShrinksTheInvalidBox) {
    m_page.Invalidate(FALSE);
    const CRect top(0, 0, 100, 30);
    m_page.ValidateRect(&top);
    CRect rc;
    ASSERT_TRUE(m_page.GetUpdateRect(&rc));
    EXPECT_EQ(rc, CRect(0, 30, 100, 80));
    m_page.ValidateRect(nullptr);
    EXPECT_FALSE(m_page.GetUpdateRect(&rc));
}

}  // namespace
