#pragma once
// A straight ray leg in 3D: from an origin either to an end point or, for a leg without end,
// along a direction for ever.
//
// Memory matters (files with millions of legs must load in about the file's size), so the end
// point and the direction share one slot: its validity flag says which one it holds.
#include "geometry/CPoint3D.h"
#include "geometry/CVector3D.h"

class CRay3D {
public:
    // A leg from the world origin to itself.
    CRay3D() : m_origin(0.0, 0.0, 0.0), m_endOrDirection(0.0, 0.0, 0.0) {}
    // A leg with an end.
    CRay3D(const CPoint3D& origin, const CPoint3D& end) { SetEnded(origin, end); }
    // A leg without end, along direction (taken as given, not normalised).
    CRay3D(const CPoint3D& origin, const CVector3D& direction) { SetOpen(origin, direction); }

    void SetEnded(const CPoint3D& origin, const CPoint3D& end) {
        m_origin = origin;
        m_endOrDirection = CPoint3D(end.x, end.y, end.z);
    }
    void SetOpen(const CPoint3D& origin, const CVector3D& direction) {
        m_origin = origin;
        m_endOrDirection = CPoint3D(direction.x, direction.y, direction.z);
        m_endOrDirection.m_valid = false;
    }

    const CPoint3D& GetOrigin() const { return m_origin; }
    // The end point; an invalid point for a leg without end.
    CPoint3D GetEnd() const { return HasEnd() ? m_endOrDirection : CPoint3D(false); }
    // For a leg with an end, the unit vector from origin to end (zero for a leg of no length);
    // for a leg without end, its direction as it was given.
    CVector3D GetDirection() const {
        return HasEnd() ? (m_endOrDirection - m_origin).Normalised() : m_endOrDirection.AsVector();
    }
    bool HasEnd() const { return m_endOrDirection.m_valid; }

private:
    CPoint3D m_origin;
    CPoint3D m_endOrDirection;
};
