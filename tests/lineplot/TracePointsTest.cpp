#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "lineplot/SampleExtent.h"
#include "lineplot/TracePoints.h"
#include "platform/base/Saturate.h"

namespace {

// The point computation one sample at a time, exactly as the drawing contract words it.
std::vector<POINT> ReferencePoints(const CTraceSamples& s, const CTraceView& v) {
    std::vector<POINT> out;
    if (!s.shortData && !s.floatData) return out;
    auto sample = [&](int64_t i) { return s.shortData ? float(s.shortData[i]) : s.floatData[i]; };
    const CRect& P = v.plot;
    const int64_t first = TruncateToInt(v.xViewStart);
    const int64_t skip = first <= 0 ? -first : 0;
    const int32_t extent = v.xHorizontal ? P.Width() : P.Height();
    const int64_t n = std::min<int64_t>(s.count - first, int64_t(TruncateToInt(extent / v.xPixelsPerSample)) + 2);
    auto x = [&](int64_t j) { return SaturatingAdd(P.left, TruncateToInt(float(j) * v.xPixelsPerSample)); };
    auto y = [&](int64_t j) {
        return SaturatingSub(P.bottom, TruncateToInt((sample(first + j) - v.yViewStart) * v.yPixelsPerUnit));
    };
    if (!v.xHorizontal) {
        for (int64_t j = skip; j < n; ++j)
            out.push_back(POINT{SaturatingSub(P.right, TruncateToInt((sample(first + j) - v.yViewStart) * v.yPixelsPerUnit)),
                                SaturatingSub(P.bottom, TruncateToInt(float(j) * v.xPixelsPerSample))});
        return out;
    }
    if (n - skip < 2 * int64_t(P.Width())) {
        for (int64_t j = skip; j < n; ++j) out.push_back(POINT{x(j), y(j)});
        return out;
    }
    int64_t j = skip;
    while (j < n) {
        const int32_t column = x(j);
        int32_t low = std::numeric_limits<int32_t>::max(), high = std::numeric_limits<int32_t>::min();
        while (j < n && x(j) == column) {
            low = std::min(low, y(j));
            high = std::max(high, y(j));
            ++j;
        }
        if (high == low) {
            out.push_back(POINT{column, low});
        } else {
            out.push_back(POINT{column, high});
            out.push_back(POINT{column, low});
        }
    }
    return out;
}

std::vector<POINT> FastPoints(const CTraceSamples& s, const CTraceView& v) {
    std::vector<POINT> out(size_t(std::max(s.count, 1)));
    out.resize(ComputeLinePoints(s, v, out.data(), out.size()));
    return out;
}

bool SamePoints(const std::vector<POINT>& a, const std::vector<POINT>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i].x != b[i].x || a[i].y != b[i].y) return false;
    return true;
}

CTraceView MakeView(int width, float start, float kx, float ys = -1.0f, float ky = 50.0f) {
    CTraceView v;
    v.plot = CRect(55, 20, 55 + width, 120);
    v.xViewStart = start;
    v.xPixelsPerSample = kx;
    v.yViewStart = ys;
    v.yPixelsPerUnit = ky;
    return v;
}

std::vector<float> Ramp(int n) {
    std::vector<float> s(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) s[size_t(i)] = std::sin(i * 0.05f);
    return s;
}

}  // namespace

TEST(TracePointsTest, DensityDecidesBetweenSamplesAndColumnStrokes) {
    const std::vector<float> s = Ramp(512);
    const CTraceSamples src{nullptr, s.data(), 512};
    // 512 samples in 400 pixels: fewer than two per column, one point per sample.
    EXPECT_EQ(FastPoints(src, MakeView(400, 0, 400.0f / 512)).size(), 512u);
    // In 200 pixels (512 >= 2 x 200) each column becomes a stroke of one or two points.
    const std::vector<POINT> p = FastPoints(src, MakeView(200, 0, 200.0f / 512));
    EXPECT_LE(p.size(), 400u);
    EXPECT_GE(p.size(), 200u);
    for (size_t i = 1; i < p.size(); ++i) EXPECT_GE(p[i].x, p[i - 1].x);
    EXPECT_EQ(p.front().x, 55);
    EXPECT_EQ(p.back().x, 55 + 199);
}

TEST(TracePointsTest, ColumnOfEqualRowsGivesOnePoint) {
    // Four samples per column, all on one row in column 0, spread in column 1.
    std::vector<float> s(2000, 0.0f);
    s[5] = 1.0f;
    s[6] = -1.0f;
    const CTraceSamples src{nullptr, s.data(), 2000};
    const std::vector<POINT> p = FastPoints(src, MakeView(100, 0, 0.25f, -1.0f, 50.0f));
    ASSERT_GE(p.size(), 3u);
    EXPECT_EQ(p[0].x, 55);               // column 0: one point
    EXPECT_EQ(p[0].y, 120 - 50);
    EXPECT_EQ(p[1].x, 56);               // column 1: lowest on the screen (largest y) first
    EXPECT_EQ(p[1].y, 120);
    EXPECT_EQ(p[2].x, 56);
    EXPECT_EQ(p[2].y, 120 - 100);
    EXPECT_EQ(p[3].x, 57);
}

TEST(TracePointsTest, VisibleSampleSelection) {
    const std::vector<float> s = Ramp(512);
    const CTraceSamples src{nullptr, s.data(), 512};
    // Panning by less than a sample does not move the trace: sample 10 stays at the left edge.
    const std::vector<POINT> a = FastPoints(src, MakeView(100, 10.0f, 2.0f));
    const std::vector<POINT> b = FastPoints(src, MakeView(100, 10.7f, 2.0f));
    ASSERT_TRUE(SamePoints(a, b));
    EXPECT_EQ(a.front().x, 55);
    EXPECT_EQ(a.front().y, 120 - TruncateToInt((s[10] + 1.0f) * 50.0f));
    EXPECT_EQ(a.size(), 52u);  // 100 / 2 + 2 samples, the last two beyond the right edge
    // Starting 5 samples before the data with 2 pixels per sample: sample 0 lands 10 pixels in.
    const std::vector<POINT> c = FastPoints(src, MakeView(100, -5.0f, 2.0f));
    EXPECT_EQ(c.front().x, 55 + 10);
    EXPECT_EQ(c.size(), 52u - 5u);
    // A view beyond the data gives nothing.
    EXPECT_TRUE(FastPoints(src, MakeView(100, 600.0f, 2.0f)).empty());
    // A trace without samples gives nothing, whatever its count.
    EXPECT_TRUE(FastPoints(CTraceSamples{nullptr, nullptr, 512}, MakeView(100, 0, 2.0f)).empty());
}

TEST(TracePointsTest, ShortSamplesWinOverFloats) {
    std::vector<int16_t> shorts = {-2, 0, 2, 4};
    std::vector<float> floats = {9, 9, 9, 9};
    const std::vector<POINT> p = FastPoints(CTraceSamples{shorts.data(), floats.data(), 4}, MakeView(100, 0, 10.0f, 0, 1.0f));
    ASSERT_EQ(p.size(), 4u);
    EXPECT_EQ(p[0].y, 122);  // sign-extended: -2 lies below the bottom edge
    EXPECT_EQ(p[3].y, 116);
}

TEST(TracePointsTest, TurnedPlotRunsUpward) {
    std::vector<float> s = {0, 1, 2};
    CTraceView v = MakeView(100, 0, 10.0f, 0, 5.0f);
    v.xHorizontal = false;
    const std::vector<POINT> p = FastPoints(CTraceSamples{nullptr, s.data(), 3}, v);
    ASSERT_EQ(p.size(), 3u);
    EXPECT_EQ(p[1].x, 155 - 5);
    EXPECT_EQ(p[1].y, 120 - 10);
}

TEST(TracePointsTest, XYPointsUseTheTruncatedViewStart) {
    const int32_t xs[] = {10, 12};
    const int16_t ys[] = {0, 3};
    POINT out[2];
    CTraceView v = MakeView(100, 10.9f, 2.0f, 0, 1.0f);
    ASSERT_EQ(ComputeXYPoints(xs, ys, 2, v, out, 2), 2u);
    EXPECT_EQ(out[0].x, 55);
    EXPECT_EQ(out[1].x, 59);
    EXPECT_EQ(out[1].y, 117);
}

// Differential test: the SIMD column reduction against the one-at-a-time reference on seeded
// random traces and views, including NaN, infinite and huge samples and saturating pixels.
TEST(TracePointsTest, ReductionMatchesReferenceOnRandomTraces) {
    std::mt19937 rng(20240611);
    std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
    for (int round = 0; round < 300; ++round) {
        const int count = 1 + int(rng() % 60000);
        std::vector<float> f(static_cast<size_t>(count));
        std::vector<int16_t> h(static_cast<size_t>(count));
        for (int i = 0; i < count; ++i) {
            f[size_t(i)] = unit(rng) * (round % 7 == 0 ? 1e9f : 1.0f);
            h[size_t(i)] = int16_t(rng());
        }
        if (round % 5 == 0) {  // sprinkle bad values
            for (int k = 0; k < 20; ++k) {
                const size_t i = rng() % size_t(count);
                f[i] = (k % 3 == 0) ? std::nanf("") : (k % 3 == 1 ? std::numeric_limits<float>::infinity() : -3e38f);
            }
        }
        const int width = 1 + int(rng() % 900);
        const float kx = float(width) / float(1 + rng() % uint32_t(count)) * (0.5f + unit(rng) * 0.4f + 0.5f);
        const float start = (round % 4 == 0) ? -float(rng() % 50) : unit(rng) * 0.5f * float(count);
        CTraceView v = MakeView(width, start, kx, unit(rng), 10.0f + 100.0f * unit(rng));
        if (round % 11 == 0) v.yPixelsPerUnit = -v.yPixelsPerUnit;  // a negative y scale flips rows
        if (round % 13 == 0) v.plot = CRect(2147483647 - width, 0, 2147483647, 10);  // saturating columns
        const CTraceSamples fs{nullptr, f.data(), count};
        const CTraceSamples hs{h.data(), nullptr, count};
        ASSERT_TRUE(SamePoints(FastPoints(fs, v), ReferencePoints(fs, v))) << "float round " << round;
        ASSERT_TRUE(SamePoints(FastPoints(hs, v), ReferencePoints(hs, v))) << "short round " << round;
    }
}

TEST(TracePointsTest, ExtentKernelAgreesWithPlainLoop) {
    std::mt19937 rng(7);
    for (size_t n : {0u, 1u, 7u, 8u, 15u, 16u, 17u, 33u, 1000u}) {
        std::vector<float> f(n);
        std::vector<int16_t> h(n);
        for (size_t i = 0; i < n; ++i) {
            f[i] = float(int(rng() % 2001) - 1000);
            h[i] = int16_t(rng());
        }
        if (n > 3) f[n - 2] = std::nanf("");  // a NaN in the tail or the vector part
        float lo = std::numeric_limits<float>::infinity(), hi = -lo;
        bool nan = false;
        int16_t sl = 32767, sh = -32768;
        for (size_t i = 0; i < n; ++i) {
            if (std::isnan(f[i])) nan = true; else { lo = std::min(lo, f[i]); hi = std::max(hi, f[i]); }
            sl = std::min(sl, h[i]);
            sh = std::max(sh, h[i]);
        }
        const CFloatExtent e = FindSampleExtent(f.data(), n);
        EXPECT_EQ(e.low, lo) << n;
        EXPECT_EQ(e.high, hi) << n;
        EXPECT_EQ(e.hasNaN, nan) << n;
        const CShortExtent s = FindSampleExtent(h.data(), n);
        EXPECT_EQ(s.low, sl) << n;
        EXPECT_EQ(s.high, sh) << n;
    }
}
