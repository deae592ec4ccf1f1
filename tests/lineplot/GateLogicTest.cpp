// The gate arithmetic without a window: the hit rules and their order, the drag steps with
// rounding and ordering, and the label texts.
#include <gtest/gtest.h>

#include <cmath>

#include "lineplot/GateLogic.h"

namespace {

using W = CLinePlotWnd;
constexpr int X = W::kGateX, Y = W::kGateY;

// A gate with pixels set by hand. In a horizontal plot P1 = (100, 80) lies left of and below
// P2 = (200, 40), as the points of an ordered gate do.
W::CGate MakeGate(W& owner, int kind, CPoint p1 = {100, 80}, CPoint p2 = {200, 40}) {
    W::CGate g;
    g.pOwner = &owner;
    g.nKind = kind;
    g.ptFirst = p1;
    g.ptSecond = p2;
    return g;
}

struct HitRow {
    int kind;
    CPoint mouse;
    int part;         // -1: not hit
    LPCTSTR cursor;
    int keepX, keepY;
    const char* what;
    bool turned = false;
    CPoint p1 = {100, 80}, p2 = {200, 40};
};

}  // namespace

TEST(GateLogicTest, HitRulesPartsCursorsAndOrderFlags) {
    W owner;
    const LPCTSTR WE = IDC_SIZEWE, NS = IDC_SIZENS, ALL = IDC_SIZEALL;
    const HitRow rows[] = {
        {W::kGateLine | X, {103, 60}, 1, WE, 0, 0, "line of an x gate: first edge, free"},
        {W::kGateLine | Y, {150, 78}, 4, NS, 0, 0, "line of a y gate"},
        {W::kGateLine | W::kGateBand | X, {101, 10}, 1, WE, 0, 0, "the line rule comes before the band's"},
        {W::kGateBand | X, {198, 10}, 2, WE, 1, 1, "band: second edge"},
        {W::kGateBand | X, {97, 10}, 3, WE, 1, 1, "band: first edge moves the whole band"},
        {W::kGateBand | Y, {10, 42}, 8, NS, 1, 1, "y band: second edge"},
        {W::kGateBand | Y, {10, 82}, 12, NS, 1, 1, "y band: first edge moves both"},
        {W::kGateWindow | X, {201, 20}, 2, WE, 1, 1, "window: x edge outside the y span"},
        {W::kGateWindow | X, {201, 60}, -1, nullptr, 1, 1, "window: x edge inside the opening is no edge"},
        {W::kGateWindow | X, {150, 42}, 8, NS, 1, 1, "window: upper level"},
        {W::kGateWindow | X, {150, 78}, 4, NS, 1, 1, "window: lower level"},
        {W::kGateWindow | Y, {20, 40}, 8, NS, 1, 1, "y window: y edge outside the x span"},
        {W::kGateWindow | Y, {102, 60}, 1, WE, 1, 1, "y window: x level"},
        {W::kGateBar | X, {199, 81}, 2, WE, 1, 1, "bar: right end"},
        {W::kGateBar | X, {101, 79}, 3, WE, 1, 1, "bar: left end moves the bar along x"},
        {W::kGateBar | X, {150, 82}, 4, NS, 0, 0, "bar: the level"},
        {W::kGateBar | X, {150, 60}, -1, nullptr, 1, 1, "bar: off its level"},
        {W::kGateBar | Y, {99, 41}, 8, NS, 1, 1, "y bar: upper end"},
        {W::kGateBar | Y, {102, 60}, 1, WE, 0, 0, "y bar: its x"},
        {W::kGateBox | W::kGateCornerMarks | X, {199, 41}, 10, ALL, 1, 1, "corner marks: second point"},
        {W::kGateBox | W::kGateCornerMarks | X, {101, 79}, 5, ALL, 1, 1, "corner marks: first point"},
        {W::kGateBox | W::kGateCornerMarks | X, {150, 42}, -1, nullptr, 1, 1, "corner marks have no edges"},
        {W::kGateBox | X, {150, 41}, 8, NS, 1, 1, "box: top"},
        {W::kGateBox | X, {150, 79}, 12, NS, 1, 1, "box: bottom moves it in y"},
        {W::kGateBox | X, {199, 60}, 2, WE, 1, 1, "box: right"},
        {W::kGateBox | X, {101, 60}, 3, WE, 1, 1, "box: left moves it in x"},
        {W::kGateSegment | X, {101, 79}, 5, ALL, 1, 0, "segment of an x gate: an end crosses y freely"},
        {W::kGateSegment | Y, {199, 41}, 10, ALL, 0, 1, "segment of a y gate: an end crosses x freely"},
        {W::kGateSegment | X, {150, 60}, 15, ALL, 0, 0, "segment: inside its box moves it whole"},
        {W::kGateCircle, {207, 80}, 32, ALL, 0, 0, "circle: on the rim (radius 107.7)"},
        {W::kGateCircle, {213, 80}, -1, nullptr, 1, 1, "circle: 5.3 pixels off the rim"},
        {W::kGateSegmentEndLabel, {201, 41}, 10, ALL, 1, 1, "turning segment: the second point"},
        {W::kGateSegmentEndLabel, {150, 60}, 16, ALL, 0, 0, "turning segment: on the line"},
        {W::kGateSegmentEndLabel, {150, 75}, -1, nullptr, 1, 1, "turning segment: 15 pixels below"},
        {W::kGateSegmentEndLabel, {250, 20}, -1, nullptr, 1, 1, "turning segment: on its line beyond the end"},
        {W::kGateSegmentEndLabel, {103, 60}, 16, ALL, 0, 0, "near-vertical segment", false, {100, 80}, {105, 40}},
        {W::kGateSegmentEndLabel, {120, 60}, -1, nullptr, 1, 1, "near-vertical segment, too far", false, {100, 80}, {105, 40}},
        {W::kGateCrosshair, {102, 10}, 1, WE, 0, 0, "crosshair: vertical line"},
        {W::kGateCrosshair, {102, 78}, 5, ALL, 0, 0, "crosshair: the centre"},
        {W::kGateCrosshair, {150, 81}, 4, NS, 0, 0, "crosshair: horizontal line"},
        {W::kGateCrossStart | X, {98, 10}, 3, WE, 1, 1, "crossed start: the first edge"},
        {W::kGateCrossEnd | Y, {10, 42}, 8, NS, 1, 1, "crossed end of a y gate: the second edge"},
        {W::kGateBand | X | W::kGateNoHit, {198, 10}, -1, nullptr, 0, 0, "not hit-testable"},
        // Turned plot: x runs up the screen, so x edges are rows and their cursor is north-south.
        {W::kGateBand | X, {10, 72}, 2, NS, 1, 1, "turned: x band edge is a row", true, {300, 120}, {250, 70}},
        {W::kGateBand | Y, {252, 10}, 8, WE, 1, 1, "turned: y band edge is a column", true, {300, 120}, {250, 70}},
    };
    for (const HitRow& row : rows) {
        W::CGate g = MakeGate(owner, row.kind, row.p1, row.p2);
        g.bKeepXOrder = g.bKeepYOrder = 0;  // a missed gate may stay as it was or be reset; a hit sets them
        const LPCTSTR cursor = HitTestGate(g, row.mouse, !row.turned);
        if (row.part < 0) {
            EXPECT_EQ(cursor, nullptr) << row.what;
            continue;
        }
        EXPECT_EQ(cursor, row.cursor) << row.what;
        EXPECT_EQ(g.nDragPart, row.part) << row.what;
        EXPECT_EQ(g.bKeepXOrder, row.keepX) << row.what;
        EXPECT_EQ(g.bKeepYOrder, row.keepY) << row.what;
    }
}

TEST(GateLogicTest, GateWithoutOwnerIsNeverHit) {
    W owner;
    W::CGate g = MakeGate(owner, W::kGateBand | X);
    g.pOwner = nullptr;
    EXPECT_EQ(HitTestGate(g, {198, 10}, true), nullptr);
}

namespace {
// A movable gate with saved points, as a press leaves it.
W::CGate Pressed(W& owner, GateData d, int part, int kind = W::kGateBand | X) {
    W::CGate g = MakeGate(owner, kind | W::kGateMovable);
    g.data = g.saved = d;
    g.nDragPart = part;
    return g;
}
}  // namespace

TEST(GateLogicTest, DragSteps) {
    W owner;
    {   // The right edge of a band dragged left past the left edge stops on it.
        W::CGate g = Pressed(owner, {10, 0, 20, 0}, W::kDragX2);
        ApplyGateDrag(g, 5.0f, 0.0f, 20.0f, 0.0f, 3, 3);
        EXPECT_FLOAT_EQ(g.data.x2, 10.0f);
        EXPECT_FLOAT_EQ(g.data.x1, 10.0f);
    }
    {   // The left edge dragged past the right one stops on it; with the order flag cleared it passes.
        W::CGate g = Pressed(owner, {10, 0, 20, 0}, W::kDragX1);
        ApplyGateDrag(g, 30.0f, 0.0f, 10.0f, 0.0f, 3, 3);
        EXPECT_FLOAT_EQ(g.data.x1, 20.0f);
        g.bKeepXOrder = 0;
        ApplyGateDrag(g, 30.0f, 0.0f, 10.0f, 0.0f, 3, 3);
        EXPECT_FLOAT_EQ(g.data.x1, 30.0f);
    }
    {   // Each step starts again from the saved points: the same mouse position gives the same gate.
        W::CGate g = Pressed(owner, {10, 0, 20, 0}, W::kDragX1 | W::kDragX2);
        ApplyGateDrag(g, 14.0f, 0.0f, 12.0f, 0.0f, 3, 3);
        ApplyGateDrag(g, 14.0f, 0.0f, 12.0f, 0.0f, 3, 3);
        EXPECT_FLOAT_EQ(g.data.x1, 12.0f);
        EXPECT_FLOAT_EQ(g.data.x2, 22.0f);
    }
    {   // Rounding to the plot's decimals: 12.34567 at 3 decimals is 12.346; y at 1 decimal.
        W::CGate g = Pressed(owner, {10, 0, 20, 1}, W::kDragX1 | W::kDragY2, W::kGateBox | X);
        ApplyGateDrag(g, 12.34567f, 0.27f, 10.0f, 0.0f, 3, 1);
        EXPECT_FLOAT_EQ(g.data.x1, 12.346f);
        EXPECT_FLOAT_EQ(g.data.y2, 1.3f);
    }
    {   // A y edge moved below the other stops on it.
        W::CGate g = Pressed(owner, {0, 0, 0, 1}, W::kDragY2, W::kGateBand | Y);
        ApplyGateDrag(g, 0.0f, -3.0f, 0.0f, 0.5f, 3, 3);
        EXPECT_FLOAT_EQ(g.data.y2, 0.0f);
    }
    {   // Turning: the segment points at the mouse and keeps its length 5.
        W::CGate g = Pressed(owner, {0, 0, 3, 4}, W::kDragTurn, W::kGateSegmentEndLabel);
        ApplyGateDrag(g, 0.0f, 10.0f, 3.0f, 4.0f, 3, 3);
        EXPECT_NEAR(g.data.x2, 0.0f, 1e-6);
        EXPECT_FLOAT_EQ(g.data.y2, 5.0f);
    }
    {   // Radius: the point through which the circle runs follows the mouse's distance.
        W::CGate g = Pressed(owner, {0, 0, 3, 4}, W::kDragRadius, W::kGateCircle);
        ApplyGateDrag(g, 6.0f, 8.0f, 3.0f, 4.0f, 3, 3);
        EXPECT_FLOAT_EQ(g.data.x2, 6.0f);
        EXPECT_FLOAT_EQ(g.data.y2, 8.0f);
    }
    // Zero vectors leave the points (and no NaN): the mouse on the centre, a circle without radius.
    const struct { GateData d; int part; float x, y; const char* what; } zero[] = {
        {{1, 1, 4, 5}, W::kDragTurn, 1, 1, "turn with the mouse on the first point"},
        {{1, 1, 4, 5}, W::kDragRadius, 1, 1, "radius with the mouse on the centre"},
        {{1, 1, 1, 1}, W::kDragRadius, 5, 5, "radius of an empty circle"},
        {{1, 1, 1, 1}, W::kDragTurn, 5, 5, "turn of an empty segment"},
    };
    for (const auto& z : zero) {
        W::CGate g = Pressed(owner, z.d, z.part, W::kGateCircle);
        ApplyGateDrag(g, z.x, z.y, 0.0f, 0.0f, 3, 3);
        EXPECT_FLOAT_EQ(g.data.x2, z.d.x2) << z.what;
        EXPECT_FLOAT_EQ(g.data.y2, z.d.y2) << z.what;
    }
}

TEST(GateLogicTest, LabelFigureAndText) {
    const struct { int kind; int figure; } figures[] = {
        {W::kGateCrossStart | W::kGateBox, W::kGateBox},  // a placed figure wins over an earlier unplaced one
        {W::kGateCrossStart | W::kGateCrossEnd, W::kGateCrossStart},
        {W::kGateCircle, W::kGateCircle},
        {W::kGateSegment | W::kGateSegmentEndLabel, W::kGateSegment},
        {W::kGateBand | W::kGateLine, W::kGateBand},
        {W::kGateLabel | X, 0},
    };
    for (const auto& f : figures) EXPECT_EQ(GateLabelFigure(f.kind), f.figure) << f.kind;

    W owner;
    const struct { int kind; int xDec, yDec; const char* text; } texts[] = {
        {W::kGateBand | X, 3, 3, "Gate( 1.0000,--) ( 2.0000,--)"},  // 3 decimals print four
        {W::kGateBand | Y, 1, 2, "Gate(--, 0.50) (--,1.50)"},
        {W::kGateBar | X, 1, 2, "Gate( 1.0,0.50) ( 2.0,--)"},
        {W::kGateBar | Y, 1, 2, "Gate( 1.0,0.50) (--,1.50)"},
        {W::kGateLine | X, 1, 2, "Gate( 1.0,--)"},
        {W::kGateCrossEnd | Y, 1, 2, "Gate(--, --) (--,1.50)"},
        {W::kGateCrosshair, 0, 0, "Gate( 1,0)"},
        {W::kGateBox | X, 1, 2, "Gate( 1.0,0.50) ( 2.0,1.50)"},
    };
    for (const auto& t : texts) {
        W::CGate g = MakeGate(owner, t.kind);
        g.label = "Gate";
        g.data = {1.0f, 0.5f, 2.0f, 1.5f};
        EXPECT_EQ(GateLabelText(g, GateLabelFigure(t.kind), t.xDec, t.yDec), "Gate") << "not dragged";
        g.bDragging = 1;
        EXPECT_EQ(GateLabelText(g, GateLabelFigure(t.kind), t.xDec, t.yDec), t.text);
    }
}
