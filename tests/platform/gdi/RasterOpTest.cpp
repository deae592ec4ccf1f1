// The sixteen binary raster operations, and R2_NOTXORPEN drawn twice restoring every pixel.
#include "GdiTestUtil.h"

#include "platform/gdi/CBrush.h"
#include "platform/gdi/CPen.h"
#include "platform/gdi/CSelectObject.h"
#include "platform/gdi/RasterOps.h"

#include <functional>
#include <random>

TEST(RasterOpTest, EachCodeGivesThePlatformsResult) {
    using F = std::function<uint32_t(uint32_t, uint32_t)>;
    const struct Row {
        int code;
        F f;
    } rows[] = {
        {R2_BLACK, [](uint32_t, uint32_t) { return 0u; }},
        {R2_NOTMERGEPEN, [](uint32_t p, uint32_t s) { return ~(p | s); }},
        {R2_MASKNOTPEN, [](uint32_t p, uint32_t s) { return ~p & s; }},
        {R2_NOTCOPYPEN, [](uint32_t p, uint32_t) { return ~p; }},
        {R2_MASKPENNOT, [](uint32_t p, uint32_t s) { return p & ~s; }},
        {R2_NOT, [](uint32_t, uint32_t s) { return ~s; }},
        {R2_XORPEN, [](uint32_t p, uint32_t s) { return p ^ s; }},
        {R2_NOTMASKPEN, [](uint32_t p, uint32_t s) { return ~(p & s); }},
        {R2_MASKPEN, [](uint32_t p, uint32_t s) { return p & s; }},
        {R2_NOTXORPEN, [](uint32_t p, uint32_t s) { return ~(p ^ s); }},
        {R2_NOP, [](uint32_t, uint32_t s) { return s; }},
        {R2_MERGENOTPEN, [](uint32_t p, uint32_t s) { return ~p | s; }},
        {R2_COPYPEN, [](uint32_t p, uint32_t) { return p; }},
        {R2_MERGEPENNOT, [](uint32_t p, uint32_t s) { return p | ~s; }},
        {R2_MERGEPEN, [](uint32_t p, uint32_t s) { return p | s; }},
        {R2_WHITE, [](uint32_t, uint32_t) { return 0xFFFFFFu; }},
    };
    const COLORREF pen = RGB(0x5A, 0xC3, 0x0F), screen = RGB(0x33, 0x99, 0xF0);
    for (const Row& r : rows) {
        TestCanvas c(4, 1, screen);
        CPen p(PS_SOLID, 0, pen);
        CSelectObject sel(c.dc, p);
        EXPECT_EQ(c.dc.SetROP2(r.code), R2_COPYPEN);
        c.dc.MoveTo(0, 0);
        c.dc.LineTo(3, 0);
        EXPECT_EQ(c.At(1, 0), r.f(pen, screen) & 0xFFFFFFu) << "R2 code " << r.code;
        EXPECT_EQ(c.At(3, 0), screen);
    }
    TestCanvas c(1, 1);
    EXPECT_EQ(c.dc.SetROP2(0), 0);   // out of range: refused
    EXPECT_EQ(c.dc.SetROP2(17), 0);
    EXPECT_EQ(c.dc.GetROP2(), R2_COPYPEN);
}

namespace {

void DrawEverything(CDC& dc) {
    const POINT crossing[] = {{5, 5}, {60, 40}, {5, 40}, {60, 5}, {5, 5}};  // self-crossing star
    dc.Polyline(crossing, 5);
    dc.MoveTo(70, 10);
    dc.LineTo(110, 35);
    dc.Rectangle(10, 50, 50, 80);
    dc.Ellipse(60, 50, 110, 90);
    dc.Arc(10, 90, 60, 130, 60, 110, 35, 90);
    dc.Ellipse(70, 100, 73, 103);
    dc.Rectangle(80, 100, 81, 120);  // one pixel wide
}

}  // namespace

TEST(RasterOpTest, NotXorPenDrawnTwiceRestoresEveryPixel) {
    struct Row {
        int style;
        int width;
        int bkMode;
        bool brush;
    } rows[] = {
        {PS_SOLID, 0, TRANSPARENT, false},
        {PS_SOLID, 1, OPAQUE, true},     // brush interiors too
        {PS_DOT, 0, OPAQUE, false},      // gaps in the background colour
        {PS_DASHDOTDOT, 1, OPAQUE, true},
        {PS_SOLID, 4, TRANSPARENT, true},  // wide outlines share pixels at joins and corners
        {PS_SOLID, 7, TRANSPARENT, false},
        {PS_DASH, 3, OPAQUE, true},
    };
    std::mt19937 rng(11);
    for (const Row& r : rows) {
        TestCanvas c(120, 140);
        uint32_t* p = c.bitmap.GetPixels();
        for (int i = 0; i < 120 * 140; ++i) p[i] = rng() & 0xFFFFFF;  // noise underneath
        const std::vector<uint32_t> before = c.Pixels();
        CPen pen(r.style, r.width, RGB(0x80, 0x20, 0xC0));
        CBrush brush(RGB(0x11, 0xEE, 0x44));
        CSelectObject sp(c.dc, pen);
        if (r.brush) c.dc.SelectObject(&brush);
        else c.dc.SelectStockObject(NULL_BRUSH);
        c.dc.SetBkMode(r.bkMode);
        c.dc.SetBkColor(RGB(0x20, 0x40, 0x60));
        c.dc.SetROP2(R2_NOTXORPEN);
        DrawEverything(c.dc);
        EXPECT_NE(c.Pixels(), before);
        DrawEverything(c.dc);
        EXPECT_EQ(c.Pixels(), before) << "style " << r.style << " width " << r.width;
        c.dc.SelectStockObject(WHITE_BRUSH);
    }
}

TEST(RasterOpTest, TernaryOperationsOfTheBlocks) {
    struct Row {
        DWORD rop;
        uint32_t p, s, d, out;
    } rows[] = {
        {SRCCOPY, 1, 0x123456, 0xABCDEF, 0x123456},
        {PATCOPY, 0x00FF00, 0, 0xABCDEF, 0x00FF00},
        {WHITENESS, 0, 0, 0x123456, 0xFFFFFF},
        {BLACKNESS, 0, 0, 0x123456, 0},
        {DSTINVERT, 0, 0, 0x0F0F0F, 0xF0F0F0},
        {SRCINVERT, 0, 0xFF00FF, 0x0F0F0F, 0xF00FF0},
        {PATINVERT, 0xFFFF00, 0, 0x0F0F0F, 0xF0F00F},
        {SRCAND, 0, 0xFF00FF, 0x0F0F0F, 0x0F000F},
    };
    for (const Row& r : rows) EXPECT_EQ(gdi::ApplyRop3(gdi::Rop3Index(r.rop), r.p, r.s, r.d), r.out) << std::hex << r.rop;
}
