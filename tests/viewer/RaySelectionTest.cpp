#include "viewer/PulseTiming.h"
#include "viewer/RaySelection.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

using namespace orvex::viewer;

namespace {
constexpr double kNoEnd = std::numeric_limits<double>::infinity();
constexpr ESegmentEnd None = ESegmentEnd::kNone, Leg = ESegmentEnd::kLegEnd, At = ESegmentEnd::kAtTime;
}  // namespace

TEST(RaySelectionTest, EndRaysAtTime) {
    struct Row { double t0, t1; ESegmentEnd start, end; double endTime; } rows[] = {
        {4, 8, Leg, Leg, 8},         // wholly before the cut: drawn whole
        {8, 14, Leg, At, 10},        // crosses the cut: origin to the point at 10
        {12, 20, None, None, 0},     // starts after the cut: not drawn
        {10, 12, None, None, 0},     // starts exactly at the cut: not drawn (strict)
        {6, 10, Leg, At, 10},        // ends exactly at the cut: cut at the time, same point
        {2, kNoEnd, Leg, At, 10},    // a leg without an end is always cut
    };
    for (const Row& r : rows) {
        const SRaySegment s = SelectRaySegment(kEndRaysAtTime, r.t0, r.t1, 10.0, {});
        EXPECT_EQ(s.start, r.start) << r.t0 << ".." << r.t1;
        EXPECT_EQ(s.end, r.end) << r.t0 << ".." << r.t1;
        if (s.end == At) {
            EXPECT_EQ(s.endTime, r.endTime);
        }
    }
}

TEST(RaySelectionTest, PulseDrawsOnlyLegsThatAnEdgeCrosses) {
    const SPulseWindow pulse{9.0, 11.0};
    struct Row { double t0, t1; bool drawn; double from, to; } rows[] = {
        {8, 10, true, 9, 10},        // the low edge inside
        {10, 12, true, 10, 11},      // the high edge inside
        {9.5, 10.5, false, 0, 0},    // wholly inside the pulse: left out
        {5, 20, true, 9, 11},        // both edges inside
        {9, 10, false, 0, 0},        // starts exactly on the low edge: strict comparisons
        {2, 4, false, 0, 0},         // before the pulse
        {5, kNoEnd, true, 9, 11},    // a leg without an end
    };
    for (const Row& r : rows) {
        const SRaySegment s = SelectRaySegment(kPulse, r.t0, r.t1, 10.0, pulse);
        EXPECT_EQ(s.Drawn(), r.drawn) << r.t0 << ".." << r.t1;
        if (!r.drawn) continue;
        EXPECT_EQ(s.start, At);
        EXPECT_EQ(s.end, At);
        EXPECT_EQ(s.startTime, r.from);
        EXPECT_EQ(s.endTime, r.to);
    }
}

TEST(RaySelectionTest, AnyOtherPlotTypeDrawsFullRays) {
    for (short type : {short(0), short(3), short(-1), short(32767)}) {
        const SRaySegment s = SelectRaySegment(type, 12.0, 20.0, 10.0, {9, 11});
        EXPECT_EQ(s.start, Leg) << type;
        EXPECT_EQ(s.end, Leg) << type;
    }
}

TEST(RaySelectionTest, PulseWindowFromTheDuration) {
    // 5 MHz at 50 % bandwidth: 400 ln 2 / (pi * 250).
    EXPECT_NEAR(PulseDuration(5.0, 50.0), 0.353017, 5e-7);
    EXPECT_NEAR(PulseDuration(5.0, 50.0), 400.0 * std::log(2.0) / (std::numbers::pi * 250.0), 1e-15);
    const SPulseWindow w = MakePulseWindow(10.0, 2.0);
    EXPECT_EQ(w.lo, 9.0);
    EXPECT_EQ(w.hi, 11.0);
    // Without pulse parameters the width is infinite and no leg is selected, however long.
    const SPulseWindow none = MakePulseWindow(10.0, PulseDuration(0.0, 50.0));
    EXPECT_FALSE(SelectRaySegment(kPulse, -1e300, 1e300, 10.0, none).Drawn());
    const SPulseWindow nan = MakePulseWindow(10.0, PulseDuration(std::nan(""), 50.0));
    EXPECT_FALSE(SelectRaySegment(kPulse, -1e300, 1e300, 10.0, nan).Drawn());
}

TEST(RaySelectionTest, AnimationWrapsOnlyStrictlyPastTheEnd) {
    struct Row { double t, inc, lo, hi, next; } rows[] = {
        {49.5, 0.5, 0, 50, 50.0},    // reaching the end limit exactly does not wrap
        {50.0, 0.5, 0, 50, 0.0},     // the next tick does
        {10.0, 0.5, 0, 0, 0.0},      // a fresh control without data: every tick wraps to 0
        {0.0, 0.5, 0, 0, 0.0},
        {70.0, -0.5, 0, 50, 0.0},    // beyond the end after AdvanceRays: wraps even stepping back
        {3.0, -0.5, 0, 50, 2.5},     // a negative step is not limited below
    };
    for (const Row& r : rows) EXPECT_EQ(NextAnimationTime(r.t, r.inc, r.lo, r.hi), r.next) << r.t;
}
