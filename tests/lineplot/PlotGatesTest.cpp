// Gate operations of the plot and the client interface between linked plots: adding and mirroring,
// moving only movable gates, the first gate winning a hit, notifications by subscription, links in
// both directions that do not loop, and gates in clones.
#include <gtest/gtest.h>

#include "PlotTestSupport.h"

namespace {

using W = CLinePlotWnd;

// Records what a plot sends to its clients.
struct RecordingClient : CLinePlotClient {
    std::vector<std::string> calls;
    GateData lastData;
    PlotViewRect lastView;
    void AddGate(int id, const GateData* d, const std::string& label) override {
        calls.push_back("AddGate " + std::to_string(id) + " " + label);
        lastData = *d;
    }
    BOOL SetGateStyle(int id, COLORREF colour, int width, int style, int kind) override {
        calls.push_back("SetGateStyle " + std::to_string(id) + " " + std::to_string(colour) + " " +
                        std::to_string(width) + " " + std::to_string(style) + " " + std::to_string(kind));
        return TRUE;
    }
    void GateChanging(int id, const GateData* d) override {
        calls.push_back("GateChanging " + std::to_string(id));
        lastData = *d;
    }
    void GateChanged(int id, const GateData* d) override {
        calls.push_back("GateChanged " + std::to_string(id));
        lastData = *d;
    }
    void RangeChanging(const PlotViewRect* v) override {
        calls.push_back("RangeChanging");
        lastView = *v;
    }
    void RangeChanged(const PlotViewRect* v) override {
        calls.push_back("RangeChanged");
        lastView = *v;
    }
};

// A plot with the standard frame: plot rectangle (55, 20)-(455, 120), x 0..51.2, y -1..1.
struct GatePlot : ::testing::Test {
    std::vector<float> samples = DampedSine(512);
    W plot;
    void SetUp() override { Load(plot); }
    void Load(W& p) {
        SetStandardFrame(p);
        p.AddLine(0, 512, RGB(0, 128, 0), 0, 0, 1, samples.data());
        p.SetYAxis(0.0f, 1.0f, -1.0f, 2.0f, "");
        p.SetXAxis(0.0f, 0.1f, "");
        p.SetYRange(-1.0f, 1.0f);
        p.SetXRange(0.0f, 51.2f);
    }
};

constexpr int kMovableXBand = W::kGateBand | W::kGateX | W::kGateMovable;

}  // namespace

TEST_F(GatePlot, AddGateDefinesTheNewGateAndKeepsTheFirstOfAnId) {
    const GateData d{10.0f, -0.5f, 20.0f, 0.5f};
    EXPECT_EQ(plot.AddGate(7, &d, "A", RGB(1, 2, 3), 2, PS_DASH, kMovableXBand), 1);
    const GateData other{1, 1, 2, 2};
    EXPECT_EQ(plot.AddGate(7, &other, "B", 0, 0, 0, 0), 1);  // same id: count, nothing changes
    ASSERT_EQ(plot.m_gates.size(), 1u);
    const W::CGate& g = plot.m_gates[0];
    EXPECT_EQ(g.pOwner, &plot);
    EXPECT_EQ(g.label, "A");
    EXPECT_FLOAT_EQ(g.data.x1, 10.0f);
    EXPECT_FLOAT_EQ(g.saved.x2, 20.0f);  // saved points start as the points
    EXPECT_EQ(g.bVisible, 1);
    EXPECT_EQ(g.bDragging, 0);
    EXPECT_EQ(g.nDragPart, 0);
    EXPECT_EQ(g.nFontHeight, 14);
    EXPECT_EQ(g.nPenStyle, PS_DASH);
    CPoint p;
    plot.DataToPixel(10.0f, -0.5f, &p);
    EXPECT_EQ(g.ptFirst, p);  // pixels are placed at once
}

TEST_F(GatePlot, FindSetGetRemove) {
    const GateData d{10, 0, 20, 0};
    plot.AddGate(1, &d, "", 0, 0, 0, kMovableXBand);
    plot.AddGate(2, &d, "", 0, 0, 0, W::kGateBand | W::kGateX);  // not movable
    plot.AddGate(3, &d, "", 0, 0, 0, kMovableXBand);
    EXPECT_EQ(plot.FindGate(2), 1);
    EXPECT_EQ(plot.FindGate(99), -1);

    const GateData moved{30, 0, 40, 0};
    GateData out;
    EXPECT_TRUE(plot.SetGateData(1, &moved));
    EXPECT_TRUE(plot.GetGateData(1, &out));
    EXPECT_FLOAT_EQ(out.x1, 30.0f);
    EXPECT_TRUE(plot.SetGateData(2, &moved));  // found, but a fixed gate stays
    plot.GetGateData(2, &out);
    EXPECT_FLOAT_EQ(out.x1, 10.0f);
    // Unknown ids: 0 and nothing changes.
    EXPECT_FALSE(plot.SetGateData(99, &moved));
    EXPECT_FALSE(plot.GetGateData(99, &out));
    EXPECT_FALSE(plot.SetGateStyle(99, 0, 0, 0, 0));
    plot.RemoveGate(99);
    EXPECT_EQ(plot.m_gates.size(), 3u);

    // Removing moves the later gates down; the gate under the mouse follows its gate.
    plot.m_nGateUnderMouse = 2;
    plot.RemoveGate(2);
    EXPECT_EQ(plot.FindGate(3), 1);
    EXPECT_EQ(plot.m_nGateUnderMouse, 1);
    plot.RemoveGate(3);
    EXPECT_EQ(plot.m_nGateUnderMouse, -1);
}

TEST_F(GatePlot, XShiftAppliesOnlyWithItsKindBit) {
    const GateData d{10, 0, 20, 0};
    plot.AddGate(1, &d, "", 0, 0, 0, kMovableXBand);
    plot.m_gates[0].fXShift = 5.0f;
    plot.UpdateGatePositions();
    CPoint p;
    plot.DataToPixel(10.0f, 0.0f, &p);
    EXPECT_EQ(plot.m_gates[0].ptFirst, p);
    plot.SetGateStyle(1, 0, 0, 0, kMovableXBand | W::kGateXShift);
    plot.DataToPixel(15.0f, 0.0f, &p);
    EXPECT_EQ(plot.m_gates[0].ptFirst, p);
}

TEST_F(GatePlot, FirstAddedGateWinsAHitAndRecordsItsCursor) {
    const GateData d{10, 0, 20, 0};
    plot.AddGate(1, &d, "", 0, 0, 0, W::kGateLine | W::kGateX);
    plot.AddGate(2, &d, "", 0, 0, 0, kMovableXBand);
    const int x = plot.m_gates[0].ptFirst.x;
    plot.HitTestGates(x + 2, 60);
    EXPECT_EQ(plot.m_nGateUnderMouse, 0);
    EXPECT_EQ(plot.m_cursorUnderMouse, IDC_SIZEWE);
    plot.HitTestGates(plot.m_gates[1].ptSecond.x, 60);  // only the band has a second edge
    EXPECT_EQ(plot.m_nGateUnderMouse, 1);
    plot.HitTestGates(300, 60);
    EXPECT_EQ(plot.m_nGateUnderMouse, -1);
    plot.m_gates[0].bVisible = 0;  // a hidden gate does not take the mouse
    plot.HitTestGates(x + 2, 60);
    EXPECT_EQ(plot.m_nGateUnderMouse, 1);
}

TEST_F(GatePlot, GateCreationIsMirroredToSubscribedClients) {
    RecordingClient subscribed, quiet;
    subscribed.m_bWantsGateCreation = 1;
    W linked;
    Load(linked);
    linked.m_bWantsGateCreation = 1;
    plot.m_clients = {&quiet, &subscribed, &linked};
    const GateData d{10, 0, 20, 0};
    plot.AddGate(4, &d, "G", RGB(9, 0, 0), 2, PS_DOT, kMovableXBand);
    EXPECT_TRUE(quiet.calls.empty());
    ASSERT_EQ(subscribed.calls.size(), 2u);
    EXPECT_EQ(subscribed.calls[0], "AddGate 4 G");
    EXPECT_EQ(subscribed.calls[1], "SetGateStyle 4 9 2 2 " + std::to_string(kMovableXBand));
    EXPECT_FLOAT_EQ(subscribed.lastData.x2, 20.0f);
    // A linked plot builds the same gate: points and label from AddGate, style from SetGateStyle.
    ASSERT_EQ(linked.m_gates.size(), 1u);
    EXPECT_EQ(linked.m_gates[0].label, "G");
    EXPECT_EQ(linked.m_gates[0].nKind, kMovableXBand);
    EXPECT_EQ(linked.m_gates[0].colour, RGB(9, 0, 0));
    EXPECT_EQ(linked.m_gates[0].pOwner, &linked);
}

TEST_F(GatePlot, GateChangedOnAPlotBehavesLikeGateChanging) {
    const GateData d{10, 0, 20, 0};
    plot.AddGate(1, &d, "", 0, 0, 0, kMovableXBand);
    plot.AddGate(2, &d, "", 0, 0, 0, W::kGateBand | W::kGateX);
    const GateData moved{12, 0, 22, 0};
    CLinePlotClient& asClient = plot;
    for (int step = 0; step < 2; ++step) {
        GateData out;
        plot.SetGateData(1, &d);
        if (step == 0)
            asClient.GateChanging(1, &moved);
        else
            asClient.GateChanged(1, &moved);
        plot.GetGateData(1, &out);
        EXPECT_FLOAT_EQ(out.x1, 12.0f) << step;
        EXPECT_EQ(plot.m_gates[0].ptFirst.x, [&] { CPoint p; plot.DataToPixel(12, 0, &p); return p.x; }()) << step;
    }
    asClient.GateChanged(2, &moved);  // the receiving gate must be movable
    GateData out;
    plot.GetGateData(2, &out);
    EXPECT_FLOAT_EQ(out.x1, 10.0f);
}

TEST_F(GatePlot, NotificationsGoOnlyToSubscribers) {
    RecordingClient changingOnly, changedOnly;
    changingOnly.m_bWantsRangeChanging = 1;
    changingOnly.m_bWantsGateChanging = 1;
    changedOnly.m_bWantsRangeChanged = 1;
    changedOnly.m_bWantsGateChanged = 1;
    plot.m_clients = {&changingOnly, &changedOnly};
    const GateData d{10, 0, 20, 0};
    plot.AddGate(5, &d, "", 0, 0, 0, kMovableXBand);
    plot.SetXRange(10.0f, 20.0f);
    plot.NotifyRangeChanging();
    plot.NotifyGateMoving(0);
    plot.NotifyRangeChanged();
    plot.NotifyGateMoved(0);
    plot.NotifyGateMoved(7);  // no such gate: nothing
    EXPECT_EQ(changingOnly.calls, (std::vector<std::string>{"RangeChanging", "GateChanging 5"}));
    EXPECT_EQ(changedOnly.calls, (std::vector<std::string>{"RangeChanged", "GateChanged 5"}));
    EXPECT_FLOAT_EQ(changedOnly.lastView.xLow, 10.0f);
    EXPECT_FLOAT_EQ(changedOnly.lastView.yHigh, 1.0f);
}

TEST_F(GatePlot, PlotsLinkedBothWaysFollowEachOtherWithoutLooping) {
    W other;
    Load(other);
    for (W* p : {&plot, &other}) {
        p->m_bWantsGateCreation = p->m_bWantsGateChanging = p->m_bWantsGateChanged = 1;
        p->m_bWantsRangeChanging = p->m_bWantsRangeChanged = 1;
    }
    plot.m_clients = {&other};
    other.m_clients = {&plot};
    // Creation: each plot tells the other once; the second telling finds the id and stops.
    const GateData d{10, 0, 20, 0};
    plot.AddGate(1, &d, "L", 0, 0, 0, kMovableXBand);
    ASSERT_EQ(other.m_gates.size(), 1u);
    EXPECT_EQ(plot.m_gates.size(), 1u);
    // The copy announces its empty style back while it is made; the original keeps its own.
    EXPECT_EQ(plot.m_gates[0].nKind, kMovableXBand);
    EXPECT_EQ(other.m_gates[0].nKind, kMovableXBand);
    // Ranges: the receiver applies the view and does not send it back.
    plot.SetXRange(5.0f, 15.0f);
    plot.NotifyRangeChanging();
    float lo, hi;
    other.GetXRange(&lo, &hi);
    EXPECT_NEAR(lo, 5.0f, 1e-4);
    EXPECT_NEAR(hi, 15.0f, 1e-4);
    other.SetXRange(0.0f, 51.2f);
    other.NotifyRangeChanged();
    plot.GetXRange(&lo, &hi);
    EXPECT_NEAR(hi, 51.2f, 1e-4);
    // Gates: a move in one reaches the other, which places the gate in its own view.
    const GateData moved{30, 0, 35, 0};
    plot.SetGateData(1, &moved);
    plot.NotifyGateMoved(0);
    GateData out;
    other.GetGateData(1, &out);
    EXPECT_FLOAT_EQ(out.x1, 30.0f);
}

TEST_F(GatePlot, ClonesCarryGatesOwnedByTheClone) {
    const GateData d{10, 0, 20, 0};
    plot.AddGate(1, &d, "copied", RGB(5, 5, 5), 1, 0, kMovableXBand);
    CVantorPersistentObject* target = nullptr;
    ASSERT_TRUE(plot.Clone(&target));
    W* copy = dynamic_cast<W*>(target);
    ASSERT_NE(copy, nullptr);
    ASSERT_EQ(copy->m_gates.size(), 1u);
    EXPECT_EQ(copy->m_gates[0].pOwner, copy);
    EXPECT_EQ(copy->m_gates[0].label, "copied");
    EXPECT_EQ(copy->m_nGateUnderMouse, -1);
    target->Destroy();
}
