#pragma once
// The inspection set-up the generator simulates: a steel block with a side-drilled hole, and an
// angle-beam probe on an acrylic wedge that moves along a scan line on the top face.
//
// World axes: x along the scan line, y up (the top face of the block is y = 0, its backwall
// y = -thickness), z across the block. Rays travel in the plane z = 0. Millimetres throughout.
#include "geometry/CArrayOfArcs.h"
#include "simulation/Physics.h"

// A point or direction in the ray plane z = 0.
struct CPlanePoint {
    double x = 0.0;
    double y = 0.0;
};

class CInspectionScene {
public:
    CInspectionScene();

    // Block.
    double m_length = 100.0;
    double m_thickness = 30.0;
    double m_width = 40.0;  // along z, centred on z = 0
    CMaterial m_part = kSteel;
    // Side-drilled hole (a cylinder along z).
    double m_holeX = 60.0;
    double m_holeY = -15.0;
    double m_holeRadius = 1.5;
    // Wedge and probe: a shear-wave wedge of m_refractedAngle in steel.
    CMaterial m_wedge = kAcrylic;
    double m_refractedAngle;  // radians, 45 degrees
    double m_wedgeAngle;      // incidence in the wedge that gives m_refractedAngle (derived)
    double m_wedgePath = 15.0;  // probe centre to the beam's exit point, along the beam axis
    double m_aperture = 10.0;   // probe face width in the ray plane
    double m_probeThickness = 4.0;
    double m_probeHalfWidth = 6.0;  // along z
    double m_wedgeBehind = 20.0;    // wedge extent behind the exit point
    double m_wedgeAhead = 12.0;     // and ahead of it
    double m_wedgeHalfWidth = 8.0;  // along z

    // Scan line: exit points of the first and last snapshot.
    double m_scanStart;  // where the beam axis meets the hole
    double m_scanEnd;    // where it meets the bottom corner at the far end

    // Probe geometry at exit point x.
    CPlanePoint ProbeCentre(double exitX) const;
    // Beam axis in the wedge (unit, pointing down into the block).
    CPlanePoint BeamAxis() const;
    // Along the probe face (unit, perpendicular to the beam axis).
    CPlanePoint FaceDirection() const;
    // The wedge's footprint on the top face.
    double WedgeBack(double exitX) const { return exitX - m_wedgeBehind; }
    double WedgeFront(double exitX) const { return exitX + m_wedgeAhead; }
    // Height of the wedge's inclined top at x (the plane of the probe face).
    double WedgeTopAt(double exitX, double x) const;

    // Outlines.
    CArrayOfArcs PartOutline() const;
    CArrayOfArcs WedgeOutline(double exitX) const;
    CArrayOfArcs ProbeOutline(double exitX) const;
    CArrayOfArcs ScanLineOutline() const;
};
