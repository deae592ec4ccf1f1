// host.measure and host.bscan from macros: the same readouts as the command line, on the A-scan
// control's snapshot, and one-line errors for bad arguments.
#include <cstdio>

#include "HostTestSupport.h"
#include "geometry/OrvexFile.h"
#include "host/GateMeasureJob.h"
#include "host/HostDocument.h"
#include "host/MacroHost.h"
#include "platform/gdi/CBitmap.h"
#include "platform/gdi/Png.h"
#include "simulation/Generator.h"

namespace {

class MeasureLuaTest : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        stSimulationOptions options;
        options.m_rays = 8;
        options.m_snapshots = 3;
        options.m_samples = 400;
        CSimulationData data;
        GenerateSimulation(options, data);
        std::string error;
        ASSERT_TRUE(SaveOrvexFile(PathOf("s.orvex"), data, error)) << error;
        const std::string text = R"({"page": {"width": 700, "height": 300}, "controls": [
            {"progid": "ORVEXVIEWER.OrvexViewerCtrl.1", "name": "OrvexViewer1", "rect": [0, 0, 300, 300],
             "properties": {"FileName": "s.orvex"}},
            {"progid": "ORVEXASCANVIEWER.OrvexAscanViewerCtrl.1", "name": "OrvexAscanViewer1",
             "rect": [300, 0, 400, 300], "properties": {"OrvexViewerName": "OrvexViewer1"}} ]})";
        ASSERT_TRUE(m_doc.Open(WriteFile("d.json", text), error)) << error;
        m_macros = std::make_unique<CMacroHost>(m_doc);
        m_macros->SetPrintSink([this](std::string_view line) { m_printed.emplace_back(line); });
    }
    void TearDown() override {
        m_macros.reset();
        m_doc.Close();
        HostTest::TearDown();
    }
    std::string Run(const std::string& source) {
        std::string error;
        return m_macros->RunSource(source, "script t.lua", error) ? std::string() : error;
    }

    CHostDocument m_doc;
    std::unique_ptr<CMacroHost> m_macros;
    std::vector<std::string> m_printed;
};

TEST_F(MeasureLuaTest, ReadoutsEqualTheCommandLinesOnTheShownSnapshot) {
    SGatesOptions options;
    options.inputPath = PathOf("s.orvex");
    options.snapshot = 2;
    SMeasureGate gate;
    gate.start = 5.0;
    gate.end = 50.0;
    gate.threshold = 0.01;
    options.gates = {gate};
    std::vector<SGateTableRow> rows;
    std::string error;
    ASSERT_TRUE(MeasureGates(options, rows, error)) << error;
    ASSERT_EQ(rows.size(), 1u);
    ASSERT_TRUE(rows[0].reading.peak && rows[0].reading.flankTime);

    ASSERT_EQ(Run(R"lua(
        OrvexViewer1.CurrentSnapShot = 2
        local r = host.measure(OrvexAscanViewer1, {{5, 50, 0.01}, {start = 100, ["end"] = 200, name = "late"}})
        print(string.format("%s %d %.17g %.17g %.17g %.17g", r[1].name, r[1].snapshot, r[1].peak, r[1].peakSigned,
                            r[1].peakTime, r[1].flankTime))
        print(r[2].name, r[2].samples, r[2].peak, r[2].flankTime)
        local v = host.measure(OrvexViewer1, {{5, 50, 0.01}})
        print(v[1].peak == r[1].peak)
    )lua"),
              "");
    ASSERT_EQ(m_printed.size(), 3u);
    char expected[256];
    const SGateReading& r = rows[0].reading;
    std::snprintf(expected, sizeof expected, "Gate 1 2 %.17g %.17g %.17g %.17g", *r.peak, r.peakSigned, r.peakTime,
                  *r.flankTime);
    EXPECT_EQ(m_printed[0], expected);
    EXPECT_EQ(m_printed[1], "late\t0\tnil\tnil");
    EXPECT_EQ(m_printed[2], "true");
}

TEST_F(MeasureLuaTest, BadArgumentsAreOneLineErrors) {
    struct Row {
        const char* source;
        const char* message;
    } rows[] = {
        {"host.measure(nil, {{1, 2}})", "host.measure: the first argument must be"},
        {"host.measure(OrvexViewer1, {})", "host.measure: from 1 to 64 gates"},
        {"host.measure(OrvexViewer1, {{2, 1}})", "the start must not lie after the end"},
        {"host.measure(OrvexViewer1, {{1}})", "gate 1 needs a start and an end"},
        {"host.measure(OrvexViewer1, {{1, 2, -1}})", "the threshold must be a magnitude from 0"},
        {"host.measure(OrvexViewer1, {{1, 'x'}})", "gate field 'end' must be a number"},
        {"host.measure(OrvexViewer1, {5})", "gate 1 must be a table"},
        {"host.bscan(OrvexViewer1, 'b.gif')", "host.bscan: the file name must end with .png, .pdf or .svg"},
        {"host.bscan(OrvexViewer1, 'b.png', {colormap = 'jet'})", "option 'colormap'"},
        {"host.bscan(OrvexViewer1, 'b.png', {width = 0})", "option 'width' must be a whole number from 1 to 8192"},
        {"host.bscan(OrvexViewer1, 'b.png', {xmin = 5})", "'xmin' and 'xmax'"},
        {"host.bscan(OrvexAscanViewer1, 'b.png')", "host.bscan: NumberOfSnapShots"},
    };
    for (const Row& row : rows) {
        const std::string error = Run(row.source);
        EXPECT_NE(error.find(row.message), std::string::npos) << row.source << "\n" << error;
        EXPECT_EQ(error.find('\n'), std::string::npos) << error;
    }
    EXPECT_FALSE(std::filesystem::exists(PathOf("b.png")));
}

TEST_F(MeasureLuaTest, BscanKeepsTheViewersSnapshot) {
    ASSERT_EQ(Run(R"lua(
        OrvexViewer1.CurrentSnapShot = 1
        host.bscan(OrvexViewer1, "b.png", {width = 300, height = 200, colormap = "viridis", xmin = 10, xmax = 40})
        print(OrvexViewer1.CurrentSnapShot)
    )lua"),
              "");
    EXPECT_EQ(m_printed, (std::vector<std::string>{"1"}));
    CBitmap picture;
    ASSERT_TRUE(LoadBitmapPng(PathOf("b.png"), picture));
    EXPECT_EQ(picture.GetWidth(), 300);
    EXPECT_EQ(picture.GetHeight(), 200);
}

}  // namespace
