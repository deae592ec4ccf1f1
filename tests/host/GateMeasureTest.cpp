// Gate readouts on synthetic A-scans whose answers are known by construction.
#include <gtest/gtest.h>

#include <limits>

#include "geometry/CSimulationData.h"
#include "geometry/OrvexFile.h"
#include "host/AscanTraces.h"
#include "host/GateMeasure.h"
#include "host/GateMeasureJob.h"
#include "tests/host/HostTestSupport.h"

namespace {

// Resolution 0.5 is exact in float, so sample i lies at exactly i / 2.
SAscanTrace Trace(std::vector<float> samples, double resolution = 0.5) {
    SAscanTrace t;
    t.resolution = resolution;
    t.samples = std::move(samples);
    return t;
}

SMeasureGate Gate(double start, double end, std::optional<double> threshold = std::nullopt) {
    SMeasureGate g;
    g.start = start;
    g.end = end;
    g.threshold = threshold;
    return g;
}

TEST(GateMeasure, PeakIsTheLargestMagnitudeWithItsSignAndTime) {
    const SGateReading r = MeasureGate(Trace({0.0f, 0.2f, -0.9f, 0.5f, 0.0f}), Gate(0.0, 2.0));
    ASSERT_TRUE(r.peak.has_value());
    EXPECT_DOUBLE_EQ(*r.peak, 0.9f);
    EXPECT_DOUBLE_EQ(r.peakSigned, -0.9f);
    EXPECT_DOUBLE_EQ(r.peakTime, 1.0);
    EXPECT_EQ(r.sampleCount, 5u);
}

TEST(GateMeasure, EqualMagnitudesGiveTheEarliestSample) {
    const SGateReading r = MeasureGate(Trace({0.0f, 0.7f, -0.7f}), Gate(0.0, 1.0));
    EXPECT_DOUBLE_EQ(r.peakTime, 0.5);
    EXPECT_DOUBLE_EQ(r.peakSigned, 0.7f);
}

TEST(GateMeasure, GateEndsBelongToTheGate) {
    // The peak (sample 4, time 2.0) lies outside [1.0, 1.5]; samples 2 and 3 lie on its ends.
    const SAscanTrace t = Trace({0.0f, 0.0f, 0.3f, 0.4f, 1.0f});
    const SGateReading r = MeasureGate(t, Gate(1.0, 1.5));
    EXPECT_EQ(r.sampleCount, 2u);
    EXPECT_DOUBLE_EQ(*r.peak, 0.4f);
    EXPECT_DOUBLE_EQ(r.peakTime, 1.5);
}

TEST(GateMeasure, GatesWithoutSamplesReadNothing) {
    const SAscanTrace t = Trace({0.1f, 0.2f, 0.3f, 0.4f});
    struct Row {
        SMeasureGate gate;
        const char* why;
    } rows[] = {
        {Gate(1.1, 1.4, 0.0), "between two samples"},
        {Gate(5.0, 9.0, 0.0), "after the trace"},
        {Gate(-3.0, -1.0, 0.0), "before time 0"},
    };
    for (const Row& row : rows) {
        const SGateReading r = MeasureGate(t, row.gate);
        EXPECT_EQ(r.sampleCount, 0u) << row.why;
        EXPECT_FALSE(r.peak.has_value()) << row.why;
        EXPECT_FALSE(r.flankTime.has_value()) << row.why;
    }
    // A trace without a resolution has no times.
    EXPECT_FALSE(MeasureGate(Trace({1.0f}, 0.0), Gate(0.0, 1.0)).peak.has_value());
}

TEST(GateMeasure, FlankIsInterpolatedBetweenTheSamplesAroundTheThreshold) {
    struct Row {
        std::vector<float> samples;
        SMeasureGate gate;
        std::optional<double> flank;
        const char* why;
    } rows[] = {
        // 0.4 lies halfway between 0.2 (t 0.5) and 0.6 (t 1.0).
        {{0.0f, 0.2f, 0.6f, 1.0f}, Gate(0.0, 2.0, 0.4), 0.75, "rising"},
        {{0.0f, -0.2f, -0.6f, -1.0f}, Gate(0.0, 2.0, 0.4), 0.75, "a negative echo crosses by its magnitude"},
        {{0.0f, 0.25f, 0.5f}, Gate(0.0, 2.0, 0.5), 1.0, "a sample on the threshold reaches it"},
        {{0.0f, 0.0f, 0.8f, 0.9f}, Gate(1.0, 2.0, 0.5), 1.0, "the gate opens with the signal there"},
        {{0.0f, 0.9f, 0.0f, 0.2f, 0.8f}, Gate(1.0, 2.0, 0.5), 1.75, "an echo before the gate is not seen"},
        {{0.3f, 0.6f}, Gate(0.0, 1.0, 0.0), 0.0, "threshold 0: the first sample of the gate"},
        {{0.1f, 0.3f, 0.2f}, Gate(0.0, 1.0, 0.5), std::nullopt, "never reached"},
        {{0.1f, 0.9f}, Gate(0.0, 1.0), std::nullopt, "no threshold, no flank"},
    };
    for (const Row& row : rows) {
        const SGateReading r = MeasureGate(Trace(row.samples), row.gate);
        ASSERT_EQ(r.flankTime.has_value(), row.flank.has_value()) << row.why;
        // The samples are floats, so 0.2 and 0.6 are not exact.
        if (row.flank) {
            EXPECT_NEAR(*r.flankTime, *row.flank, 1e-7) << row.why;
        }
    }
}

TEST(GateMeasure, SamplesThatAreNotNumbersArePassedOver) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const SGateReading r = MeasureGate(Trace({nan, 0.2f, nan, 0.6f}), Gate(0.0, 2.0, 0.4));
    ASSERT_TRUE(r.peak.has_value());
    EXPECT_DOUBLE_EQ(*r.peak, 0.6f);
    EXPECT_DOUBLE_EQ(r.peakTime, 1.5);
    ASSERT_TRUE(r.flankTime.has_value());
    EXPECT_DOUBLE_EQ(*r.flankTime, 1.5) << "no interpolation from a sample that is not a number";
    const SGateReading none = MeasureGate(Trace({nan, nan}), Gate(0.0, 2.0, 0.0));
    EXPECT_EQ(none.sampleCount, 2u);
    EXPECT_FALSE(none.peak.has_value());
    EXPECT_FALSE(none.flankTime.has_value());
}

TEST(GateMeasure, TimesAreThePlotsFloatTimes) {
    // 0.01 is not exact in float: the plot places sample 3 at 3.0f * 0.01f, not at 0.03.
    SAscanTrace t = Trace({0.0f, 0.0f, 0.0f, 1.0f}, 0.01);
    EXPECT_EQ(t.TimeOf(3), static_cast<double>(3.0f * 0.01f));
    EXPECT_EQ(MeasureGate(t, Gate(0.0, 1.0)).peakTime, static_cast<double>(3.0f * 0.01f));
}

TEST(GateMeasure, ParsesGateOptions) {
    SMeasureGate g;
    ASSERT_TRUE(ParseGate("10:20", g));
    EXPECT_EQ(g.start, 10.0);
    EXPECT_EQ(g.end, 20.0);
    EXPECT_FALSE(g.threshold.has_value());
    ASSERT_TRUE(ParseGate("-1.5:2e1:0.25", g));
    EXPECT_EQ(g.start, -1.5);
    EXPECT_EQ(*g.threshold, 0.25);
    ASSERT_TRUE(ParseGate("3:3", g)) << "a gate of one instant";
    for (const char* bad : {"", "10", "20:10", "1:2:-0.1", "a:2", "1:2:", "1::2", "1:inf", "nan:1", "1:2:3:4"})
        EXPECT_FALSE(ParseGate(bad, g)) << bad;
}

class GateTableTest : public HostTest {};

// Two snapshots, each with one echo placed by construction, read through the viewer.
TEST_F(GateTableTest, MeasuresEverySnapshotThroughTheViewer) {
    CSimulationData data;
    for (int k = 0; k < 2; ++k) {
        CSimulationData::stSnapshot s;
        s.m_windowStart = 0.0;
        s.m_windowLength = 8.0;
        s.m_yMax = 1.0;
        s.m_yMin = -1.0;
        s.m_sampleInterval = 0.5;
        s.m_windowSampleInterval = 0.5;
        s.m_dataStart = 1.0;  // two leading zeros in GetAscan's array
        s.m_xLabel = "Time (us)";
        s.m_samples = {0.0f, 0.1f, 0.4f, k == 0 ? -0.8f : 0.6f, 0.2f, 0.0f};
        CSimulationData::SyncSampleCount(s);
        data.m_snapshots.push_back(s);
    }
    std::string error;
    ASSERT_TRUE(SaveOrvexFile(PathOf("two.orvex"), data, error)) << error;

    SGatesOptions options;
    options.inputPath = PathOf("two.orvex");
    options.allSnapshots = true;
    options.gates = {Gate(0.0, 8.0, 0.2), Gate(3.0, 8.0)};
    std::vector<SGateTableRow> rows;
    std::vector<size_t> progress;
    ASSERT_TRUE(MeasureGates(options, rows, error, [&](size_t done, size_t) { progress.push_back(done); })) << error;
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(progress, (std::vector<size_t>{1, 2}));
    // Sample j of the data lies at 1.0 + 0.5 j: the echo at 2.5, the 0.2 threshold halfway from 1.5 to 2.0.
    EXPECT_EQ(rows[0].snapshot, 0);
    EXPECT_DOUBLE_EQ(*rows[0].reading.peak, 0.8f);
    EXPECT_DOUBLE_EQ(rows[0].reading.peakSigned, -0.8f);
    EXPECT_DOUBLE_EQ(rows[0].reading.peakTime, 2.5);
    EXPECT_NEAR(*rows[0].reading.flankTime, 1.5 + 0.5 * (0.2 - 0.1) / (0.4 - 0.1), 1e-7);
    EXPECT_DOUBLE_EQ(rows[1].reading.peakTime, 3.0) << "the second gate starts after the echo";
    EXPECT_EQ(rows[2].snapshot, 1);
    EXPECT_DOUBLE_EQ(rows[2].reading.peakSigned, 0.6f);

    const std::string json = FormatGateJson(options, rows);
    EXPECT_NE(json.find("\"gate\": \"Gate 2\""), std::string::npos);
    EXPECT_NE(json.find("\"flankTime\": null"), std::string::npos) << "gate 2 has no threshold";

    options.allSnapshots = false;
    options.snapshot = 2;
    rows.clear();
    EXPECT_FALSE(MeasureGates(options, rows, error));
    EXPECT_NE(error.find("no snapshot 2"), std::string::npos) << error;
}

TEST(ProgressLines, OnePerTenthAndNothingForSmallJobs) {
    std::vector<std::string> lines;
    AscanProgress p = MakeProgressLines([&](const std::string& l) { lines.push_back(l); }, "orvex x", "frames", 3);
    for (size_t i = 1; i <= 20; ++i) p(i, 20);
    ASSERT_EQ(lines.size(), 11u);
    EXPECT_EQ(lines.front(), "orvex x: 0% (1 of 20 frames)");
    EXPECT_EQ(lines.back(), "orvex x: 100% (20 of 20 frames)");
    lines.clear();
    AscanProgress small = MakeProgressLines([&](const std::string& l) { lines.push_back(l); }, "orvex x", "frames", 3);
    small(1, 2);
    small(2, 2);
    EXPECT_TRUE(lines.empty());
}

}  // namespace
