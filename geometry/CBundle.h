#pragma once
// The legs of the rays leaving one probe element (or any group the simulation chose).
#include <cstddef>
#include <vector>

#include "geometry/CUTRay.h"

class CBundle {
public:
    // Smallest start time and largest end time over the legs. A leg without end has no finite end,
    // so it contributes its start time to both; NaN times are skipped. A bundle without legs gives
    // min = +1e100 and max = -1e100, which leave a running minimum and maximum unchanged.
    void GetBundleExtreemTimes(double& min, double& max) const;
    // The same over count legs, merged into min and max as they are (a running extreme).
    static void MergeExtremeTimes(const CUTRay* legs, size_t count, double& min, double& max);

    std::vector<CUTRay> m_rays;
};
