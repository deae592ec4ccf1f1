#include "geometry/CArrayOfArcs.h"

#include <limits>

#include "geometry/ArcShape.h"

void CArrayOfArcs::AddLine(const CPoint3D& start, const CPoint3D& end, COLORREF colour, int32_t penWidth) {
    stArc arc;
    arc.m_start = start;
    arc.m_end = end;
    arc.m_centre = CPoint3D(0.0, 0.0, 0.0);
    arc.m_kind = kStraight;
    arc.m_colour = colour;
    arc.m_penWidth = penWidth;
    m_arcs.push_back(arc);
}

void CArrayOfArcs::AddArc(const CPoint3D& start, const CPoint3D& end, const CPoint3D& centre,
                          const CVector3D& normal, COLORREF colour, int32_t penWidth) {
    stArc arc;
    arc.m_start = start;
    arc.m_end = end;
    arc.m_centre = centre;
    arc.m_normal = normal;
    arc.m_kind = kCircular;
    arc.m_colour = colour;
    arc.m_penWidth = penWidth;
    m_arcs.push_back(arc);
}

void CArrayOfArcs::GetBoundary(CPoint3D& lo, CPoint3D& hi) const {
    if (m_arcs.empty()) {
        lo = CPoint3D(false);
        hi = CPoint3D(false);
        return;
    }
    constexpr double inf = std::numeric_limits<double>::infinity();
    double l[3] = {inf, inf, inf};
    double h[3] = {-inf, -inf, -inf};
    for (const stArc& arc : m_arcs) GrowArcShapeBounds(MakeArcShape(arc), l, h);
    lo = CPoint3D(l[0], l[1], l[2]);
    hi = CPoint3D(h[0], h[1], h[2]);
}

bool operator==(const CArrayOfArcs::stArc& a, const CArrayOfArcs::stArc& b) {
    return a.m_start == b.m_start && a.m_end == b.m_end && a.m_centre == b.m_centre && a.m_normal == b.m_normal &&
           a.m_kind == b.m_kind && a.m_colour == b.m_colour && a.m_penWidth == b.m_penWidth;
}

bool CArrayOfArcs::operator==(const CArrayOfArcs& o) const { return m_arcs == o.m_arcs; }
