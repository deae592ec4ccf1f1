#pragma once
// Pixel points of a trace for the current view: which samples are visited, where each lands and how
// dense traces shrink to one vertical stroke per pixel column. Free of any drawing context, so the
// drawing routines, the benchmarks and the tests share one computation.
#include <cstddef>
#include <cstdint>

#include "platform/base/WinDef.h"

// The view as the point computation needs it, all in the target's logical pixels.
struct CTraceView {
    CRect plot;              // plot rectangle
    float xViewStart = 0;    // sample index at the start of the x axis
    float xPixelsPerSample = 1;
    float yViewStart = 0;    // raw value at the start of the y axis
    float yPixelsPerUnit = 1;
    bool xHorizontal = true; // false: x runs bottom to top, y right to left
};

// The samples of one index-based trace: the 16-bit pointer wins when both are set.
struct CTraceSamples {
    const int16_t* shortData = nullptr;
    const float* floatData = nullptr;
    int32_t count = 0;
};

// Which samples of a trace the view visits: relative indices skip .. end - 1, sample first + j.
struct CVisibleSamples {
    int64_t first = 0;
    int64_t skip = 0;
    int64_t end = 0;
};
CVisibleSamples SelectVisibleSamples(int32_t count, const CTraceView& view);

// Writes the points of an index-based trace into out (room for capacity points, which must be at
// least the trace's count) and returns how many there are. Horizontal plots with two or more visited
// samples per pixel column get the per-column reduction; every peak stays visible.
size_t ComputeLinePoints(const CTraceSamples& samples, const CTraceView& view, POINT* out, size_t capacity);

// Writes the points of an x/y trace (x in sample-index units, raw 16-bit y), one per point.
size_t ComputeXYPoints(const int32_t* xValues, const int16_t* yValues, int32_t count, const CTraceView& view,
                       POINT* out, size_t capacity);

// a - b, saturating at the int32 limits (pixel arithmetic on absurd samples must stay defined).
int32_t SaturatingSub(int32_t a, int32_t b);
