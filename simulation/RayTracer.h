#pragma once
// Follows one ray from the probe face through wedge and block: refraction into the steel by
// Snell's law, reflection at the hole, the backwall and the top face, and back into the wedge.
#include <vector>

#include "simulation/Scene.h"

enum class EWaveMode {
    WedgeLongitudinal,  // from the probe to the steel
    Shear,              // in the steel
    Longitudinal,       // in the steel
    HeadWave,           // a longitudinal wave beyond its critical angle: not drawn
    Returning,          // back into the wedge, up to its top (the probe face) or an end face
};

// One straight leg in the ray plane.
struct CTracedLeg {
    CPlanePoint m_start;
    CPlanePoint m_end;        // unused for a leg without end
    CPlanePoint m_direction;  // unit
    double m_startTime = 0.0;
    double m_endTime = 0.0;   // unused for a leg without end
    double m_speed = 0.0;
    EWaveMode m_mode = EWaveMode::WedgeLongitudinal;
    bool m_hasEnd = true;
};

// Rays are followed until they leave the block or this time (us) has passed.
constexpr double kTraceTimeLimit = 60.0;
// And for at most this many legs in the steel.
constexpr int kMaxSteelLegs = 6;

// Traces a ray that leaves `start` on the probe face at time 0 along `direction` (unit, down into
// the wedge) for a probe whose beam exits the wedge at exitX. Appends its legs to `legs`.
void TraceRay(const CInspectionScene& scene, double exitX, CPlanePoint start, CPlanePoint direction,
              std::vector<CTracedLeg>& legs);
