#include "simulation/Physics.h"

#include <cmath>
#include <numbers>

bool RefractedAngle(double incident, double v1, double v2, double& refracted) {
    const double s = std::sin(incident) * v2 / v1;
    if (!(std::fabs(s) <= 1.0)) return false;
    refracted = std::asin(s);
    return true;
}

double IncidentAngleFor(double refracted, double v1, double v2) { return std::asin(std::sin(refracted) * v1 / v2); }

double BackwallEchoTime(double thickness, double velocity, double angle) {
    return 2.0 * thickness / (velocity * std::cos(angle));
}

double PulseDuration(double frequency, double bandwidthPercent) {
    return 400.0 * std::numbers::ln2 / (std::numbers::pi * frequency * bandwidthPercent);
}

double PulseValue(double t, double frequency, double bandwidthPercent) {
    const double w = PulseDuration(frequency, bandwidthPercent);
    // exp(-4 ln2 t^2 / w^2) is one half at t = w / 2.
    const double envelope = std::exp(-4.0 * std::numbers::ln2 * t * t / (w * w));
    return envelope * std::cos(2.0 * std::numbers::pi * frequency * t);
}
