#pragma once
// Which part of a ray leg the viewer draws for each ray plot type, decided on times alone.

namespace orvex::viewer {

// The values of the RayPlotType property; anything else draws full rays.
enum ERayPlotType : short { kFullRays = 0, kEndRaysAtTime = 1, kPulse = 2 };

// How the segment's two ends are found on the leg.
enum class ESegmentEnd {
    kNone,        // nothing of this leg is drawn
    kLegEnd,      // the leg's own end point (25 units along the direction for a leg without one)
    kAtTime,      // the point of the leg at the given time
};

// One selected segment: start and end, each either a leg point or a time on the leg.
struct SRaySegment {
    ESegmentEnd start = ESegmentEnd::kNone;  // kLegEnd here means the leg's origin
    double startTime = 0.0;
    ESegmentEnd end = ESegmentEnd::kNone;
    double endTime = 0.0;
    bool Drawn() const { return start != ESegmentEnd::kNone; }
};

// The pulse window around the cut time, for the pulse plot type.
struct SPulseWindow {
    double lo = 0.0;
    double hi = 0.0;
};

// The pulse window of a given duration centred on rayEndTime.
SPulseWindow MakePulseWindow(double rayEndTime, double pulseDuration);

// Selects the segment of a leg from t0 (its origin) to t1 (its end, +infinity without one).
SRaySegment SelectRaySegment(short rayPlotType, double t0, double t1, double rayEndTime, SPulseWindow pulse);

}  // namespace orvex::viewer
