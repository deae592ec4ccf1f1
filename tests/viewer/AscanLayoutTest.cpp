#include "viewer/AscanLayout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numeric>
#include <vector>

using namespace orvex::viewer;

namespace {

std::vector<float> Ramp(int n) {
    std::vector<float> v(n);
    std::iota(v.begin(), v.end(), 1.0f);  // never zero, so a sample is told from padding
    return v;
}

SAscanSource Source(const std::vector<float>& samples, double dataStart = 1.5) {
    SAscanSource s;
    s.windowStart = 1.0;
    s.windowLength = 2.0;
    s.sampleInterval = 0.01;
    s.windowSampleInterval = 0.01;
    s.dataStart = dataStart;
    s.samples = samples.data();
    s.nSamples = static_cast<int64_t>(samples.size());
    return s;
}

std::vector<float> Fill(const SAscanSource& s, const SAscanLayout& l) {
    std::vector<float> out(static_cast<size_t>(l.count), -1.0f);
    FillAscanArray(s, l, out.data());
    return out;
}

}  // namespace

TEST(AscanLayoutTest, FullAscanStartsAtTimeZero) {
    struct Row { int n; int64_t lead, count; } rows[] = {
        {100, 150, 300},   // window end 300 beyond the data: padded up to it
        {200, 150, 355},   // data past the window end: five zeros follow
        {150, 150, 305},   // data ends exactly at the window end: not beyond, so five zeros
    };
    for (const Row& r : rows) {
        const auto samples = Ramp(r.n);
        const SAscanSource src = Source(samples);
        SAscanLayout l;
        ASSERT_TRUE(ComputeFullAscanLayout(src, l));
        EXPECT_EQ(l.lead, r.lead);
        EXPECT_EQ(l.count, r.count);
        EXPECT_EQ(l.resolution, 0.01);
        const auto out = Fill(src, l);
        for (int64_t i = 0; i < l.count; ++i) {
            const int64_t k = i - l.lead;
            const float want = (k >= 0 && k < r.n) ? samples[k] : 0.0f;
            ASSERT_EQ(out[i], want) << "n " << r.n << " element " << i;
        }
    }
}

TEST(AscanLayoutTest, IntervalChoice) {
    struct Row { double si, wsi, r; } rows[] = {
        {0.0100000, 0.0100004, 0.0100004},  // within 1e-6: the window interval
        {0.0100, 0.0102, 0.0100},           // apart: the sample interval
        {0.0, 0.0000005, 0.0000005},        // a zero sample interval close to a usable one
    };
    for (const Row& r : rows) {
        const auto samples = Ramp(10);
        SAscanSource src = Source(samples);
        src.sampleInterval = r.si;
        src.windowSampleInterval = r.wsi;
        SAscanLayout l;
        ASSERT_TRUE(ComputeFullAscanLayout(src, l)) << r.si;
        EXPECT_EQ(l.resolution, r.r);
    }
}

TEST(AscanLayoutTest, RefusesDataTheArithmeticCannotSurvive) {
    const double nan = std::nan(""), inf = std::numeric_limits<double>::infinity();
    struct Row { double si, wsi, wl; } rows[] = {
        {0.0, 0.0, 2.0},         // zero interval: a division by zero
        {nan, nan, 2.0},         // not a number
        {inf, inf, 2.0},         // infinite interval
        {0.01, 0.01, 1e12},      // a window of 1e14 samples
        {1e-300, 1e-300, 2.0},   // a sample count beyond any array
    };
    for (const Row& r : rows) {
        const auto samples = Ramp(10);
        SAscanSource src = Source(samples);
        src.sampleInterval = r.si;
        src.windowSampleInterval = r.wsi;
        src.windowLength = r.wl;
        SAscanLayout l;
        EXPECT_FALSE(ComputeFullAscanLayout(src, l)) << r.si << " " << r.wl;
        EXPECT_FALSE(ComputeWindowedAscanLayout(src, l)) << r.si << " " << r.wl;
    }
}

TEST(AscanLayoutTest, DataBeforeTimeZeroIsDroppedNotWrittenBeforeTheArray) {
    const auto samples = Ramp(100);
    const SAscanSource src = Source(samples, -0.5);  // lead -50
    SAscanLayout l;
    ASSERT_TRUE(ComputeFullAscanLayout(src, l));
    EXPECT_EQ(l.lead, -50);
    EXPECT_EQ(l.count, 300);
    const auto out = Fill(src, l);
    EXPECT_EQ(out[0], samples[50]);   // the sample at time 0
    EXPECT_EQ(out[49], samples[99]);
    EXPECT_EQ(out[50], 0.0f);
    // Data wholly before time 0 and a window ending before it: an empty array, not a negative one.
    SAscanSource early = Source(samples, -10.0);
    early.windowStart = -5.0;
    ASSERT_TRUE(ComputeFullAscanLayout(early, l));
    EXPECT_EQ(l.count, 0);
}

TEST(AscanLayoutTest, WindowedAscan) {
    struct Row { double dataStart; int n; int64_t lead; int firstSampleAt; int lastSampleAt; } rows[] = {
        {1.5, 100, 50, 50, 149},    // 50 zeros, the samples, 50 zeros
        {0.5, 100, 0, 0, 99},       // data before the window: copied from its first sample
        {1.5, 400, 50, 50, 199},    // more samples than fit: the rest dropped, no overrun
        {5.0, 100, 400, -1, -1},    // data after the window: all zeros
    };
    for (const Row& r : rows) {
        const auto samples = Ramp(r.n);
        const SAscanSource src = Source(samples, r.dataStart);
        SAscanLayout l;
        ASSERT_TRUE(ComputeWindowedAscanLayout(src, l));
        EXPECT_EQ(l.count, 200);
        EXPECT_EQ(l.lead, r.lead);
        const auto out = Fill(src, l);
        for (int i = 0; i < 200; ++i) {
            const bool inside = r.firstSampleAt >= 0 && i >= r.firstSampleAt && i <= r.lastSampleAt;
            ASSERT_EQ(out[i], inside ? samples[i - r.firstSampleAt] : 0.0f) << r.dataStart << " at " << i;
        }
    }
    // A negative window length is refused; a zero one gives an empty array.
    const auto samples = Ramp(10);
    SAscanSource src = Source(samples);
    SAscanLayout l;
    src.windowLength = -1.0;
    EXPECT_FALSE(ComputeWindowedAscanLayout(src, l));
    src.windowLength = 0.0;
    ASSERT_TRUE(ComputeWindowedAscanLayout(src, l));
    EXPECT_EQ(l.count, 0);
}
