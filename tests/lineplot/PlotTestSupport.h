#pragma once
// Helpers shared by the plot tests: a plot with a known frame and traces.
#include <cmath>
#include <vector>

#include "lineplot/LinePlotWnd.h"

// Frame 465 x 175: with the default margins the plot rectangle is (55, 20)-(455, 120), 400 x 100.
inline void SetStandardFrame(CLinePlotWnd& plot) { plot.SetFrameRect(CRect(0, 0, 465, 175)); }

// A damped sine of n samples between -1 and 1.
inline std::vector<float> DampedSine(int n, float cycles = 12.0f, float decay = 4.0f) {
    std::vector<float> s(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        const float t = static_cast<float>(i) / static_cast<float>(n);
        s[static_cast<size_t>(i)] = std::exp(-decay * t) * std::sin(6.2831853f * cycles * t);
    }
    return s;
}
