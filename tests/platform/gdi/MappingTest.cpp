// Mapping modes and coordinate conversion.
#include "GdiTestUtil.h"

#include "platform/gdi/CPen.h"

#include <climits>

TEST(MappingTest, LoEnglishIsAHundredthOfAnInchWithYUp) {
    TestCanvas c(200, 200);
    c.dc.SetMapMode(MM_LOENGLISH);
    struct Row {
        POINT logical, device;
    } rows[] = {
        {{100, -100}, {96, 96}},   // one inch right and down
        {{0, 0}, {0, 0}},
        {{50, 50}, {48, -48}},
        {{1, -1}, {1, 1}},          // 0.96 rounds to 1
        {{-1, 1}, {-1, -1}},
        {{25, 0}, {24, 0}},
        {{-25, 0}, {-24, 0}},        // -24.0 exactly
        {{-52, 0}, {-50, 0}},        // -49.92
        {{75, 0}, {72, 0}},
    };
    for (const Row& r : rows) {
        POINT p = r.logical;
        c.dc.LPtoDP(&p);
        EXPECT_EQ(CPoint(p), CPoint(r.device)) << r.logical.x << "," << r.logical.y;
    }
    EXPECT_EQ(c.dc.GetWindowExt(), CSize(100, 100));
    EXPECT_EQ(c.dc.GetViewportExt(), CSize(96, -96));
    // A line of one logical inch covers 96 pixels.
    c.dc.MoveTo(0, -10);
    c.dc.LineTo(100, -10);
    EXPECT_EQ(c.InkBox(RGB(255, 255, 255)), CRect(0, 10, 96, 11));
}

TEST(MappingTest, HalvesRoundTowardPlusInfinityBothWays) {
    TestCanvas c(10, 10);
    c.dc.SetMapMode(MM_ANISOTROPIC);
    c.dc.SetWindowExt(2, 2);
    c.dc.SetViewportExt(1, 1);
    struct Row {
        int in, out;
    } rows[] = {{1, 1}, {-1, 0}, {3, 2}, {-3, -1}, {2, 1}, {0, 0}};  // 0.5 -> 1, -0.5 -> 0, 1.5 -> 2, -1.5 -> -1
    for (const Row& r : rows) {
        POINT p{r.in, r.in};
        c.dc.LPtoDP(&p);
        EXPECT_EQ(p.x, r.out) << r.in;
        EXPECT_EQ(p.y, r.out) << r.in;
    }
    c.dc.SetWindowExt(1, 1);
    c.dc.SetViewportExt(2, 2);
    POINT d{3, -3};
    c.dc.DPtoLP(&d);
    EXPECT_EQ(CPoint(d), CPoint(2, -1));  // 1.5 -> 2, -1.5 -> -1
}

TEST(MappingTest, AnisotropicWithOriginsAndExtents) {
    TestCanvas c(10, 10);
    EXPECT_EQ(c.dc.SetMapMode(MM_ANISOTROPIC), MM_TEXT);
    c.dc.SetWindowExt(400, 300);
    c.dc.SetViewportExt(800, 150);
    c.dc.SetWindowOrg(10, 20);
    c.dc.SetViewportOrg(100, 50);
    POINT p[2] = {{10, 20}, {210, 320}};
    c.dc.LPtoDP(p, 2);
    EXPECT_EQ(CPoint(p[0]), CPoint(100, 50));
    EXPECT_EQ(CPoint(p[1]), CPoint(500, 200));
    c.dc.DPtoLP(p, 2);
    EXPECT_EQ(CPoint(p[1]), CPoint(210, 320));
    EXPECT_EQ(c.dc.SetWindowExt(0, 5), CSize(400, 300));  // zero refused
    EXPECT_EQ(c.dc.GetWindowExt(), CSize(400, 300));
    c.dc.SetMapMode(MM_TEXT);
    EXPECT_EQ(c.dc.SetViewportExt(5, 5), CSize(1, 1));  // ignored outside MM_ANISOTROPIC
    EXPECT_EQ(c.dc.GetViewportExt(), CSize(1, 1));
}

TEST(MappingTest, ExtremeCoordinatesSaturate) {
    TestCanvas c(10, 10);
    c.dc.SetMapMode(MM_ANISOTROPIC);
    c.dc.SetWindowExt(1, 1);
    c.dc.SetViewportExt(1000, -1000);
    POINT p{INT_MAX, INT_MAX};
    c.dc.LPtoDP(&p);
    EXPECT_EQ(p.x, INT_MAX);
    EXPECT_EQ(p.y, INT_MIN);
    c.dc.SetMapMode(MM_TEXT);
    c.dc.SetViewportOrg(INT_MAX, 0);
    POINT q{INT_MAX, 0};
    c.dc.LPtoDP(&q);
    EXPECT_EQ(q.x, INT_MAX);
    // Drawing with such points draws only what is visible, and does not hang.
    c.dc.SetViewportOrg(0, 0);
    c.dc.MoveTo(INT_MIN, 5);
    c.dc.LineTo(INT_MAX, 5);
    EXPECT_EQ(c.At(9, 5), RGB(0, 0, 0));
}
