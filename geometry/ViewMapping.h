#pragma once
// The viewer's mapping from view coordinates to pixels: one uniform scale (the smaller of the two
// axis scales), the view rectangle's left and bottom edges at the bounds' left and bottom, y
// flipped. Outline drawing uses it so outlines and rays land on the same pixels.
#include <cmath>
#include <cstdint>

#include "geometry/CfRect.h"
#include "platform/base/Saturate.h"
#include "platform/base/WinDef.h"

// Pixels per view unit; in single precision as the viewer keeps it. A view of no width gives an
// infinite x scale, so the y scale wins (and the other way round).
inline float ComputeViewScale(const CRect& bounds, const CfRect& view) {
    const float sx = std::fabs(static_cast<float>(bounds.right - bounds.left) / (view.right - view.left));
    const float sy = std::fabs(static_cast<float>(bounds.top - bounds.bottom) / (view.top - view.bottom));
    return sx < sy ? sx : sy;
}

// A view point to unflipped pixel coordinates, each truncated toward zero.
inline CPoint ProjectViewPoint(double vx, double vy, const CfRect& view, float scale) {
    return CPoint(TruncateToInt((vx - view.left) * scale), TruncateToInt((vy - view.bottom) * scale));
}

// Mirrors y about the middle of the bounds: 2 * (bottom - (bottom - top) / 2) - y, the division
// in integers; saturates instead of overflowing for extreme coordinates.
inline int FlipViewY(const CRect& bounds, int y) {
    const int64_t half = (static_cast<int64_t>(bounds.bottom) - bounds.top) / 2;
    const int64_t flipped = 2 * (static_cast<int64_t>(bounds.bottom) - half) - y;
    if (flipped > INT32_MAX) return INT32_MAX;
    if (flipped < INT32_MIN) return INT32_MIN;
    return static_cast<int>(flipped);
}
