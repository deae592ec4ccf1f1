#include "simulation/RayTracer.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double kEpsilon = 1e-9;
constexpr double kHeadWaveLength = 8.0;

enum class EHit { None, Hole, Backwall, Top, EndWall };

// Distance along the unit direction d from p to the circle, or +inf.
double HitCircle(CPlanePoint p, CPlanePoint d, CPlanePoint c, double r) {
    const double fx = p.x - c.x, fy = p.y - c.y;
    const double b = fx * d.x + fy * d.y;
    const double cc = fx * fx + fy * fy - r * r;
    const double disc = b * b - cc;
    if (disc < 0.0) return std::numeric_limits<double>::infinity();
    const double root = std::sqrt(disc);
    for (double s : {-b - root, -b + root})
        if (s > kEpsilon) return s;
    return std::numeric_limits<double>::infinity();
}

CTracedLeg MakeLeg(CPlanePoint a, CPlanePoint d, double length, double t0, double speed, EWaveMode mode) {
    CTracedLeg leg;
    leg.m_start = a;
    leg.m_direction = d;
    leg.m_end = {a.x + d.x * length, a.y + d.y * length};
    leg.m_startTime = t0;
    leg.m_speed = speed;
    leg.m_endTime = t0 + length / speed;
    leg.m_mode = mode;
    return leg;
}

// The wave that passed back into the wedge at p, along the unit direction d: it runs until it
// reaches the wedge's inclined top (the plane of the probe face) or, before that, one of the
// wedge's upright end faces. It arrives there; nothing of it leaves the wedge.
bool ReturningLeg(const CInspectionScene& s, double exitX, CPlanePoint p, CPlanePoint d, double t, CTracedLeg& leg) {
    const CPlanePoint c = s.ProbeCentre(exitX);
    const CPlanePoint n = s.BeamAxis();  // the inclined top's normal
    double length = std::numeric_limits<double>::infinity();
    const double approach = d.x * n.x + d.y * n.y;
    if (approach != 0.0) {
        const double toTop = ((c.x - p.x) * n.x + (c.y - p.y) * n.y) / approach;
        if (toTop > kEpsilon) length = toTop;
    }
    if (d.x > 0.0) length = std::min(length, (s.WedgeFront(exitX) - p.x) / d.x);
    if (d.x < 0.0) length = std::min(length, (s.WedgeBack(exitX) - p.x) / d.x);
    if (!(length > kEpsilon) || !std::isfinite(length)) return false;
    leg = MakeLeg(p, d, length, t, s.m_wedge.m_longitudinal, EWaveMode::Returning);
    return true;
}

// Follows a wave in the steel from p along d until it leaves or the limits are reached.
void TraceInSteel(const CInspectionScene& s, double exitX, CPlanePoint p, CPlanePoint d, double t, EWaveMode mode,
                  std::vector<CTracedLeg>& legs) {
    const double v = mode == EWaveMode::Shear ? s.m_part.m_shear : s.m_part.m_longitudinal;
    for (int n = 0; n < kMaxSteelLegs && t < kTraceTimeLimit; ++n) {
        double best = std::numeric_limits<double>::infinity();
        EHit hit = EHit::None;
        auto consider = [&](double dist, EHit what) {
            if (dist > kEpsilon && dist < best) {
                best = dist;
                hit = what;
            }
        };
        if (d.y < 0) consider((p.y + s.m_thickness) / -d.y, EHit::Backwall);
        if (d.y > 0) consider(-p.y / d.y, EHit::Top);
        if (d.x < 0) consider(-p.x / d.x, EHit::EndWall);
        if (d.x > 0) consider((s.m_length - p.x) / d.x, EHit::EndWall);
        consider(HitCircle(p, d, {s.m_holeX, s.m_holeY}, s.m_holeRadius), EHit::Hole);
        if (hit == EHit::None) return;

        const CTracedLeg leg = MakeLeg(p, d, best, t, v, mode);
        legs.push_back(leg);
        p = leg.m_end;
        t = leg.m_endTime;
        switch (hit) {
        case EHit::Hole: {
            const double nx = (p.x - s.m_holeX) / s.m_holeRadius, ny = (p.y - s.m_holeY) / s.m_holeRadius;
            const double dn = d.x * nx + d.y * ny;
            d = {d.x - 2 * dn * nx, d.y - 2 * dn * ny};
            break;
        }
        case EHit::Backwall: d.y = -d.y; break;
        case EHit::Top: {
            if (p.x > s.WedgeBack(exitX) && p.x < s.WedgeFront(exitX)) {
                // Under the wedge the wave passes back into it and heads for the probe.
                double angle = 0.0;
                if (RefractedAngle(std::asin(d.x), v, s.m_wedge.m_longitudinal, angle)) {
                    CTracedLeg back;
                    if (ReturningLeg(s, exitX, p, {std::sin(angle), std::cos(angle)}, t, back)) legs.push_back(back);
                    return;
                }
            }
            d.y = -d.y;
            break;
        }
        case EHit::EndWall:
        case EHit::None: return;
        }
    }
}

}  // namespace

void TraceRay(const CInspectionScene& s, double exitX, CPlanePoint start, CPlanePoint direction,
              std::vector<CTracedLeg>& legs) {
    if (!(direction.y < 0.0)) return;
    const double toInterface = start.y / -direction.y;
    const CTracedLeg inWedge = MakeLeg(start, direction, toInterface, 0.0, s.m_wedge.m_longitudinal,
                                       EWaveMode::WedgeLongitudinal);
    legs.push_back(inWedge);
    const CPlanePoint exit = inWedge.m_end;
    const double t = inWedge.m_endTime;
    const double incidence = std::asin(direction.x);

    double angle = 0.0;
    if (RefractedAngle(incidence, s.m_wedge.m_longitudinal, s.m_part.m_longitudinal, angle)) {
        TraceInSteel(s, exitX, exit, {std::sin(angle), -std::cos(angle)}, t, EWaveMode::Longitudinal, legs);
    } else {
        // Beyond the first critical angle the longitudinal wave only creeps along the surface.
        legs.push_back(MakeLeg(exit, {direction.x >= 0 ? 1.0 : -1.0, 0.0}, kHeadWaveLength, t,
                               s.m_part.m_longitudinal, EWaveMode::HeadWave));
    }
    if (RefractedAngle(incidence, s.m_wedge.m_longitudinal, s.m_part.m_shear, angle))
        TraceInSteel(s, exitX, exit, {std::sin(angle), -std::cos(angle)}, t, EWaveMode::Shear, legs);
}
