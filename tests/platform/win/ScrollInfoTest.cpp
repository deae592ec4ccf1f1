// Scroll bar state and scroll message dispatch.
#include "WinTestSupport.h"

#include "platform/win/CScrollBar.h"

namespace {

// Records what OnHScroll and OnVScroll receive.
class CScrollProbe : public CWnd {
public:
    UINT m_nCode = 99;
    UINT m_nPos = 0;
    CScrollBar* m_pBar = reinterpret_cast<CScrollBar*>(1);
    bool m_bVertical = false;

protected:
    void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar) override { Record(nSBCode, nPos, pScrollBar, false); }
    void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar) override { Record(nSBCode, nPos, pScrollBar, true); }

private:
    void Record(UINT code, UINT pos, CScrollBar* bar, bool vertical) {
        m_nCode = code;
        m_nPos = pos;
        m_pBar = bar;
        m_bVertical = vertical;
    }
};

class ScrollInfoTest : public WinTest {
protected:
    void SetUp() override { ASSERT_TRUE(m_wnd.CreateEx(0, nullptr, nullptr, 0, CRect(0, 0, 50, 50), nullptr, 0)); }
    SCROLLINFO Get(int bar) {
        SCROLLINFO si{};
        EXPECT_TRUE(m_wnd.GetScrollInfo(bar, &si));
        return si;
    }
    CScrollProbe m_wnd;
};

TEST_F(ScrollInfoTest, OwnBarsStartWithThePlatformDefaultRange) {
    for (int bar : {SB_HORZ, SB_VERT}) {
        const SCROLLINFO si = Get(bar);
        EXPECT_EQ(si.nMin, 0);
        EXPECT_EQ(si.nMax, 100);
        EXPECT_EQ(si.nPage, 0u);
        EXPECT_EQ(si.nPos, 0);
        EXPECT_EQ(si.fMask, SIF_ALL);  // the framework fills in the mask it asked for
    }
}

TEST_F(ScrollInfoTest, PageAndPositionAreKeptWithinTheRange) {
    struct Case {
        UINT mask;
        int min, max;
        UINT page;
        int pos;
        int wantMin, wantMax;
        UINT wantPage;
        int wantPos;
    };
    const Case cases[] = {
        {SIF_PAGE | SIF_POS, 0, 0, 20, 50, 0, 100, 20, 50},    // plain values inside the default range
        {SIF_PAGE | SIF_POS, 0, 0, 20, 95, 0, 100, 20, 81},    // the last full page starts at 100 - (20 - 1)
        {SIF_PAGE | SIF_POS, 0, 0, 500, 3, 0, 100, 101, 0},    // a page larger than the range is the range
        {SIF_POS, 0, 0, 0, -7, 0, 100, 0, 0},                  // below the minimum
        {SIF_RANGE, 10, 20, 0, 0, 10, 20, 0, 10},              // a new range pulls the position in
        {SIF_RANGE, 20, 10, 0, 0, 0, 0, 0, 0},                 // an inverted range becomes 0..0
        {SIF_RANGE | SIF_POS, -5, 5, 0, 5, -5, 5, 0, 5},       // negative minimum
    };
    for (const Case& c : cases) {
        SCROLLINFO set{sizeof(SCROLLINFO), c.mask, c.min, c.max, c.page, c.pos, 0};
        ASSERT_TRUE(m_wnd.SetScrollInfo(SB_HORZ, &set));
        const SCROLLINFO got = Get(SB_HORZ);
        EXPECT_EQ(got.nMin, c.wantMin);
        EXPECT_EQ(got.nMax, c.wantMax);
        EXPECT_EQ(got.nPage, c.wantPage);
        EXPECT_EQ(got.nPos, c.wantPos);
        // Each row starts from the platform default again.
        SCROLLINFO reset{sizeof(SCROLLINFO), SIF_RANGE | SIF_PAGE | SIF_POS, 0, 100, 0, 0, 0};
        m_wnd.SetScrollInfo(SB_HORZ, &reset);
    }
}

TEST_F(ScrollInfoTest, GetReadsOnlyTheMaskedFields) {
    SCROLLINFO si{};
    si.nPage = 1234;
    si.nMin = -1;
    ASSERT_TRUE(m_wnd.GetScrollInfo(SB_VERT, &si, SIF_POS));
    EXPECT_EQ(si.nPage, 1234u);
    EXPECT_EQ(si.nMin, -1);
    EXPECT_FALSE(m_wnd.GetScrollInfo(7, &si));  // no such bar
}

TEST_F(ScrollInfoTest, ScrollBarControlStartsEmptyAndIsPassedToTheHandler) {
    CScrollBar bar;
    ASSERT_TRUE(bar.Create(WS_VISIBLE, CRect(0, 40, 50, 50), &m_wnd, 5));
    SCROLLINFO si{};
    ASSERT_TRUE(bar.GetScrollInfo(&si));
    EXPECT_EQ(si.nMax, 0);

    m_wnd.SendMessage(WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 42), reinterpret_cast<LPARAM>(bar.m_hWnd));
    EXPECT_EQ(m_wnd.m_nCode, SB_THUMBTRACK);
    EXPECT_EQ(m_wnd.m_nPos, 42u);
    EXPECT_EQ(m_wnd.m_pBar, &bar);
    // From the window's own bar the control is null.
    m_wnd.SendMessage(WM_VSCROLL, MAKEWPARAM(SB_LINEDOWN, 0), 0);
    EXPECT_TRUE(m_wnd.m_bVertical);
    EXPECT_EQ(m_wnd.m_pBar, nullptr);
}

}  // namespace
