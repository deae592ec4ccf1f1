// The demo document with the built-in simulation: it opens as the golden picture, its macros
// animate, zoom and step the A-scan through the snapshots while the viewer keeps its rays, scripts
// link the two controls themselves, and the demo job writes every picture it lists.
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "HostTestSupport.h"
#include "ascan/OrvexAscanViewerCtrl.h"
#include "geometry/OrvexFile.h"
#include "host/DemoJob.h"
#include "host/DocumentFile.h"
#include "host/HostDocument.h"
#include "host/MacroHost.h"
#include "host/Printing.h"
#include "lineplot/LinePlotWnd.h"
#include "platform/gdi/CBitmap.h"
#include "platform/base/Saturate.h"
#include "platform/gdi/Png.h"
#include "platform/gdi/VectorRenderUtil.h"
#include "simulation/Generator.h"

namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), {});
}

// The viewer's and the A-scan control's parts of the demo page.
constexpr CRect kViewerArea(10, 10, 510, 410);
constexpr CRect kAscanArea(520, 10, 1090, 410);

// A picture's pixels, copied out of its bitmap.
struct SPicture {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
};

SPicture LoadPicture(const std::string& path) {
    SPicture p;
    CBitmap bitmap;
    if (!LoadBitmapPng(path, bitmap)) {
        ADD_FAILURE() << "cannot read " << path;
        return p;
    }
    p.width = bitmap.GetWidth();
    p.height = bitmap.GetHeight();
    p.pixels.assign(bitmap.GetPixels(), bitmap.GetPixels() + p.width * p.height);
    return p;
}

bool SameArea(const SPicture& a, const SPicture& b, const CRect& area) {
    if (a.width != b.width || a.height != b.height || area.right > a.width || area.bottom > a.height) return false;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x)
            if (a.pixels[static_cast<size_t>(y * a.width + x)] != b.pixels[static_cast<size_t>(y * b.width + x)])
                return false;
    return true;
}

class DemoDocumentTest : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        CSimulationData data;
        GenerateSimulation(stSimulationOptions{}, data);  // the demo's own data set
        std::string error;
        ASSERT_TRUE(SaveOrvexFile(PathOf(kDemoDataFile), data, error)) << error;
        std::ofstream(PathOf("demo.json"), std::ios::binary) << DemoDocumentText();
        ASSERT_TRUE(m_doc.Open(PathOf("demo.json"), error)) << error;
        ASSERT_TRUE(m_doc.GetMessages().empty()) << m_doc.GetMessages().front();
        m_macros = std::make_unique<CMacroHost>(m_doc);
        m_macros->SetPrintSink([this](std::string_view line) { m_printed.emplace_back(line); });
    }
    void TearDown() override {
        m_macros.reset();
        m_doc.Close();
        HostTest::TearDown();
    }
    void RunMacro(const char* name) {
        std::string error;
        EXPECT_TRUE(m_macros->RunMacro(name, error)) << error;
    }
    std::string Run(const std::string& source) {
        std::string error;
        return m_macros->RunSource(source, "script t.lua", error) ? std::string() : error;
    }
    SPicture Page(const std::string& name) {
        std::string error;
        EXPECT_TRUE(m_doc.Render(PathOf(name), error)) << error;
        return LoadPicture(PathOf(name));
    }
    COrvexAscanViewerCtrl* Ascan() { return static_cast<COrvexAscanViewerCtrl*>(m_doc.GetControl("OrvexAscanViewer1")); }
    std::pair<float, float> PlottedX() {
        float low = 0, high = 0;
        Ascan()->GetPlot()->GetXRange(&low, &high);
        return {low, high};
    }

    CHostDocument m_doc;
    std::unique_ptr<CMacroHost> m_macros;
    std::vector<std::string> m_printed;
};

TEST(DemoDocumentText, IsTheExampleDocument) {
    // The program carries the example so that it runs anywhere; the two must not drift apart.
    EXPECT_EQ(ReadAll(std::string(ORVEX_SOURCE_DIR) + "/examples/demo.json"), DemoDocumentText());
    SDocumentModel model;
    std::string error;
    std::vector<std::string> warnings;
    ASSERT_TRUE(ParseDocumentJson(DemoDocumentText(), model, error, warnings)) << error;
    EXPECT_TRUE(warnings.empty());
    std::vector<std::string> names;
    for (const auto& m : model.macros) names.push_back(m.first);
    EXPECT_EQ(names, (std::vector<std::string>{"Animate", "ZoomAscan", "ResetAscan", "NextSnapShot", "Tour"}));
}

TEST_F(DemoDocumentTest, OpensAsTheGoldenPicture) {
    const SPicture page = Page("page.png");
    const std::string golden = std::string(ORVEX_SOURCE_DIR) + "/tests/golden/demo_document.png";
    if (const char* regenerate = std::getenv("ORVEX_REGENERATE_GOLDEN"); regenerate && *regenerate == '1') {
        std::filesystem::copy_file(PathOf("page.png"), golden, std::filesystem::copy_options::overwrite_existing);
        GTEST_SKIP() << "regenerated " << golden;
    }
    ASSERT_TRUE(std::filesystem::exists(golden)) << "missing " << golden;
    const SPicture expected = LoadPicture(golden);
    ASSERT_EQ(page.width, expected.width);
    ASSERT_EQ(page.height, expected.height);
    EXPECT_TRUE(SameArea(page, expected, CRect(0, 0, page.width, page.height)))
        << "the page differs from " << golden << " (written to " << PathOf("page.png") << ")";
    // The stored view shows the part (not the default 0..40 window) and the A-scan is linked.
    EXPECT_NE(Ascan()->PeekLinkedViewer(), nullptr);
    ASSERT_NE(Ascan()->GetPlot(), nullptr);
}

TEST_F(DemoDocumentTest, AnimateRunsThePulseUntilCalledAgain) {
    const SPicture still = Page("still.png");
    RunMacro("Animate");
    m_doc.Pump(1000);  // five ticks of 0.5 us
    EXPECT_EQ(Run("assert(OrvexViewer1.IsAnimated) assert(OrvexViewer1.RayEndTime == 12.5)"), "");
    const SPicture moving = Page("moving.png");
    EXPECT_FALSE(SameArea(still, moving, kViewerArea));
    EXPECT_TRUE(SameArea(still, moving, kAscanArea));
    RunMacro("Animate");
    m_doc.Pump(1000);
    EXPECT_EQ(Run("assert(not OrvexViewer1.IsAnimated) assert(OrvexViewer1.RayEndTime == 12.5)"), "");
}

TEST_F(DemoDocumentTest, ZoomAndResetChangeTheAscanWindowOnly) {
    RunMacro("ZoomAscan");
    // Three steps of a tenth off each end of 5..50: 45 * 0.8^3 = 23.04 wide about 27.5.
    auto [low, high] = PlottedX();
    EXPECT_NEAR(low, 15.98f, 1e-3f);
    EXPECT_NEAR(high, 39.02f, 1e-3f);
    EXPECT_EQ(Run("assert(OrvexAscanViewer1.AscanXMin == 5 and OrvexAscanViewer1.AscanXMax == 50)"), "");
    RunMacro("ResetAscan");
    std::tie(low, high) = PlottedX();
    EXPECT_NEAR(low, 5.0f, 1e-4f);
    EXPECT_NEAR(high, 50.0f, 1e-4f);
}

TEST_F(DemoDocumentTest, NextSnapShotStepsTheAscanAndTheViewerKeepsItsRays) {
    const SPicture first = Page("first.png");
    const std::vector<float> firstSamples(Ascan()->GetLockedSamples(),
                                          Ascan()->GetLockedSamples() + Ascan()->GetPlot()->m_lines.at(0).nCount);
    RunMacro("NextSnapShot");
    EXPECT_EQ(m_printed, std::vector<std::string>{"snapshot 1 (snapshots 0 to 15)"});
    const SPicture second = Page("second.png");
    // The viewer draws the rays of the first snapshot whatever snapshot is current.
    EXPECT_TRUE(SameArea(first, second, kViewerArea));
    EXPECT_FALSE(SameArea(first, second, kAscanArea));
    const CLinePlotWnd::stLineData& line = Ascan()->GetPlot()->m_lines.at(0);
    ASSERT_EQ(static_cast<size_t>(line.nCount), firstSamples.size());
    EXPECT_FALSE(std::equal(firstSamples.begin(), firstSamples.end(), line.pFloatData));

    // After the last snapshot comes the first again.
    for (int i = 0; i < 15; ++i) RunMacro("NextSnapShot");
    EXPECT_EQ(m_printed.back(), "snapshot 0 (snapshots 0 to 15)");
    EXPECT_TRUE(std::equal(firstSamples.begin(), firstSamples.end(), Ascan()->GetPlot()->m_lines.at(0).pFloatData));
}

TEST_F(DemoDocumentTest, AScriptLinksTheControlsAndFollowsTheViewersFile) {
    // Another file of the same inspection with another display window.
    CSimulationData data;
    std::string error;
    ASSERT_TRUE(LoadOrvexFile(PathOf(kDemoDataFile), data, error)) << error;
    for (auto& s : data.m_snapshots) {
        s.m_windowStart = 20.0;
        s.m_windowLength = 10.0;
    }
    ASSERT_TRUE(SaveOrvexFile(PathOf("late.orvex"), data, error)) << error;

    EXPECT_EQ(Run(R"(
        local A = OrvexAscanViewer1
        A.OrvexViewer = nil
        assert(A.OrvexViewer == nil)
        A.OrvexViewer = OrvexViewer1          -- linked and refreshed at once
        assert(A.OrvexViewer ~= nil)
        OrvexViewer1.FileName = "late.orvex"
        host.pump(0)                          -- the viewer's draw tells the A-scan control
        assert(A.AscanXMin == 20 and A.AscanXMax == 30, A.AscanXMin .. ".." .. A.AscanXMax)
        OrvexViewer1.ControlDetectionEnabled = false
        A.ControlDetectionEnabled = false
        OrvexViewer1.FileName = "demo.orvex"
        host.pump(0)                          -- nobody is told now
        assert(A.AscanXMin == 20 and A.AscanXMax == 30, A.AscanXMin .. ".." .. A.AscanXMax)
        A:RefreshAscan()                      -- detection off: always rebuilt from the display window
        assert(A.AscanXMin == 5 and A.AscanXMax == 50, A.AscanXMin .. ".." .. A.AscanXMax)
    )"),
              "");
    auto [low, high] = PlottedX();
    EXPECT_NEAR(low, 5.0f, 1e-4f);
    EXPECT_NEAR(high, 50.0f, 1e-4f);
}

TEST(DemoJob, WritesEveryPictureItLists) {
    const auto dir = std::filesystem::temp_directory_path() / "orvex_host_DemoJob";
    std::filesystem::remove_all(dir);
    SDemoOptions options;
    options.outputDir = dir.string();
    options.maxFrames = 3;
    std::vector<std::string> reported;
    std::string error;
    ASSERT_TRUE(RunDemoJob(options, [&](const std::string& line) { reported.push_back(line); }, error)) << error;

    // Every reported file exists and is not empty (the frames are reported as one line).
    int frames = 0;
    for (const auto& line : reported) {
        if (line.find("frames/") != std::string::npos) {
            ++frames;
            continue;
        }
        EXPECT_GT(std::filesystem::file_size(line), 100u) << line;
    }
    EXPECT_EQ(frames, 1);
    for (const char* name : {"demo.orvex", "viewer_front.png", "viewer_side.png", "viewer_top.png", "viewer_full.png",
                             "viewer_end.png", "viewer_pulse.png", "ascan_snapshot_00.png", "ascan_snapshot_15.png",
                             "frames/pulse_000.png", "frames/pulse_002.png", "demo.json", "demo_document.png",
                             "demo_document.pdf", "demo_document.svg", "tour_pulse_1.png", "tour_zoomed.png",
                             "tour_snapshot_00.png", "tour_snapshot_15.png"})
        EXPECT_TRUE(std::filesystem::exists(dir / name)) << name;
    EXPECT_FALSE(std::filesystem::exists(dir / "frames/pulse_003.png"));  // the frame limit holds
    EXPECT_FALSE(std::filesystem::exists(dir / "ascan_snapshot_16.png"));

    // The A-scan of each snapshot differs from the next: the probe moves.
    const SPicture a = LoadPicture((dir / "ascan_snapshot_00.png").string());
    const SPicture b = LoadPicture((dir / "ascan_snapshot_15.png").string());
    EXPECT_EQ(a.width, 600);
    EXPECT_EQ(a.height, 250);
    EXPECT_FALSE(SameArea(a, b, CRect(0, 0, 600, 250)));

    // The printed document, as a reader of the files sees it: the viewer's red rays and black
    // outlines in the viewer's place, the A-scan's green trace with black axes, ticks and numbers in
    // the A-scan control's place, white paper between and around them.
    constexpr int dpi = 100;
    const SPrintLayout layout = LayOutPrintedPage(1100, 420, CPrinterDC::PageSize(EPaperSize::A4, 600), 600);
    auto printed = [&](const CRect& area) {
        const double k = dpi / 600.0;
        return CRect(TruncateToInt((layout.origin.x + area.left * layout.scale) * k),
                     TruncateToInt((layout.origin.y + area.top * layout.scale) * k),
                     TruncateToInt((layout.origin.x + area.right * layout.scale) * k),
                     TruncateToInt((layout.origin.y + area.bottom * layout.scale) * k));
    };
    for (const char* name : {"demo_document.pdf", "demo_document.svg"}) {
        SCOPED_TRACE(name);
        CBitmap sheet;
        const std::string path = (dir / name).string();
        ASSERT_TRUE(std::string(name).ends_with(".pdf") ? RenderPdf(path, dpi, sheet) : RenderSvg(path, dpi, sheet));
        const auto count = [&](const CRect& area, auto&& test) {
            int n = 0;
            for (int y = area.top; y < area.bottom; ++y)
                for (int x = area.left; x < area.right; ++x) n += test(PixelAt(sheet, x, y));
            return n;
        };
        const auto red = [](COLORREF c) { return GetRValue(c) > 150 && GetGValue(c) < 120 && GetBValue(c) < 120; };
        const auto green = [](COLORREF c) { return GetGValue(c) > 90 && GetRValue(c) < 100 && GetBValue(c) < 100; };
        // Ink: one-pixel pens are 0.25 pt wide, which a renderer antialiases to grey at 100 dpi.
        const auto ink = [](COLORREF c) { return Lightness(c) < 650; };
        const auto paper = [](COLORREF c) { return c == RGB(255, 255, 255); };
        const CRect viewer = printed(kViewerArea), ascan = printed(kAscanArea);
        EXPECT_GT(count(viewer, red), 300);
        EXPECT_EQ(count(ascan, red), 0);
        EXPECT_GT(count(ascan, green), 200);
        EXPECT_GT(count(viewer, green), 0);  // the viewer's green dimension line
        // The A-scan's axis line runs down its plot's left edge (55 page pixels in, past the margin).
        const CRect axis = printed(CRect(kAscanArea.left + 50, kAscanArea.top + 40, kAscanArea.left + 60,
                                         kAscanArea.bottom - 80));
        EXPECT_GT(count(axis, ink), axis.Height() / 2);
        // Numbers and titles under the plot, and around the page nothing.
        EXPECT_GT(count(printed(CRect(kAscanArea.left + 55, kAscanArea.bottom - 52, kAscanArea.right,
                                      kAscanArea.bottom)), ink), 100);
        EXPECT_EQ(count(printed(CRect(511, 0, 519, 420)), paper), printed(CRect(511, 0, 519, 420)).Width() *
                                                                      printed(CRect(511, 0, 519, 420)).Height());
        EXPECT_EQ(count(CRect(0, 0, sheet.GetWidth(), viewer.top - 2), paper), sheet.GetWidth() * (viewer.top - 2));
    }
    std::filesystem::remove_all(dir);
}

}  // namespace
