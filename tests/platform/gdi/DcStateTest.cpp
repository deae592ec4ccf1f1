// Saved states as values, object selection and the RAII helpers.
#include "GdiTestUtil.h"

#include "platform/gdi/CBrush.h"
#include "platform/gdi/CDCStateSaver.h"
#include "platform/gdi/CFont.h"
#include "platform/gdi/CPen.h"
#include "platform/gdi/CRgn.h"
#include "platform/gdi/CSelectObject.h"

namespace {

struct Snapshot {
    CPen* pen;
    CBrush* brush;
    CFont* font;
    int mapMode;
    CPoint windowOrg, viewportOrg;
    CSize windowExt, viewportExt;
    COLORREF text, bk;
    int bkMode, rop;
    UINT align;
    CRect clip;
    CPoint pos;
    bool operator==(const Snapshot&) const = default;
};

Snapshot Take(CDC& dc) {
    Snapshot s{dc.GetCurrentPen(), dc.GetCurrentBrush(), dc.GetCurrentFont(), dc.GetMapMode(), dc.GetWindowOrg(),
               dc.GetViewportOrg(), dc.GetWindowExt(), dc.GetViewportExt(), dc.GetTextColor(), dc.GetBkColor(),
               dc.GetBkMode(), dc.GetROP2(), dc.GetTextAlign(), CRect(), dc.GetCurrentPosition()};
    dc.GetClipBox(&s.clip);
    return s;
}

void ChangeEverything(CDC& dc, CPen& pen, CBrush& brush, CFont& font, CRgn& rgn) {
    dc.SelectObject(&pen);
    dc.SelectObject(&brush);
    dc.SelectObject(&font);
    dc.SetMapMode(MM_ANISOTROPIC);
    dc.SetWindowExt(10, 20);
    dc.SetViewportExt(30, -40);
    dc.SetWindowOrg(5, 6);
    dc.SetViewportOrg(7, 8);
    dc.SetTextColor(RGB(1, 2, 3));
    dc.SetBkColor(RGB(4, 5, 6));
    dc.SetBkMode(TRANSPARENT);
    dc.SetROP2(R2_XORPEN);
    dc.SetTextAlign(TA_CENTER | TA_BOTTOM);
    dc.SelectClipRgn(&rgn);
    dc.MoveTo(11, 12);
}

}  // namespace

TEST(DcStateTest, RestoreBringsBackTheWholeState) {
    TestCanvas c(50, 50);
    CPen pen(PS_DOT, 0, RGB(9, 9, 9));
    CBrush brush(RGB(8, 8, 8));
    CFont font;
    font.CreatePointFont(100, "Times New Roman");
    CRgn rgn;
    rgn.CreateRectRgn(1, 2, 30, 40);
    const Snapshot initial = Take(c.dc);
    EXPECT_EQ(c.dc.SaveDC(), 1);
    ChangeEverything(c.dc, pen, brush, font, rgn);
    const Snapshot changed = Take(c.dc);
    EXPECT_NE(changed, initial);
    EXPECT_EQ(c.dc.SaveDC(), 2);
    c.dc.SelectStockObject(BLACK_PEN);
    c.dc.SetMapMode(MM_LOENGLISH);
    EXPECT_TRUE(c.dc.RestoreDC(-1));  // one save back
    EXPECT_EQ(Take(c.dc), changed);
    EXPECT_TRUE(c.dc.RestoreDC(1));
    EXPECT_EQ(Take(c.dc), initial);
    // The restored state draws as it did: a solid black pen again, no clip.
    c.dc.MoveTo(0, 45);
    c.dc.LineTo(49, 45);
    EXPECT_EQ(c.At(40, 45), RGB(0, 0, 0));
}

TEST(DcStateTest, RestoreDepthsOutsideTheStackFail) {
    TestCanvas c(4, 4);
    struct Row {
        int saves;
        int restore;
        BOOL ok;
        int depthAfter;  // what the next SaveDC returns
    } rows[] = {
        {0, -1, FALSE, 1},  // nothing saved
        {2, 3, FALSE, 3},   // deeper than saved
        {2, 0, FALSE, 3},   // zero is no depth
        {3, -3, TRUE, 1},   // back to the first save, which is consumed
        {3, 2, TRUE, 2},
        {2, -4, FALSE, 3},
    };
    for (const Row& r : rows) {
        while (c.dc.RestoreDC(-1)) {
        }
        for (int i = 0; i < r.saves; ++i) c.dc.SaveDC();
        EXPECT_EQ(c.dc.RestoreDC(r.restore), r.ok) << r.saves << " " << r.restore;
        EXPECT_EQ(c.dc.SaveDC(), r.depthAfter) << r.saves << " " << r.restore;
    }
}

TEST(DcStateTest, HelpersLeaveTheContextAsTheyFoundIt) {
    TestCanvas c(10, 10);
    CPen pen(PS_SOLID, 3, RGB(1, 1, 1));
    CFont font;
    font.CreatePointFont(80, "Arial");
    CPen* before = c.dc.GetCurrentPen();
    CFont* fontBefore = c.dc.GetCurrentFont();
    {
        CDCStateSaver saved(c.dc);
        CSelectObject p(c.dc, pen);
        CSelectObject f(c.dc, font);
        EXPECT_EQ(p.GetPrevious(), before);
        EXPECT_EQ(c.dc.GetCurrentPen(), &pen);
        c.dc.SetMapMode(MM_LOENGLISH);
    }
    EXPECT_EQ(c.dc.GetCurrentPen(), before);
    EXPECT_EQ(c.dc.GetCurrentFont(), fontBefore);
    EXPECT_EQ(c.dc.GetMapMode(), MM_TEXT);
}

TEST(DcStateTest, SelectionReturnsThePreviousObjectAndStockObjectsSurviveDeletion) {
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(nullptr));
    EXPECT_EQ(dc.GetCurrentPen(), CPen::FromHandle(static_cast<HPEN>(GetStockObject(BLACK_PEN))));
    CBitmap bmp;
    bmp.CreateBitmap(3, 3, 1, 32, nullptr);
    CBitmap* stock = dc.SelectObject(&bmp);
    ASSERT_NE(stock, nullptr);  // the 1x1 bitmap of a fresh memory context
    EXPECT_EQ(dc.GetDeviceCaps(HORZRES), 3);
    EXPECT_EQ(dc.SelectObject(stock), &bmp);
    EXPECT_EQ(dc.GetPixel(0, 0), CLR_INVALID);  // the stock bitmap never receives pixels

    EXPECT_TRUE(DeleteObject(GetStockObject(WHITE_BRUSH)));
    CBrush white;
    EXPECT_TRUE(white.CreateStockObject(WHITE_BRUSH));
    LOGBRUSH lb{};
    EXPECT_NE(white.GetLogBrush(&lb), 0);
    EXPECT_EQ(lb.lbColor, RGB(255, 255, 255));

    CPen pen;
    EXPECT_EQ(dc.SelectObject(&pen), nullptr);  // an uncreated pen cannot be selected
    EXPECT_FALSE(pen.CreatePen(42, 1, 0));       // unknown style
    EXPECT_EQ(dc.SelectStockObject(99), nullptr);
}

TEST(DcStateTest, DeviceCapsFollowTheContext) {
    CDC screen;
    screen.CreateCompatibleDC(nullptr);
    CDC printer;
    printer.CreateCompatibleDC(nullptr);
    printer.SetTechnology(DT_RASPRINTER);
    printer.SetLogPixels(600, 600);
    CDC compatible;
    compatible.CreateCompatibleDC(&printer);
    struct Row {
        CDC* dc;
        int index, value;
    } rows[] = {
        {&screen, TECHNOLOGY, DT_RASDISPLAY}, {&screen, LOGPIXELSX, 96}, {&screen, LOGPIXELSY, 96},
        {&screen, PLANES, 1},                 {&screen, BITSPIXEL, 32},
        {&printer, TECHNOLOGY, DT_RASPRINTER}, {&printer, LOGPIXELSY, 600},
        {&compatible, TECHNOLOGY, DT_RASPRINTER},  // a memory context takes its reference's kind
        {&compatible, LOGPIXELSX, 600},
    };
    for (const Row& r : rows) EXPECT_EQ(r.dc->GetDeviceCaps(r.index), r.value) << r.index;
}
