// Printing a plot into a print preview: the page is laid out in printer dots and drawn scaled on a
// screen context, and the traces and gates are clipped to the plot where it lands on the screen.
#include <gtest/gtest.h>

#include "PlotTestSupport.h"
#include "platform/gdi/CPreviewDC.h"
#include "platform/gdi/CPrinterDC.h"

namespace {

constexpr COLORREF kGate = RGB(150, 0, 150);

}  // namespace

TEST(PlotPreviewTest, TracesAndGatesAreClippedToThePlotOnTheScreen) {
    // The frame (465 x 175) printed four times its size at printer dots (400, 800); the plot
    // rectangle (55, 20)-(455, 120) lands at dots (620, 880)-(2220, 1280).
    const CRect page(400, 800, 400 + 4 * 465, 800 + 4 * 175);
    const CRect plotDots(620, 880, 2220, 1280);
    const struct {
        int num, den;
        CSize offset;
    } rows[] = {
        {1, 4, CSize(10, 5)},    // a quarter, moved right and down
        {1, 2, CSize(-30, 12)},  // a half, partly moved off the left of the screen
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(testing::Message() << r.num << "/" << r.den);
        std::vector<float> samples(512, 0.0f);
        samples[200] = 5.0f;  // far above the visible band: must be cut at the plot's top edge
        CLinePlotWnd plot;
        LoadPlot(plot, samples);
        // A segment from inside the plot out through its top.
        GateData d{40.0f, 0.0f, 60.0f, 3.0f};
        plot.AddGate(1, &d, "", kGate, 0, PS_SOLID, CLinePlotWnd::kGateSegment);

        CPrinterDC printer;
        ASSERT_TRUE(printer.CreatePrinterDC(EPaperSize::A4));
        Canvas screen(1200, 700);
        {
            CPreviewDC preview;
            preview.SetAttribDC(printer.GetSafeHdc());
            preview.SetOutputDC(screen.dc.GetSafeHdc());
            preview.SetScaleRatio(r.num, r.den);
            preview.SetTopLeftOffset(r.offset);
            plot.PrintPlot(page, &preview);
            EXPECT_EQ(preview.GetMapMode(), MM_TEXT);
            EXPECT_EQ(preview.GetViewportOrg(), CPoint(0, 0));
        }
        EXPECT_TRUE(printer.GetRecording().Records().empty());  // the printer only laid the page out

        const CRect S(plotDots.left * r.num / r.den + r.offset.cx, plotDots.top * r.num / r.den + r.offset.cy,
                      plotDots.right * r.num / r.den + r.offset.cx, plotDots.bottom * r.num / r.den + r.offset.cy);
        int outside = 0;
        for (int y = 0; y < 700; ++y)
            for (int x = 0; x < 1200; ++x) {
                const COLORREF c = screen.At(x, y);
                if ((c == kTrace || c == kGate) && !S.PtInRect(CPoint(x, y))) ++outside;
            }
        EXPECT_EQ(outside, 0);
        // The zero line (logical row 70) runs to the last sample near the plot's right edge, which
        // a clip that dropped the plot's margins would cut off.
        const int zeroRow = (page.top + 4 * 70) * r.num / r.den + r.offset.cy;
        EXPECT_EQ(screen.At(S.right - 4, zeroRow), kTrace);
        // The spike reaches the plot's top edge; the gate runs up to it too.
        EXPECT_GT(screen.Count(CRect(S.left, S.top, S.right, S.top + 1), kTrace), 0);
        EXPECT_GT(screen.Count(CRect(S.left, S.top, S.right, S.top + 1), kGate), 0);
    }
}
