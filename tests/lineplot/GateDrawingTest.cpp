// Gate figures on a page of plots: the golden picture with every figure and pixel checks of each
// figure's geometry, clipping, labels and the paths that draw gates.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "PlotTestSupport.h"
#include "platform/gdi/CBitmap.h"
#include "platform/gdi/Png.h"
#include "platform/win/CWindowManager.h"
#include "platform/win/CWnd.h"

namespace {

using W = CLinePlotWnd;
constexpr COLORREF kRed = RGB(200, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 220);
constexpr COLORREF kPurple = RGB(150, 0, 150);
constexpr COLORREF kOrange = RGB(230, 120, 0);
constexpr int kPlotW = 440, kPlotH = 200;  // plot rectangle (55, 20)-(430, 145)

// A page of six plots in two columns; each gets a trace and a handful of gates.
struct GatePage : ::testing::Test {
    CWindowManager wm;
    CWnd page;
    std::vector<std::unique_ptr<CLinePlotWnd>> plots;
    std::vector<float> samples = DampedSine(512, 10.0f, 3.0f);

    CLinePlotWnd& MakePlot(int index, bool turned = false) {
        auto plot = std::make_unique<CLinePlotWnd>();
        const CRect frame(0, 0, kPlotW, kPlotH);
        plot->SetFrameRect(frame);
        const int x = (index % 2) * kPlotW, y = (index / 2) * kPlotH;
        EXPECT_TRUE(plot->Create(nullptr, nullptr, 0x5000020E, CRect(x, y, x + kPlotW, y + kPlotH), &page, 900 + index));
        plot->m_bXAxisHorizontal = turned ? 0 : 1;
        plot->AddLine(0, 512, RGB(0, 128, 0), 0, 0, 1, samples.data());
        plot->SetYAxis(0.0f, 1.0f, -2.0f, 4.0f, "Amplitude");
        plot->SetXAxis(0.0f, 0.1f, "Time (us)");
        plot->SetYRange(-2.0f, 2.0f);
        plot->SetXRange(0.0f, 51.2f);
        plots.push_back(std::move(plot));
        return *plots.back();
    }
    static void Add(CLinePlotWnd& plot, int id, GateData d, const char* label, COLORREF colour, int kind, int width = 0) {
        plot.AddGate(id, &d, label, colour, width, PS_SOLID, kind);
    }

    void SetUp() override {
        ASSERT_TRUE(page.CreateEx(0, nullptr, "page", WS_POPUP | WS_VISIBLE, CRect(0, 0, 2 * kPlotW, 3 * kPlotH), nullptr, 0));
        const int L = W::kGateLabel, X = W::kGateX, Y = W::kGateY;

        CLinePlotWnd& a = MakePlot(0);  // x gates: band, line, bar, crossed-out end
        Add(a, 1, {5, 0, 12, 0}, "Band", kRed, W::kGateBand | X | L);
        Add(a, 2, {20, 0, 20, 0}, "Line", kBlue, W::kGateLine | X | L);
        Add(a, 3, {28, 1.2f, 40, 0}, "Bar", kPurple, W::kGateBar | X | L, 2);
        Add(a, 4, {0, 0, 46, 0}, "", kOrange, W::kGateCrossEnd | X);

        CLinePlotWnd& b = MakePlot(1);  // x window, y band, crossed-out start
        Add(b, 1, {12, -1, 24, 1}, "Window", kRed, W::kGateWindow | X | L);
        Add(b, 2, {0, 1.2f, 0, 1.7f}, "Y band", kBlue, W::kGateBand | Y | L);
        Add(b, 3, {5, 0, 0, 0}, "", kOrange, W::kGateCrossStart | X);

        CLinePlotWnd& c = MakePlot(2);  // boxes and a crosshair
        Add(c, 1, {5, 0.8f, 15, 1.6f}, "Box", kRed, W::kGateBox | X | L);
        Add(c, 2, {20, -1.5f, 30, 1.5f}, "Marks", kBlue, W::kGateBox | W::kGateCornerMarks | X | L);
        Add(c, 3, {40, -1.2f, 0, 0}, "Cross", kPurple, W::kGateCrosshair | L);

        CLinePlotWnd& d = MakePlot(3);  // segments and a circle
        Add(d, 1, {5, -1.5f, 15, 1.5f}, "Start", kRed, W::kGateSegment | L);
        Add(d, 2, {20, -1.5f, 30, 1.0f}, "End", kBlue, W::kGateSegmentEndLabel | L);
        Add(d, 3, {42, 0, 46, 0}, "Circle", kPurple, W::kGateCircle | L);
        Add(d, 4, {36, 1.5f, 80, 6}, "", kOrange, W::kGateSegment);  // runs out of the plot: clipped

        CLinePlotWnd& e = MakePlot(4, true);  // a turned plot: x band and y bar change direction
        Add(e, 1, {10, 0, 20, 0}, "Band", kRed, W::kGateBand | X | L);
        Add(e, 2, {35, -1, 0, 1}, "Bar", kBlue, W::kGateBar | Y | L);

        CLinePlotWnd& f = MakePlot(5);  // y gates, and an x band being dragged
        Add(f, 1, {0, -1.5f, 0, 1.5f}, "", kOrange, W::kGateCrossStart | W::kGateCrossEnd | Y);
        Add(f, 2, {30, -0.8f, 45, 0.8f}, "Y window", kRed, W::kGateWindow | Y | L);
        Add(f, 3, {0, -1.1f, 0, 0}, "Level", kBlue, W::kGateLine | Y | L);
        Add(f, 4, {5, 0, 12, 0}, "G", kPurple, W::kGateBand | X | L);
        f.m_gates[3].bDragging = 1;
        f.m_nXDecimals = 1;

        for (auto& plot : plots) plot->Invalidate(FALSE);
        wm.Pump(0);
    }
    void TearDown() override {
        for (auto& plot : plots) plot->DestroyWindow();
        page.DestroyWindow();
    }
    // The surface pixel at a plot's own pixel.
    COLORREF At(int plot, CPoint p) const {
        const CBitmap* s = wm.GetSurface(page.m_hWnd);
        const int x = (plot % 2) * kPlotW + p.x, y = (plot / 2) * kPlotH + p.y;
        return s->GetPixels()[y * s->GetWidth() + x];
    }
    const W::CGate& Gate(int plot, int id) { return plots[static_cast<size_t>(plot)]->m_gates[static_cast<size_t>(id - 1)]; }
};

}  // namespace

TEST_F(GatePage, GoldenEveryFigure) {
    const CBitmap* surface = wm.GetSurface(page.m_hWnd);
    ASSERT_NE(surface, nullptr);
    const std::string golden = std::string(ORVEX_SOURCE_DIR) + "/tests/golden/lineplot_gates.png";
    const std::string actual = std::string(ORVEX_BINARY_DIR) + "/lineplot_gates.png";
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

namespace {
// True when c is found at p or one of its 8 neighbours (lines may round by a pixel).
bool Around(const GatePage& page, int plot, CPoint p, COLORREF c) {
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (page.At(plot, CPoint(p.x + dx, p.y + dy)) == c) return true;
    return false;
}
}  // namespace

TEST_F(GatePage, EachFigureLiesWhereItsPointsSay) {
    const CRect R(56, 21, 429, 144);  // the plot rectangle less a pixel: where figures end
    const int mid = 300;              // a column clear of the x gates of plot 1

    // Band: both edges top to bottom and the bottom edge between them.
    const W::CGate& band = Gate(0, 1);
    EXPECT_EQ(At(0, {band.ptFirst.x, 60}), kRed);
    EXPECT_EQ(At(0, {band.ptSecond.x, 60}), kRed);
    EXPECT_EQ(At(0, {(band.ptFirst.x + band.ptSecond.x) / 2, R.bottom}), kRed);
    EXPECT_EQ(At(0, {Gate(0, 2).ptFirst.x, 110}), kBlue);  // line across the plot
    // Bar: the level from x1 to x2, end ticks from 5 above to 4 below (the end pixel is not drawn).
    const W::CGate& bar = Gate(0, 3);
    EXPECT_EQ(At(0, {(bar.ptFirst.x + bar.ptSecond.x) / 2, bar.ptFirst.y}), kPurple);
    EXPECT_EQ(At(0, {bar.ptSecond.x, bar.ptFirst.y - 5}), kPurple);
    EXPECT_EQ(At(0, {bar.ptSecond.x, bar.ptFirst.y + 4}), kPurple);
    EXPECT_NE(At(0, {bar.ptSecond.x, bar.ptFirst.y - 7}), kPurple);
    // Crossed-out end: the edge, and the two diagonals meeting half-way to the end of the data.
    const W::CGate& end = Gate(0, 4);
    EXPECT_EQ(At(0, {end.ptSecond.x, 40}), kOrange);
    EXPECT_TRUE(Around(*this, 0, {(end.ptSecond.x + R.left + 373) / 2, (R.top + R.bottom) / 2}, kOrange));

    // Window: the upper box reaches the top edge at level y2, the lower one the bottom at y1, open between.
    const W::CGate& window = Gate(1, 1);
    const int wx = (window.ptFirst.x + window.ptSecond.x) / 2;
    EXPECT_EQ(At(1, {wx, window.ptSecond.y}), kRed);
    EXPECT_EQ(At(1, {wx, window.ptFirst.y}), kRed);
    EXPECT_EQ(At(1, {window.ptFirst.x, (R.top + window.ptSecond.y) / 2}), kRed);
    EXPECT_NE(At(1, {window.ptFirst.x, (window.ptFirst.y + window.ptSecond.y) / 2}), kRed);
    // Y band: two lines across at y1 and y2.
    EXPECT_EQ(At(1, {mid, Gate(1, 2).ptFirst.y}), kBlue);
    EXPECT_EQ(At(1, {mid, Gate(1, 2).ptSecond.y}), kBlue);
    // Crossed-out start: from the start of the data (the left edge) to x1.
    EXPECT_EQ(At(1, {Gate(1, 3).ptFirst.x, 100}), kOrange);
    EXPECT_TRUE(Around(*this, 1, {(R.left + Gate(1, 3).ptFirst.x) / 2, (R.top + R.bottom) / 2}, kOrange));

    // Box outline; corner marks: 10-pixel arms from each point, nothing between them.
    const W::CGate& box = Gate(2, 1);
    EXPECT_EQ(At(2, {box.ptFirst.x, (box.ptFirst.y + box.ptSecond.y) / 2}), kRed);
    EXPECT_EQ(At(2, {box.ptSecond.x, (box.ptFirst.y + box.ptSecond.y) / 2}), kRed);
    const W::CGate& marks = Gate(2, 2);
    EXPECT_EQ(At(2, {marks.ptFirst.x, marks.ptFirst.y - 8}), kBlue);
    EXPECT_EQ(At(2, {marks.ptFirst.x + 9, marks.ptFirst.y}), kBlue);
    EXPECT_EQ(At(2, {marks.ptSecond.x, marks.ptSecond.y + 9}), kBlue);
    EXPECT_EQ(At(2, {marks.ptSecond.x - 9, marks.ptSecond.y}), kBlue);
    EXPECT_NE(At(2, {marks.ptFirst.x + 20, marks.ptFirst.y}), kBlue);
    // Crosshair: full width and full height through the point.
    const W::CGate& cross = Gate(2, 3);
    EXPECT_EQ(At(2, {R.left + 3, cross.ptFirst.y}), kPurple);
    EXPECT_EQ(At(2, {R.right - 3, cross.ptFirst.y}), kPurple);
    EXPECT_EQ(At(2, {cross.ptFirst.x, R.top + 3}), kPurple);

    // Segments and the circle through the second point.
    for (int id : {1, 2}) {
        const W::CGate& g = Gate(3, id);
        const COLORREF c = id == 1 ? kRed : kBlue;
        EXPECT_TRUE(Around(*this, 3, {(g.ptFirst.x + g.ptSecond.x) / 2, (g.ptFirst.y + g.ptSecond.y) / 2}, c)) << id;
    }
    const W::CGate& circle = Gate(3, 3);
    const int r = circle.ptSecond.x - circle.ptFirst.x;
    EXPECT_NE(At(3, {circle.ptFirst.x, circle.ptFirst.y - r / 2}), kPurple);  // (the trace crosses at y = 0)
    EXPECT_TRUE(Around(*this, 3, {circle.ptFirst.x, circle.ptFirst.y - r}, kPurple));
    EXPECT_TRUE(Around(*this, 3, {circle.ptFirst.x, circle.ptFirst.y + r}, kPurple));

    // Turned plot: the x band runs across (lines at the rows of x1 and x2), the y bar along x.
    const W::CGate& tband = Gate(4, 1);
    EXPECT_EQ(At(4, {R.left + 20, tband.ptFirst.y}), kRed);
    EXPECT_EQ(At(4, {R.right - 20, tband.ptSecond.y}), kRed);
    const W::CGate& tbar = Gate(4, 2);
    EXPECT_EQ(At(4, {(tbar.ptFirst.x + tbar.ptSecond.x) / 2, tbar.ptFirst.y}), kBlue);

    // Y gates: crossed-out regions end at the y edges; the window's boxes come from the side edges.
    EXPECT_EQ(At(5, {mid, Gate(5, 1).ptFirst.y}), kOrange);
    EXPECT_EQ(At(5, {mid, Gate(5, 1).ptSecond.y}), kOrange);
    const W::CGate& ywin = Gate(5, 2);
    EXPECT_EQ(At(5, {ywin.ptFirst.x, (ywin.ptFirst.y + ywin.ptSecond.y) / 2}), kRed);
    EXPECT_EQ(At(5, {(R.left + ywin.ptFirst.x) / 2, ywin.ptFirst.y}), kRed);
    EXPECT_EQ(At(5, {(R.right + ywin.ptSecond.x) / 2, ywin.ptSecond.y}), kRed);
    EXPECT_NE(At(5, {(ywin.ptFirst.x + ywin.ptSecond.x) / 2, ywin.ptFirst.y}), kRed);
}

TEST_F(GatePage, NothingOfAGateLiesOutsideItsPlot) {
    const CRect plotRect(55, 20, 430, 145);
    int outside = 0;
    for (int plot = 0; plot < 6; ++plot)
        for (int y = 0; y < kPlotH; ++y)
            for (int x = 0; x < kPlotW; ++x) {
                if (plotRect.PtInRect(CPoint(x, y))) continue;
                const COLORREF c = At(plot, {x, y});
                outside += c == kRed || c == kBlue || c == kPurple || c == kOrange;
            }
    EXPECT_EQ(outside, 0);
    // The segment that runs out of plot 3 through the top is drawn up to the top row of the plot.
    int topRow = 0;
    for (int x = plotRect.left; x < plotRect.right; ++x) topRow += At(3, {x, plotRect.top}) == kOrange;
    EXPECT_GT(topRow, 0);
}
