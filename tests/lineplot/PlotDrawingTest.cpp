// Pixel checks of the trace, axis and paint paths on small bitmaps, and the golden picture.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "PlotTestSupport.h"
#include "platform/gdi/CBitmap.h"
#include "platform/gdi/CDC.h"
#include "platform/gdi/Png.h"
#include "platform/win/CWindowManager.h"
#include "platform/win/CWnd.h"
#include "platform/win/SysColor.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

// Gives a plot without a window the memory context and back buffers a window would give it.
void AttachBackBuffers(CLinePlotWnd& plot, int w, int h) {
    plot.m_pMemDC = new CDC;
    plot.m_pMemDC->CreateCompatibleDC(nullptr);
    plot.RebuildBackBuffers(w, h);
}

}  // namespace

TEST(PlotDrawingTest, TraceIsClippedToThePlotOnScreenButNotDirect) {
    std::vector<float> samples(512, 0.0f);
    samples[200] = 5.0f;  // far above the visible band
    CLinePlotWnd plot;
    LoadPlot(plot, samples);
    const CRect P = plot.GetPlotRect();
    {
        Canvas c(465, 175);
        plot.DrawLines(&c.dc);
        EXPECT_EQ(c.At(100, 70), kTrace);  // the zero line runs through the middle
        EXPECT_EQ(c.Count(CRect(0, 0, 465, P.top), kTrace), 0);
        EXPECT_GT(c.Count(CRect(P.left, P.top, P.right, P.top + 1), kTrace), 0);  // the spike reaches the edge
    }
    {
        Canvas c(465, 175);
        plot.DrawLinesDirect(&c.dc);
        EXPECT_GT(c.Count(CRect(0, 0, 465, P.top), kTrace), 0);  // beyond the plot rectangle
    }
}

TEST(PlotDrawingTest, ViewStartBeforeTheData) {
    std::vector<float> samples(512, 0.0f);
    CLinePlotWnd plot;
    LoadPlot(plot, samples);
    plot.m_fXViewStart = -5.0f;
    plot.m_fXPixelsPerSample = 2.0f;
    Canvas c(465, 175);
    plot.DrawLines(&c.dc);
    const CRect P = plot.GetPlotRect();
    EXPECT_EQ(c.Count(CRect(P.left, P.top, P.left + 10, P.bottom), kTrace), 0);
    EXPECT_EQ(c.At(P.left + 10, 70), kTrace);
    EXPECT_EQ(c.At(P.right - 1, 70), kTrace);
    EXPECT_EQ(c.At(P.right, 70), kWhite);  // clipped at the right edge
}

TEST(PlotDrawingTest, TraceFlags) {
    std::vector<float> samples = DampedSine(512);
    struct Row { int flags; bool drawn; } rows[] = {
        {0, false},  // bit 0 clear: not drawn
        {2, false},  // XOR alone does not draw either
        {1, true},
        {3, true},   // XOR: drawn, and drawn twice restores
    };
    for (const Row& r : rows) {
        CLinePlotWnd plot;
        LoadPlot(plot, samples, r.flags);
        Canvas c(465, 175);
        c.dc.FillSolidRect(100, 30, 200, 80, RGB(10, 200, 30));
        plot.DrawLines(&c.dc);
        const int untouched = c.Count(CRect(0, 0, 465, 175), kWhite) + c.Count(CRect(0, 0, 465, 175), RGB(10, 200, 30));
        EXPECT_EQ(untouched < 465 * 175, r.drawn) << r.flags;
        if (r.flags & 2) {
            plot.DrawLines(&c.dc);
            EXPECT_EQ(c.Count(CRect(0, 0, 465, 175), kWhite) + c.Count(CRect(0, 0, 465, 175), RGB(10, 200, 30)),
                      465 * 175);
        }
    }
}

TEST(PlotDrawingTest, CountOneLineDrawsNoTraces) {
    std::vector<float> one = {0.5f};
    CLinePlotWnd plot;
    LoadPlot(plot, one);
    Canvas c(465, 175);
    plot.DrawLines(&c.dc);
    EXPECT_EQ(c.Count(CRect(0, 0, 465, 175), kTrace), 0);
}

TEST(PlotDrawingTest, XAxisFrom0To51Ticks10To50) {
    std::vector<float> samples(512, 0.0f);
    CLinePlotWnd plot;
    LoadPlot(plot, samples);
    plot.m_bXGrid = 0;
    plot.m_bYGrid = 0;
    Canvas c(465, 175);
    plot.DrawAxes(&c.dc);
    const CRect P = plot.GetPlotRect();
    // Tick marks hang below the axis line; scan a row just under it for black runs.
    std::vector<int> ticks;
    for (int x = P.left - 5; x <= P.right + 5; ++x)
        if (c.At(x, P.bottom + 3) == kBlack && c.At(x - 1, P.bottom + 3) != kBlack) ticks.push_back(x);
    ASSERT_EQ(ticks.size(), 5u);
    for (int k = 0; k < 5; ++k) {
        const int expected = P.left + (k + 1) * 100 * 400 / 512;  // 10 axis units = 100 samples
        EXPECT_NEAR(ticks[static_cast<size_t>(k)], expected, 2) << "tick " << (k + 1) * 10;
    }
    // The frame: corners of the plot rectangle, right and bottom edges included.
    EXPECT_EQ(c.At(P.left, P.top), kBlack);
    EXPECT_EQ(c.At(P.right, P.bottom), kBlack);
    EXPECT_EQ(c.At(P.right, P.top + 10), kBlack);
}

TEST(PlotDrawingTest, AxesLeaveTheContextAsTheyFoundIt) {
    std::vector<float> samples = DampedSine(512);
    CLinePlotWnd plot;
    LoadPlot(plot, samples);
    Canvas c(465, 175);
    c.dc.SetTextAlign(TA_RIGHT);
    c.dc.SetBkMode(OPAQUE);
    plot.DrawAxes(&c.dc);
    plot.DrawAxesDirect(&c.dc);
    EXPECT_EQ(c.dc.GetMapMode(), MM_TEXT);
    EXPECT_EQ(c.dc.GetTextAlign(), TA_RIGHT);
    EXPECT_EQ(c.dc.GetBkMode(), OPAQUE);
    EXPECT_EQ(c.dc.GetViewportOrg(), CPoint(0, 0));
}

TEST(PlotDrawingTest, PrintIntoADoubleWidthRectangle) {
    std::vector<float> samples(512, 0.0f);
    CLinePlotWnd plot;
    LoadPlot(plot, samples);
    Canvas c(1000, 200);
    c.dc.SetViewportOrg(3, 4);
    plot.PrintPlot(CRect(20, 10, 20 + 930, 10 + 175), &c.dc);
    EXPECT_EQ(c.dc.GetMapMode(), MM_TEXT);
    EXPECT_EQ(c.dc.GetViewportOrg(), CPoint(3, 4));
    EXPECT_EQ(plot.m_bPrinting, 0);
    EXPECT_EQ(plot.m_pPrintDC, nullptr);
    // The page rectangle replaces the origins while printing: the frame's left and right edges land
    // at twice their x from its left edge, at the same height.
    EXPECT_EQ(c.At(20 + 2 * 55, 10 + 40), kBlack);
    EXPECT_EQ(c.At(20 + 2 * 455, 10 + 40), kBlack);
    EXPECT_EQ(c.At(20 + 2 * 55 - 1, 10 + 40), kWhite);
    // The zero trace runs between them at the middle height, clipped in device units.
    EXPECT_EQ(c.At(20 + 600, 10 + 70), kTrace);
    EXPECT_EQ(c.At(20 + 2 * 454 - 2, 10 + 70), kTrace);  // the last sample lands at logical x 454
    EXPECT_EQ(c.At(20 + 2 * 455 + 3, 10 + 70), kWhite);
}

TEST(PlotDrawingTest, RenderNeedsBackBuffersAndAFrame) {
    std::vector<float> samples = DampedSine(512);
    CLinePlotWnd plot;
    LoadPlot(plot, samples);
    Canvas c(465, 175);
    c.dc.FillSolidRect(0, 0, 465, 175, RGB(1, 2, 3));
    plot.Render(&c.dc, 0);  // before the first size change: nothing to compose
    EXPECT_EQ(c.Count(CRect(0, 0, 465, 175), RGB(1, 2, 3)), 465 * 175);
    AttachBackBuffers(plot, 465, 175);
    plot.SetFrameRect(CRect(0, 0, 0, 175));
    plot.Render(&c.dc, 0);  // a frame without width draws nothing
    EXPECT_EQ(c.Count(CRect(0, 0, 465, 175), RGB(1, 2, 3)), 465 * 175);
    SetStandardFrame(plot);
    plot.Render(&c.dc, 0);
    EXPECT_EQ(c.At(2, 2), kWhite);
}

TEST(PlotDrawingTest, CaptionStripAndFocusMark) {
    std::vector<float> samples = DampedSine(512);
    CLinePlotWnd plot;
    LoadPlot(plot, samples);
    AttachBackBuffers(plot, 465, 175);
    plot.m_nCaptionStrip = 1;
    plot.m_nCaptionActive = 1;
    Canvas c(465, 175);
    plot.Render(&c.dc, 0);
    EXPECT_EQ(c.Count(CRect(0, 0, 465, 3), GetSysColor(COLOR_ACTIVECAPTION)), 465 * 3);
    EXPECT_NE(c.At(10, 3), GetSysColor(COLOR_ACTIVECAPTION));
}

TEST(PlotDrawingTest, DirectDrawingForPrinters) {
    std::vector<float> samples = DampedSine(512);
    CLinePlotWnd plot;
    LoadPlot(plot, samples);
    Canvas c(465, 175);
    c.dc.SetTechnology(DT_RASPRINTER);
    const COLORREF paper = RGB(250, 240, 200);
    c.dc.FillSolidRect(0, 0, 465, 175, paper);
    plot.DrawToDC(&c.dc);
    if (std::getenv("ORVEX_KEEP_PICTURES")) SaveBitmapPng(c.bitmap, "lineplot_direct.png");
    const CRect P = plot.GetPlotRect();
    EXPECT_EQ(c.At(5, 5), paper);              // nothing is filled white first
    EXPECT_EQ(c.At(P.left + 50, P.top + 7), paper);  // inside the plot only grid and trace
    EXPECT_GT(c.Count(P, kTrace), 100);
    EXPECT_EQ(c.At(P.left, P.top + 30), kBlack);  // the axis line
    EXPECT_EQ(c.At(P.right, P.top + 30), kBlack); // the frame
    EXPECT_EQ(c.dc.GetTextAlign(), TA_LEFT | TA_TOP);
}
