#include "viewer/PulseTiming.h"

#include <cmath>
#include <numbers>

namespace orvex::viewer {

double PulseDuration(double frequency, double bandwidthPercent) {
    // Kept in the product's order of operations, so the last bits match its widths.
    const double rootLn2 = std::sqrt(std::log(2.0));
    return 2.0 * rootLn2 / ((frequency * bandwidthPercent * std::numbers::pi / 200.0) / rootLn2);
}

double NextAnimationTime(double rayEndTime, double increment, double startLimit, double endLimit) {
    double t = rayEndTime + increment;
    if (t > endLimit) t = startLimit;
    return t;
}

}  // namespace orvex::viewer
