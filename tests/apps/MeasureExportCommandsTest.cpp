// The measurement and export commands as a user runs them: gates, ascan --csv, bscan, animate.
#include <nlohmann/json.hpp>

#include "CliTestSupport.h"

namespace {

class MeasureExportCommandsTest : public CliTest {
protected:
    void SetUp() override {
        CliTest::SetUp();
        ASSERT_EQ(Run("simulate --snapshots 4 --rays 4 --samples 512 -o s.orvex"), 0) << m_err;
    }
};

TEST_F(MeasureExportCommandsTest, GatesUsageErrors) {
    struct Row {
        const char* args;
        const char* problem;
    } rows[] = {
        {"gates s.orvex", "missing --gate"},
        {"gates --gate 1:2", "missing FILE.orvex"},
        {"gates s.orvex --gate 5:1", "--gate needs START:END"},
        {"gates s.orvex --gate 1:5:-1", "--gate needs START:END"},
        {"gates s.orvex --gate", "--gate needs a value"},
        {"gates s.orvex --gate 1:5 --snapshot last", "--snapshot needs"},
        {"gates s.orvex --gate 1:5 --frobnicate", "unknown option"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(Run(row.args), 2) << row.args;
        EXPECT_NE(m_err.find(row.problem), std::string::npos) << row.args << "\n" << m_err;
    }
    EXPECT_EQ(Run("gates s.orvex --gate 1:5 --snapshot 4"), 1);
    EXPECT_NE(m_err.find("no snapshot 4 (the file has 4, numbered from 0)"), std::string::npos) << m_err;
    EXPECT_EQ(Run("gates missing.orvex --gate 1:5"), 1);
    EXPECT_TRUE(m_out.empty());
}

TEST_F(MeasureExportCommandsTest, GatesJsonHasAReadingPerGateAndSnapshot) {
    ASSERT_EQ(Run("gates s.orvex --gate 5:50:0.01 --gate=100:200 --snapshot all --json --progress"), 0) << m_err;
    const auto doc = nlohmann::json::parse(m_out);
    ASSERT_EQ(doc["gates"].size(), 2u);
    EXPECT_EQ(doc["gates"][1]["name"], "Gate 2");
    ASSERT_EQ(doc["readings"].size(), 8u);
    for (size_t i = 0; i < 8; ++i) {
        const auto& r = doc["readings"][i];
        EXPECT_EQ(r["snapshot"], static_cast<int>(i / 2));
        if (i % 2 == 0) {
            // The echo lies inside 5..50: a peak, its time inside the gate, a flank no later.
            ASSERT_TRUE(r["peak"].is_number());
            EXPECT_GT(r["peak"].get<double>(), 0.01);
            EXPECT_EQ(std::fabs(r["peakSigned"].get<double>()), r["peak"].get<double>());
            EXPECT_GE(r["peakTime"].get<double>(), 5.0);
            EXPECT_LE(r["peakTime"].get<double>(), 50.0);
            ASSERT_TRUE(r["flankTime"].is_number());
            EXPECT_LE(r["flankTime"].get<double>(), r["peakTime"].get<double>());
        } else {
            // 100..200 lies after the A-scan's end.
            EXPECT_EQ(r["samples"], 0);
            EXPECT_TRUE(r["peak"].is_null());
        }
    }
    EXPECT_NE(m_err.find("orvex gates: 100% (4 of 4 snapshots)"), std::string::npos) << m_err;

    // Without --progress a small file reports nothing; the table has a header and one row.
    ASSERT_EQ(Run("gates s.orvex --gate 5:50"), 0) << m_err;
    EXPECT_TRUE(m_err.empty()) << m_err;
    EXPECT_EQ(m_out.rfind("snapshot  gate", 0), 0u) << m_out;
    EXPECT_EQ(std::count(m_out.begin(), m_out.end(), '\n'), 2);
}

}  // namespace
