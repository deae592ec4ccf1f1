#pragma once
// The parametric form of one outline element, shared by bounds, measuring and drawing:
// a straight segment a..b, or a circle arc c + u cos(s) + v sin(s) for s in [0, sweep].
#include "geometry/CArrayOfArcs.h"

struct ArcShape {
    bool straight = true;
    CPoint3D a;        // start (both kinds)
    CPoint3D b;        // end (both kinds)
    CPoint3D c;        // circle: centre in the plane of the start point
    CVector3D u;       // circle: centre to start
    CVector3D v;       // circle: normal ^ u, same length as u
    double sweep = 0;  // circle: angle from start to end, in (0, 2 pi]
};

// A circular arc whose normal or radius is zero (or not finite) is drawn as the segment
// between its start and end.
ArcShape MakeArcShape(const CArrayOfArcs::stArc& arc);
// The same shape in frame's coordinates; false when frame is degenerate.
bool TransformArcShape(const ArcShape& shape, const CCoordinates3D& frame, ArcShape& out);
// The point at fraction f (0 start, 1 end) of the shape.
CPoint3D ArcShapePoint(const ArcShape& shape, double f);
// Grows lo/hi (x, y, z) to hold the shape exactly.
void GrowArcShapeBounds(const ArcShape& shape, double lo[3], double hi[3]);
