// The display: the plot built from the viewer's samples, the view window, zoom and pan with their
// factors and limits, size changes, and what the draw routine paints with and without a plot.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>

#include "AscanTestSupport.h"
#include "ids/OrvexViewerIds.h"
#include "lineplot/LinePlotWnd.h"
#include "platform/gdi/CBitmap.h"
#include "platform/gdi/CBrush.h"
#include "platform/gdi/CDC.h"
#include "platform/gdi/Png.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kLightGrey = RGB(192, 192, 192);

class AscanDisplayTest : public AscanTest {
protected:
    // A control linked to a viewer whose data runs from 0 to samples x 0.1 and whose display
    // window is 0 to displayEnd.
    COrvexAscanViewerCtrl* Linked(int samples = 2000, double displayEnd = 100.0) {
        m_viewer = AddViewer("V", samples);
        m_viewer->m_resolution = 0.1;
        m_viewer->m_displayStart = 0.0;
        m_viewer->m_displayEnd = displayEnd;
        COrvexAscanViewerCtrl* control = AddAscan("Ascan1");
        control->SetOrvexViewerName("V");
        return control;
    }
    static std::pair<float, float> XRange(COrvexAscanViewerCtrl* c) {
        float low = 0, high = 0;
        c->GetPlot()->GetXRange(&low, &high);
        return {low, high};
    }
    static std::pair<float, float> YRange(COrvexAscanViewerCtrl* c) {
        float low = 0, high = 0;
        c->GetPlot()->GetYRange(&low, &high);
        return {low, high};
    }
    // Sets the x window through the range properties (all four, so the display window is not taken).
    static void SetWindow(COrvexAscanViewerCtrl* c, float low, float high) {
        c->SetAscanYMin(-1.0f);
        c->SetAscanYMax(1.0f);
        c->SetAscanXMin(low);
        c->SetAscanXMax(high);
    }
    int Calls(DISPID id) const {
        auto it = m_viewer->m_calls.find(id);
        return it == m_viewer->m_calls.end() ? 0 : it->second;
    }
    CFakeViewer* m_viewer = nullptr;
};

#define EXPECT_RANGE(range, low, high)        \
    do {                                       \
        const auto r_ = (range);               \
        EXPECT_NEAR(r_.first, (low), 1e-3f);   \
        EXPECT_NEAR(r_.second, (high), 1e-3f); \
    } while (0)

// ---- Building --------------------------------------------------------------------------------

TEST_F(AscanDisplayTest, BuildTakesTheViewersSamplesAxesAndDisplayWindow) {
    CFakeViewer* viewer = AddViewer("V", 1000);
    viewer->m_resolution = 0.05;
    viewer->m_dataStart = 7.0;  // not used: the array starts at time 0
    viewer->m_displayStart = 10.0;
    viewer->m_displayEnd = 40.0;
    viewer->m_yMax = 0.5;
    viewer->m_yMin = -0.25;
    viewer->m_label = "Time (us)";
    COrvexAscanViewerCtrl* control = AddAscan("Ascan1", CRect(10, 20, 410, 220));
    control->SetOrvexViewerName("V");

    CLinePlotWnd* plot = control->GetPlot();
    ASSERT_NE(plot, nullptr);
    ASSERT_NE(plot->GetSafeHwnd(), nullptr);
    EXPECT_EQ(plot->GetDlgCtrlID(), 911);
    EXPECT_EQ(plot->GetParent(), static_cast<CWnd*>(control));
    EXPECT_EQ(plot->m_rcFrame, CRect(0, 0, 400, 200));
    EXPECT_EQ(plot->m_pHost, static_cast<void*>(control));
    EXPECT_EQ(plot->m_nCaptionStrip, 0);
    EXPECT_EQ(plot->MouseMode, 0);
    EXPECT_EQ(plot->m_bKeepRangeOnResize, 1);

    ASSERT_EQ(plot->m_lines.size(), 1u);
    const CLinePlotWnd::stLineData& line = plot->m_lines[0];
    EXPECT_EQ(line.nId, 0);
    EXPECT_EQ(line.nCount, 1000);
    EXPECT_EQ(line.colour, COLORREF(0x008000));
    EXPECT_EQ(line.nFlags, 1);
    EXPECT_EQ(line.bExternal, 1);  // the plot reads the locked samples in place
    EXPECT_EQ(line.pFloatData, control->GetLockedSamples());
    EXPECT_FLOAT_EQ(line.pFloatData[123], viewer->m_samples[123]);

    EXPECT_FLOAT_EQ(plot->m_fXOffset, 0.0f);
    EXPECT_FLOAT_EQ(plot->m_fXScale, 0.05f);
    EXPECT_EQ(plot->m_strXLabel, "Time (us)");
    EXPECT_FLOAT_EQ(plot->m_fYDataMin, -1.0f);
    EXPECT_FLOAT_EQ(plot->m_fYDataSpan, 2.0f);

    // The display window became the view and the four properties.
    EXPECT_RANGE(XRange(control), 10.0f, 40.0f);
    EXPECT_RANGE(YRange(control), -0.25f, 0.5f);
    EXPECT_FLOAT_EQ(control->GetAscanXMin(), 10.0f);
    EXPECT_FLOAT_EQ(control->GetAscanXMax(), 40.0f);
    EXPECT_FLOAT_EQ(control->GetAscanYMin(), -0.25f);
    EXPECT_FLOAT_EQ(control->GetAscanYMax(), 0.5f);
}

TEST_F(AscanDisplayTest, UpdateWithoutANameOrLink) {
    // Detection on, empty name, no viewer: no plot, FALSE.
    COrvexAscanViewerCtrl* control = AddAscan("Ascan1");
    Paint();
    EXPECT_FALSE(control->UpdateAscanData());
    EXPECT_EQ(control->GetPlot(), nullptr);
    // Detection off: always a plot, empty without a viewer.
    control->SetControlDetectionEnabled(FALSE);
    EXPECT_FALSE(control->UpdateAscanData());
    ASSERT_NE(control->GetPlot(), nullptr);
    EXPECT_TRUE(control->GetPlot()->m_lines.empty());
}

// ---- Zoom and pan ----------------------------------------------------------------------------

TEST_F(AscanDisplayTest, ZoomStepsTakeATenthAtEachEnd) {
    COrvexAscanViewerCtrl* control = Linked(2000, 100.0);
    EXPECT_RANGE(XRange(control), 0.0f, 100.0f);
    control->ZoomInX();
    EXPECT_RANGE(XRange(control), 10.0f, 90.0f);
    control->ZoomInX();
    EXPECT_RANGE(XRange(control), 18.0f, 82.0f);
    // Out again: 120 % of the width, which does not undo the zoom in.
    control->ZoomOutX();
    EXPECT_RANGE(XRange(control), 11.6f, 88.4f);

    EXPECT_RANGE(YRange(control), -1.0f, 1.0f);
    control->ZoomInY();
    EXPECT_RANGE(YRange(control), -0.8f, 0.8f);
    control->ZoomOutY();
    EXPECT_RANGE(YRange(control), -0.96f, 0.96f);
    // The plot clamps y to the amplitude band.
    control->ZoomOutY();
    EXPECT_RANGE(YRange(control), -1.0f, 1.0f);

    // Zooming does not write the range properties.
    EXPECT_FLOAT_EQ(control->GetAscanXMin(), 0.0f);
    EXPECT_FLOAT_EQ(control->GetAscanXMax(), 100.0f);
}

TEST_F(AscanDisplayTest, ZoomOutIsClampedToTheData) {
    COrvexAscanViewerCtrl* control = Linked(1000, 100.0);  // data 0 to 100
    control->ZoomOutX();
    EXPECT_RANGE(XRange(control), 0.0f, 100.0f);
}

// Each row: the window before PanRight and after it.
struct PanRightCase {
    float low, high, lowAfter, highAfter;
};

TEST_F(AscanDisplayTest, PanRightStopsBeforeTimeZero) {
    COrvexAscanViewerCtrl* control = Linked(2000, 200.0);
    const PanRightCase cases[] = {
        {30, 130, 10, 110},  // 30 - 20 > 0: moves by a fifth of the width
        {10, 110, 10, 110},  // 10 - 20 <= 0: refused
        {15, 115, 15, 115},  // 15 - 20 < 0: refused
        {50, 60, 48, 58},    // a narrow window moves by a fifth of its own width
    };
    for (const PanRightCase& c : cases) {
        SetWindow(control, c.low, c.high);
        control->PanRight();
        EXPECT_RANGE(XRange(control), c.lowAfter, c.highAfter);
    }
}

TEST_F(AscanDisplayTest, PanLeftStopsBeforeTheDisplayEnd) {
    COrvexAscanViewerCtrl* control = Linked(2000, 150.0);
    SetWindow(control, 0.0f, 100.0f);
    const int asked = Calls(DISPID_VIEWER_GETASCANDISPLAYWINDOW);
    control->PanLeft();
    EXPECT_RANGE(XRange(control), 20.0f, 120.0f);
    control->PanLeft();
    EXPECT_RANGE(XRange(control), 40.0f, 140.0f);
    // 140 + 20 would pass the display end of 150.
    control->PanLeft();
    EXPECT_RANGE(XRange(control), 40.0f, 140.0f);
    EXPECT_EQ(Calls(DISPID_VIEWER_GETASCANDISPLAYWINDOW), asked + 3);  // each pan asks for the limit
}

TEST_F(AscanDisplayTest, PanLeftWithoutAViewerIsRefused) {
    COrvexAscanViewerCtrl* control = Linked(2000, 150.0);
    SetWindow(control, 0.0f, 100.0f);
    control->SetOrvexViewer(nullptr);
    control->PanLeft();
    EXPECT_RANGE(XRange(control), 0.0f, 100.0f);
    // PanRight needs no viewer.
    SetWindow(control, 50.0f, 100.0f);
    control->PanRight();
    EXPECT_RANGE(XRange(control), 40.0f, 90.0f);
}

TEST_F(AscanDisplayTest, ZoomAndPanWithoutAPlotWindowAreIgnored) {
    // A control never activated has no window, so its plot has none either.
    m_viewer = AddViewer("V");
    auto* control = new COrvexAscanViewerCtrl;
    m_controls.push_back(control);
    PlaceAscan(*m_document, control, "Ascan1");
    control->InitNew();
    control->SetOrvexViewerName("V");
    ASSERT_NE(control->GetPlot(), nullptr);
    EXPECT_EQ(control->GetPlot()->GetSafeHwnd(), nullptr);
    const auto before = XRange(control);
    const int asked = Calls(DISPID_VIEWER_GETASCANDISPLAYWINDOW);
    control->ZoomInX();
    control->ZoomOutY();
    control->PanLeft();
    control->PanRight();
    EXPECT_EQ(XRange(control), before);
    EXPECT_EQ(Calls(DISPID_VIEWER_GETASCANDISPLAYWINDOW), asked);
    // Range properties are only stored meanwhile.
    control->SetAscanXMin(3.0f);
    EXPECT_FLOAT_EQ(control->GetAscanXMin(), 3.0f);
    EXPECT_EQ(XRange(control), before);
}

TEST_F(AscanDisplayTest, WritingOneRangePropertyAppliesAllFour) {
    COrvexAscanViewerCtrl* control = Linked(2000, 100.0);
    control->ZoomInX();
    control->ZoomInY();
    // The stored values are still those of the build (0..100, -1..1).
    control->SetAscanXMin(5.0f);
    EXPECT_RANGE(XRange(control), 5.0f, 100.0f);
    EXPECT_RANGE(YRange(control), -1.0f, 1.0f);
}

// ---- Size ------------------------------------------------------------------------------------

TEST_F(AscanDisplayTest, ResizeRefreshesAndFetchesOnlyForANewFile) {
    COrvexAscanViewerCtrl* control = Linked(2000, 100.0);
    control->ZoomInX();
    const int fetches = Calls(DISPID_VIEWER_GETASCAN);
    const int names = Calls(DISPID_VIEWER_FILENAME);
    control->SetControlSize(500, 150);
    EXPECT_GT(Calls(DISPID_VIEWER_FILENAME), names);
    EXPECT_EQ(Calls(DISPID_VIEWER_GETASCAN), fetches);

    m_viewer->m_fileName = "new.orvex";
    control->SetControlSize(520, 150);
    EXPECT_EQ(Calls(DISPID_VIEWER_GETASCAN), fetches + 1);
}

TEST_F(AscanDisplayTest, NextDrawFitsThePlotToNewBounds) {
    COrvexAscanViewerCtrl* control = Linked(2000, 100.0);
    Paint();
    control->ZoomInX();
    control->SetControlSize(300, 100);
    Paint();
    EXPECT_EQ(control->GetPlot()->m_rcFrame, CRect(0, 0, 300, 100));
    // The zoomed view survives the new size: the plot remembered it when the control moved.
    EXPECT_RANGE(XRange(control), 10.0f, 90.0f);
}

TEST_F(AscanDisplayTest, APlotWhoseWindowDiedIsRebuiltWithItsView) {
    COrvexAscanViewerCtrl* control = Linked(2000, 100.0);
    control->ZoomInX();
    control->ZoomInY();
    control->DeactivateInPlace();
    ASSERT_NE(control->GetPlot(), nullptr);
    EXPECT_EQ(control->GetPlot()->GetSafeHwnd(), nullptr);
    const int fetches = Calls(DISPID_VIEWER_GETASCAN);

    // Activating again sizes the new window: the plot is rebuilt and keeps the zoomed view.
    ASSERT_TRUE(control->ActivateInPlace(m_page.get(), CRect(0, 0, 600, 125)));
    ASSERT_NE(control->GetPlot(), nullptr);
    EXPECT_NE(control->GetPlot()->GetSafeHwnd(), nullptr);
    EXPECT_EQ(Calls(DISPID_VIEWER_GETASCAN), fetches + 1);
    EXPECT_RANGE(XRange(control), 10.0f, 90.0f);
    EXPECT_RANGE(YRange(control), -0.8f, 0.8f);
}

TEST_F(AscanDisplayTest, AViewChangedBeforeTheNextDrawSurvivesIt) {
    // Each case changes the view of a plot before the draw that fits the plot to the control's
    // bounds; that draw must keep the view, not return to the window the plot was built with.
    struct Case {
        const char* what;
        bool linkLate;  // the first draw had no plot: the link comes from a later name change
        std::function<void(COrvexAscanViewerCtrl*, const CRect& place)> change;
        float xLow, xHigh, yLow, yHigh;
    };
    const Case cases[] = {
        // A macro links after the first draw and writes the four range properties.
        {"late link, range properties", true,
         [](COrvexAscanViewerCtrl* c, const CRect&) {
             c->SetAscanXMin(20.0f);
             c->SetAscanXMax(60.0f);
             c->SetAscanYMin(-0.5f);
             c->SetAscanYMax(0.5f);
         },
         20.0f, 60.0f, -0.5f, 0.5f},
        // The same link, then zoom methods (they change the view only).
        {"late link, zoom", true,
         [](COrvexAscanViewerCtrl* c, const CRect&) {
             c->ZoomInX();
             c->ZoomInY();
         },
         10.0f, 90.0f, -0.8f, 0.8f},
        // Linked at the first draw (which sized the plot), then drawn into other bounds, as a
        // page drawn at an offset does: the range properties written before it still hold.
        {"offset bounds, range properties", false,
         [](COrvexAscanViewerCtrl* c, const CRect&) {
             c->SetAscanXMin(30.0f);
             c->SetAscanXMax(70.0f);
             c->SetAscanYMin(-0.25f);
             c->SetAscanYMax(0.75f);
             CDC dc;
             dc.CreateCompatibleDC(nullptr);
             CBitmap bitmap;
             bitmap.CreateBitmap(700, 200, 1, 32, nullptr);
             CBitmap* old = dc.SelectObject(&bitmap);
             const CRect bounds(50, 40, 650, 165);
             static_cast<IViewObject*>(c)->Draw(DVASPECT_CONTENT, &dc, &bounds);
             dc.SelectObject(old);
         },
         30.0f, 70.0f, -0.25f, 0.75f},
        // Zoomed, then the plot's window died with the control's and came back narrower: the
        // rebuilt plot takes the old view, and the draw that fits it to the new bounds keeps it.
        {"window died, rebuilt narrower", false,
         [this](COrvexAscanViewerCtrl* c, const CRect& place) {
             c->ZoomInX();
             c->ZoomInY();
             c->DeactivateInPlace();
             CRect narrower = place;
             narrower.right -= 100;
             ASSERT_TRUE(c->ActivateInPlace(m_page.get(), narrower));
         },
         10.0f, 90.0f, -0.8f, 0.8f},
    };
    int row = 0;
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        const std::string viewerName = "V" + std::to_string(row);
        m_viewer = AddViewer(viewerName, 2000);
        m_viewer->m_resolution = 0.1;
        m_viewer->m_displayEnd = 100.0;
        const int top = 130 * row++;
        const CRect place(0, top, 600, top + 125);
        COrvexAscanViewerCtrl* control = AddAscan("A" + viewerName, place);
        if (k.linkLate) {
            control->SetOrvexViewerName("no such viewer");
            Paint();  // the first draw: nothing to link, no plot
            ASSERT_EQ(control->GetPlot(), nullptr);
            control->SetOrvexViewerName(viewerName);
        } else {
            control->SetOrvexViewerName(viewerName);
            Paint();
        }
        ASSERT_NE(control->GetPlot(), nullptr);
        k.change(control, place);
        Paint();
        EXPECT_RANGE(XRange(control), k.xLow, k.xHigh);
        EXPECT_RANGE(YRange(control), k.yLow, k.yHigh);
    }
}

// ---- Drawing ---------------------------------------------------------------------------------

TEST_F(AscanDisplayTest, PlaceholderWithDetectionOnAndWhiteWithItOff) {
    COrvexAscanViewerCtrl* on = AddAscan("A1", CRect(0, 0, 200, 100));
    COrvexAscanViewerCtrl* off = AddAscan("A2", CRect(0, 200, 200, 300));
    off->SetControlDetectionEnabled(FALSE);
    Paint();
    EXPECT_EQ(on->GetPlot(), nullptr);
    EXPECT_EQ(off->GetPlot(), nullptr);

    // Light grey with the text's top-left corner 20 pixels left of the centre.
    EXPECT_EQ(PagePixel(5, 5), kLightGrey);
    EXPECT_EQ(PagePixel(195, 95), kLightGrey);
    auto inked = [&](int x0, int y0, int x1, int y1) {
        int n = 0;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1; ++x)
                if (PagePixel(x, y) != kLightGrey) ++n;
        return n;
    };
    EXPECT_GT(inked(80, 50, 200, 65), 20);  // the text
    EXPECT_EQ(inked(0, 0, 80, 100), 0);     // nothing left of x = 80
    EXPECT_EQ(inked(0, 0, 200, 50), 0);     // nothing above y = 50

    // Detection off: all white.
    for (int y = 200; y < 300; y += 7)
        for (int x = 0; x < 200; x += 7) ASSERT_EQ(PagePixel(x, y), kWhite) << x << "," << y;
}

TEST_F(AscanDisplayTest, AnEmptyPlotShowsAxesNotThePlaceholder) {
    CFakeViewer* viewer = AddViewer("V");
    viewer->m_ascanResult = FALSE;
    COrvexAscanViewerCtrl* control = AddAscan("Ascan1", CRect(0, 0, 300, 150));
    control->SetOrvexViewerName("V");
    Paint();
    ASSERT_NE(control->GetPlot(), nullptr);
    EXPECT_NE(PagePixel(5, 5), kLightGrey);
}

// Draws the control into a fresh 600 x 125 memory context of a technology.
void DrawInto(COrvexAscanViewerCtrl* control, int technology, CBitmap& out) {
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    dc.SetTechnology(technology);
    out.CreateBitmap(600, 125, 1, 32, nullptr);
    CBitmap* old = dc.SelectObject(&out);
    const CRect bounds(0, 0, 600, 125);
    static_cast<IViewObject*>(control)->Draw(DVASPECT_CONTENT, &dc, &bounds);
    dc.SelectObject(old);
}

// The same plot drawn straight into a context (a printer's way), for comparison.
void DrawDirect(CLinePlotWnd* plot, int technology, CBitmap& out) {
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    dc.SetTechnology(technology);
    out.CreateBitmap(600, 125, 1, 32, nullptr);
    CBitmap* old = dc.SelectObject(&out);
    const CRect bounds(0, 0, 600, 125);
    CBrush white(RGB(255, 255, 255));
    dc.FillRect(&bounds, &white);
    plot->DrawToDC(&dc);
    dc.SelectObject(old);
}

bool SamePixels(const CBitmap& a, const CBitmap& b) {
    const size_t n = static_cast<size_t>(a.GetWidth()) * a.GetHeight();
    return a.GetWidth() == b.GetWidth() && a.GetHeight() == b.GetHeight() &&
           std::equal(a.GetPixels(), a.GetPixels() + n, b.GetPixels());
}

TEST_F(AscanDisplayTest, PrintersAndMetafilesGetTheDirectDrawing) {
    COrvexAscanViewerCtrl* control = Linked(2000, 100.0);
    Paint();
    CBitmap screen, printer, metafile, direct;
    DrawInto(control, DT_RASDISPLAY, screen);
    DrawInto(control, DT_RASPRINTER, printer);
    DrawInto(control, DT_METAFILE, metafile);
    DrawDirect(control->GetPlot(), DT_RASPRINTER, direct);
    EXPECT_TRUE(SamePixels(printer, direct));
    EXPECT_TRUE(SamePixels(metafile, direct));
    EXPECT_FALSE(SamePixels(screen, direct));
}

TEST_F(AscanDisplayTest, GoldenPictureOfALinkedControl) {
    CFakeViewer* viewer = AddViewer("V", 600);
    viewer->m_resolution = 0.01;
    viewer->m_displayStart = 0.0;
    viewer->m_displayEnd = 6.0;
    viewer->m_label = "Time (us)";
    COrvexAscanViewerCtrl* control = AddAscan("Ascan1", CRect(0, 0, 600, 125));
    Paint();  // links the only viewer at its first draw
    ASSERT_NE(control->GetPlot(), nullptr);
    control->ZoomInX();
    Paint();

    CBitmap page;
    page.CreateBitmap(600, 125, 1, 32, nullptr);
    for (int y = 0; y < 125; ++y)
        for (int x = 0; x < 600; ++x) page.GetPixels()[static_cast<size_t>(y) * 600 + x] = PagePixel(x, y);
    const std::string golden = std::string(ORVEX_SOURCE_DIR) + "/tests/golden/ascan_linked_control.png";
    const std::string actual = std::string(ORVEX_BINARY_DIR) + "/ascan_linked_control.png";
    ASSERT_TRUE(SaveBitmapPng(page, actual));
    if (std::getenv("ORVEX_UPDATE_GOLDEN")) {
        ASSERT_TRUE(SaveBitmapPng(page, golden));
    }
    CBitmap expected;
    ASSERT_TRUE(LoadBitmapPng(golden, expected)) << "missing " << golden;
    EXPECT_TRUE(SamePixels(page, expected)) << "compare " << actual << " with " << golden;
}

}  // namespace
