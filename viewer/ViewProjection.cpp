#include "viewer/ViewProjection.h"

#include <cmath>

#include "geometry/ViewMapping.h"

namespace orvex::viewer {

CViewProjection::CViewProjection(const CCoordinates3D& frame, const CfRect& view, float scale)
    : m_origin(frame.GetOrigin()),
      m_xAxis(frame.GetXAxis()),
      m_yAxis(frame.GetYAxis()),
      m_zAxis(frame.GetZAxis()),
      m_yCrossZ(frame.GetYAxis() ^ frame.GetZAxis()),
      m_determinant(frame.Determinant()),
      m_view(view),
      m_scale(scale) {
    // The frame's own test of a usable inverse, which does not depend on the point.
    const double det = m_determinant;
    const double size = m_xAxis.Length() * m_yAxis.Length() * m_zAxis.Length();
    m_frameUsable = det != 0.0 && std::isfinite(det) && !(std::fabs(det) <= 1e-12 * size);
}

bool CViewProjection::Project(const CPoint3D& point, int& x, int& y) const {
    CPoint3D view = point;
    if (view.IsValid()) {
        if (!m_frameUsable) {
            view = CPoint3D(false);
        } else {
            // Cramer's rule exactly as the frame computes it.
            const CVector3D v = point - m_origin;
            const double lx = (v * m_yCrossZ) / m_determinant;
            const double ly = (m_xAxis * (v ^ m_zAxis)) / m_determinant;
            const double lz = (m_xAxis * (m_yAxis ^ v)) / m_determinant;
            if (std::isfinite(lx) && std::isfinite(lz) && std::isfinite(ly)) {
                view.x = lx;
                view.y = ly;
                view.z = lz;
            } else {
                view = CPoint3D(false);
            }
        }
    }
    const CPoint pixel = ProjectViewPoint(view.x, view.y, m_view, m_scale);
    x = pixel.x;
    y = pixel.y;
    return view.IsValid();
}

}  // namespace orvex::viewer
