// Outline arcs: exact bounds, measuring in view coordinates, and drawing with the viewer's mapping.
#include <gtest/gtest.h>

#include <cmath>

#include "geometry/CArrayOfArcs.h"
#include "geometry/ViewMapping.h"
#include "platform/gdi/CBitmap.h"
#include "platform/gdi/CDC.h"

namespace {

void ExpectPoint(const CPoint3D& p, double x, double y, double z, const char* why) {
    EXPECT_NEAR(p.x, x, 1e-9) << why;
    EXPECT_NEAR(p.y, y, 1e-9) << why;
    EXPECT_NEAR(p.z, z, 1e-9) << why;
}

TEST(ArcBoundsTest, ExactBoundaries) {
    const CVector3D up(0, 0, 1);
    struct Case {
        const char* why;
        CArrayOfArcs arcs;
        double lo[3], hi[3];
    };
    Case cases[4];
    cases[0].why = "full circle of radius 2 about (1, 1, 0)";
    cases[0].arcs.AddArc(CPoint3D(3, 1, 0), CPoint3D(3, 1, 0), CPoint3D(1, 1, 0), up);
    cases[0].lo[0] = -1, cases[0].lo[1] = -1, cases[0].lo[2] = 0, cases[0].hi[0] = 3, cases[0].hi[1] = 3, cases[0].hi[2] = 0;
    cases[1].why = "quarter arc counter-clockwise from +x to +y: only its own quadrant";
    cases[1].arcs.AddArc(CPoint3D(1, 0, 0), CPoint3D(0, 1, 0), CPoint3D(0, 0, 0), up);
    cases[1].lo[0] = 0, cases[1].lo[1] = 0, cases[1].lo[2] = 0, cases[1].hi[0] = 1, cases[1].hi[1] = 1, cases[1].hi[2] = 0;
    cases[2].why = "the same ends clockwise (normal down): three quadrants";
    cases[2].arcs.AddArc(CPoint3D(1, 0, 0), CPoint3D(0, 1, 0), CPoint3D(0, 0, 0), CVector3D(0, 0, -1));
    cases[2].lo[0] = -1, cases[2].lo[1] = -1, cases[2].lo[2] = 0, cases[2].hi[0] = 1, cases[2].hi[1] = 1, cases[2].hi[2] = 0;
    cases[3].why = "a segment and a circle with a zero normal, drawn as the segment between its ends";
    cases[3].arcs.AddLine(CPoint3D(-2, 0, 5), CPoint3D(0, 0, -5));
    cases[3].arcs.AddArc(CPoint3D(4, 4, 0), CPoint3D(5, 4, 0), CPoint3D(0, 0, 0), CVector3D(0, 0, 0));
    cases[3].lo[0] = -2, cases[3].lo[1] = 0, cases[3].lo[2] = -5, cases[3].hi[0] = 5, cases[3].hi[1] = 4, cases[3].hi[2] = 5;
    for (const Case& c : cases) {
        CPoint3D lo, hi;
        c.arcs.GetBoundary(lo, hi);
        ExpectPoint(lo, c.lo[0], c.lo[1], c.lo[2], c.why);
        ExpectPoint(hi, c.hi[0], c.hi[1], c.hi[2], c.why);
    }
    CPoint3D lo, hi;
    CArrayOfArcs().GetBoundary(lo, hi);
    EXPECT_FALSE(lo.IsValid());
    EXPECT_FALSE(hi.IsValid());
}

TEST(ArcDrawTest, MeasuresInViewCoordinatesWithoutAContext) {
    CArrayOfArcs arcs;
    arcs.AddLine(CPoint3D(0, 0, 0), CPoint3D(100, 40, 7));
    CfRect extent;
    // Side view: the screen's x is world z.
    const CCoordinates3D side(CVector3D(0, 0, 1), CVector3D(0, 1, 0), 0, CPoint3D(0, 0, 0));
    arcs.DrawYFlipped(nullptr, nullptr, CfRect(0, 0, 1, 1), extent, side);
    EXPECT_EQ(extent, CfRect(0, 0, 7, 40));
    // A degenerate frame shows nothing, and says so with an empty extent.
    const CCoordinates3D flat(CPoint3D(0, 0, 0), CVector3D(1, 0, 0), CVector3D(1, 0, 0), CVector3D(0, 0, 1));
    arcs.DrawYFlipped(nullptr, nullptr, CfRect(0, 0, 1, 1), extent, flat);
    EXPECT_TRUE(extent.IsEmpty());
}

TEST(ViewMappingTest, ScaleAndFlip) {
    // 400 x 300 bounds and a 40 x 40 view: sx = 10, sy = 7.5, the smaller wins.
    const CRect bounds(0, 0, 400, 300);
    const CfRect view(0, 0, 40, 40);
    const float scale = ComputeViewScale(bounds, view);
    EXPECT_EQ(scale, 7.5f);
    CPoint p = ProjectViewPoint(40, 40, view, scale);
    EXPECT_EQ(CPoint(p.x, FlipViewY(bounds, p.y)), CPoint(300, 0));
    p = ProjectViewPoint(0, 0, view, scale);
    EXPECT_EQ(CPoint(p.x, FlipViewY(bounds, p.y)), CPoint(0, 300));
    // A view of no width: the x scale is infinite and the y scale is used.
    EXPECT_EQ(ComputeViewScale(bounds, CfRect(5, 0, 5, 40)), 7.5f);
    // Coordinates far outside saturate instead of overflowing.
    p = ProjectViewPoint(1e30, -1e30, view, scale);
    EXPECT_EQ(p.x, INT32_MAX);
    EXPECT_EQ(FlipViewY(bounds, INT32_MIN), INT32_MAX);
}

class ArcPixelsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_bitmap.CreateBitmap(40, 40, 1, 32, nullptr));
        ASSERT_TRUE(m_dc.CreateCompatibleDC(nullptr));
        m_dc.SelectObject(&m_bitmap);
        const CRect all(0, 0, 40, 40);
        m_dc.FillSolidRect(&all, RGB(255, 255, 255));
    }
    COLORREF Pixel(int x, int y) const { return m_bitmap.GetPixels()[y * 40 + x] & 0xFFFFFF; }

    CBitmap m_bitmap;
    CDC m_dc;
};

TEST_F(ArcPixelsTest, LinesLandWhereTheViewerPutsRaysInTheirColour) {
    // View 0..40 on 40 pixels: one unit per pixel, y flipped.
    CArrayOfArcs arcs;
    arcs.AddLine(CPoint3D(5, 10, 0), CPoint3D(30, 10, 0), RGB(255, 0, 0), 1);
    const CRect bounds(0, 0, 40, 40);
    CfRect extent;
    arcs.DrawYFlipped(&m_dc, &bounds, CfRect(0, 0, 40, 40), extent, CCoordinates3D());
    // View y 10 is pixel row 40 - 10 = 30.
    EXPECT_EQ(Pixel(5, 30), RGB(255, 0, 0));
    EXPECT_EQ(Pixel(29, 30), RGB(255, 0, 0));
    EXPECT_EQ(Pixel(30, 30), RGB(255, 255, 255));  // LineTo leaves its last pixel out
    EXPECT_EQ(Pixel(5, 10), RGB(255, 255, 255));   // not drawn unflipped
    EXPECT_EQ(extent, CfRect(5, 10, 30, 10));
}

TEST_F(ArcPixelsTest, CircleIsRoundAndInItsPenWidth) {
    CArrayOfArcs arcs;
    arcs.AddArc(CPoint3D(30, 20, 0), CPoint3D(30, 20, 0), CPoint3D(20, 20, 0), CVector3D(0, 0, 1), RGB(0, 0, 255), 3);
    const CRect bounds(0, 0, 40, 40);
    CfRect extent;
    arcs.DrawYFlipped(&m_dc, &bounds, CfRect(0, 0, 40, 40), extent, CCoordinates3D());
    // The four extreme points of a radius-10 circle about (20, 20), and the centre left blank.
    for (CPoint p : {CPoint(30, 20), CPoint(10, 20), CPoint(20, 10), CPoint(20, 30)})
        EXPECT_EQ(Pixel(p.x, p.y), RGB(0, 0, 255)) << p.x << "," << p.y;
    EXPECT_EQ(Pixel(20, 20), RGB(255, 255, 255));
    // Width 3 reaches one pixel inside the circle.
    EXPECT_EQ(Pixel(29, 20), RGB(0, 0, 255));
    EXPECT_EQ(Pixel(27, 20), RGB(255, 255, 255));
    EXPECT_NEAR(extent.left, 10.0f, 1e-4);
    EXPECT_NEAR(extent.top, 30.0f, 1e-4);
}

}  // namespace
