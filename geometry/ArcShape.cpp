#include "geometry/ArcShape.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

bool Finite(const CVector3D& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

void GrowPoint(const CPoint3D& p, double lo[3], double hi[3]) {
    const double q[3] = {p.x, p.y, p.z};
    for (int k = 0; k < 3; ++k) {
        lo[k] = std::min(lo[k], q[k]);
        hi[k] = std::max(hi[k], q[k]);
    }
}

}  // namespace

ArcShape MakeArcShape(const CArrayOfArcs::stArc& arc) {
    ArcShape shape;
    shape.a = arc.m_start;
    shape.b = arc.m_end;
    if (arc.m_kind != CArrayOfArcs::kCircular) return shape;

    const CVector3D n = arc.m_normal.Normalised();
    const double nLength = n.Length();
    if (!(std::fabs(nLength - 1.0) < 1e-9)) return shape;
    const CVector3D fromCentre = arc.m_start - arc.m_centre;
    const double height = fromCentre * n;
    // The circle lies in the plane through the start point, perpendicular to the normal.
    const CVector3D u = fromCentre - n * height;
    const double radius = u.Length();
    if (!(radius > 0.0) || !std::isfinite(radius) || !Finite(u)) return shape;

    shape.straight = false;
    shape.c = arc.m_centre + n * height;
    shape.u = u;
    shape.v = n ^ u;
    const CVector3D toEnd = arc.m_end - shape.c;
    double sweep = std::atan2(toEnd * shape.v, toEnd * shape.u);
    if (!std::isfinite(sweep)) sweep = kTwoPi;
    if (sweep <= 0.0) sweep += kTwoPi;
    shape.sweep = sweep;
    return shape;
}

bool TransformArcShape(const ArcShape& shape, const CCoordinates3D& frame, ArcShape& out) {
    out = shape;
    out.a.CoordTransform(frame);
    out.b.CoordTransform(frame);
    if (!out.a.IsValid() || !out.b.IsValid()) return false;
    if (shape.straight) return true;
    out.c.CoordTransform(frame);
    return out.c.IsValid() && frame.VectorFromParent(shape.u, out.u) && frame.VectorFromParent(shape.v, out.v);
}

CPoint3D ArcShapePoint(const ArcShape& shape, double f) {
    if (shape.straight) return shape.a + (shape.b - shape.a) * f;
    if (f <= 0.0) return shape.a;
    const double s = shape.sweep * f;
    return shape.c + shape.u * std::cos(s) + shape.v * std::sin(s);
}

void GrowArcShapeBounds(const ArcShape& shape, double lo[3], double hi[3]) {
    GrowPoint(shape.a, lo, hi);
    if (shape.straight) {
        GrowPoint(shape.b, lo, hi);
        return;
    }
    GrowPoint(ArcShapePoint(shape, 1.0), lo, hi);
    // Each coordinate c + u cos s + v sin s peaks where tan s = v / u, and half a turn later.
    const double uk[3] = {shape.u.x, shape.u.y, shape.u.z};
    const double vk[3] = {shape.v.x, shape.v.y, shape.v.z};
    const double ck[3] = {shape.c.x, shape.c.y, shape.c.z};
    for (int k = 0; k < 3; ++k) {
        if (uk[k] == 0.0 && vk[k] == 0.0) continue;
        double s = std::atan2(vk[k], uk[k]);
        for (int half = 0; half < 2; ++half, s += std::numbers::pi) {
            double angle = std::fmod(s, kTwoPi);
            if (angle < 0.0) angle += kTwoPi;
            if (angle > shape.sweep) continue;
            const double value = ck[k] + uk[k] * std::cos(angle) + vk[k] * std::sin(angle);
            lo[k] = std::min(lo[k], value);
            hi[k] = std::max(hi[k], value);
        }
    }
}
