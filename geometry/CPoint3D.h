#pragma once
// A point in 3D world units with a validity flag: an invalid point stands for "no point" (the end
// of a ray without end, a point that cannot be expressed in a degenerate frame); drawing code
// leaves invalid points out.
#include "geometry/CVector3D.h"

class CCoordinates3D;

class CPoint3D {
public:
    constexpr CPoint3D() = default;
    constexpr CPoint3D(double ax, double ay, double az) : x(ax), y(ay), z(az) {}
    // CPoint3D(false) is the invalid point.
    explicit constexpr CPoint3D(bool valid) : m_valid(valid) {}

    constexpr CPoint3D operator+(const CVector3D& v) const {
        CPoint3D p(x + v.x, y + v.y, z + v.z);
        p.m_valid = m_valid;
        return p;
    }
    constexpr CPoint3D operator-(const CVector3D& v) const {
        CPoint3D p(x - v.x, y - v.y, z - v.z);
        p.m_valid = m_valid;
        return p;
    }
    constexpr CVector3D operator-(const CPoint3D& p) const { return CVector3D(x - p.x, y - p.y, z - p.z); }
    constexpr bool operator==(const CPoint3D& p) const {
        return x == p.x && y == p.y && z == p.z && m_valid == p.m_valid;
    }

    // Replaces the point by its coordinates in frame: the (x, y, z) with
    // origin + x X + y Y + z Z = point, the axes taken as they are. A frame whose axes do not span
    // space (or a non-finite result) makes the point invalid.
    void CoordTransform(const CCoordinates3D& frame);
    // The inverse: replaces coordinates given in frame by the point they name.
    void InverseCoordTransform(const CCoordinates3D& frame);

    bool IsValid() const { return m_valid; }
    // The position as a vector from the world origin.
    constexpr CVector3D AsVector() const { return CVector3D(x, y, z); }

    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
    bool m_valid = true;
};

inline CPoint3D CVector3D::operator+(const CPoint3D& p) const { return p + *this; }
