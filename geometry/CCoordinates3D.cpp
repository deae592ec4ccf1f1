#include "geometry/CCoordinates3D.h"

#include <cmath>

CCoordinates3D::CCoordinates3D()
    : m_origin(0.0, 0.0, 0.0), m_xAxis(1.0, 0.0, 0.0), m_yAxis(0.0, 1.0, 0.0), m_zAxis(0.0, 0.0, -1.0) {}

CCoordinates3D::CCoordinates3D(const CVector3D& xAxis, const CVector3D& yAxis, int, const CPoint3D& origin)
    : m_origin(origin), m_xAxis(xAxis), m_yAxis(yAxis), m_zAxis(yAxis ^ xAxis) {}

CCoordinates3D::CCoordinates3D(int, const CVector3D& yAxis, const CVector3D& zAxis, const CPoint3D& origin)
    : m_origin(origin), m_xAxis(yAxis ^ zAxis), m_yAxis(yAxis), m_zAxis(zAxis) {}

CCoordinates3D::CCoordinates3D(const CVector3D& xAxis, int, const CVector3D& zAxis, const CPoint3D& origin)
    : m_origin(origin), m_xAxis(xAxis), m_yAxis(zAxis ^ xAxis), m_zAxis(zAxis) {}

CCoordinates3D::CCoordinates3D(const CPoint3D& origin, const CVector3D& xAxis, const CVector3D& yAxis,
                               const CVector3D& zAxis)
    : m_origin(origin), m_xAxis(xAxis), m_yAxis(yAxis), m_zAxis(zAxis) {}

void CCoordinates3D::InverseCoordTransform(const CCoordinates3D& f) {
    m_origin.InverseCoordTransform(f);
    m_xAxis = f.VectorToParent(m_xAxis);
    m_yAxis = f.VectorToParent(m_yAxis);
    m_zAxis = f.VectorToParent(m_zAxis);
}

bool CCoordinates3D::VectorFromParent(const CVector3D& v, CVector3D& out) const {
    // Cramer's rule on [X Y Z] c = v.
    const double det = Determinant();
    if (det == 0.0 || !std::isfinite(det)) return false;
    // Axes that are nearly parallel give a determinant tiny against their lengths; the result
    // would be noise, so the frame counts as degenerate.
    const double scale = m_xAxis.Length() * m_yAxis.Length() * m_zAxis.Length();
    if (std::fabs(det) <= 1e-12 * scale) return false;
    out.x = (v * (m_yAxis ^ m_zAxis)) / det;
    out.y = (m_xAxis * (v ^ m_zAxis)) / det;
    out.z = (m_xAxis * (m_yAxis ^ v)) / det;
    return std::isfinite(out.x) && std::isfinite(out.y) && std::isfinite(out.z);
}

void CPoint3D::CoordTransform(const CCoordinates3D& frame) {
    if (!m_valid) return;
    CVector3D local;
    if (!frame.VectorFromParent(*this - frame.GetOrigin(), local)) {
        *this = CPoint3D(false);
        return;
    }
    x = local.x;
    y = local.y;
    z = local.z;
}

void CPoint3D::InverseCoordTransform(const CCoordinates3D& frame) {
    if (!m_valid) return;
    const CPoint3D p = frame.GetOrigin() + frame.VectorToParent(AsVector());
    x = p.x;
    y = p.y;
    z = p.z;
}
