#include <gtest/gtest.h>

#include "PlotTestSupport.h"

namespace {
// 512 samples at 0.1 axis units each, y band -1..1, in the standard 400 x 100 plot.
struct RangedPlot : ::testing::Test {
    std::vector<float> samples = DampedSine(512);
    CLinePlotWnd plot;
    void SetUp() override {
        SetStandardFrame(plot);
        plot.AddLine(0, 512, RGB(0, 128, 0), 0, 0, 1, samples.data());
        plot.SetYAxis(0.0f, 1.0f, -1.0f, 2.0f, "");
        plot.SetXAxis(0.0f, 0.1f, "Time");
        plot.SetYRange(-1.0f, 1.0f);
        plot.SetXRange(0.0f, 51.2f);
    }
    std::pair<float, float> X() const {
        float lo, hi;
        plot.GetXRange(&lo, &hi);
        return {lo, hi};
    }
    std::pair<float, float> Y() const {
        float lo, hi;
        plot.GetYRange(&lo, &hi);
        return {lo, hi};
    }
};
}  // namespace

TEST_F(RangedPlot, ClampingAndRefusals) {
    plot.SetXRange(-5.0f, 100.0f);  // clamped to the data
    EXPECT_FLOAT_EQ(X().first, 0.0f);
    EXPECT_FLOAT_EQ(X().second, 51.2f);
    EXPECT_FLOAT_EQ(plot.m_fXPixelsPerSample, 400.0f / 512.0f);

    plot.SetXRange(10.0f, 20.0f);
    const auto before = X();
    struct Row { float low, high; } refused[] = {
        {3.0f, 3.0f},      // empty
        {4.0f, 2.0f},      // inverted
        {60.0f, 70.0f},    // empty after clamping to the data
    };
    for (const Row& r : refused) {
        plot.SetXRange(r.low, r.high);
        EXPECT_EQ(X(), before) << r.low;
    }
    plot.SetYRange(-3.0f, 0.5f);  // y clamps to the band
    EXPECT_FLOAT_EQ(Y().first, -1.0f);
    EXPECT_FLOAT_EQ(Y().second, 0.5f);
}

TEST_F(RangedPlot, RangesBeforeAndAfterAreRecorded) {
    plot.SetXRange(10.0f, 20.0f);
    EXPECT_FLOAT_EQ(plot.m_rangeBefore[0], 0.0f);
    EXPECT_FLOAT_EQ(plot.m_rangeBefore[1], 51.2f);
    EXPECT_FLOAT_EQ(plot.m_rangeAfter[0], 10.0f);
    EXPECT_FLOAT_EQ(plot.m_rangeAfter[1], 20.0f);
    plot.SetYRange(0.0f, 0.5f);
    EXPECT_FLOAT_EQ(plot.m_rangeBefore[3], 1.0f);
    EXPECT_FLOAT_EQ(plot.m_rangeAfter[3], 0.5f);
}

TEST_F(RangedPlot, UnclampedViewGoesBeyondTheData) {
    plot.m_bClampX = 0;
    plot.SetXRange(-0.5f, 20.0f);
    EXPECT_FLOAT_EQ(plot.m_fXViewStart, -5.0f);
}

TEST_F(RangedPlot, PixelMapping) {
    plot.SetXRange(10.0f, 30.0f);  // 200 samples in 400 pixels: 2 pixels per sample
    float x = 123, y = 456;
    struct Row { int px, py; bool inside; } rows[] = {
        {55, 20, true},     // top-left corner is inside
        {454, 119, true},
        {455, 60, false},   // right edge is outside
        {100, 120, false},  // bottom edge is outside
        {54, 60, false},
    };
    for (const Row& r : rows) EXPECT_EQ(plot.PixelToData(r.px, r.py, &x, &y), r.inside) << r.px << "," << r.py;
    x = 123;
    EXPECT_FALSE(plot.PixelToData(0, 0, &x, &y));
    EXPECT_EQ(x, 123.0f);  // untouched

    ASSERT_TRUE(plot.PixelToData(255, 70, &x, &y));
    EXPECT_FLOAT_EQ(x, 20.0f);
    EXPECT_FLOAT_EQ(y, 0.0f);
    CPoint p;
    plot.DataToPixel(20.0f, 0.0f, &p);
    EXPECT_EQ(p, CPoint(255, 70));
    plot.DataToPixel(10.0f, -1.0f, &p);
    EXPECT_EQ(p, CPoint(55, 120));
    plot.DataToPixel(1e30f, 1e30f, &p);  // saturates instead of overflowing
    EXPECT_EQ(p.x, 2147483647);
}

TEST_F(RangedPlot, TurnedPlotMapsXUpward) {
    plot.m_bXAxisHorizontal = 0;
    plot.m_bClampX = 0;
    plot.m_bClampY = 0;
    plot.SetXRange(0.0f, 10.0f);  // 100 samples over the 100-pixel height
    plot.SetYRange(-1.0f, 1.0f);  // over the 400-pixel width
    CPoint p;
    plot.DataToPixel(5.0f, 0.0f, &p);
    EXPECT_EQ(p, CPoint(455 - 200, 120 - 50));
    float x, y;
    ASSERT_TRUE(plot.PixelToData(p.x, p.y, &x, &y));
    EXPECT_FLOAT_EQ(x, 5.0f);
    EXPECT_FLOAT_EQ(y, 0.0f);
}

TEST_F(RangedPlot, ZoomToDataRectWidensAnEmptyBox) {
    plot.ZoomToDataRect(10.0f, -0.5f, 10.0f, 0.5f);
    EXPECT_FLOAT_EQ(X().first, 10.0f);
    EXPECT_NEAR(X().second, 10.4f, 1e-5);
    plot.SetXRange(5.0f, 15.0f);
    plot.ZoomToDataRect(0.0f, -0.5f, 0.0f, 0.5f);  // 0 x 1.04 is still 0: x stays
    EXPECT_FLOAT_EQ(X().first, 5.0f);
    EXPECT_FLOAT_EQ(X().second, 15.0f);
    plot.ZoomToDataRect(30.0f, 0.5f, 20.0f, -0.5f);  // corners in any order
    EXPECT_FLOAT_EQ(X().first, 20.0f);
    EXPECT_FLOAT_EQ(Y().second, 0.5f);
}

TEST_F(RangedPlot, ZoomDragFactors) {
    plot.SetXRange(10.0f, 30.0f);
    plot.BeginViewDrag(CPoint(255, 70));  // anchor x = 20
    plot.ZoomDragTo(CPoint(255 + 200, 70), 1);  // +W/2: fx = 2, the range about the anchor halves
    EXPECT_FLOAT_EQ(X().first, 15.0f);
    EXPECT_FLOAT_EQ(X().second, 25.0f);
    plot.ZoomDragTo(CPoint(255, 70), 1);  // back at the press point: the ranges of the press
    EXPECT_FLOAT_EQ(X().first, 10.0f);
    EXPECT_FLOAT_EQ(X().second, 30.0f);
    plot.ZoomDragTo(CPoint(255 - 200, 70), 1);  // -W/2: fx = 0 becomes 1/W, 400-fold wider, clamped
    EXPECT_FLOAT_EQ(X().first, 0.0f);
    EXPECT_FLOAT_EQ(X().second, 51.2f);
    EXPECT_EQ(plot.m_bButtonDown, 0);

    plot.SetXRange(10.0f, 30.0f);
    plot.BeginViewDrag(CPoint(255, 70));
    plot.ZoomDragTo(CPoint(255, 70 + 50), 2);  // +H/2 in y only
    EXPECT_FLOAT_EQ(Y().first, -0.5f);
    EXPECT_FLOAT_EQ(Y().second, 0.5f);
    EXPECT_FLOAT_EQ(X().first, 10.0f);
}

TEST_F(RangedPlot, PanDrag) {
    plot.SetXRange(0.0f, 20.0f);
    // Dragging right at the start of the data would show what lies before it: refused.
    plot.PanDragTo(CPoint(100, 70), CPoint(140, 70), 4);
    EXPECT_FLOAT_EQ(X().first, 0.0f);
    plot.PanDragTo(CPoint(140, 70), CPoint(100, 70), 4);  // left by 40 pixels = 2 axis units
    EXPECT_FLOAT_EQ(X().first, 2.0f);
    EXPECT_FLOAT_EQ(X().second, 22.0f);

    plot.SetYRange(-0.5f, 0.5f);
    plot.PanDragTo(CPoint(100, 70), CPoint(100, 95), 5);  // down 25 px: the view moves up by 0.25
    EXPECT_FLOAT_EQ(Y().first, -0.25f);
    plot.PanDragTo(CPoint(100, 20), CPoint(100, 119), 5);  // far beyond the band: clamped, not refused
    EXPECT_FLOAT_EQ(Y().second, 1.0f);
}

TEST_F(RangedPlot, AspectLockCouplesTheAxes) {
    plot.m_bClampY = 0;
    plot.m_bLockAspect = 1;
    plot.m_fAspectRatio = 2.0f;
    plot.SetXRange(10.0f, 30.0f);  // kx = 2, so ky = 4
    EXPECT_FLOAT_EQ(plot.m_fYPixelsPerUnit, 4.0f);
    EXPECT_FLOAT_EQ(Y().second - Y().first, 25.0f);
}

TEST_F(RangedPlot, ScrollToPositions) {
    plot.SetXRange(0.0f, 25.6f);  // half the data visible
    plot.ScrollXTo(50, 100);
    EXPECT_FLOAT_EQ(plot.m_fXViewStart, 128.0f);
    plot.ScrollXTo(7, 0);
    EXPECT_FLOAT_EQ(plot.m_fXViewStart, 0.0f);
    plot.SetYRange(-1.0f, 0.0f);
    plot.ScrollYTo(0, 100);  // the top of the bar shows the top of the band
    EXPECT_FLOAT_EQ(Y().second, 1.0f);
    plot.SetXRange(0.0f, 51.2f);
    plot.ScrollXTo(50, 100);  // everything visible: back to the start
    EXPECT_FLOAT_EQ(plot.m_fXViewStart, 0.0f);
}

TEST_F(RangedPlot, ZeroSizedPlotKeepsTheView) {
    plot.SetXRange(10.0f, 20.0f);
    plot.SetFrameRect(CRect(0, 0, 65, 175));  // margins eat the width
    plot.SetXRange(0.0f, 5.0f);
    plot.RememberViewRange();
    SetStandardFrame(plot);
    EXPECT_FLOAT_EQ(X().first, 10.0f);
    EXPECT_FLOAT_EQ(X().second, 20.0f);
}
