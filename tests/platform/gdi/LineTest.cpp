// One-pixel lines: end pixel, current position, tie rule, polylines, the differential test of the
// fast line routine against the per-pixel reference, and coordinates far outside the surface.
#include "GdiTestUtil.h"

#include "platform/gdi/CPen.h"
#include "platform/gdi/CRgn.h"
#include "platform/gdi/CSelectObject.h"
#include "platform/gdi/LineRaster.h"

#include <random>
#include <set>

namespace {
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

std::set<std::pair<int, int>> Inked(const TestCanvas& c) {
    auto v = c.Differing(kWhite);
    return {v.begin(), v.end()};
}
}  // namespace

TEST(LineTest, LineToLeavesOutItsEndAndMovesThePosition) {
    struct Row {
        int x0, y0, x1, y1;
        std::set<std::pair<int, int>> pixels;
    } rows[] = {
        {10, 10, 11, 10, {{10, 10}}},                    // one step: only the start pixel
        {10, 10, 10, 10, {}},                            // zero length draws nothing
        {10, 10, 13, 10, {{10, 10}, {11, 10}, {12, 10}}},
        {10, 10, 10, 7, {{10, 10}, {10, 9}, {10, 8}}},   // upward
        {0, 0, 2, 1, {{0, 0}, {1, 0}}},                  // tie at x = 1 (y 0.5): the smaller y
        {2, 1, 0, 0, {{2, 1}, {1, 0}}},                  // the same line backwards: same tie pixel
        {0, 0, 1, 2, {{0, 0}, {0, 1}}},                  // y-major tie: the smaller x
        {5, 5, 8, 8, {{5, 5}, {6, 6}, {7, 7}}},          // diagonal
    };
    for (const Row& r : rows) {
        TestCanvas c(20, 20);
        c.dc.MoveTo(r.x0, r.y0);
        EXPECT_TRUE(c.dc.LineTo(r.x1, r.y1));
        EXPECT_EQ(Inked(c), r.pixels) << r.x0 << "," << r.y0 << " -> " << r.x1 << "," << r.y1;
        EXPECT_EQ(c.dc.GetCurrentPosition(), CPoint(r.x1, r.y1));
    }
}

TEST(LineTest, BackwardLineCoversTheSamePixelsApartFromItsEnds) {
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> coord(0, 39);
    for (int i = 0; i < 300; ++i) {
        const int x0 = coord(rng), y0 = coord(rng), x1 = coord(rng), y1 = coord(rng);
        if (x0 == x1 && y0 == y1) continue;
        TestCanvas a(40, 40), b(40, 40);
        a.dc.MoveTo(x0, y0);
        a.dc.LineTo(x1, y1);
        b.dc.MoveTo(x1, y1);
        b.dc.LineTo(x0, y0);
        auto fa = Inked(a), fb = Inked(b);
        fa.insert({x1, y1});
        fb.insert({x0, y0});
        ASSERT_EQ(fa, fb) << x0 << "," << y0 << " " << x1 << "," << y1;
    }
}

TEST(LineTest, PolylineDrawsEachVertexOnceAndLeavesOutTheLastPoint) {
    TestCanvas c(30, 30);
    c.dc.SetROP2(R2_XORPEN);  // a pixel drawn twice would come back white
    CPen pen(PS_SOLID, 0, RGB(255, 255, 255));
    CSelectObject sel(c.dc, pen);
    c.Fill(kBlack);
    const POINT closed[] = {{5, 5}, {20, 5}, {20, 20}, {5, 20}, {5, 5}};
    EXPECT_TRUE(c.dc.Polyline(closed, 5));
    // 4 sides of 15 pixels each; every corner drawn exactly once.
    EXPECT_EQ(c.Differing(kBlack).size(), 60u);
    for (auto [x, y] : std::vector<std::pair<int, int>>{{5, 5}, {20, 5}, {20, 20}, {5, 20}})
        EXPECT_EQ(c.At(x, y), kWhite) << x << "," << y;
    EXPECT_EQ(c.dc.GetCurrentPosition(), CPoint(0, 0));  // Polyline neither uses nor moves it

    TestCanvas open(30, 30);
    const POINT pts[] = {{2, 2}, {6, 2}, {6, 6}};
    open.dc.Polyline(pts, 3);
    EXPECT_EQ(open.Differing(kWhite).size(), 8u);
    EXPECT_EQ(open.At(6, 6), kWhite);  // the last point
    EXPECT_FALSE(open.dc.Polyline(pts, 1));
}

namespace {

// Runs the fast routine and the reference on the same random lines and compares every pixel.
void CompareWithReference(int style, bool opaque, unsigned seed, int range) {
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> coord(-range, range + 64);
    std::uniform_int_distribution<int> clipEdge(0, 64);
    const gdi::DashPattern dash = gdi::MakeDashPattern(style);
    for (int i = 0; i < 400; ++i) {
        std::vector<uint32_t> fast(64 * 64, 0xFFFFFF), ref(64 * 64, 0xFFFFFF);
        gdi::RasterTarget tf{fast.data(), 64, 0, 0, CRect()}, tr{ref.data(), 64, 0, 0, CRect()};
        int l = clipEdge(rng), r = clipEdge(rng), t = clipEdge(rng), b = clipEdge(rng);
        if (l > r) std::swap(l, r);
        if (t > b) std::swap(t, b);
        tf.clip = tr.clip = CRect(l, t, r, b);
        gdi::LineStyle ls;
        ls.on = gdi::MakeRop2Masks(R2_XORPEN, 0x123456);
        ls.off = gdi::MakeRop2Masks(R2_COPYPEN, 0x00FF00);
        ls.paintOff = opaque;
        ls.dash = dash.count ? &dash : nullptr;
        uint64_t pf = i % 5, pr = i % 5;  // a phase carried in from a previous segment
        const int x0 = coord(rng), y0 = coord(rng), x1 = coord(rng), y1 = coord(rng);
        gdi::DrawThinLine(tf, x0, y0, x1, y1, ls, pf);
        gdi::DrawThinLineReference(tr, x0, y0, x1, y1, ls, pr);
        ASSERT_EQ(pf, pr);
        ASSERT_EQ(fast, ref) << "line " << x0 << "," << y0 << " -> " << x1 << "," << y1 << " clip " << l << "," << t
                             << "," << r << "," << b;
    }
}

}  // namespace

TEST(LineTest, FastRoutineMatchesThePerPixelReference) {
    struct Row {
        int style;
        bool opaque;
        unsigned seed;
        int range;
    } rows[] = {
        {PS_SOLID, false, 1, 0},        // all inside the 64x64 surface
        {PS_SOLID, false, 2, 200},      // most lines cross the clip edges
        {PS_DOT, true, 3, 100},         // pattern phase at the first visible pixel
        {PS_DASHDOTDOT, false, 4, 300},
        {PS_DASH, true, 5, 1000},       // long lines, few visible pixels
    };
    for (const Row& r : rows) CompareWithReference(r.style, r.opaque, r.seed, r.range);
}

TEST(LineTest, FarCoordinatesDrawOnlyTheVisiblePart) {
    TestCanvas c(50, 50);
    c.dc.MoveTo(-2000000000, 10);
    c.dc.LineTo(2000000000, 10);          // crosses the whole surface
    c.dc.MoveTo(-2147483647, -2147483647);
    c.dc.LineTo(2147483647, 2147483647);  // the main diagonal, from the int32 limits
    c.dc.MoveTo(INT32_MIN, 40);
    c.dc.LineTo(INT32_MIN + 5, 41);       // nowhere near
    for (int x = 0; x < 50; ++x) {
        EXPECT_EQ(c.At(x, 10), kBlack) << x;
        EXPECT_EQ(c.At(x, x), kBlack) << x;
    }
    EXPECT_EQ(c.Differing(kWhite).size(), 99u);
}
