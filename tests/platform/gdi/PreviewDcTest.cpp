// The print-preview context: printer layout, drawing scaled onto a screen context.
#include "GdiTestUtil.h"

#include "platform/gdi/CPreviewDC.h"
#include "platform/gdi/CPrinterDC.h"
#include "platform/gdi/CSelectObject.h"

namespace {

// A preview of an A4 page at 600 dpi shown at 96 pixels per inch, moved by (10, 5).
struct PreviewFixture {
    CPrinterDC printer;
    TestCanvas screen{260, 260};
    CPreviewDC preview;

    PreviewFixture() {
        EXPECT_TRUE(printer.CreatePrinterDC(EPaperSize::A4));
        preview.SetAttribDC(printer.GetSafeHdc());
        preview.SetOutputDC(screen.dc.GetSafeHdc());
        preview.SetScaleRatio(96, 600);
        preview.SetTopLeftOffset(CSize(10, 5));
    }
};

}  // namespace

TEST(PreviewDcTest, QueriesAreThePrintersAndDrawingLandsScaledOnTheScreen) {
    PreviewFixture f;
    EXPECT_EQ(f.preview.GetDeviceCaps(TECHNOLOGY), DT_RASPRINTER);
    EXPECT_EQ(f.preview.GetDeviceCaps(HORZRES), 4961);
    EXPECT_TRUE(f.preview.IsPrinting());

    // One inch square, one inch in: 96 screen pixels from the offset.
    f.preview.FillSolidRect(CRect(600, 600, 1200, 1200), RGB(0, 0, 0));
    EXPECT_EQ(f.screen.InkBox(RGB(255, 255, 255)), CRect(106, 101, 202, 197));
    EXPECT_TRUE(f.printer.GetRecording().Records().empty());  // the printer only lays out

    // A printer mapping goes through to the screen.
    f.screen.Fill(RGB(255, 255, 255));
    f.preview.SetMapMode(MM_LOENGLISH);
    f.preview.FillSolidRect(CRect(100, -100, 200, -200), RGB(0, 0, 255));
    EXPECT_EQ(f.screen.InkBox(RGB(255, 255, 255)), CRect(106, 101, 202, 197));
    CRect box;
    EXPECT_EQ(f.preview.IntersectClipRect(100, -100, 150, -150), SIMPLEREGION);
    f.preview.GetClipBox(&box);
    EXPECT_EQ(box, CRect(100, -100, 150, -150));
}

TEST(PreviewDcTest, ConvertsPrinterDotsToScreenPixels) {
    PreviewFixture f;
    // Rows: printer dot -> screen pixel, scaled by 96/600 with halves rounded up.
    const struct {
        POINT in, out;
    } rows[] = {
        {{0, 0}, {0, 0}},
        {{600, 1200}, {96, 192}},
        {{3, 4}, {0, 1}},     // 0.48 rounds down, 0.64 up
        {{-600, 25}, {-96, 4}},
    };
    for (const auto& r : rows) {
        POINT p = r.in;
        f.preview.PrinterDPtoScreenDP(&p);
        EXPECT_EQ(p.x, r.out.x) << r.in.x;
        EXPECT_EQ(p.y, r.out.y) << r.in.y;
    }
}

TEST(PreviewDcTest, TextIsLaidOutInPrinterUnitsAndTheScreenIsGivenBack) {
    TestCanvas screen(200, 100);
    {
        CPrinterDC printer;
        ASSERT_TRUE(printer.CreatePrinterDC(EPaperSize::Letter));
        CPreviewDC preview;
        preview.SetAttribDC(printer.GetSafeHdc());
        preview.SetOutputDC(screen.dc.GetSafeHdc());
        preview.SetScaleRatio(1, 4);
        CFont font;
        font.CreatePointFont(120, "Times New Roman", &printer);
        CSelectObject selected(preview, font);
        EXPECT_EQ(preview.GetTextExtent("Gate"), printer.GetTextExtent("Gate"));
        preview.SetBkMode(TRANSPARENT);
        preview.TextOut(40, 40, "Gate");
        // The ink is about a quarter of the printer's extent wide.
        const CSize extent = printer.GetTextExtent("Gate");
        const CRect ink = screen.InkBox(RGB(255, 255, 255));
        EXPECT_NEAR(ink.Width(), extent.cx / 4, 3);
        EXPECT_NEAR(ink.left, 10, 2);
        preview.SetMapMode(MM_LOENGLISH);
    }
    EXPECT_EQ(screen.dc.GetMapMode(), MM_TEXT);
    EXPECT_EQ(screen.dc.GetBkMode(), OPAQUE);
}
