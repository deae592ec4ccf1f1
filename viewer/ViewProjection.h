#pragma once
// World points to the viewer's pixels with the frame's work done once per draw. A frame check costs
// a determinant and three square roots, which a million-leg scene would otherwise pay four million
// times a frame; the per-point arithmetic is the same, operation for operation, as
// CPoint3D::CoordTransform followed by ProjectViewPoint, so the pixels are the same bits.
#include "geometry/CCoordinates3D.h"
#include "geometry/CPoint3D.h"
#include "geometry/CfRect.h"

namespace orvex::viewer {

class CViewProjection {
public:
    CViewProjection(const CCoordinates3D& frame, const CfRect& view, float scale);

    // Unflipped pixel offsets from the view rectangle's left and bottom edges; false when the frame
    // is degenerate or the point has no finite view coordinates (x and y are then those of the
    // invalid point, as ProjectPoint has always given them).
    bool Project(const CPoint3D& point, int& x, int& y) const;

private:
    bool m_frameUsable = false;
    CPoint3D m_origin;
    CVector3D m_xAxis;
    CVector3D m_yAxis;
    CVector3D m_zAxis;
    CVector3D m_yCrossZ;
    double m_determinant = 0.0;
    CfRect m_view;
    float m_scale = 1.0f;
};

}  // namespace orvex::viewer
