// The CSV export: what it writes reads back to GetAscan's samples, on the plot's times.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "geometry/CSimulationData.h"
#include "geometry/OrvexFile.h"
#include "host/AscanExport.h"
#include "tests/host/HostTestSupport.h"

namespace {

std::vector<std::vector<std::string>> ParseCsv(const std::string& text) {
    std::vector<std::vector<std::string>> rows;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        std::vector<std::string> cells;
        std::string cell;
        bool quoted = false;
        for (size_t i = 0; i < line.size(); ++i) {
            const char c = line[i];
            if (quoted && c == '"' && i + 1 < line.size() && line[i + 1] == '"') cell += line[++i];
            else if (c == '"') quoted = !quoted;
            else if (c == ',' && !quoted) cells.push_back(std::exchange(cell, std::string()));
            else cell += c;
        }
        cells.push_back(cell);
        rows.push_back(cells);
    }
    return rows;
}

SAscanTrace Trace(LONG snapshot, double resolution, std::vector<float> samples, std::string label = "Time (us)") {
    SAscanTrace t;
    t.snapshot = snapshot;
    t.resolution = resolution;
    t.samples = std::move(samples);
    t.xLabel = std::move(label);
    return t;
}

class AscanExportTest : public HostTest {};

TEST_F(AscanExportTest, AllSnapshotsReadBackToGetAscansSamples) {
    // Samples of no short decimal form, an interval that is not exact in float, and two
    // snapshots of different lengths.
    CSimulationData data;
    for (int k = 0; k < 2; ++k) {
        CSimulationData::stSnapshot s;
        s.m_windowStart = 0.0;
        s.m_windowLength = 0.05 * (k + 1);
        s.m_yMax = 1.0;
        s.m_yMin = -1.0;
        s.m_sampleInterval = s.m_windowSampleInterval = 0.01;
        s.m_dataStart = 0.02;
        s.m_xLabel = "Time (us)";
        for (int i = 0; i < 3 + 5 * k; ++i) s.m_samples.push_back(static_cast<float>(std::sin(1.7 * i + k)) / 3.0f);
        CSimulationData::SyncSampleCount(s);
        data.m_snapshots.push_back(s);
    }
    std::string error;
    ASSERT_TRUE(SaveOrvexFile(PathOf("d.orvex"), data, error)) << error;

    SAscanCsvOptions options;
    options.inputPath = PathOf("d.orvex");
    options.outputPath = PathOf("d.csv");
    options.allSnapshots = true;
    ASSERT_TRUE(WriteAscanCsv(options, error)) << error;
    EXPECT_FALSE(std::filesystem::exists(PathOf("d.csv.partial")));
    std::ifstream in(PathOf("d.csv"));
    const auto rows = ParseCsv(std::string(std::istreambuf_iterator<char>(in), {}));
    ASSERT_GE(rows.size(), 2u);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"Time (us)", "snapshot 0", "snapshot 1"}));

    CAscanTraceSource source;
    ASSERT_TRUE(source.Open(PathOf("d.orvex"), error)) << error;
    for (LONG k = 0; k < 2; ++k) {
        SAscanTrace trace;
        ASSERT_TRUE(source.Read(k, trace, error)) << error;
        // GetAscan's layout: two leading zeros (data start 0.02), the stored samples, zeros after.
        ASSERT_GE(trace.samples.size(), data.m_snapshots[k].m_samples.size() + 2);
        for (size_t j = 0; j < data.m_snapshots[k].m_samples.size(); ++j)
            ASSERT_EQ(trace.samples[2 + j], data.m_snapshots[k].m_samples[j]);
        for (size_t i = 0; i + 1 < rows.size(); ++i) {
            const auto& row = rows[i + 1];
            ASSERT_EQ(row.size(), 3u);
            EXPECT_EQ(std::strtof(row[0].c_str(), nullptr), static_cast<float>(i) * 0.01f) << i;
            if (i < trace.samples.size()) {
                EXPECT_EQ(std::strtof(row[1 + k].c_str(), nullptr), trace.samples[i]) << "row " << i;
            } else {
                EXPECT_TRUE(row[1 + k].empty()) << "a shorter snapshot leaves its cells empty";
            }
        }
        if (k == 1) {
            EXPECT_EQ(rows.size() - 1, trace.samples.size()) << "the longest A-scan sets the rows";
        }
    }
}

TEST_F(AscanExportTest, TracesOfOtherResolutionsGetTheirOwnTimeColumns) {
    const std::string csv = FormatAscanCsv({Trace(0, 0.5, {1.0f, 2.0f}), Trace(3, 0.25, {3.0f}, "t, \"us\"")});
    const auto rows = ParseCsv(csv);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0], (std::vector<std::string>{"Time (us) 0", "snapshot 0", "t, \"us\" 3", "snapshot 3"}));
    EXPECT_EQ(rows[1], (std::vector<std::string>{"0", "1", "0", "3"}));
    EXPECT_EQ(rows[2], (std::vector<std::string>{"0.5", "2", "", ""}));
    EXPECT_EQ(ParseCsv(FormatAscanCsv({Trace(2, 0.5, {}, "")}))[0],
              (std::vector<std::string>{"Time", "snapshot 2"}));
}

TEST_F(AscanExportTest, AFailedExportLeavesNoFile) {
    SAscanCsvOptions options;
    options.inputPath = WriteFile("bad.orvex", "not a simulation");
    options.outputPath = PathOf("x.csv");
    std::string error;
    EXPECT_FALSE(WriteAscanCsv(options, error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(std::filesystem::exists(PathOf("x.csv")));
}

}  // namespace
