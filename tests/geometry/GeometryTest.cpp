// Frames, points, rectangles, legs and bundles at the values the viewer relies on.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

#include "geometry/CBundle.h"
#include "geometry/CCoordinates3D.h"
#include "geometry/CfRect.h"

namespace {

constexpr double kPi = std::numbers::pi;

void ExpectNear(const CVector3D& a, const CVector3D& b, double tol = 1e-12) {
    EXPECT_NEAR(a.x, b.x, tol);
    EXPECT_NEAR(a.y, b.y, tol);
    EXPECT_NEAR(a.z, b.z, tol);
}

// The rotation frames the viewer builds for Rotate, Spin and Tilt (angle in degrees).
CCoordinates3D RotateFrame(double deg) {
    const double a = deg * kPi * 0.005555555555555556;
    return CCoordinates3D(CVector3D(std::cos(a), std::sin(a), 0), 0, CVector3D(0, 0, 1), CPoint3D(0, 0, 0));
}
CCoordinates3D SpinFrame(double deg) {
    const double a = deg * kPi * 0.005555555555555556;
    return CCoordinates3D(0, CVector3D(0, 1, 0), CVector3D(std::sin(a), 0, std::cos(a)), CPoint3D(0, 0, 0));
}
CCoordinates3D TiltFrame(double deg) {
    const double a = deg * kPi * 0.005555555555555556;
    return CCoordinates3D(CVector3D(1, 0, 0), 0, CVector3D(0, -std::sin(a), std::cos(a)), CPoint3D(0, 0, 0));
}

TEST(FrameTest, DerivedAxes) {
    // Default view: Z = Y ^ X points into the screen.
    CCoordinates3D def;
    ExpectNear(def.GetZAxis(), CVector3D(0, 0, -1));
    // Built from X and Y as the viewer does: the same Z as the default.
    CCoordinates3D fromXY(CVector3D(1, 0, 0), CVector3D(0, 1, 0), 0, CPoint3D(0, 0, 0));
    ExpectNear(fromXY.GetZAxis(), CVector3D(0, 0, -1));
    // Rotation frames at zero angle are the identity (right-handed: Z = +z).
    for (const CCoordinates3D& r : {RotateFrame(0), SpinFrame(0), TiltFrame(0)}) {
        ExpectNear(r.GetXAxis(), CVector3D(1, 0, 0));
        ExpectNear(r.GetYAxis(), CVector3D(0, 1, 0));
        ExpectNear(r.GetZAxis(), CVector3D(0, 0, 1));
    }
    // At other angles they are proper rotations: X ^ Y = Z, determinant +1.
    for (const CCoordinates3D& r : {RotateFrame(30), SpinFrame(-70), TiltFrame(123)}) {
        ExpectNear(r.GetXAxis() ^ r.GetYAxis(), r.GetZAxis());
        EXPECT_NEAR(r.Determinant(), 1.0, 1e-12);
    }
    // Rotate(90) turns the screen's x axis onto its y axis.
    ExpectNear(RotateFrame(90).GetYAxis(), CVector3D(-1, 0, 0));
}

// Applies a rotation given in view coordinates to a view frame, as the viewer does.
CCoordinates3D Apply(const CCoordinates3D& view, CCoordinates3D rotation) {
    rotation.InverseCoordTransform(view);
    return rotation;
}

TEST(FrameTest, ZeroAnglesLeaveTheFrameAndRotateThereAndBackRestoresIt) {
    const CCoordinates3D view(CPoint3D(1, 2, 3), CVector3D(0.8, 0.6, 0), CVector3D(-0.6, 0.8, 0), CVector3D(0, 0, -1));
    // Spin(0) and Tilt(0) change nothing, not even the origin.
    for (const CCoordinates3D& r : {SpinFrame(0), TiltFrame(0), RotateFrame(0)}) {
        const CCoordinates3D after = Apply(view, r);
        ExpectNear(after.GetXAxis(), view.GetXAxis());
        ExpectNear(after.GetYAxis(), view.GetYAxis());
        ExpectNear(after.GetZAxis(), view.GetZAxis());
        // The rotation's origin (0,0,0) is the view's origin.
        EXPECT_EQ(after.GetOrigin(), view.GetOrigin());
    }
    const CCoordinates3D back = Apply(Apply(view, RotateFrame(90)), RotateFrame(-90));
    ExpectNear(back.GetXAxis(), view.GetXAxis());
    ExpectNear(back.GetYAxis(), view.GetYAxis());
    ExpectNear(back.GetZAxis(), view.GetZAxis());
}

TEST(FrameTest, CoordTransformSolvesTheFrameEquationAndInvertsIt) {
    // Skewed, unnormalised axes are used as they are.
    const CCoordinates3D f(CPoint3D(10, -2, 5), CVector3D(2, 0, 0), CVector3D(1, 1, 0), CVector3D(0, 0, -3));
    CPoint3D p(13, 1, -1);
    p.CoordTransform(f);
    // origin + x X + y Y + z Z = (10 + 2x + y, -2 + y, 5 - 3z) = (13, 1, -1)
    EXPECT_NEAR(p.x, 0.0, 1e-12);
    EXPECT_NEAR(p.y, 3.0, 1e-12);
    EXPECT_NEAR(p.z, 2.0, 1e-12);
    EXPECT_TRUE(p.IsValid());
    p.InverseCoordTransform(f);
    ExpectNear(p.AsVector(), CVector3D(13, 1, -1));
}

TEST(FrameTest, DegenerateFramesGiveInvalidPoints) {
    struct Case {
        const char* why;
        CCoordinates3D frame;
    } cases[] = {
        // Y parallel to X: no plane.
        {"parallel axes", CCoordinates3D(CPoint3D(0, 0, 0), CVector3D(1, 0, 0), CVector3D(2, 0, 0), CVector3D(0, 0, 1))},
        // A zero axis, as a view built from a zero Y axis gets.
        {"zero axis", CCoordinates3D(CVector3D(1, 0, 0), CVector3D(0, 0, 0), 0, CPoint3D(0, 0, 0))},
        // Non-finite components.
        {"NaN axis", CCoordinates3D(CPoint3D(0, 0, 0), CVector3D(std::nan(""), 0, 0), CVector3D(0, 1, 0),
                                    CVector3D(0, 0, 1))},
    };
    for (const Case& c : cases) {
        CPoint3D p(1, 2, 3);
        p.CoordTransform(c.frame);
        EXPECT_FALSE(p.IsValid()) << c.why;
    }
    // An invalid point stays invalid through any frame.
    CPoint3D invalid(false);
    invalid.CoordTransform(CCoordinates3D());
    EXPECT_FALSE(invalid.IsValid());
}

TEST(RectTest, EmptyBiggestPartAndExpand) {
    CfRect empty;
    EXPECT_TRUE(empty.IsEmpty());
    // The empty rectangle's values make a usable unit view, not a division by zero.
    EXPECT_EQ(empty.Width(), 1.0f);
    EXPECT_EQ(empty.Height(), 1.0f);

    CfRect r;
    r.BiggestPart(CfRect());  // nothing merged into nothing
    EXPECT_TRUE(r.IsEmpty());
    r.BiggestPart(CfRect(2, 3, 4, 5));  // the first rectangle replaces the empty one
    EXPECT_EQ(r, CfRect(2, 3, 4, 5));
    r.BiggestPart(CfRect());  // an empty one changes nothing
    EXPECT_EQ(r, CfRect(2, 3, 4, 5));
    r.BiggestPart(CfRect(-1, 4, 3, 10));
    EXPECT_EQ(r, CfRect(-1, 3, 4, 10));
    // A point rectangle is not empty: a single point has an extent.
    CfRect point;
    point.Include(7, 8);
    EXPECT_FALSE(point.IsEmpty());
    EXPECT_EQ(point, CfRect(7, 8, 7, 8));

    // Expand keeps the centre; 0.8 then 1.25 restores the size.
    CfRect z(0, 0, 40, 20);
    z.Expand(0.8f);
    EXPECT_EQ(z, CfRect(4, 2, 36, 18));
    z.Expand(1.25f);
    EXPECT_NEAR(z.Width(), 40.0f, 1e-5);
    EXPECT_NEAR(z.Height(), 20.0f, 1e-5);
    EXPECT_NEAR(z.left, 0.0f, 1e-5);
}

TEST(RayTest, PointsAtTimes) {
    const CUTRay ended(CPoint3D(0, 0, 0), CPoint3D(10, 0, 0), 2.0, 4.0);
    const CUTRay open(CPoint3D(0, 0, 0), CVector3D(0, 2, 0), 3.0, 1.0);  // direction not unit
    const CUTRay instant(CPoint3D(1, 1, 1), CPoint3D(2, 2, 2), 5.0, 5.0);
    struct Case {
        const char* why;
        const CUTRay* ray;
        double t;
        CVector3D expected;
    } cases[] = {
        {"start of an ended leg", &ended, 2.0, {0, 0, 0}},
        {"middle of an ended leg", &ended, 3.0, {5, 0, 0}},
        {"beyond the end: the line extends", &ended, 6.0, {20, 0, 0}},
        {"a leg without end moves speed x time along its unit direction", &open, 3.0, {0, 6, 0}},
        {"a zero-duration leg is at its origin up to its start", &instant, 5.0, {1, 1, 1}},
        {"and at its end after it", &instant, 5.5, {2, 2, 2}},
    };
    for (const Case& c : cases) {
        const CPoint3D p = c.ray->AtTime(c.t);
        EXPECT_TRUE(p.IsValid()) << c.why;
        ExpectNear(p.AsVector(), c.expected);
    }
    EXPECT_EQ(ended.GetTimeAtEnd(), 4.0);
    EXPECT_EQ(open.GetTimeAtEnd(), std::numeric_limits<double>::infinity());
    EXPECT_FALSE(open.GetEnd().IsValid());
    ExpectNear(open.GetDirection(), CVector3D(0, 2, 0));
    ExpectNear(ended.GetDirection(), CVector3D(1, 0, 0));
    EXPECT_DOUBLE_EQ(ended.GetSpeed(), 5.0);
    // A time of 1e300 gives an infinite point, which is invalid rather than garbage.
    EXPECT_FALSE(open.AtTime(1e308).IsValid());
}

TEST(BundleTest, ExtremeTimes) {
    CBundle bundle;
    double lo = 0, hi = 0;
    bundle.GetBundleExtreemTimes(lo, hi);
    EXPECT_EQ(lo, 1e100);  // empty: leaves a running min/max unchanged
    EXPECT_EQ(hi, -1e100);
    bundle.m_rays.emplace_back(CPoint3D(0, 0, 0), CPoint3D(1, 0, 0), 2.7, 10.0);
    bundle.m_rays.emplace_back(CPoint3D(0, 0, 0), CPoint3D(1, 0, 0), 20.0, 48.9);
    // A leg without end contributes its start only: its end time is infinite.
    bundle.m_rays.emplace_back(CPoint3D(0, 0, 0), CVector3D(1, 0, 0), 3.0, 30.0);
    // NaN times are skipped.
    bundle.m_rays.emplace_back(CPoint3D(0, 0, 0), CPoint3D(1, 0, 0), std::nan(""), std::nan(""));
    bundle.GetBundleExtreemTimes(lo, hi);
    EXPECT_EQ(lo, 2.7);
    EXPECT_EQ(hi, 48.9);
}

}  // namespace
