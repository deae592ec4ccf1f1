#include "geometry/CUTRay.h"

#include <cmath>
#include <limits>

namespace {

CPoint3D ValidOrNot(const CPoint3D& p) {
    if (std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z)) return p;
    return CPoint3D(false);
}

}  // namespace

double CUTRay::GetTimeAtEnd() const {
    return HasEnd() ? m_endTimeOrSpeed : std::numeric_limits<double>::infinity();
}

double CUTRay::GetSpeed() const {
    if (!HasEnd()) return m_endTimeOrSpeed;
    const double duration = m_endTimeOrSpeed - m_startTime;
    return duration != 0.0 ? (GetEnd() - GetOrigin()).Length() / duration : 0.0;
}

CPoint3D CUTRay::AtTime(double t) const {
    const CPoint3D& origin = GetOrigin();
    if (!HasEnd()) {
        const double distance = m_endTimeOrSpeed * (t - m_startTime);
        return ValidOrNot(origin + GetDirection().Normalised() * distance);
    }
    const CPoint3D end = GetEnd();
    const double duration = m_endTimeOrSpeed - m_startTime;
    if (duration == 0.0) return ValidOrNot(t <= m_startTime ? origin : end);
    const double fraction = (t - m_startTime) / duration;
    return ValidOrNot(origin + (end - origin) * fraction);
}
