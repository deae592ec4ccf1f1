#include "geometry/CBundle.h"

void CBundle::GetBundleExtreemTimes(double& min, double& max) const {
    min = 1e100;
    max = -1e100;
    MergeExtremeTimes(m_rays.data(), m_rays.size(), min, max);
}

void CBundle::MergeExtremeTimes(const CUTRay* legs, size_t count, double& min, double& max) {
    for (size_t i = 0; i < count; ++i) {
        const CUTRay& ray = legs[i];
        const double t0 = ray.m_startTime;
        const double t1 = ray.HasEnd() ? ray.GetTimeAtEnd() : t0;
        if (t0 < min) min = t0;
        if (t1 < min) min = t1;
        if (t0 > max) max = t0;
        if (t1 > max) max = t1;
    }
}
