#pragma once
// One leg of an ultrasonic ray: a CRay3D with the times at which the wave front passes its ends,
// and how the viewer draws it.
//
// A point at time t lies on the straight line from the origin, at the fraction (t - t0) / (t1 - t0)
// of the leg, or for a leg without end at distance speed * (t - t0) along its direction; the time
// at the end of a leg without end is +infinity.
#include <cstdint>

#include "geometry/CRay3D.h"
#include "platform/base/WinDef.h"

class CUTRay : public CRay3D {
public:
    // Kind of a leg the viewer leaves out (beyond the critical angle, for instance).
    static constexpr int32_t kNotDrawn = 4;

    CUTRay() = default;
    // A leg with an end, from startTime at its origin to endTime at its end.
    CUTRay(const CPoint3D& origin, const CPoint3D& end, double startTime, double endTime)
        : CRay3D(origin, end), m_startTime(startTime), m_endTimeOrSpeed(endTime) {}
    // A leg without end, leaving its origin at startTime with the given speed.
    CUTRay(const CPoint3D& origin, const CVector3D& direction, double speed, double startTime)
        : CRay3D(origin, direction), m_startTime(startTime), m_endTimeOrSpeed(speed) {}

    // Time at the leg's end; +infinity for a leg without end.
    double GetTimeAtEnd() const;
    // Speed along a leg without end; for a leg with an end, its length over its duration.
    double GetSpeed() const;
    // The point at time t (t may lie outside the leg: the line extends). A leg of no duration is
    // at its origin up to its start time and at its end after it. Non-finite results are invalid.
    CPoint3D AtTime(double t) const;
    // The raw value stored beside the times: end time for a leg with end, speed for one without.
    double GetEndTimeOrSpeed() const { return m_endTimeOrSpeed; }

    int32_t m_kind = 0;
    double m_startTime = 0.0;
    COLORREF m_colour = 0;
    int32_t m_penWidth = 1;

private:
    double m_endTimeOrSpeed = 0.0;
};

// The budget that lets gigabyte files load: see geometry/README.md.
static_assert(sizeof(CUTRay) <= 128, "a ray leg must stay within 128 bytes");
