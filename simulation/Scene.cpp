#include "simulation/Scene.h"

#include <cmath>
#include <numbers>

namespace {

constexpr COLORREF kPartColour = RGB(0, 0, 0);
constexpr COLORREF kWedgeColour = RGB(110, 110, 110);
constexpr COLORREF kProbeColour = RGB(0, 0, 160);
constexpr COLORREF kScanColour = RGB(0, 150, 0);

// A prism: the polygon (in the ray plane) at z = -halfWidth and z = +halfWidth, joined at each vertex.
void AddPrism(CArrayOfArcs& arcs, const CPlanePoint* polygon, int n, double halfWidth, COLORREF colour, int pen) {
    for (int i = 0; i < n; ++i) {
        const CPlanePoint& a = polygon[i];
        const CPlanePoint& b = polygon[(i + 1) % n];
        arcs.AddLine(CPoint3D(a.x, a.y, -halfWidth), CPoint3D(b.x, b.y, -halfWidth), colour, pen);
        arcs.AddLine(CPoint3D(a.x, a.y, halfWidth), CPoint3D(b.x, b.y, halfWidth), colour, pen);
        arcs.AddLine(CPoint3D(a.x, a.y, -halfWidth), CPoint3D(a.x, a.y, halfWidth), colour, pen);
    }
}

}  // namespace

CInspectionScene::CInspectionScene() {
    m_refractedAngle = 45.0 * std::numbers::pi / 180.0;
    m_wedgeAngle = IncidentAngleFor(m_refractedAngle, m_wedge.m_longitudinal, m_part.m_shear);
    const double depthToHole = -m_holeY;
    m_scanStart = m_holeX - depthToHole * std::tan(m_refractedAngle);
    m_scanEnd = m_length - m_thickness * std::tan(m_refractedAngle);
}

CPlanePoint CInspectionScene::BeamAxis() const { return {std::sin(m_wedgeAngle), -std::cos(m_wedgeAngle)}; }

CPlanePoint CInspectionScene::FaceDirection() const { return {std::cos(m_wedgeAngle), std::sin(m_wedgeAngle)}; }

CPlanePoint CInspectionScene::ProbeCentre(double exitX) const {
    const CPlanePoint d = BeamAxis();
    return {exitX - m_wedgePath * d.x, -m_wedgePath * d.y};
}

double CInspectionScene::WedgeTopAt(double exitX, double x) const {
    const CPlanePoint c = ProbeCentre(exitX);
    const CPlanePoint e = FaceDirection();
    return c.y + (x - c.x) / e.x * e.y;
}

CArrayOfArcs CInspectionScene::PartOutline() const {
    CArrayOfArcs arcs;
    const CPlanePoint box[4] = {{0.0, 0.0}, {m_length, 0.0}, {m_length, -m_thickness}, {0.0, -m_thickness}};
    AddPrism(arcs, box, 4, m_width / 2, kPartColour, 1);
    // The hole: its two end circles and the two lines along z that bound it seen from the side.
    const double hz = m_width / 2;
    const CVector3D along(0.0, 0.0, 1.0);
    for (double z : {-hz, hz}) {
        const CPoint3D start(m_holeX + m_holeRadius, m_holeY, z);
        arcs.AddArc(start, start, CPoint3D(m_holeX, m_holeY, z), along, kPartColour, 1);
    }
    for (double dy : {-m_holeRadius, m_holeRadius})
        arcs.AddLine(CPoint3D(m_holeX, m_holeY + dy, -hz), CPoint3D(m_holeX, m_holeY + dy, hz), kPartColour, 1);
    return arcs;
}

CArrayOfArcs CInspectionScene::WedgeOutline(double exitX) const {
    CArrayOfArcs arcs;
    const double back = WedgeBack(exitX);
    const double front = WedgeFront(exitX);
    const CPlanePoint shoe[4] = {{back, 0.0}, {front, 0.0}, {front, WedgeTopAt(exitX, front)}, {back, WedgeTopAt(exitX, back)}};
    AddPrism(arcs, shoe, 4, m_wedgeHalfWidth, kWedgeColour, 1);
    return arcs;
}

CArrayOfArcs CInspectionScene::ProbeOutline(double exitX) const {
    CArrayOfArcs arcs;
    const CPlanePoint c = ProbeCentre(exitX);
    const CPlanePoint e = FaceDirection();
    const CPlanePoint d = BeamAxis();
    const double h = m_aperture / 2;
    const double t = m_probeThickness;
    // The crystal sits on the wedge's inclined face, its back away from the wedge.
    const CPlanePoint crystal[4] = {{c.x - h * e.x, c.y - h * e.y},
                                    {c.x + h * e.x, c.y + h * e.y},
                                    {c.x + h * e.x - t * d.x, c.y + h * e.y - t * d.y},
                                    {c.x - h * e.x - t * d.x, c.y - h * e.y - t * d.y}};
    AddPrism(arcs, crystal, 4, m_probeHalfWidth, kProbeColour, 2);
    return arcs;
}

CArrayOfArcs CInspectionScene::ScanLineOutline() const {
    CArrayOfArcs arcs;
    arcs.AddLine(CPoint3D(m_scanStart, 0.0, 0.0), CPoint3D(m_scanEnd, 0.0, 0.0), kScanColour, 2);
    // Short ticks at both ends of the scan.
    for (double x : {m_scanStart, m_scanEnd})
        arcs.AddLine(CPoint3D(x, -1.5, 0.0), CPoint3D(x, 1.5, 0.0), kScanColour, 2);
    return arcs;
}
