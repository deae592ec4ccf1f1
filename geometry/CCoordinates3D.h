#pragma once
// A frame in 3D: an origin and three axes, in the coordinates of some parent frame (world
// coordinates for the view frame). Axes are used as given: neither normalised nor orthogonalised.
//
// Constructors take two axes and an int placeholder (0) in the slot of the axis to derive:
//   from X and Z:  Y = Z ^ X        from Y and Z:  X = Y ^ Z        from X and Y:  Z = Y ^ X
// so rotation frames built from X and Z or Y and Z are proper rotations (identity at zero angle),
// and a frame built from X and Y has its Z pointing into the screen as the viewer's view frame does.
#include "geometry/CPoint3D.h"
#include "geometry/CVector3D.h"

class CCoordinates3D {
public:
    // The default view: X (1,0,0), Y (0,1,0), Z = Y ^ X = (0,0,-1), origin (0,0,0).
    CCoordinates3D();
    CCoordinates3D(const CVector3D& xAxis, const CVector3D& yAxis, int derivedZ, const CPoint3D& origin);
    CCoordinates3D(int derivedX, const CVector3D& yAxis, const CVector3D& zAxis, const CPoint3D& origin);
    CCoordinates3D(const CVector3D& xAxis, int derivedY, const CVector3D& zAxis, const CPoint3D& origin);
    // All four given as they are (the file and JSON forms carry the whole frame).
    CCoordinates3D(const CPoint3D& origin, const CVector3D& xAxis, const CVector3D& yAxis, const CVector3D& zAxis);

    const CVector3D& GetXAxis() const { return m_xAxis; }
    const CVector3D& GetYAxis() const { return m_yAxis; }
    const CVector3D& GetZAxis() const { return m_zAxis; }
    const CPoint3D& GetOrigin() const { return m_origin; }
    void SetOrigin(const CPoint3D& origin) { m_origin = origin; }
    void SetXAxis(const CVector3D& v) { m_xAxis = v; }
    void SetYAxis(const CVector3D& v) { m_yAxis = v; }
    void SetZAxis(const CVector3D& v) { m_zAxis = v; }

    // This frame is given in f's coordinates; re-expresses it in the coordinates f is given in
    // (origin as a point, axes as vectors).
    void InverseCoordTransform(const CCoordinates3D& f);

    // X . (Y ^ Z): zero when the axes do not span space.
    double Determinant() const { return m_xAxis * (m_yAxis ^ m_zAxis); }
    // A vector given in this frame's coordinates, expressed in the parent's (no origin shift).
    CVector3D VectorToParent(const CVector3D& v) const { return m_xAxis * v.x + m_yAxis * v.y + m_zAxis * v.z; }
    // A parent vector in this frame's coordinates; false when the frame is degenerate.
    bool VectorFromParent(const CVector3D& v, CVector3D& out) const;

    bool operator==(const CCoordinates3D& o) const {
        return m_origin == o.m_origin && m_xAxis == o.m_xAxis && m_yAxis == o.m_yAxis && m_zAxis == o.m_zAxis;
    }

private:
    CPoint3D m_origin;
    CVector3D m_xAxis;
    CVector3D m_yAxis;
    CVector3D m_zAxis;
};
