// The plot under injected mouse input: gate drags, the measuring box, MouseMode 7 cursors and
// actions, the zoom box, double-click moves, the right button, and dropping stale mouse moves.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "PlotTestSupport.h"
#include "lineplot/NumberFormat.h"
#include "lineplot/PlotCursors.h"
#include "platform/gdi/CBitmap.h"
#include "platform/gdi/Png.h"
#include "platform/win/CWindowManager.h"
#include "platform/win/CWnd.h"

namespace {

using W = CLinePlotWnd;
using Mouse = CWindowManager::MouseAction;

// The page records the right-button messages its children send it.
struct RecordingPage : CWnd {
    std::vector<MSG> rightUps;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_RBUTTONUP) rightUps.push_back(MSG{m_hWnd, message, wParam, lParam, 0, {0, 0}});
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

// Counts what a plot tells its clients.
struct CountingClient : CLinePlotClient {
    int rangeChanging = 0, rangeChanged = 0, gateChanging = 0, gateChanged = 0;
    GateData lastGate;
    void RangeChanging(const PlotViewRect*) override { ++rangeChanging; }
    void RangeChanged(const PlotViewRect*) override { ++rangeChanged; }
    void GateChanging(int, const GateData* d) override {
        ++gateChanging;
        lastGate = *d;
    }
    void GateChanged(int, const GateData* d) override {
        ++gateChanged;
        lastGate = *d;
    }
};

// A page holding one plot as the A-scan control holds it: plot rectangle (55, 20)-(590, 205),
// x 0..200 (20000 samples of 0.01), y -1..1.
struct MousePlot : ::testing::Test {
    CWindowManager wm;
    RecordingPage page;
    W* plot = new W;
    CountingClient client;
    std::vector<float> samples = DampedSine(20000, 24.0f, 5.0f);

    void SetUp() override {
        ASSERT_TRUE(page.CreateEx(0, nullptr, "page", WS_POPUP | WS_VISIBLE, CRect(0, 0, 600, 260), nullptr, 0));
        plot->SetFrameRect(CRect(0, 0, 600, 260));
        ASSERT_TRUE(plot->Create(nullptr, nullptr, 0x5000020E, CRect(0, 0, 600, 260), &page, 911));
        plot->AddLine(0, static_cast<int>(samples.size()), RGB(0, 128, 0), 0, 0, 1, samples.data());
        plot->MouseMode = 0;
        plot->SetYAxis(0.0f, 1.0f, -1.0f, 2.0f, "");
        plot->SetXAxis(0.0f, 0.01f, "Time (us)");
        plot->SetYRange(-1.0f, 1.0f);
        plot->SetXRange(0.0f, 200.0f);
        plot->m_clients = {&client};
        client.m_bWantsGateChanging = client.m_bWantsGateChanged = 1;
        client.m_bWantsRangeChanging = client.m_bWantsRangeChanged = 1;
        plot->Invalidate(FALSE);
        wm.Pump(0);
    }
    void TearDown() override {
        plot->DestroyWindow();
        delete plot;
        page.DestroyWindow();
    }
    void Input(Mouse action, CPoint p) { wm.QueueMouseInput(page.m_hWnd, action, p); }
    void Do(Mouse action, CPoint p) {
        Input(action, p);
        wm.Pump(0);
    }
    std::vector<COLORREF> Pixels() const {
        const CBitmap* s = wm.GetSurface(page.m_hWnd);
        return std::vector<COLORREF>(s->GetPixels(), s->GetPixels() + s->GetWidth() * s->GetHeight());
    }
    UINT CursorId() const { return GetCursorId(wm.GetCursor()); }
    float XLow() const {
        float lo, hi;
        plot->GetXRange(&lo, &hi);
        return lo;
    }
    float XSpan() const {
        float lo, hi;
        plot->GetXRange(&lo, &hi);
        return hi - lo;
    }
};

}  // namespace

TEST_F(MousePlot, DraggingABandEdgePastTheOtherStopsThere) {
    const GateData d{50, 0, 100, 0};
    plot->AddGate(1, &d, "Gate", RGB(200, 0, 0), 0, 0, W::kGateBand | W::kGateX | W::kGateMovable | W::kGateLabel);
    const int right = plot->m_gates[0].ptSecond.x, left = plot->m_gates[0].ptFirst.x;
    Do(Mouse::Move, {right + 1, 100});
    EXPECT_EQ(CursorId(), 32512u);  // the cursor follows one message late: the move made the hit
    Do(Mouse::Move, {right + 1, 101});
    EXPECT_EQ(CursorId(), 32644u);  // west-east over an x edge
    Do(Mouse::LeftDown, {right + 1, 101});
    EXPECT_EQ(plot->m_gates[0].bDragging, 1);
    Do(Mouse::Move, {right - 40, 101});
    GateData during;
    plot->GetGateData(1, &during);
    EXPECT_NEAR(during.x2, 100.0f - 41 * 200.0f / 535, 0.001f);  // moved with the mouse from the press
    EXPECT_FLOAT_EQ(during.x2, static_cast<float>(RoundToDecimals(during.x2, 3)));
    Do(Mouse::Move, {left - 60, 101});
    plot->GetGateData(1, &during);
    EXPECT_FLOAT_EQ(during.x2, 50.0f);
    EXPECT_FLOAT_EQ(during.x1, 50.0f);
    EXPECT_EQ(client.gateChanging, 2);
    EXPECT_EQ(client.gateChanged, 0);
    Do(Mouse::LeftUp, {left - 60, 101});
    EXPECT_EQ(plot->m_gates[0].bDragging, 0);
    EXPECT_EQ(client.gateChanged, 1);
    EXPECT_FLOAT_EQ(client.lastGate.x2, 50.0f);
    EXPECT_EQ(client.rangeChanged, 0);  // a gate drag is no range change
}

TEST_F(MousePlot, MeasuringBoxIsDrawnWithItsDistanceAndRemoved) {
    CWnd readout;
    ASSERT_TRUE(readout.CreateEx(0, nullptr, "", WS_POPUP, CRect(0, 0, 10, 10), nullptr, 0));
    plot->m_hReadoutWnd = readout.m_hWnd;
    float x0, y0, x1, y1;
    Do(Mouse::Move, {200, 100});
    const std::vector<COLORREF> before = Pixels();
    const float lo = XLow(), span = XSpan();

    Do(Mouse::LeftDown, {200, 100});
    Do(Mouse::Move, {300, 150});
    const std::vector<COLORREF> during = Pixels();
    auto changed = [&](int x, int y) { return during[static_cast<size_t>(y * 600 + x)] != before[static_cast<size_t>(y * 600 + x)]; };
    EXPECT_TRUE(changed(250, 100));  // outline
    EXPECT_TRUE(changed(300, 125));
    EXPECT_TRUE(changed(250, 125));  // diagonal
    EXPECT_FALSE(changed(250, 110));
    ASSERT_TRUE(plot->PixelToData(200, 100, &x0, &y0));
    ASSERT_TRUE(plot->PixelToData(300, 150, &x1, &y1));
    std::string text;
    readout.GetWindowText(text);
    EXPECT_EQ(text, "<" + FormatNumber(x1 - x0, 3) + "," + FormatNumber(y1 - y0, 3) + ">");

    Do(Mouse::Move, {320, 160});  // the old box goes before the new one is drawn
    Do(Mouse::LeftUp, {320, 160});
    EXPECT_EQ(Pixels(), before);
    EXPECT_FLOAT_EQ(XLow(), lo);
    EXPECT_FLOAT_EQ(XSpan(), span);
    EXPECT_EQ(client.rangeChanged, 0);
    readout.DestroyWindow();
}

TEST_F(MousePlot, ModeSevenZoomsInsideAndPansOutside) {
    plot->MouseMode = 7;
    struct { bool turned; CPoint at; UINT cursor; const char* what; } hovers[] = {
        {false, {20, 100}, kCursorPanHorz, "left margin of a horizontal plot"},
        {false, {300, 100}, kCursorZoomHorz, "inside a horizontal plot"},
        {true, {20, 100}, kCursorPanVert, "margin of a turned plot"},
        {true, {300, 100}, kCursorZoomVert, "inside a turned plot"},
    };
    for (const auto& h : hovers) {
        plot->m_bXAxisHorizontal = h.turned ? 0 : 1;
        Do(Mouse::Move, h.at);
        Do(Mouse::Move, {h.at.x, h.at.y + 1});
        EXPECT_EQ(CursorId(), h.cursor) << h.what;
    }
    plot->m_bXAxisHorizontal = 1;
    plot->SetXRange(0.0f, 200.0f);

    // Inside: dragging right by half the plot width doubles the magnification about the press.
    Do(Mouse::Move, {300, 100});
    Do(Mouse::LeftDown, {300, 100});
    Do(Mouse::Move, {300 + 535 / 2, 100});
    EXPECT_NEAR(XSpan(), 100.0f, 0.5f);
    Do(Mouse::LeftUp, {300 + 535 / 2, 100});
    EXPECT_EQ(client.rangeChanged, 1);  // the drag ends with a range change

    // From the margin: a pan; the press is clamped into the plot and the view moves with the mouse.
    const float lo = XLow(), span = XSpan();
    Do(Mouse::Move, {20, 100});
    Do(Mouse::LeftDown, {20, 100});
    Do(Mouse::Move, {200, 100});
    EXPECT_NEAR(XLow(), lo - (200 - 56) * span / 535, 0.05f);
    EXPECT_NEAR(XSpan(), span, 1e-3f);
    Do(Mouse::LeftUp, {200, 100});
}

TEST_F(MousePlot, RangeChangingSubscriberFollowsStepsButNotTheEnd) {
    CountingClient steps;
    steps.m_bWantsRangeChanging = 1;
    plot->m_clients.push_back(&steps);
    plot->MouseMode = 1;
    Do(Mouse::Move, {300, 100});
    Do(Mouse::LeftDown, {300, 100});
    Do(Mouse::Move, {350, 100});
    Do(Mouse::Move, {400, 100});
    Do(Mouse::LeftUp, {400, 100});
    EXPECT_EQ(steps.rangeChanging, 2);
    EXPECT_EQ(steps.rangeChanged, 0);
    EXPECT_EQ(client.rangeChanged, 1);
}

TEST_F(MousePlot, AMoveIsDroppedWhileANewerOneWaits) {
    plot->MouseMode = 4;
    plot->SetXRange(50.0f, 100.0f);
    Do(Mouse::Move, {300, 100});
    Do(Mouse::LeftDown, {300, 100});
    const float lo = XLow(), span = XSpan();
    Input(Mouse::Move, {290, 100});
    Input(Mouse::Move, {280, 100});
    Input(Mouse::Move, {250, 100});
    wm.Pump(0);
    EXPECT_EQ(client.rangeChanging, 1);  // one pan step, straight to the newest position
    EXPECT_NEAR(XLow(), lo + 50 * span / 535, 1e-3f);
    Do(Mouse::LeftUp, {250, 100});
}

TEST_F(MousePlot, ArmedZoomBoxZoomsToTheDraggedBox) {
    plot->m_bZoomBoxArmed = 1;
    Do(Mouse::Move, {100, 50});
    Do(Mouse::Move, {100, 51});
    EXPECT_EQ(CursorId(), 32515u);  // cross
    Do(Mouse::LeftDown, {100, 50});
    Do(Mouse::Move, {300, 150});
    float x0, y0, x1, y1;
    ASSERT_TRUE(plot->PixelToData(100, 50, &x0, &y0));
    ASSERT_TRUE(plot->PixelToData(300, 150, &x1, &y1));
    Do(Mouse::LeftUp, {300, 150});
    EXPECT_EQ(plot->m_bZoomBoxArmed, 0);
    EXPECT_EQ(CursorId(), 32512u);  // arrow
    float lo, hi, ylo, yhi;
    plot->GetXRange(&lo, &hi);
    plot->GetYRange(&ylo, &yhi);
    EXPECT_NEAR(lo, x0, 1e-3f);
    EXPECT_NEAR(hi, x1, 1e-3f);
    EXPECT_NEAR(ylo, y1, 1e-4f);
    EXPECT_NEAR(yhi, y0, 1e-4f);
    EXPECT_EQ(client.rangeChanged, 2);  // the zoom's own and the release's
}

TEST_F(MousePlot, DoubleClickMovesTheGateKeepingItsWidth) {
    const GateData d{50, 0.1f, 100, 0.2f};
    plot->AddGate(3, &d, "", 0, 0, 0, W::kGateBand | W::kGateX | W::kGateMovable);
    plot->m_nDblClickGateId = 3;
    float x, y;
    ASSERT_TRUE(plot->PixelToData(400, 100, &x, &y));
    Do(Mouse::LeftDoubleClick, {400, 100});
    Do(Mouse::LeftUp, {400, 100});
    GateData moved;
    plot->GetGateData(3, &moved);
    EXPECT_FLOAT_EQ(moved.x1, x);
    EXPECT_NEAR(moved.x2, x + 50.0f, 1e-4f);
    EXPECT_FLOAT_EQ(moved.y2, 0.2f);
    EXPECT_EQ(client.gateChanging, 1);
    Do(Mouse::LeftDoubleClick, {20, 100});  // outside the plot: nothing
    Do(Mouse::LeftUp, {20, 100});
    GateData after;
    plot->GetGateData(3, &after);
    EXPECT_FLOAT_EQ(after.x1, x);
}

TEST_F(MousePlot, RightClickReachesTheParentWithoutCoordinates) {
    Do(Mouse::RightDown, {300, 100});
    Do(Mouse::RightUp, {300, 100});
    ASSERT_EQ(page.rightUps.size(), 1u);
    EXPECT_EQ(page.rightUps[0].wParam, 0u);
    EXPECT_EQ(page.rightUps[0].lParam, 0);
}

TEST(PlotCursorsTest, FiveMonochromeCursorsWithTheirHotSpots) {
    const std::vector<CCursorResource> cursors = MakeLinePlotCursors();
    const struct { UINT id; POINT hot; } expected[] = {
        {257, {16, 15}}, {258, {16, 15}}, {259, {16, 16}}, {260, {16, 15}}, {261, {16, 25}}};
    ASSERT_EQ(cursors.size(), 5u);
    for (size_t i = 0; i < 5; ++i) {
        const CCursorResource& c = cursors[i];
        EXPECT_EQ(c.nId, expected[i].id);
        EXPECT_EQ(c.ptHotSpot.x, expected[i].hot.x);
        EXPECT_EQ(c.ptHotSpot.y, expected[i].hot.y);
        EXPECT_EQ(c.andMask.size(), 128u);
        EXPECT_EQ(c.xorMask.size(), 128u);
        // The arrows meet at the hot spot; a split shaft has its bars 2 pixels either side. There the
        // cursor is opaque black (AND 0, XOR 0).
        const bool split = c.nId == 258 || c.nId == 260;
        const int x = c.ptHotSpot.x + (split && c.nId == 258 ? 2 : 0);
        const int y = c.ptHotSpot.y + (split && c.nId == 260 ? 2 : 0);
        const size_t byte = static_cast<size_t>(y * 4 + x / 8);
        const int bit = 0x80 >> (x % 8);
        EXPECT_EQ(c.andMask[byte] & bit, 0) << c.nId;
        EXPECT_EQ(c.xorMask[byte] & bit, 0) << c.nId;
    }
    // The vertical arrows are the horizontal ones turned: 257 is 259 transposed about its hot spot.
    auto opaque = [](const CCursorResource& c, int x, int y) {
        return (c.andMask[static_cast<size_t>(y * 4 + x / 8)] & (0x80 >> (x % 8))) == 0;
    };
    for (int d = -12; d <= 12; ++d) EXPECT_EQ(opaque(cursors[0], 16, 15 + d), opaque(cursors[2], 16 + d, 16)) << d;

    // A sheet of the five, four times enlarged on grey, to look at.
    constexpr int kScale = 4;
    CBitmap sheet;
    ASSERT_TRUE(sheet.CreateBitmap(5 * 36 * kScale, 36 * kScale, 1, 32, nullptr));
    uint32_t* px = sheet.GetPixels();
    std::fill(px, px + sheet.GetWidth() * sheet.GetHeight(), RGB(128, 128, 128));
    for (size_t i = 0; i < 5; ++i)
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                if (!opaque(cursors[i], x, y)) continue;
                const bool white = cursors[i].xorMask[static_cast<size_t>(y * 4 + x / 8)] & (0x80 >> (x % 8));
                for (int k = 0; k < kScale * kScale; ++k) {
                    const int sx = (static_cast<int>(i) * 36 + 2 + x) * kScale + k % kScale;
                    const int sy = (2 + y) * kScale + k / kScale;
                    px[static_cast<size_t>(sy * sheet.GetWidth() + sx)] = white ? RGB(255, 255, 255) : RGB(0, 0, 0);
                }
            }
    EXPECT_TRUE(SaveBitmapPng(sheet, std::string(ORVEX_BINARY_DIR) + "/lineplot_cursors.png"));
}
