#include "lineplot/TracePoints.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <limits>

#include "lineplot/SampleExtent.h"
#include "platform/base/Saturate.h"

int32_t SaturatingSub(int32_t a, int32_t b) {
    const int64_t d = static_cast<int64_t>(a) - b;
    if (d > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    if (d < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(d);
}

namespace {

// Pixel offset of relative index j along x: trunc(j x kx), with j as a float as the view keeps it.
inline int32_t ColumnOffset(int64_t j, float kx) {
    return TruncateToInt(static_cast<float>(j) * kx);
}

// Pixel offset of a sample value: trunc((v - ys) x ky) in single precision.
inline int32_t RowOffset(float v, float ys, float ky) {
    return TruncateToInt((v - ys) * ky);
}

// Sample access that hides the two storage types.
struct CSampleReader {
    const int16_t* shorts;
    const float* floats;
    float operator[](int64_t i) const { return shorts ? static_cast<float>(shorts[i]) : floats[i]; }
};

size_t PointPerSample(const CSampleReader& s, const CTraceView& v, const CVisibleSamples& vis, POINT* out) {
    const CRect& P = v.plot;
    size_t m = 0;
    for (int64_t j = vis.skip; j < vis.end; ++j) {
        const int32_t along = ColumnOffset(j, v.xPixelsPerSample);
        const int32_t across = RowOffset(s[vis.first + j], v.yViewStart, v.yPixelsPerUnit);
        if (v.xHorizontal)
            out[m++] = POINT{SaturatingAdd(P.left, along), SaturatingSub(P.bottom, across)};
        else
            out[m++] = POINT{SaturatingSub(P.right, across), SaturatingSub(P.bottom, along)};
    }
    return m;
}

// Appends the stroke of one column: one point when it is a single pixel, else highest then lowest y.
inline void AppendColumn(POINT* out, size_t& m, int32_t column, int32_t low, int32_t high) {
    if (high == low) {
        out[m++] = POINT{column, low};
    } else {
        out[m++] = POINT{column, high};
        out[m++] = POINT{column, low};
    }
}

// The reduction exactly as written, one sample at a time: the reference for odd views.
size_t ReduceScalar(const CSampleReader& s, const CTraceView& v, const CVisibleSamples& vis, POINT* out) {
    const CRect& P = v.plot;
    size_t m = 0;
    int64_t j = vis.skip;
    while (j < vis.end) {
        const int32_t column = SaturatingAdd(P.left, ColumnOffset(j, v.xPixelsPerSample));
        int32_t low = std::numeric_limits<int32_t>::max();
        int32_t high = std::numeric_limits<int32_t>::min();
        while (j < vis.end && SaturatingAdd(P.left, ColumnOffset(j, v.xPixelsPerSample)) == column) {
            const int32_t y = SaturatingSub(P.bottom, RowOffset(s[vis.first + j], v.yViewStart, v.yPixelsPerUnit));
            low = std::min(low, y);
            high = std::max(high, y);
            ++j;
        }
        AppendColumn(out, m, column, low, high);
    }
    return m;
}

// First relative index after j whose column differs from column c (or end). Columns never decrease
// with j for a positive finite kx, so an estimate from the division is corrected by galloping and
// bisection on the exact single-precision column of each probe.
int64_t ColumnEnd(int64_t j, int64_t end, int32_t left, int32_t c, float kx) {
    // Compared after adding the left edge, as the one-at-a-time form does (saturation can merge).
    const int32_t column = SaturatingAdd(left, c);
    auto inColumn = [&](int64_t k) { return SaturatingAdd(left, ColumnOffset(k, kx)) == column; };
    const double guessD = std::ceil((static_cast<double>(c) + 1.0) / kx);
    int64_t guess = guessD >= static_cast<double>(end) ? end : static_cast<int64_t>(guessD);
    guess = std::clamp<int64_t>(guess, j + 1, end);

    int64_t a, b;  // inColumn(a) holds; b == end or !inColumn(b)
    if (guess < end && inColumn(guess)) {
        a = guess;
        int64_t step = 1;
        for (;;) {
            b = a + step;
            if (b >= end) { b = end; break; }
            if (!inColumn(b)) break;
            a = b;
            step *= 2;
        }
    } else {
        a = j;
        b = guess;
        int64_t step = 1;
        for (;;) {
            const int64_t t = b - step;
            if (t <= a) break;
            if (inColumn(t)) { a = t; break; }
            b = t;
            step *= 2;
        }
    }
    while (b - a > 1) {
        const int64_t mid = a + (b - a) / 2;
        if (inColumn(mid)) a = mid; else b = mid;
    }
    return b;
}

// The reduction with one SIMD pass over each column's samples. The sample-to-row map is monotonic
// for finite ys and ky, so the column's extreme rows are the rows of its extreme samples; a NaN
// sample maps to the row of trunc(NaN) = 0, as the one-at-a-time form gives it.
size_t ReduceByColumns(const CTraceSamples& src, const CTraceView& v, const CVisibleSamples& vis, POINT* out) {
    const CRect& P = v.plot;
    const float kx = v.xPixelsPerSample, ys = v.yViewStart, ky = v.yPixelsPerUnit;
    auto row = [&](float value) { return SaturatingSub(P.bottom, RowOffset(value, ys, ky)); };
    size_t m = 0;
    int64_t j = vis.skip;
    while (j < vis.end) {
        const int32_t c = ColumnOffset(j, kx);
        const int64_t e = ColumnEnd(j, vis.end, P.left, c, kx);
        const size_t n = static_cast<size_t>(e - j);
        int32_t low, high;
        if (src.shortData) {
            const CShortExtent x = FindSampleExtent(src.shortData + vis.first + j, n);
            const int32_t r1 = row(static_cast<float>(x.low)), r2 = row(static_cast<float>(x.high));
            low = std::min(r1, r2);
            high = std::max(r1, r2);
        } else {
            const CFloatExtent x = FindSampleExtent(src.floatData + vis.first + j, n);
            low = std::numeric_limits<int32_t>::max();
            high = std::numeric_limits<int32_t>::min();
            if (x.low <= x.high) {
                const int32_t r1 = row(x.low), r2 = row(x.high);
                low = std::min(r1, r2);
                high = std::max(r1, r2);
            }
            if (x.hasNaN) {
                const int32_t r = row(std::numeric_limits<float>::quiet_NaN());
                low = std::min(low, r);
                high = std::max(high, r);
            }
        }
        AppendColumn(out, m, SaturatingAdd(P.left, c), low, high);
        j = e;
    }
    return m;
}

}  // namespace

CVisibleSamples SelectVisibleSamples(int32_t count, const CTraceView& view) {
    CVisibleSamples vis;
    vis.first = TruncateToInt(view.xViewStart);
    vis.skip = vis.first <= 0 ? -vis.first : 0;
    const int32_t extent = view.xHorizontal ? view.plot.Width() : view.plot.Height();
    const int64_t visible = static_cast<int64_t>(TruncateToInt(extent / view.xPixelsPerSample)) + 2;
    vis.end = std::min<int64_t>(count - vis.first, visible);
    return vis;
}

size_t ComputeLinePoints(const CTraceSamples& samples, const CTraceView& view, POINT* out, size_t capacity) {
    if (!samples.shortData && !samples.floatData) return 0;
    if (samples.count <= 0 || !out) return 0;
    assert(capacity >= static_cast<size_t>(samples.count) && "point buffer smaller than the trace");
    if (capacity < static_cast<size_t>(samples.count)) return 0;

    const CVisibleSamples vis = SelectVisibleSamples(samples.count, view);
    if (vis.end <= vis.skip) return 0;
    const CSampleReader reader{samples.shortData, samples.shortData ? nullptr : samples.floatData};

    if (!view.xHorizontal || vis.end - vis.skip < 2 * static_cast<int64_t>(view.plot.Width()))
        return PointPerSample(reader, view, vis, out);

    const bool regular = std::isfinite(view.xPixelsPerSample) && view.xPixelsPerSample > 0 &&
                         std::isfinite(view.yViewStart) && std::isfinite(view.yPixelsPerUnit);
    return regular ? ReduceByColumns(samples, view, vis, out) : ReduceScalar(reader, view, vis, out);
}

size_t ComputeXYPoints(const int32_t* xValues, const int16_t* yValues, int32_t count, const CTraceView& view,
                       POINT* out, size_t capacity) {
    if (!xValues || !yValues || count <= 0 || !out) return 0;
    assert(capacity >= static_cast<size_t>(count) && "point buffer smaller than the trace");
    const size_t n = std::min(static_cast<size_t>(count), capacity);
    const CRect& P = view.plot;
    const int32_t start = TruncateToInt(view.xViewStart);
    for (size_t k = 0; k < n; ++k) {
        // The difference is taken in integers and then used as a float, as the view state keeps it.
        const float dx = static_cast<float>(static_cast<int64_t>(xValues[k]) - start);
        const int32_t along = TruncateToInt(dx * view.xPixelsPerSample);
        const int32_t across = RowOffset(static_cast<float>(yValues[k]), view.yViewStart, view.yPixelsPerUnit);
        if (view.xHorizontal)
            out[k] = POINT{SaturatingAdd(P.left, along), SaturatingSub(P.bottom, across)};
        else
            out[k] = POINT{SaturatingSub(P.right, across), SaturatingSub(P.bottom, along)};
    }
    return n;
}
