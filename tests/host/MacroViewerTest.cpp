// Macros against the real controls: by-reference results of the A-scan methods, interfaces passed
// both ways, and the animation's event reaching a handler at every tick.
#include <cstdio>

#include "HostTestSupport.h"
#include "geometry/OrvexFile.h"
#include "host/DispatchCalls.h"
#include "host/HostDocument.h"
#include "host/MacroHost.h"
#include "platform/com/SafeArray.h"
#include "simulation/Generator.h"

namespace {

class MacroViewerTest : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        stSimulationOptions options;
        options.m_rays = 8;
        options.m_snapshots = 2;
        options.m_samples = 300;
        CSimulationData data;
        GenerateSimulation(options, data);
        std::string error;
        ASSERT_TRUE(SaveOrvexFile(PathOf("s.orvex"), data, error)) << error;
        const std::string text = R"({"page": {"width": 700, "height": 300}, "controls": [
            {"progid": "ORVEXVIEWER.OrvexViewerCtrl.1", "name": "OrvexViewer1", "rect": [0, 0, 300, 300],
             "properties": {"FileName": "s.orvex", "RayPlotType": 2}},
            {"progid": "ORVEXASCANVIEWER.OrvexAscanViewerCtrl.1", "name": "OrvexAscanViewer1",
             "rect": [300, 0, 400, 300], "properties": {"OrvexViewerName": "OrvexViewer1"}} ]})";
        ASSERT_TRUE(m_doc.Open(WriteFile("d.json", text), error)) << error;
        m_macros = std::make_unique<CMacroHost>(m_doc);
        m_macros->SetPrintSink([this](std::string_view line) { m_printed.emplace_back(line); });
        m_macros->SetReportSink([this](const std::string& line) { m_reports.push_back(line); });
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
    static std::string Exact(double v) {
        char text[40];
        std::snprintf(text, sizeof text, "%.17g", v);
        return text;
    }

    CHostDocument m_doc;
    std::unique_ptr<CMacroHost> m_macros;
    std::vector<std::string> m_printed;
    std::vector<std::string> m_reports;
};

TEST_F(MacroViewerTest, GetAscanReturnsItsResultThenTheByReferenceValues) {
    // The same call made from C++ with by-reference VARIANTs.
    CComPtr<IDispatch> viewer = m_doc.GetExtendedControl("OrvexViewer1");
    double start = 0, resolution = 0;
    VARIANT ascan, args[3], result;
    VariantInit(&ascan);
    VariantInit(&result);
    args[0].vt = VT_R8 | VT_BYREF;
    args[0].pdblVal = &start;
    args[1].vt = VT_R8 | VT_BYREF;
    args[1].pdblVal = &resolution;
    args[2].vt = VT_VARIANT | VT_BYREF;
    args[2].pvarVal = &ascan;
    std::string error;
    ASSERT_TRUE(InvokeByName(viewer.get(), "GetAscan", DISPATCH_METHOD, args, &result, error)) << error;
    ASSERT_EQ(result.vt, VT_BOOL);
    ASSERT_EQ(ascan.vt, VT_ARRAY | VT_R4);
    LONG lo = 0, hi = -1;
    SafeArrayGetLBound(ascan.parray, 1, &lo);
    SafeArrayGetUBound(ascan.parray, 1, &hi);
    const auto* samples = static_cast<const float*>(ascan.parray->pvData);
    ASSERT_GT(hi - lo + 1, 10);

    EXPECT_EQ(Run("local ok, start, resolution, samples = OrvexViewer1:GetAscan()\n"
                  "print(ok, string.format('%.17g %.17g', start, resolution), #samples)\n"
                  "print(string.format('%.9g %.9g', samples[1], samples[#samples // 2]))\n"
                  // by-reference values may be passed in; a table becomes an array the viewer replaces
                  "local ok2, s2, r2, again = OrvexViewer1:GetAscan(-1, -1, {1, 2, 3})\n"
                  "assert(ok2 == ok and s2 == start and r2 == resolution and #again == #samples)\n"
                  "for i = 1, #samples do assert(again[i] == samples[i]) end"),
              "");
    const int count = hi - lo + 1;
    char sampleLine[64];
    std::snprintf(sampleLine, sizeof sampleLine, "%.9g %.9g", samples[0], samples[count / 2 - 1 + (count % 2 == 0 ? 0 : 0)]);
    ASSERT_EQ(m_printed.size(), 2u);
    EXPECT_EQ(m_printed[0], std::string(result.boolVal ? "true" : "false") + "\t" + Exact(start) + " " + Exact(resolution) +
                                "\t" + std::to_string(count));
    EXPECT_EQ(m_printed[1], sampleLine);
    VariantClear(&ascan);
}

TEST_F(MacroViewerTest, GetAscanDisplayWindowReturnsFourByReferenceValues) {
    CComPtr<IDispatch> viewer = m_doc.GetExtendedControl("OrvexViewer1");
    double values[4] = {0, 0, 0, 0};
    VARIANT args[4], result;
    VariantInit(&result);
    for (int i = 0; i < 4; ++i) {
        args[i].vt = VT_R8 | VT_BYREF;
        args[i].pdblVal = &values[i];
    }
    std::string error;
    ASSERT_TRUE(InvokeByName(viewer.get(), "GetAscanDisplayWindow", DISPATCH_METHOD, args, &result, error)) << error;
    EXPECT_EQ(Run("local r = {OrvexViewer1:GetAscanDisplayWindow()}\n"
                  "assert(#r == 5, #r)\n"
                  "for i = 1, 5 do print(type(r[i]) == 'number' and string.format('%.17g', r[i]) or tostring(r[i])) end\n"
                  "local ok, label = OrvexViewer1:GetAscanXAxisLabel('replaced')\n"
                  "print(ok, label)"),
              "");
    ASSERT_EQ(m_printed.size(), 6u);
    EXPECT_EQ(m_printed[0], result.boolVal ? "true" : "false");
    for (int i = 0; i < 4; ++i) EXPECT_EQ(m_printed[1 + i], Exact(values[i])) << i;
    EXPECT_EQ(m_printed[5], "true\tTime (us)");
}

TEST_F(MacroViewerTest, InterfacesPassBothWays) {
    EXPECT_EQ(Run("local A = OrvexAscanViewer1\n"
                  "assert(A.OrvexViewer == OrvexViewer1)\n"            // out: an object for the viewer
                  "assert(A.OrvexViewer.FileName == 's.orvex')\n"      // with the same member access
                  "A.OrvexViewer = nil assert(A.OrvexViewer == nil)\n" // nil is a null interface
                  "A.OrvexViewer = OrvexViewer1\n"                     // in: a control global
                  "assert(A.OrvexViewer == OrvexViewer1)\n"
                  "assert(A.OrvexViewer.MaximumRayTime == OrvexViewer1.MaximumRayTime)"),
              "");
    EXPECT_NE(Run("OrvexViewer1.MaximumRayTime = 3").find("OrvexViewer1.MaximumRayTime: Property is read-only."),
              std::string::npos);
}

TEST_F(MacroViewerTest, AnEventHandlerSeesEachAnimationTick) {
    EXPECT_EQ(Run("ticks = {}\n"
                  "function OrvexViewer1_OnPulseTimeChanged(t)\n"
                  "  assert(t == OrvexViewer1.RayEndTime)\n"
                  "  ticks[#ticks + 1] = t\n"
                  "end\n"
                  "OrvexViewer1:AnimatePulse()\n"
                  "host.pump(1000)\n"
                  "print(#ticks)\n"
                  "local step = OrvexViewer1.RayEndTimeIncrement\n"
                  "for i = 2, #ticks do\n"
                  "  assert(math.abs(ticks[i] - ticks[i - 1] - step) < 1e-9 or ticks[i] < ticks[i - 1])\n"
                  "end"),
              "");
    ASSERT_EQ(m_printed.size(), 1u);
    EXPECT_EQ(m_printed[0], "5");  // one per 200 ms timer tick
    EXPECT_TRUE(m_reports.empty());
    // Ticks also reach the handler when the clock is advanced from C++.
    m_doc.Pump(400);
    EXPECT_EQ(Run("print(#ticks)"), "");
    EXPECT_EQ(m_printed.back(), "7");
}

TEST_F(MacroViewerTest, HandlerErrorsAreReportedAndTheRunGoesOn) {
    EXPECT_EQ(Run("calls = 0\n"
                  "function OrvexViewer1_OnPulseTimeChanged(t)\n"
                  "  calls = calls + 1\n"
                  "  if calls == 1 then host.pump(10) end\n"
                  "  if calls == 2 then error('bad tick') end\n"
                  "end\n"
                  "OrvexViewer1:AnimatePulse()\n"
                  "host.pump(600)\n"
                  "assert(calls == 3)"),
              "");
    ASSERT_EQ(m_reports.size(), 2u);
    EXPECT_EQ(m_reports[0],
              "event handler OrvexViewer1_OnPulseTimeChanged: script t.lua, line 4: "
              "host.pump cannot be called from an event handler");
    EXPECT_EQ(m_reports[1], "event handler OrvexViewer1_OnPulseTimeChanged: script t.lua, line 5: bad tick");
}

TEST_F(MacroViewerTest, ARunawayHandlerEndsTheRunAndLeavesTheDocumentUsable) {
    SMacroLimits limits;
    limits.maxInstructions = 1'000'000;
    m_macros = std::make_unique<CMacroHost>(m_doc, limits);
    m_macros->SetReportSink([this](const std::string& line) { m_reports.push_back(line); });
    std::string error;
    EXPECT_FALSE(m_macros->RunSource("function OrvexViewer1_OnPulseTimeChanged(t) while true do end end\n"
                                     "OrvexViewer1:AnimatePulse()\n"
                                     "host.pump(1000)\n"
                                     "x = 1",
                                     "script t.lua", error));
    EXPECT_EQ(error, "script t.lua, line 3: instruction limit of 1000000 reached");
    ASSERT_EQ(m_reports.size(), 1u);  // later ticks of the spent run do not call the handler again
    EXPECT_EQ(m_reports[0], "event handler OrvexViewer1_OnPulseTimeChanged: script t.lua, line 1: instruction limit of "
                            "1000000 reached");
    // The next run has a fresh budget; the controls answer.
    EXPECT_TRUE(m_macros->RunSource("OrvexViewer1_OnPulseTimeChanged = nil\nOrvexViewer1:AnimatePulse()\n"
                                    "assert(OrvexViewer1.IsAnimated == false)\nOrvexViewer1.RayEndTime = 1.5",
                                    "script u.lua", error))
        << error;
}

}  // namespace

namespace {

// A right-button release on a control opens its property frame (detection is on); a macro drives
// the pages and the changes reach the controls.
TEST_F(MacroViewerTest, RightClickOpensTheFrameAndAMacroAppliesItsPages) {
    EXPECT_EQ(Run("host.mouse('rdown', 150, 150)\n"
                  "host.mouse('rup', 150, 150)\n"
                  "host.pump(0)\n"
                  "local f = host.frame()\n"
                  "assert(f, 'no frame opened')\n"
                  "assert(f:count() == 2, f:count())\n"
                  "f:set_text(213, '7.5')\n"          // RayEndTime on the General page
                  "assert(OrvexViewer1.RayEndTime == 10.0)\n"  // waits for Apply
                  "assert(f:apply())\n"
                  "assert(OrvexViewer1.RayEndTime == 7.5, OrvexViewer1.RayEndTime)\n"
                  "f:page(2)\n"
                  "f:click(227)\n"                      // Top View writes the axes at once
                  "assert(OrvexViewer1.YAxisZ == 1.0, OrvexViewer1.YAxisZ)\n"
                  "assert(f:ok())\n"
                  "assert(host.frame() == nil)\n"
                  "host.mouse('rdown', 500, 150)\n"
                  "host.mouse('rup', 500, 150)\n"
                  "host.pump(0)\n"
                  "f = host.frame()\n"
                  "assert(f and f:count() == 1)\n"
                  "f:set_text(229, '12.5')\n"           // AscanXMax
                  "assert(f:ok())\n"
                  "assert(OrvexAscanViewer1.AscanXMax == 12.5, OrvexAscanViewer1.AscanXMax)\n"),
              "");
}

}  // namespace
