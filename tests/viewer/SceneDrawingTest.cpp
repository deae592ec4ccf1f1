// Drawing the scene: placeholder, ray selection on pixels, labels, printing, hostile data, and
// golden pictures of the three plot types and the standard views.
#include "ViewerTestSupport.h"

#include <chrono>
#include <cstdlib>

#include "platform/gdi/Png.h"

using namespace viewer_test;

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kLightGrey = RGB(192, 192, 192);

// Compares a picture with its golden file exactly; ORVEX_REGENERATE_GOLDEN=1 rewrites it instead.
void ExpectGolden(const CBitmap& picture, const std::string& name) {
    const std::string golden = SourcePath("tests/golden/" + name);
    if (const char* regenerate = std::getenv("ORVEX_REGENERATE_GOLDEN"); regenerate && *regenerate == '1') {
        ASSERT_TRUE(SaveBitmapPng(picture, golden));
        return;
    }
    CBitmap expected;
    ASSERT_TRUE(LoadBitmapPng(golden, expected)) << "missing " << golden;
    ASSERT_EQ(expected.GetWidth(), picture.GetWidth());
    ASSERT_EQ(expected.GetHeight(), picture.GetHeight());
    int differing = 0;
    for (int i = 0; i < picture.GetWidth() * picture.GetHeight(); ++i)
        differing += expected.GetPixels()[i] != picture.GetPixels()[i];
    if (differing != 0) SaveBitmapPng(picture, std::string(ORVEX_BINARY_DIR) + "/" + name + ".actual.png");
    EXPECT_EQ(differing, 0) << name << " differs; the actual picture is in the build folder";
}

// A data set with one snapshot of straight legs along y = 5 (left to right in a 0..40 view),
// each (x0, x1, t0, t1) with its own colour.
struct SLeg {
    double x0, x1, t0, t1;
    COLORREF colour;
    int kind = 0;
};
CSimulationData LegsAlongALine(const std::vector<SLeg>& legs) {
    CSimulationData data;
    CSimulationData::stSnapshot s;
    CBundle bundle;
    for (const SLeg& l : legs) {
        CUTRay r(CPoint3D(l.x0, 5, 0), CPoint3D(l.x1, 5, 0), l.t0, l.t1);
        r.m_colour = l.colour;
        r.m_kind = l.kind;
        bundle.m_rays.push_back(r);
    }
    s.m_bundles.push_back(bundle);
    s.m_nBundles = 1;
    data.m_snapshots.push_back(s);
    data.m_viewRect = CfRect(0, 0, 40, 40);
    return data;
}

// Columns of row y that have colour c, as [first, last]; (-1, -1) when none.
std::pair<int, int> RunOf(const CCanvas& canvas, int y, COLORREF c) {
    int first = -1, last = -1;
    for (int x = 0; x < canvas.bitmap.GetWidth(); ++x) {
        if (canvas.At(x, y) != c) continue;
        if (first < 0) first = x;
        last = x;
    }
    return {first, last};
}

}  // namespace

using SceneDrawingTest = ViewerTest;

TEST_F(SceneDrawingTest, PlaceholderWithoutData) {
    CCanvas canvas(120, 80);
    m_ctrl->SetControlSize(120, 80);
    m_ctrl->Draw(DVASPECT_CONTENT, &canvas.dc, CRect(0, 0, 120, 80));
    EXPECT_EQ(canvas.At(2, 2), kLightGrey);
    // "OrvexViewer" in black from (40, 40): ink right of and below that point only.
    int inkLeft = 120, inkTop = 80;
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 120; ++x)
            if (canvas.At(x, y) != kLightGrey && canvas.At(x, y) != kWhite) {
                inkLeft = std::min(inkLeft, x);
                inkTop = std::min(inkTop, y);
            }
    EXPECT_GE(inkLeft, 40);
    EXPECT_LE(inkLeft, 42);
    EXPECT_GE(inkTop, 40);

    m_ctrl->SetControlDetectionEnabled(FALSE);
    m_ctrl->Draw(DVASPECT_CONTENT, &canvas.dc, CRect(0, 0, 120, 80));
    EXPECT_EQ(canvas.Count(kWhite), 120 * 80);
}

TEST_F(SceneDrawingTest, EndRaysAtTimeCutsLegsOnThePixels) {
    // Scale 10 on a 400x400 canvas; x pixel = 10 * view x; y = 5 lands on row 350. Points sit
    // half a pixel into their pixel (x.05), so rounding in the last bit cannot move them.
    LoadData(LegsAlongALine({
        {1.05, 5.05, 4, 8, RGB(255, 0, 0)},       // wholly before the cut: drawn whole
        {11.05, 17.05, 8, 14, RGB(0, 255, 0)},    // cut at its point at 10: 11 to 13
        {21.05, 29.05, 12, 20, RGB(0, 0, 255)},   // starts after the cut: not drawn
        {31.05, 39.05, 0, 1, RGB(255, 0, 255), 4},  // kind 4: never drawn
    }));
    m_ctrl->SetRayPlotType(1);
    m_ctrl->SetRayEndTime(10.0);
    CCanvas canvas(400, 400);
    m_ctrl->Draw(DVASPECT_CONTENT, &canvas.dc, CRect(0, 0, 400, 400));
    EXPECT_EQ(RunOf(canvas, 350, RGB(255, 0, 0)), std::make_pair(10, 49));  // the last pixel is not drawn
    EXPECT_EQ(RunOf(canvas, 350, RGB(0, 255, 0)), std::make_pair(110, 129));
    EXPECT_EQ(RunOf(canvas, 350, RGB(0, 0, 255)), std::make_pair(-1, -1));
    EXPECT_EQ(canvas.Count(RGB(255, 0, 255)), 0);
}

TEST_F(SceneDrawingTest, PulseDrawsOnlyLegsAPulseEdgeCrosses) {
    // A pulse 2 wide: frequency x bandwidth chosen so that 400 ln 2 / (pi f b) = 2.
    CSimulationData data = LegsAlongALine({
        {0.05, 2.05, 8, 10, RGB(255, 0, 0)},         // 9..10: x 1 to 2
        {10.05, 12.05, 10, 12, RGB(0, 255, 0)},      // 10..11: x 10 to 11
        {20.05, 21.05, 9.5, 10.5, RGB(0, 0, 255)},   // wholly inside: left out
        {25.05, 40.05, 5, 20, RGB(255, 0, 255)},     // 9..11: x 29 to 31
    });
    data.m_probeFrequency = 400.0 * std::log(2.0) / (std::numbers::pi * 2.0);
    data.m_probeBandwidth = 1.0;
    LoadData(data);
    m_ctrl->SetRayPlotType(2);
    m_ctrl->SetRayEndTime(10.0);
    EXPECT_NEAR(m_ctrl->GetPulseDuration(), 2.0, 1e-12);
    CCanvas canvas(400, 400);
    m_ctrl->Draw(DVASPECT_CONTENT, &canvas.dc, CRect(0, 0, 400, 400));
    EXPECT_EQ(RunOf(canvas, 350, RGB(255, 0, 0)), std::make_pair(10, 19));
    EXPECT_EQ(RunOf(canvas, 350, RGB(0, 255, 0)), std::make_pair(100, 109));
    EXPECT_EQ(RunOf(canvas, 350, RGB(0, 0, 255)), std::make_pair(-1, -1));
    EXPECT_EQ(RunOf(canvas, 350, RGB(255, 0, 255)), std::make_pair(290, 309));
}

TEST_F(SceneDrawingTest, ALegOfOnePixelSetsThatPixel) {
    LoadData(LegsAlongALine({{12.05, 12.06, 0, 1, RGB(0, 128, 255)}}));
    CCanvas canvas(400, 400);
    m_ctrl->Draw(DVASPECT_CONTENT, &canvas.dc, CRect(0, 0, 400, 400));
    EXPECT_EQ(canvas.Count(RGB(0, 128, 255)), 1);
    EXPECT_EQ(canvas.At(120, 350), RGB(0, 128, 255));
}

TEST_F(SceneDrawingTest, PrintingDrawsTheSamePictureWithoutTheBackBuffer) {
    LoadData(LoadDataJson("scene.json"));
    CCanvas screen(300, 240);
    m_ctrl->Draw(DVASPECT_CONTENT, &screen.dc, CRect(0, 0, 300, 240));
    CCanvas printer(300, 240, DT_RASPRINTER);
    m_ctrl->Draw(DVASPECT_CONTENT, &printer.dc, CRect(0, 0, 300, 240));
    EXPECT_EQ(std::memcmp(screen.bitmap.GetPixels(), printer.bitmap.GetPixels(), 300 * 240 * 4), 0);

    // Bounds at an offset show the same picture, moved into them (screen and printer alike).
    for (int technology : {DT_RASDISPLAY, DT_RASPRINTER}) {
        CCanvas page(400, 300, technology);
        m_ctrl->Draw(DVASPECT_CONTENT, &page.dc, CRect(60, 40, 360, 280));
        int differing = 0;
        for (int y = 0; y < 240; ++y)
            for (int x = 0; x < 300; ++x) differing += page.At(x + 60, y + 40) != screen.At(x, y);
        EXPECT_EQ(differing, 0) << technology;
        if (differing) SaveBitmapPng(page.bitmap, ScratchPath("offset.png"));
        EXPECT_EQ(page.At(30, 20), kSentinel) << "drawn outside the bounds";
    }
}

TEST_F(SceneDrawingTest, HostileDataDrawsInBoundedTime) {
    CSimulationData data = LegsAlongALine({
        {1, 30, 0, 1, RGB(255, 0, 0)},
        {-1e30, 1e30, 0, 1, RGB(0, 255, 0)},  // coordinates far outside int32
    });
    data.m_snapshots[0].m_bundles[0].m_rays[0].m_penWidth = 1000000;
    data.m_snapshots[0].m_nBundles = 7;  // more than there are
    data.m_displaySnapshot = 9;          // no such snapshot
    data.m_labels.push_back({"", CPoint3D(1, 1, 0), CVector3D(5, 0, 0), CVector3D(0, -2, 0)});  // no text
    data.m_labels.push_back({"huge", CPoint3D(0, 0, 0), CVector3D(1e30, 0, 0), CVector3D(0, -1e30, 0)});
    LoadData(data);
    CCanvas canvas(200, 200);
    const auto start = std::chrono::steady_clock::now();
    m_ctrl->Draw(DVASPECT_CONTENT, &canvas.dc, CRect(0, 0, 200, 200));
    // A degenerate frame: every point lies on one line.
    m_ctrl->SetXAxisX(0.0);
    m_ctrl->SetYAxisY(0.0);
    m_ctrl->Draw(DVASPECT_CONTENT, &canvas.dc, CRect(0, 0, 200, 200));
    m_ctrl->Rotate(30.0f);
    EXPECT_TRUE(std::isfinite(m_ctrl->GetWndLeft()));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

TEST_F(SceneDrawingTest, GoldenPicturesOfThePlotTypes) {
    LoadData(LoadDataJson("scene.json"));
    struct Row { SHORT type; double time; const char* golden; } rows[] = {
        {0, 10.0, "viewer_full_rays.png"},
        {1, 7.0, "viewer_end_rays_at_time.png"},
        {2, 7.0, "viewer_pulse.png"},
    };
    for (const Row& r : rows) {
        m_ctrl->SetRayPlotType(r.type);
        m_ctrl->SetRayEndTime(r.time);
        CCanvas canvas(500, 400);
        m_ctrl->Draw(DVASPECT_CONTENT, &canvas.dc, CRect(0, 0, 500, 400));
        ExpectGolden(canvas.bitmap, r.golden);
    }
}

TEST_F(SceneDrawingTest, GoldenPicturesOfTheStandardViews) {
    LoadData(LoadDataJson("scene.json"));
    m_ctrl->SetControlSize(500, 400);
    m_ctrl->Spin(30.0f);
    m_ctrl->Tilt(20.0f);
    CCanvas turned(500, 400);
    m_ctrl->Draw(DVASPECT_CONTENT, &turned.dc, CRect(0, 0, 500, 400));
    ExpectGolden(turned.bitmap, "viewer_spin_tilt.png");
    m_ctrl->ViewFromTop();
    CCanvas top(500, 400);
    m_ctrl->Draw(DVASPECT_CONTENT, &top.dc, CRect(0, 0, 500, 400));
    ExpectGolden(top.bitmap, "viewer_top.png");
}
