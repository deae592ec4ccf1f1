// The plot as a child window: painting through the window manager, the fast redraw from the cached
// axes, resizing with the range kept, scroll messages, and the golden picture of a damped sine.
#include <gtest/gtest.h>

#include <cstdlib>

#include "PlotTestSupport.h"
#include "platform/gdi/CBitmap.h"
#include "platform/gdi/Png.h"
#include "platform/win/CWindowManager.h"
#include "platform/win/CWnd.h"

namespace {

constexpr DWORD kPlotStyle = 0x5000020E;
constexpr UINT kPlotId = 911;

// A page window holding one plot child, as the A-scan control holds its plot.
struct PlotWindow : ::testing::Test {
    CWindowManager wm;
    CWnd page;
    CLinePlotWnd* plot = new CLinePlotWnd;
    std::vector<float> samples = DampedSine(20000, 24.0f, 5.0f);

    void SetUp() override {
        ASSERT_TRUE(page.CreateEx(0, nullptr, "page", WS_POPUP | WS_VISIBLE, CRect(0, 0, 600, 260), nullptr, 0));
        plot->SetFrameRect(CRect(0, 0, 600, 260));
        ASSERT_TRUE(plot->Create(nullptr, nullptr, kPlotStyle, CRect(0, 0, 600, 260), &page, kPlotId));
        plot->MouseMode = 0;
        plot->m_nCaptionStrip = 0;
        plot->AddLine(0, static_cast<int>(samples.size()), RGB(0, 128, 0), 0, 0, 1, samples.data());
        plot->SetYAxis(0.0f, 1.0f, -1.0f, 2.0f, "");
        plot->SetXAxis(0.0f, 0.01f, "Time (us)");
        plot->SetYRange(-1.0f, 1.0f);
        plot->SetXRange(0.0f, 200.0f);
        plot->m_bKeepRangeOnResize = 1;
        plot->RememberViewRange();
        plot->Invalidate(FALSE);
        wm.Pump(0);
    }
    void TearDown() override {
        plot->DestroyWindow();
        delete plot;
        page.DestroyWindow();
    }
    COLORREF At(int x, int y) const {
        const CBitmap* s = wm.GetSurface(page.m_hWnd);
        return s->GetPixels()[y * s->GetWidth() + x];
    }
};

}  // namespace

TEST_F(PlotWindow, GoldenDampedSine) {
    const CBitmap* surface = wm.GetSurface(page.m_hWnd);
    ASSERT_NE(surface, nullptr);
    const std::string golden = std::string(ORVEX_SOURCE_DIR) + "/tests/golden/lineplot_damped_sine.png";
    const std::string actual = std::string(ORVEX_BINARY_DIR) + "/lineplot_damped_sine.png";
    ASSERT_TRUE(SaveBitmapPng(*surface, actual));
    if (std::getenv("ORVEX_REGENERATE_GOLDEN")) {
        ASSERT_TRUE(SaveBitmapPng(*surface, golden));
    }
    CBitmap expected;
    ASSERT_TRUE(LoadBitmapPng(golden, expected)) << "missing " << golden;
    ASSERT_EQ(expected.GetWidth(), surface->GetWidth());
    ASSERT_EQ(expected.GetHeight(), surface->GetHeight());
    int differing = 0;
    for (int i = 0; i < surface->GetWidth() * surface->GetHeight(); ++i)
        differing += expected.GetPixels()[i] != surface->GetPixels()[i];
    EXPECT_EQ(differing, 0) << "compare " << actual << " with " << golden;
}

TEST_F(PlotWindow, ResizeKeepsTheRange) {
    float lo0, hi0, ylo0, yhi0;
    plot->SetXRange(20.0f, 80.0f);
    plot->GetXRange(&lo0, &hi0);
    plot->GetYRange(&ylo0, &yhi0);
    const float kx0 = plot->m_fXPixelsPerSample;
    // As the A-scan control does: remember, set the new frame, then the size message.
    plot->RememberViewRange();
    plot->SetFrameRect(CRect(0, 0, 400, 200));
    plot->SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(400, 200));
    float lo, hi, ylo, yhi;
    plot->GetXRange(&lo, &hi);
    plot->GetYRange(&ylo, &yhi);
    EXPECT_NEAR(lo, lo0, 1e-4);
    EXPECT_NEAR(hi, hi0, 1e-4);
    EXPECT_NEAR(ylo, ylo0, 1e-5);
    EXPECT_NEAR(yhi, yhi0, 1e-5);
    EXPECT_LT(plot->m_fXPixelsPerSample, kx0);  // same range, fewer pixels
}

TEST_F(PlotWindow, RedrawFromBackgroundReusesTheLastAxes) {
    const CRect P = plot->GetPlotRect();
    // Row under the x axis where the tick numbers are: remember it, change the view without a
    // repaint, redraw fast: the numbers are still those of the last full render.
    std::vector<COLORREF> before;
    for (int x = P.left; x < P.right; ++x) before.push_back(At(x, P.bottom + 10));
    plot->SetXRange(3.0f, 7.0f);
    plot->RedrawFromBackground(1);
    std::vector<COLORREF> after;
    for (int x = P.left; x < P.right; ++x) after.push_back(At(x, P.bottom + 10));
    EXPECT_EQ(before, after);
    plot->Invalidate(FALSE);
    wm.Pump(0);  // a full render draws the new numbers
    std::vector<COLORREF> rendered;
    for (int x = P.left; x < P.right; ++x) rendered.push_back(At(x, P.bottom + 10));
    EXPECT_NE(before, rendered);
}

TEST_F(PlotWindow, ScrollMessagesMoveTheView) {
    plot->m_bShowScrollBars = 1;
    plot->m_fXViewStart = 0.0f;
    plot->m_fXPixelsPerSample = 0.25f;  // 535 pixels show 2140 of the 20000 samples
    plot->UpdateScrollBars();
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    plot->GetScrollInfo(SB_HORZ, &si, SIF_ALL);
    EXPECT_EQ(si.nPage, 10u);  // trunc(100 x 2140 / 20000)
    EXPECT_EQ(si.nPos, 0);
    plot->SendMessage(WM_HSCROLL, MAKEWPARAM(SB_LINEDOWN, 0), 0);  // a tenth of the page: 1 of 90
    EXPECT_NEAR(plot->m_fXViewStart, 17860.0f / 90.0f, 1e-2);
    plot->SendMessage(WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 45), 0);
    EXPECT_NEAR(plot->m_fXViewStart, 8930.0f, 1e-2);
    plot->UpdateScrollBars();
    plot->GetScrollInfo(SB_HORZ, &si, SIF_ALL);
    EXPECT_EQ(si.nPos, 44);  // the bar scales by 100 - 10.7, the untruncated page: 8930 x 89.3 / 17860
    plot->SendMessage(WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 90), 0);  // the far end
    float lo, hi;
    plot->GetXRange(&lo, &hi);
    EXPECT_NEAR(hi, 200.0f, 1e-3);
    plot->SendMessage(WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 500), 0);  // clamped to the limit
    plot->GetXRange(&lo, &hi);
    EXPECT_NEAR(hi, 200.0f, 1e-3);
    plot->SetXRange(0.0f, 200.0f);  // all visible: page = maximum, position 0
    plot->UpdateScrollBars();
    plot->GetScrollInfo(SB_HORZ, &si, SIF_ALL);
    EXPECT_EQ(si.nPage, static_cast<UINT>(si.nMax));
    EXPECT_EQ(si.nPos, 0);
}

TEST(PlotReadoutTest, ReadoutWindowShowsTheValuesUnderTheMouse) {
    CWindowManager wm;
    CWnd readout;
    ASSERT_TRUE(readout.CreateEx(0, nullptr, "", WS_POPUP, CRect(0, 0, 10, 10), nullptr, 0));
    std::vector<float> samples = DampedSine(512);
    CLinePlotWnd plot;
    SetStandardFrame(plot);
    plot.AddLine(0, 512, RGB(0, 128, 0), 0, 0, 1, samples.data());
    plot.SetYAxis(0.0f, 1.0f, -1.0f, 2.0f, "");
    plot.SetXAxis(0.0f, 0.1f, "");
    plot.SetYRange(-1.0f, 1.0f);
    plot.SetXRange(10.0f, 30.0f);  // 0.05 axis units per pixel in x, 0.02 in y
    plot.m_hReadoutWnd = readout.m_hWnd;
    plot.m_nXDecimals = 2;
    plot.m_nYDecimals = 3;
    std::string text;
    plot.UpdateReadout(nullptr, CPoint(105, 45));
    readout.GetWindowText(text);
    EXPECT_EQ(text, "( 12.50, 0.5000)      ");
    plot.UpdateReadout(nullptr, CPoint(5, 45));  // outside the plot: unchanged
    readout.GetWindowText(text);
    EXPECT_EQ(text, "( 12.50, 0.5000)      ");
    plot.m_bButtonDown = 1;  // while dragging: the distance from the press point
    plot.m_ptPress = CPoint(55, 70);
    plot.UpdateReadout(nullptr, CPoint(105, 45));
    readout.GetWindowText(text);
    EXPECT_EQ(text, "<2.50,0.5000>");
    readout.DestroyWindow();
}
