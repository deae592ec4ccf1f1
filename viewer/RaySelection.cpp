#include "viewer/RaySelection.h"

#include <algorithm>

namespace orvex::viewer {

SPulseWindow MakePulseWindow(double rayEndTime, double pulseDuration) {
    return {rayEndTime - pulseDuration / 2, rayEndTime + pulseDuration / 2};
}

SRaySegment SelectRaySegment(short rayPlotType, double t0, double t1, double rayEndTime, SPulseWindow pulse) {
    SRaySegment s;
    if (rayPlotType == kEndRaysAtTime) {
        if (t0 < rayEndTime) {
            s.start = ESegmentEnd::kLegEnd;
            s.startTime = t0;
            if (t1 < rayEndTime) {
                s.end = ESegmentEnd::kLegEnd;
                s.endTime = t1;
            } else {
                s.end = ESegmentEnd::kAtTime;
                s.endTime = rayEndTime;
            }
        }
        return s;
    }
    if (rayPlotType == kPulse) {
        // Only legs that one pulse edge falls strictly inside; a leg wholly within the pulse is left
        // out, as the product always drew it.
        const bool loInside = t0 < pulse.lo && pulse.lo < t1;
        const bool hiInside = t0 < pulse.hi && pulse.hi < t1;
        if (loInside || hiInside) {
            s.start = ESegmentEnd::kAtTime;
            s.startTime = std::max(t0, pulse.lo);
            s.end = ESegmentEnd::kAtTime;
            s.endTime = std::min(t1, pulse.hi);
        }
        return s;
    }
    s.start = ESegmentEnd::kLegEnd;
    s.startTime = t0;
    s.end = ESegmentEnd::kLegEnd;
    s.endTime = t1;
    return s;
}

}  // namespace orvex::viewer
