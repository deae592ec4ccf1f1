// Clipping cuts exactly at the region edge for every kind of output; surfaces with a visible
// rectangle; the clip box in logical coordinates.
#include "GdiTestUtil.h"

#include "platform/gdi/CBrush.h"
#include "platform/gdi/CFont.h"
#include "platform/gdi/CPen.h"
#include "platform/gdi/CRgn.h"
#include "platform/gdi/CSelectObject.h"

#include <functional>

namespace {
constexpr COLORREF kWhite = RGB(255, 255, 255);

using Draw = std::function<void(CDC&)>;

// Clipped output must equal unclipped output masked by the region.
void ExpectClipIsMask(const Draw& draw, const CRect& region, const char* what) {
    TestCanvas full(80, 60), clipped(80, 60);
    draw(full.dc);
    CRgn rgn;
    rgn.CreateRectRgn(region.left, region.top, region.right, region.bottom);
    clipped.dc.SelectClipRgn(&rgn);
    draw(clipped.dc);
    ASSERT_FALSE(full.Differing(kWhite).empty()) << what;
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 80; ++x) {
            const COLORREF expected = region.PtInRect(CPoint(x, y)) ? full.At(x, y) : kWhite;
            ASSERT_EQ(clipped.At(x, y), expected) << what << " at " << x << "," << y;
        }
}
}  // namespace

TEST(ClipTest, OutputEqualsUnclippedOutputMaskedByTheRegion) {
    const CRect region(20, 15, 50, 40);  // left and top inside, right and bottom outside
    const struct Row {
        const char* what;
        Draw draw;
    } rows[] = {
        {"lines", [](CDC& dc) { for (int i = 0; i < 60; i += 3) { dc.MoveTo(0, i); dc.LineTo(79, 59 - i); } }},
        {"dotted opaque", [](CDC& dc) {
             CPen pen(PS_DOT, 0, RGB(0, 0, 255));
             CSelectObject s(dc, pen);
             dc.SetBkColor(RGB(255, 0, 0));
             for (int i = 0; i < 60; i += 4) { dc.MoveTo(0, i); dc.LineTo(79, i / 2); }
         }},
        {"wide", [](CDC& dc) {
             CPen pen(PS_SOLID, 6, RGB(0, 128, 0));
             CSelectObject s(dc, pen);
             const POINT p[] = {{5, 5}, {70, 30}, {10, 55}};
             dc.Polyline(p, 3);
         }},
        {"fills", [](CDC& dc) {
             CBrush b(RGB(0, 0, 128));
             CRect r(10, 10, 60, 50);
             dc.FillRect(&r, &b);
         }},
        {"shapes", [](CDC& dc) {
             CBrush b(RGB(200, 200, 0));
             CSelectObject s(dc, b);
             dc.Ellipse(5, 5, 75, 55);
             dc.Rectangle(30, 20, 60, 45);
         }},
        {"patblt", [](CDC& dc) { dc.PatBlt(0, 0, 80, 60, BLACKNESS); }},
        {"bitblt", [](CDC& dc) {
             TestCanvas src(80, 60, RGB(10, 20, 30));
             src.dc.Ellipse(0, 0, 80, 60);
             dc.BitBlt(0, 0, 80, 60, &src.dc, 0, 0, SRCCOPY);
         }},
        {"text", [](CDC& dc) {
             CFont f;
             f.CreateFont(-40, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, NONANTIALIASED_QUALITY, 0, "Times New Roman");
             CSelectObject s(dc, f);
             dc.TextOut(2, 5, "Wall");
         }},
        {"pixels", [](CDC& dc) { for (int x = 0; x < 80; ++x) dc.SetPixel(x, x % 60, RGB(9, 9, 9)); }},
    };
    for (const Row& r : rows) ExpectClipIsMask(r.draw, region, r.what);
}

TEST(ClipTest, RegionEdgesAreExactForAFill) {
    TestCanvas c(30, 30);
    CRgn rgn;
    rgn.CreateRectRgn(10, 12, 20, 22);
    EXPECT_EQ(c.dc.SelectClipRgn(&rgn), SIMPLEREGION);
    c.dc.PatBlt(0, 0, 30, 30, BLACKNESS);
    EXPECT_EQ(c.InkBox(kWhite), CRect(10, 12, 20, 22));
    EXPECT_EQ(c.dc.GetPixel(9, 15), CLR_INVALID);  // outside the clip region
    EXPECT_EQ(c.dc.SetPixel(20, 15, 0), CLR_INVALID);
    EXPECT_EQ(c.dc.GetPixel(19, 21), RGB(0, 0, 0));
}

TEST(ClipTest, ClipRegionIsInDeviceCoordinatesAndTheBoxIsLogical) {
    TestCanvas c(100, 100);
    CRgn rgn;
    rgn.CreateRectRgn(10, 10, 50, 50);
    c.dc.SelectClipRgn(&rgn);
    c.dc.SetViewportOrg(30, 30);  // moving the origin does not move the clip
    CRect box;
    EXPECT_EQ(c.dc.GetClipBox(&box), SIMPLEREGION);
    EXPECT_EQ(box, CRect(-20, -20, 20, 20));
    c.dc.PatBlt(-100, -100, 300, 300, BLACKNESS);
    EXPECT_EQ(c.InkBox(kWhite), CRect(10, 10, 50, 50));
    c.dc.SelectClipRgn(nullptr);
    EXPECT_EQ(c.dc.GetClipBox(&box), SIMPLEREGION);
    EXPECT_EQ(box, CRect(-30, -30, 70, 70));
}

TEST(ClipTest, SurfaceContextNeverDrawsOutsideItsVisibleRectangle) {
    CBitmap surface;
    surface.CreateBitmap(100, 80, 1, 32, nullptr);
    std::fill(surface.GetPixels(), surface.GetPixels() + 100 * 80, kWhite);
    CDC dc;
    dc.SetSurface(&surface, CPoint(20, 10), CRect(25, 15, 70, 60));
    EXPECT_EQ(dc.GetDeviceCaps(TECHNOLOGY), DT_RASDISPLAY);
    EXPECT_EQ(dc.GetDeviceCaps(LOGPIXELSX), 96);
    EXPECT_EQ(dc.GetDeviceCaps(HORZRES), 100);
    EXPECT_EQ(dc.GetDeviceCaps(VERTRES), 80);
    CRgn rgn;
    rgn.CreateRectRgn(-100, 0, 1000, 1000);  // larger than the visible part: still cut by it
    dc.SelectClipRgn(&rgn);
    dc.PatBlt(-50, -50, 500, 500, BLACKNESS);
    CRect box;
    dc.GetClipBox(&box);
    EXPECT_EQ(box, CRect(5, 5, 50, 50));  // device (0,0) is surface (20,10)
    int inked = 0;
    for (int y = 0; y < 80; ++y)
        for (int x = 0; x < 100; ++x) {
            const bool black = surface.GetPixels()[y * 100 + x] == 0;
            inked += black;
            ASSERT_EQ(black, x >= 25 && x < 70 && y >= 15 && y < 60) << x << "," << y;
        }
    EXPECT_EQ(inked, 45 * 45);
    EXPECT_EQ(dc.GetPixel(5, 5), RGB(0, 0, 0));
    EXPECT_EQ(dc.GetPixel(4, 5), CLR_INVALID);
}
