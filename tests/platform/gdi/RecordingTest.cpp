// Metafile and printer contexts: what they report, what they record, and that a recording played
// back on a raster context gives the pixels direct drawing gives.
#include "GdiTestUtil.h"

#include "platform/gdi/CDCStateSaver.h"
#include "platform/gdi/CMetaFileDC.h"
#include "platform/gdi/CPrinterDC.h"
#include "platform/gdi/CRgn.h"
#include "platform/gdi/CSelectObject.h"
#include "platform/gdi/Recording.h"

#include <functional>

namespace {

// A bit of everything the controls draw, under several states.
void DrawMixedScene(CDC& dc) {
    CPen dotted(PS_DOT, 0, RGB(0, 0, 0)), wide(PS_SOLID, 5, RGB(0, 0, 200)), red(PS_SOLID, 1, RGB(255, 0, 0));
    CBrush green, grey;
    green.CreateSolidBrush(RGB(0, 160, 0));
    grey.CreateSolidBrush(RGB(192, 192, 192));
    CFont font, turned;
    font.CreatePointFont(100, "Times New Roman", &dc);
    turned.CreateFont(16, 0, 900, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, FF_SWISS, "");

    dc.FillSolidRect(CRect(0, 0, 240, 160), RGB(255, 255, 255));
    {
        CSelectObject p(dc, dotted);
        dc.MoveTo(5, 5);
        dc.LineTo(120, 5);
        const POINT zigzag[] = {{5, 10}, {40, 30}, {80, 10}, {120, 30}};
        dc.Polyline(zigzag, 4);
    }
    {
        CSelectObject p(dc, wide);
        dc.MoveTo(20, 40);
        dc.LineTo(100, 60);
    }
    {
        CSelectObject p(dc, red);
        CSelectObject b(dc, green);
        dc.Rectangle(130, 10, 180, 50);
        dc.Ellipse(185, 10, 235, 50);
        dc.Arc(130, 60, 180, 100, 180, 80, 130, 80);
    }
    {
        CSelectObject b(dc, grey);
        dc.SelectStockObject(NULL_PEN);
        dc.Ellipse(185, 60, 215, 90);
        dc.SelectStockObject(BLACK_PEN);
    }
    {
        CSelectObject f(dc, font);
        dc.SetBkMode(TRANSPARENT);
        dc.TextOut(10, 70, "Amplitude");
        dc.SetTextAlign(TA_RIGHT | TA_BOTTOM);
        dc.TextOut(120, 110, "1.25");
        dc.SetTextAlign(TA_TOP | TA_LEFT | TA_UPDATECP);
        dc.MoveTo(10, 112);
        dc.TextOut(0, 0, "ab");
        dc.TextOut(0, 0, "cd");  // continues where "ab" ended
        dc.SetTextAlign(TA_TOP | TA_LEFT);
        dc.SetBkMode(OPAQUE);
        dc.SetBkColor(RGB(255, 255, 0));
        dc.TextOut(60, 130, "opaque");
    }
    {
        CSelectObject f(dc, turned);
        dc.SetBkMode(TRANSPARENT);
        dc.TextOut(225, 150, "Up");
    }
    {
        // A clip region and a mapping that flips y, undone by the restore.
        CDCStateSaver saved(dc);
        CRgn clip;
        clip.CreateRectRgn(130, 100, 200, 160);
        dc.SelectClipRgn(&clip);
        dc.SetMapMode(MM_LOENGLISH);
        CSelectObject b(dc, green);
        dc.Rectangle(125, -100, 210, -170);
    }
    {
        CDCStateSaver saved(dc);
        dc.SetMapMode(MM_ANISOTROPIC);
        dc.SetWindowExt(100, 100);
        dc.SetViewportExt(50, 25);
        dc.SetViewportOrg(5, 135);
        dc.IntersectClipRect(0, 0, 80, 100);
        CSelectObject p(dc, wide);  // width scales with x: 5 * 0.5 rounds to 3
        dc.MoveTo(0, 0);
        dc.LineTo(100, 80);
    }
    dc.SetROP2(R2_NOTXORPEN);
    dc.MoveTo(0, 150);
    dc.LineTo(240, 150);
    dc.SetROP2(R2_COPYPEN);
    dc.SetPixel(3, 155, RGB(10, 20, 30));
    dc.FillRect(CRect(230, 100, 238, 108), &grey);
    dc.SelectObject(&green);
    dc.PatBlt(220, 110, 10, 6, PATCOPY);
    dc.SelectStockObject(WHITE_BRUSH);
}

}  // namespace

TEST(RecordingTest, ContextsReportTheirDeviceAndTechnology) {
    CMetaFileDC metafile;
    ASSERT_TRUE(metafile.Create(300, 200));
    CPrinterDC a4, letter;
    ASSERT_TRUE(a4.CreatePrinterDC(EPaperSize::A4));
    ASSERT_TRUE(letter.CreatePrinterDC(EPaperSize::Letter));
    struct Row {
        CDC* dc;
        int index;
        int expected;
    } rows[] = {
        {&metafile, TECHNOLOGY, DT_METAFILE}, {&metafile, HORZRES, 300}, {&metafile, LOGPIXELSX, 96},
        {&a4, TECHNOLOGY, DT_RASPRINTER},     {&a4, HORZRES, 4961},      {&a4, VERTRES, 7016},  // 210 x 297 mm
        {&a4, HORZSIZE, 210},                 {&a4, LOGPIXELSY, 600},    {&letter, HORZRES, 5100},
        {&letter, VERTRES, 6600},  // 8.5 x 11 inches
    };
    for (const Row& r : rows) EXPECT_EQ(r.dc->GetDeviceCaps(r.index), r.expected) << r.index;
    EXPECT_FALSE(metafile.IsPrinting());
    EXPECT_TRUE(a4.IsPrinting());
    EXPECT_FALSE(metafile.Create(10, 10));  // already made
    CMetaFileDC empty;
    EXPECT_FALSE(empty.Create(0, 10));
}

TEST(RecordingTest, QueriesAnswerAsOnARasterContextOfTheSameDevice) {
    CPrinterDC printer;
    ASSERT_TRUE(printer.CreatePrinterDC(EPaperSize::Letter));
    printer.SetMapMode(MM_LOENGLISH);
    POINT p{100, -100};
    printer.LPtoDP(&p);
    EXPECT_EQ(p.x, 600);  // one inch at 600 dots per inch
    EXPECT_EQ(p.y, 600);
    CRect box;
    EXPECT_EQ(printer.GetClipBox(&box), SIMPLEREGION);
    EXPECT_EQ(box, CRect(0, 0, 850, -1100));  // the page in 0.01 inch, y up
    EXPECT_EQ(printer.IntersectClipRect(100, -100, 200, -300), SIMPLEREGION);
    EXPECT_EQ(printer.GetClipBox(&box), SIMPLEREGION);
    EXPECT_EQ(box, CRect(100, -100, 200, -300));
    EXPECT_EQ(printer.SetPixel(150, -150, RGB(1, 2, 3)), RGB(1, 2, 3));
    EXPECT_EQ(printer.SetPixel(50, -150, RGB(1, 2, 3)), CLR_INVALID);  // outside the clip
    EXPECT_EQ(printer.GetRecording().Records().size(), 1u);

    // Text measures as on a raster context with the same resolution and mapping.
    TestCanvas canvas(10, 10);
    canvas.dc.SetLogPixels(600, 600);
    canvas.dc.SetMapMode(MM_LOENGLISH);
    CFont font;
    font.CreatePointFont(100, "Times New Roman", &printer);
    printer.SelectObject(&font);
    canvas.dc.SelectObject(&font);
    EXPECT_EQ(printer.GetTextExtent("Time (us)"), canvas.dc.GetTextExtent("Time (us)"));
    printer.SelectStockObject(SYSTEM_FONT);
    canvas.dc.SelectStockObject(SYSTEM_FONT);
}

TEST(RecordingTest, ClipRectanglesConvertBothCornersUnderAScalingMapping) {
    // Both corners of a logical rectangle go through the mapping (an optimised build once kept
    // the second corner in logical units).
    TestCanvas canvas(300, 300);
    canvas.dc.SetMapMode(MM_LOENGLISH);
    CRect r(100, -100, 200, -200);
    canvas.dc.LPtoDP(&r);
    EXPECT_EQ(r, CRect(96, 96, 192, 192));
    EXPECT_EQ(canvas.dc.IntersectClipRect(100, -100, 200, -200), SIMPLEREGION);
    CRect box;
    canvas.dc.GetClipBox(&box);
    EXPECT_EQ(box, CRect(100, -100, 200, -200));
}

TEST(RecordingTest, RecordsEachCallWithTheStateItRanUnder) {
    CMetaFileDC dc;
    ASSERT_TRUE(dc.Create(100, 100));
    CPen blue(PS_DASH, 0, RGB(0, 0, 255));
    dc.MoveTo(1, 2);
    dc.LineTo(30, 2);
    {
        CSelectObject p(dc, blue);
        dc.SetViewportOrg(10, 20);
        dc.LineTo(40, 2);
    }
    dc.TextOut(5, 6, "x");
    const gdi::CRecording& rec = dc.GetRecording();
    ASSERT_EQ(rec.Records().size(), 3u);
    const gdi::stRecord& first = rec.Records()[0];
    const gdi::stRecord& second = rec.Records()[1];
    EXPECT_EQ(first.kind, gdi::ERecordKind::LineTo);
    EXPECT_EQ(first.points[0].x, 1);   // from the pen position
    EXPECT_EQ(first.points[1].x, 30);
    EXPECT_EQ(second.points[0].x, 30);  // the pen moved with the first line
    const gdi::DcState& s1 = rec.States()[first.state];
    const gdi::DcState& s2 = rec.States()[second.state];
    EXPECT_EQ(s1.logPen.lopnColor, RGB(0, 0, 0));
    EXPECT_EQ(s2.logPen.lopnColor, RGB(0, 0, 255));
    EXPECT_EQ(s2.logPen.lopnStyle, static_cast<UINT>(PS_DASH));
    EXPECT_EQ(s2.viewportOrg, CPoint(10, 20));
    EXPECT_EQ(s2.pen, nullptr);  // objects are kept by value: the pen is gone by now
    // The text ran after the pen was deselected but with the viewport still moved: a third state.
    EXPECT_EQ(rec.States().size(), 3u);
    EXPECT_EQ(rec.Records()[2].text, "x");
}

TEST(RecordingTest, PlaybackOnARasterEqualsDirectDrawing) {
    TestCanvas direct(240, 160), played(240, 160, RGB(90, 90, 90));
    DrawMixedScene(direct.dc);
    CMetaFileDC metafile;
    ASSERT_TRUE(metafile.Create(240, 160));
    DrawMixedScene(metafile);
    gdi::PlayRecording(metafile.GetRecording(), played.dc);
    const std::vector<uint32_t> a = direct.Pixels(), b = played.Pixels();
    size_t differing = 0;
    for (size_t i = 0; i < a.size(); ++i) differing += a[i] != b[i];
    EXPECT_EQ(differing, 0u);
    // The scene is not trivially blank: rays of ink everywhere.
    EXPECT_GT(direct.Differing(RGB(255, 255, 255)).size(), 2000u);
    // The target's state is as it was.
    EXPECT_EQ(played.dc.GetMapMode(), MM_TEXT);
    EXPECT_EQ(played.dc.GetViewportOrg(), CPoint(0, 0));
    EXPECT_EQ(played.dc.GetROP2(), R2_COPYPEN);
}

TEST(RecordingTest, BlockCopiesKeepTheSourceAsItWasWhenRecorded) {
    TestCanvas source(20, 10, RGB(200, 0, 0));
    CMetaFileDC metafile;
    ASSERT_TRUE(metafile.Create(50, 50));
    EXPECT_TRUE(metafile.BitBlt(5, 5, 30, 10, &source.dc, 0, 0, SRCCOPY));
    source.Fill(RGB(0, 0, 200));  // changed after the copy was recorded
    TestCanvas target(50, 50);
    gdi::PlayRecording(metafile.GetRecording(), target.dc);
    EXPECT_EQ(target.At(5, 5), RGB(200, 0, 0));
    EXPECT_EQ(target.At(24, 14), RGB(200, 0, 0));
    EXPECT_EQ(target.At(25, 5), RGB(255, 255, 255));  // beyond the 20-pixel source nothing is copied
    EXPECT_EQ(target.At(5, 15), RGB(255, 255, 255));
    EXPECT_FALSE(metafile.BitBlt(0, 0, 5, 5, nullptr, 0, 0, SRCCOPY));
}
