// The example scripts as a user runs them: the shipped document, its data made by the documented
// command, every script in examples/ run against it; the pulse frames show the time they name and
// the echo finder prints the echo the data holds.
#include <cmath>
#include <regex>

#include "CliTestSupport.h"
#include "geometry/CSimulationData.h"
#include "geometry/OrvexFile.h"

namespace {

namespace fs = std::filesystem;

class ExamplesTest : public CliTest {
protected:
    void SetUp() override {
        CliTest::SetUp();
        fs::copy(fs::path(ORVEX_SOURCE_DIR) / "examples", m_dir / "examples", fs::copy_options::recursive);
        // The command examples/README.md gives for the data.
        ASSERT_EQ(Run("simulate -o examples/sample.orvex"), 0) << m_err;
    }
};

TEST_F(ExamplesTest, EveryScriptRunsOnTheShippedDocument) {
    int scripts = 0;
    for (const auto& entry : fs::directory_iterator(fs::path(ORVEX_SOURCE_DIR) / "examples")) {
        if (entry.path().extension() != ".lua") continue;
        ++scripts;
        const std::string name = entry.path().filename().string();
        EXPECT_EQ(Run("run examples/viewer.json --script examples/" + name), 0) << name << ": " << m_err;
        EXPECT_TRUE(m_err.empty()) << name << ": " << m_err;
        EXPECT_FALSE(m_out.empty()) << name;
    }
    EXPECT_GE(scripts, 4);
    // The demo document's macros run the same way.
    EXPECT_EQ(Run("run examples/viewer.json --macro Animate -o examples/page.png"), 0) << m_err;
}

TEST_F(ExamplesTest, PulseFrameKShowsTheTimeOfTickK) {
    ASSERT_EQ(Run("run examples/viewer.json --script examples/animate-pulse.lua"), 0) << m_err;
    // The same times set directly, without the animation: frame k must be the page at the start
    // limit plus k increments (added up as the timer adds them).
    WriteText("examples/reference.lua", R"lua(
        local v = OrvexViewer1
        v.RayPlotType = 2
        local first, last = v.PulseAnimateStartLimit, v.PulseAnimateEndLimit
        local step, t = (last - first) / 10, first
        for k = 0, 9 do
          v.RayEndTime = t
          host.render(string.format("ref-%02d.png", k))
          t = t + step
        end)lua");
    ASSERT_EQ(Run("run examples/viewer.json --script examples/reference.lua"), 0) << m_err;
    for (int k = 0; k < 10; ++k) {
        char frame[32], ref[32], earlier[32];
        std::snprintf(frame, sizeof frame, "examples/pulse-%02d.png", k);
        std::snprintf(ref, sizeof ref, "examples/ref-%02d.png", k);
        std::snprintf(earlier, sizeof earlier, "examples/ref-%02d.png", k - 1);
        ASSERT_TRUE(Exists(frame)) << frame;
        EXPECT_EQ(Bytes(frame), Bytes(ref)) << frame;
        // A frame one tick late would equal the one before.
        if (k > 0) {
            EXPECT_NE(Bytes(frame), Bytes(earlier)) << frame;
        }
    }
}

TEST_F(ExamplesTest, EchoFinderPrintsTheTimeOfTheStrongestSample) {
    ASSERT_EQ(Run("run examples/viewer.json --script examples/find-echo.lua"), 0) << m_err;
    CSimulationData data;
    std::string error;
    ASSERT_TRUE(LoadOrvexFile((m_dir / "examples/sample.orvex").string(), data, error)) << error;
    const std::regex line(R"(snapshot (\d+): echo at ([0-9.]+) us, amplitude (-?[0-9.]+))");
    std::istringstream out(m_out);
    size_t seen = 0;
    for (std::string text; std::getline(out, text);) {
        std::smatch m;
        ASSERT_TRUE(std::regex_match(text, m, line)) << text;
        const auto& s = data.m_snapshots.at(std::stoul(m[1]));
        size_t best = 0;
        for (size_t i = 1; i < s.m_samples.size(); ++i)
            if (std::fabs(s.m_samples[i]) > std::fabs(s.m_samples[best])) best = i;
        // The sample's own time, to within the one interval the array's whole-interval grid allows.
        const double expected = s.m_dataStart + static_cast<double>(best) * s.m_sampleInterval;
        EXPECT_NEAR(std::stod(m[2]), expected, s.m_sampleInterval + 1e-3) << text;
        EXPECT_NEAR(std::stod(m[3]), s.m_samples[best], 1e-3) << text;
        ++seen;
    }
    EXPECT_EQ(seen, data.m_snapshots.size());
}

}  // namespace
