// The draw's projection must give the same pixels, and the same verdict on degenerate input, as a
// point transformed into the view frame and mapped one at a time.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>

#include "geometry/CCoordinates3D.h"
#include "geometry/ViewMapping.h"
#include "viewer/ViewProjection.h"

using orvex::viewer::CViewProjection;

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The mapping one point at a time, as ProjectPoint always did it.
bool ProjectOne(const CCoordinates3D& frame, const CfRect& view, float scale, const CPoint3D& point, int& x, int& y) {
    CPoint3D v = point;
    v.CoordTransform(frame);
    const CPoint pixel = ProjectViewPoint(v.x, v.y, view, scale);
    x = pixel.x;
    y = pixel.y;
    return v.IsValid();
}

void ExpectSame(const CCoordinates3D& frame, const CfRect& view, float scale, const CPoint3D& p,
                const std::string& what) {
    int ex = 0, ey = 0, ax = 0, ay = 0;
    const bool expected = ProjectOne(frame, view, scale, p, ex, ey);
    const CViewProjection projection(frame, view, scale);
    const bool actual = projection.Project(p, ax, ay);
    EXPECT_EQ(actual, expected) << what << " at (" << p.x << ", " << p.y << ", " << p.z << ")";
    EXPECT_EQ(ax, ex) << what;
    EXPECT_EQ(ay, ey) << what;
}

CPoint3D Invalid() { return CPoint3D(false); }

}  // namespace

TEST(ViewProjectionTest, SameAsTransformingEachPoint) {
    const CPoint3D origin(3.5, -2.0, 7.25);
    struct Row {
        const char* what;
        CCoordinates3D frame;
    } rows[] = {
        {"the default front view", CCoordinates3D()},
        {"turned and tilted, unit axes",
         CCoordinates3D(CVector3D(0.8660254037844387, 0.0, -0.5), CVector3D(0.17101007166283436, 0.9396926207859084,
                                                                              0.29619813272602386),
                        0, origin)},
        {"skewed and scaled axes", CCoordinates3D(origin, CVector3D(2.0, 0.3, 0.0), CVector3D(-0.1, 0.5, 0.2),
                                                  CVector3D(0.0, 0.4, -3.0))},
        // Nearly parallel axes: the frame's own test rejects them for every point.
        {"nearly parallel axes", CCoordinates3D(origin, CVector3D(1.0, 0.0, 0.0), CVector3D(1.0, 1e-14, 0.0),
                                                CVector3D(0.0, 0.0, 1.0))},
        {"a zero axis", CCoordinates3D(origin, CVector3D(0.0, 0.0, 0.0), CVector3D(0.0, 1.0, 0.0),
                                       CVector3D(0.0, 0.0, 1.0))},
        {"an infinite axis", CCoordinates3D(origin, CVector3D(kInf, 0.0, 0.0), CVector3D(0.0, 1.0, 0.0),
                                            CVector3D(0.0, 0.0, 1.0))},
        {"a NaN axis", CCoordinates3D(origin, CVector3D(kNaN, 0.0, 0.0), CVector3D(0.0, 1.0, 0.0),
                                      CVector3D(0.0, 0.0, 1.0))},
        // Huge axes: the determinant is finite but the sizes' product overflows.
        {"huge axes", CCoordinates3D(origin, CVector3D(1e120, 0.0, 0.0), CVector3D(0.0, 1e120, 0.0),
                                     CVector3D(0.0, 0.0, 1e-200))},
    };
    const CfRect views[] = {CfRect(-10.0f, -5.0f, 90.0f, 75.0f), CfRect(0.0f, 0.0f, 1.0f, 1.0f)};
    const float scales[] = {10.0f, 0.37f, std::numeric_limits<float>::infinity()};

    std::mt19937_64 rng(42);
    std::uniform_real_distribution<double> coordinate(-200.0, 200.0);
    for (const Row& row : rows) {
        for (const CfRect& view : views) {
            for (float scale : scales) {
                for (int i = 0; i < 200; ++i)
                    ExpectSame(row.frame, view, scale, CPoint3D(coordinate(rng), coordinate(rng), coordinate(rng)),
                               row.what);
                // Points the transform cannot carry: overflow to infinity, NaN, and an invalid point.
                ExpectSame(row.frame, view, scale, CPoint3D(1e308, -1e308, 1e308), row.what);
                ExpectSame(row.frame, view, scale, CPoint3D(kNaN, 0.0, 0.0), row.what);
                ExpectSame(row.frame, view, scale, CPoint3D(0.0, 0.0, kInf), row.what);
                ExpectSame(row.frame, view, scale, Invalid(), row.what);
                // Coordinates far beyond the pixel range saturate the same way.
                ExpectSame(row.frame, view, scale, CPoint3D(1e30, 2e30, -1e30), row.what);
            }
        }
    }
}
