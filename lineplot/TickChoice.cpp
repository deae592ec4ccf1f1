#include "lineplot/TickChoice.h"

#include <cmath>
#include <cstdio>

void ChooseTickFormat(double rawStep, double& unit, std::string& format, int& decimals) {
    if (rawStep <= 0.005) {
        unit = 0.001; format = " %.3f "; decimals = 3;
    } else if (rawStep <= 0.05) {
        unit = 0.01; format = " %.2f "; decimals = 2;
    } else if (rawStep <= 0.5) {
        unit = 0.1; format = " %.1f "; decimals = 1;
    } else {
        unit = 1.0; format = " %.0f "; decimals = 0;
    }
}

void ChooseTickStep(double range, double divisions, double minimumStep, int& decimals, double& unit) {
    const bool negative = range < 0;
    double x = std::fabs(range) / divisions;
    if (x <= 2 * std::fabs(minimumStep)) x = 2 * std::fabs(minimumStep);

    double u = unit;
    double step = u;
    // A NaN or infinite target, or a unit that cannot grow, would never be covered: keep the unit.
    if (std::isfinite(x) && std::isfinite(u) && u > 0 && x > u) {
        for (;;) {
            if (2 * u >= x) { step = 2 * u; break; }
            if (5 * u >= x) { step = 5 * u; break; }
            u *= 10;
            if (decimals > 0) --decimals;
            // u reaches infinity after a few hundred decades at most, which covers any finite x.
            if (u >= x) { step = u; break; }
        }
    }
    unit = negative ? -step : step;
}

std::string MakeTickFormat(int decimals) {
    char format[32];
    std::snprintf(format, sizeof format, " %%.%df ", decimals);
    return format;
}
