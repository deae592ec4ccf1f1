// The axes of a turned plot (x up the vertical edge, y leftward along the horizontal one): each
// axis shows its own values in its own direction, on both the measured and the direct path.
#include <gtest/gtest.h>

#include <set>

#include "PlotTestSupport.h"

namespace {

constexpr COLORREF kBlack = RGB(0, 0, 0);

enum class Path { Measured, Direct };

void DrawAxesOn(CLinePlotWnd& plot, Canvas& c, Path path) {
    if (path == Path::Measured) plot.DrawAxes(&c.dc);
    else plot.DrawAxesDirect(&c.dc);
}

// Columns of black pixels in one row between two columns.
std::set<int> BlackColumns(const Canvas& c, int row, int from, int to) {
    std::set<int> columns;
    for (int x = from; x < to; ++x)
        if (c.At(x, row) == kBlack) columns.insert(x);
    return columns;
}

// Whether the two sets are equally large and every column of `a` has one of `b` within two pixels
// (the measured path places ticks in 0.01 inch, truncating toward the axis start: mirroring the
// axis moves a tick by up to two pixels).
bool SameWithinTwoPixels(const std::set<int>& a, const std::set<int>& b) {
    if (a.size() != b.size()) return false;
    for (int x : a) {
        bool near = false;
        for (int d = -2; d <= 2; ++d) near = near || b.count(x + d);
        if (!near) return false;
    }
    return true;
}

}  // namespace

TEST(PlotTurnedAxesTest, XRunsUpTheLeftEdgeAsAnUprightPlotsYWould) {
    // A turned plot showing 0..51.2 us over its height draws the left axis exactly as an upright
    // plot whose y axis shows 0..51.2 with the same title: same routine, same values, same place.
    std::vector<float> samples(512, 0.0f);
    for (Path path : {Path::Measured, Path::Direct}) {
        SCOPED_TRACE(path == Path::Measured ? "measured" : "direct");
        CLinePlotWnd turned;
        turned.m_bXAxisHorizontal = 0;
        LoadPlot(turned, samples);
        CLinePlotWnd upright;
        LoadPlot(upright, samples);
        upright.SetYAxis(0.0f, 0.1f, 0.0f, 51.2f, "Time (us)");
        upright.SetYRange(0.0f, 51.2f);
        upright.m_strXLabel.clear();
        // The bottom axes differ (y in one, x in the other); their grid lines would cross the plot.
        turned.m_bYGrid = 0;
        upright.m_bXGrid = 0;

        Canvas a(465, 175), b(465, 175);
        DrawAxesOn(turned, a, path);
        DrawAxesOn(upright, b, path);
        const CRect P = turned.GetPlotRect();
        // The left band and the plot above the bottom axis's labels.
        int differing = 0;
        for (int y = 0; y < P.bottom; ++y)
            for (int x = 0; x < P.right; ++x) differing += a.At(x, y) != b.At(x, y);
        EXPECT_EQ(differing, 0);
        // The axis has tick marks, so the comparison compares something.
        EXPECT_GT(a.Count(CRect(P.left - 6, P.top, P.left, P.bottom), kBlack), 6);
    }
}

TEST(PlotTurnedAxesTest, YRunsLeftwardAlongTheBottom) {
    // y grows from the right edge leftward, so its tick marks are those of an upright x axis over
    // the same values mirrored about the plot's middle.
    std::vector<float> samples(512, 0.0f);
    for (Path path : {Path::Measured, Path::Direct}) {
        SCOPED_TRACE(path == Path::Measured ? "measured" : "direct");
        CLinePlotWnd turned;
        turned.m_bXAxisHorizontal = 0;
        LoadPlot(turned, samples);
        turned.m_bYGrid = 0;  // marks only: the grid would hide them
        CLinePlotWnd upright;
        LoadPlot(upright, samples);
        upright.SetXAxis(-1.0f, 2.0f / 512.0f, "");
        upright.SetXRange(-1.0f, 1.0f);
        upright.m_bXGrid = 0;

        Canvas a(465, 175), b(465, 175);
        DrawAxesOn(turned, a, path);
        DrawAxesOn(upright, b, path);
        const CRect P = turned.GetPlotRect();
        const int row = P.bottom + 3;  // through the tick marks, under the axis line
        const std::set<int> marks = BlackColumns(a, row, P.left + 1, P.right);
        std::set<int> mirrored;
        for (int x : BlackColumns(b, row, P.left + 1, P.right)) mirrored.insert(P.left + P.right - x);
        EXPECT_GE(marks.size(), 3u);
        EXPECT_TRUE(SameWithinTwoPixels(marks, mirrored)) << ::testing::PrintToString(marks) << " "
                                                       << ::testing::PrintToString(mirrored);
        // y = 0 is the middle of -1..1.
        const int middle = (P.left + P.right) / 2;
        EXPECT_TRUE(marks.count(middle) || marks.count(middle - 1) || marks.count(middle + 1));
    }
}

TEST(PlotTurnedAxesTest, AxisPositionsTurnWithThePlot) {
    // Rows: positions -> where the ink of the axes goes. Each axis keeps its wide margin when the
    // plot turns (x at the bottom goes left, y on the left goes to the bottom); 0 hides an axis.
    std::vector<float> samples(512, 0.0f);
    const struct {
        int xPos, yPos;
        bool leftInk, bottomInk;
    } rows[] = {
        {4, 1, true, true},
        {0, 1, false, true},   // no x axis: nothing left of the plot
        {4, 0, true, false},   // no y axis: nothing under it
        {3, 1, false, true},   // x on top turns to the right
        {4, 2, true, false},   // y on the right turns to the top
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << "x " << r.xPos << ", y " << r.yPos);
        CLinePlotWnd plot;
        plot.m_bXAxisHorizontal = 0;
        LoadPlot(plot, samples);
        plot.m_nXAxisPos = r.xPos;
        plot.m_nYAxisPos = r.yPos;
        Canvas c(465, 175);
        plot.DrawAxes(&c.dc);
        const CRect P = plot.GetPlotRect();
        EXPECT_EQ(c.Count(CRect(0, P.top, P.left - 1, P.bottom), kBlack) > 0, r.leftInk);
        EXPECT_EQ(c.Count(CRect(P.left, P.bottom + 2, P.right, 175), kBlack) > 0, r.bottomInk);
    }
}
