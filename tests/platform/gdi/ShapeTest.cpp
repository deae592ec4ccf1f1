// Rectangles, ellipses, arcs, fills, blits, pixels and bitmaps.
#include "GdiTestUtil.h"

#include "platform/gdi/CBrush.h"
#include "platform/gdi/CPen.h"
#include "platform/gdi/CSelectObject.h"

#include <limits>
#include <set>

namespace {
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kFill = RGB(0, 200, 0);

std::set<std::pair<int, int>> Of(COLORREF c, const TestCanvas& canvas) {
    std::set<std::pair<int, int>> s;
    for (int y = 0; y < canvas.bitmap.GetHeight(); ++y)
        for (int x = 0; x < canvas.bitmap.GetWidth(); ++x)
            if (canvas.At(x, y) == c) s.insert({x, y});
    return s;
}
}  // namespace

TEST(ShapeTest, RectangleAndEllipseCoverTheirBoxWithoutRightAndBottom) {
    struct Row {
        bool nullPen;
        bool ellipse;
        CRect ink;    // everything drawn
        CRect brush;  // the brush's part
    } rows[] = {
        {false, false, CRect(10, 20, 30, 35), CRect(11, 21, 29, 34)},
        {true, false, CRect(10, 20, 29, 34), CRect(10, 20, 29, 34)},  // no outline: one pixel less each way
        {false, true, CRect(10, 20, 30, 35), CRect()},
        {true, true, CRect(10, 20, 30, 35), CRect()},  // a null-pen ellipse keeps its whole box
    };
    for (const Row& r : rows) {
        {
            const bool ellipse = r.ellipse;
            TestCanvas c(50, 50);
            CBrush brush(kFill);
            CSelectObject b(c.dc, brush);
            if (r.nullPen) c.dc.SelectStockObject(NULL_PEN);
            if (ellipse) c.dc.Ellipse(30, 35, 10, 20);  // corners in any order
            else c.dc.Rectangle(30, 35, 10, 20);
            EXPECT_EQ(c.InkBox(kWhite), r.ink) << ellipse << r.nullPen;
            if (!ellipse) {
                EXPECT_EQ(c.At(r.brush.left, r.brush.top), kFill);
                EXPECT_EQ(c.At(r.brush.right - 1, r.brush.bottom - 1), kFill);
                if (!r.nullPen) {
                    EXPECT_EQ(c.At(29, 34), kBlack);
                }
            }
            c.dc.SelectStockObject(BLACK_PEN);
        }
    }
}

TEST(ShapeTest, SmallEllipses) {
    struct Row {
        int size;
        std::set<std::pair<int, int>> outline;
    } rows[] = {
        {2, {{0, 0}, {1, 0}, {0, 1}, {1, 1}}},   // a solid 2x2 block
        {3, {{1, 0}, {0, 1}, {2, 1}, {1, 2}}},   // a four-pixel diamond
        {1, {}},  // a pen draws nothing in a one-pixel box
    };
    for (const Row& r : rows) {
        TestCanvas c(6, 6);
        c.dc.SelectStockObject(NULL_BRUSH);
        c.dc.Ellipse(0, 0, r.size, r.size);
        EXPECT_EQ(Of(kBlack, c), r.outline) << r.size;
    }
}

TEST(ShapeTest, ArcPixelsLieOnTheSameBoxEllipse) {
    TestCanvas whole(80, 80), quarter(80, 80), full(80, 80);
    whole.dc.SelectStockObject(NULL_BRUSH);
    whole.dc.Ellipse(5, 10, 75, 60);
    quarter.dc.Arc(5, 10, 75, 60, 75, 35, 40, 10);  // from the right, counter-clockwise to the top
    full.dc.Arc(5, 10, 75, 60, 75, 35, 75, 35);     // same ray twice: the whole ellipse
    const auto all = Of(kBlack, whole), part = Of(kBlack, quarter);
    EXPECT_EQ(Of(kBlack, full), all);
    ASSERT_FALSE(part.empty());
    for (auto p : part) {
        EXPECT_TRUE(all.count(p)) << p.first << "," << p.second;
        EXPECT_GE(p.first, 39);   // upper right quarter only
        EXPECT_LE(p.second, 35);
    }
    // The start ray runs from the box's integer centre (40, 35) along row 35.
    EXPECT_TRUE(part.count({74, 34}));
    EXPECT_TRUE(part.count({74, 35}));   // on the start ray
    EXPECT_FALSE(part.count({74, 36}));  // just clockwise of it
    EXPECT_GT(part.size(), all.size() / 5);
    EXPECT_LT(part.size(), all.size() / 3);
}

TEST(ShapeTest, FillsIgnoreTheRasterOperationAndDrawNoOutline) {
    TestCanvas c(20, 20, RGB(1, 2, 3));
    c.dc.SetROP2(R2_XORPEN);
    CBrush brush(kFill);
    CRect r(2, 3, 6, 8);
    c.dc.FillRect(&r, &brush);
    EXPECT_EQ(c.InkBox(RGB(1, 2, 3)), r);
    EXPECT_EQ(c.At(2, 3), kFill);
    c.dc.FillSolidRect(10, 10, 3, 2, RGB(9, 8, 7));
    EXPECT_EQ(c.At(12, 11), RGB(9, 8, 7));
    EXPECT_EQ(c.At(13, 11), RGB(1, 2, 3));
    EXPECT_EQ(c.dc.GetBkColor(), RGB(9, 8, 7));  // left as the background colour
    CSelectObject b(c.dc, brush);
    c.dc.PatBlt(0, 15, 20, 2, PATCOPY);
    c.dc.PatBlt(0, 17, 20, 1, WHITENESS);
    c.dc.PatBlt(0, 18, 20, 1, BLACKNESS);
    EXPECT_EQ(c.At(0, 16), kFill);
    EXPECT_EQ(c.At(0, 17), kWhite);
    EXPECT_EQ(c.At(19, 18), kBlack);
    EXPECT_EQ(c.At(0, 19), RGB(1, 2, 3));
}

TEST(ShapeTest, BitBltCopiesBlocksBetweenAndWithinContexts) {
    TestCanvas src(10, 10, RGB(5, 5, 5)), dst(20, 20);
    src.dc.SetPixel(0, 0, RGB(200, 0, 0));
    src.dc.SetPixel(9, 9, RGB(0, 0, 200));
    // A source rectangle half outside its bitmap copies only the pixels that exist.
    EXPECT_TRUE(dst.dc.BitBlt(3, 4, 15, 15, &src.dc, 0, 0, SRCCOPY));
    EXPECT_EQ(dst.At(3, 4), RGB(200, 0, 0));
    EXPECT_EQ(dst.At(12, 13), RGB(0, 0, 200));
    EXPECT_EQ(dst.InkBox(kWhite), CRect(3, 4, 13, 14));
    // Overlapping copy within one bitmap, moving down and right.
    TestCanvas self(8, 8, kWhite);
    for (int i = 0; i < 8; ++i) self.dc.SetPixel(i, i, RGB(i, 0, 0));
    self.dc.BitBlt(1, 1, 7, 7, &self.dc, 0, 0, SRCCOPY);
    for (int i = 1; i < 8; ++i) EXPECT_EQ(self.At(i, i), RGB(i - 1, 0, 0)) << i;
}

TEST(ShapeTest, PixelsAndBitmaps) {
    TestCanvas c(5, 5);
    EXPECT_EQ(c.dc.SetPixel(2, 2, RGB(1, 2, 3)), RGB(1, 2, 3));
    EXPECT_EQ(c.dc.GetPixel(2, 2), RGB(1, 2, 3));
    EXPECT_EQ(c.dc.SetPixel(5, 0, 0), CLR_INVALID);  // outside the bitmap: sets nothing
    EXPECT_EQ(c.dc.GetPixel(-1, 0), CLR_INVALID);
    BITMAP bm{};
    EXPECT_NE(c.bitmap.GetBitmap(&bm), 0);
    EXPECT_EQ(bm.bmWidth, 5);
    EXPECT_EQ(bm.bmBitsPixel, 32);
    EXPECT_EQ(c.bitmap.GetBitmapDimension(), CSize(5, 5));

    struct Row {
        int w, h;
        UINT planes, bits;
        BOOL ok;
    } rows[] = {
        {4, 3, 1, 32, TRUE}, {4, 3, 1, 24, TRUE},
        {4, 3, 1, 1, FALSE},        // monochrome is not kept
        {0, 3, 1, 32, FALSE}, {-4, 3, 1, 32, FALSE},
        {100000, 100000, 1, 32, FALSE},  // refused before allocating
    };
    for (const Row& r : rows) {
        CBitmap b;
        EXPECT_EQ(b.CreateBitmap(r.w, r.h, r.planes, r.bits, nullptr), r.ok) << r.w << "x" << r.h << " " << r.bits;
    }
    const uint32_t bits[4] = {RGB(1, 0, 0), RGB(2, 0, 0), RGB(3, 0, 0), 0xFF000004};
    CBitmap b;
    ASSERT_TRUE(b.CreateBitmap(2, 2, 1, 32, bits));
    EXPECT_EQ(b.GetPixels()[2], RGB(3, 0, 0));  // rows top to bottom
    EXPECT_EQ(b.GetPixels()[3], 0x000004u);     // the top byte is not kept
}

// Boxes that span the whole int range (as hostile coordinates map to): no overflow in the size or
// centre arithmetic, and the visible part is drawn. The sanitizer run turns an overflow into a
// failure.
TEST(ShapeTest, BoxesAcrossTheWholeIntRange) {
    const int lo = std::numeric_limits<int>::min(), hi = std::numeric_limits<int>::max();
    TestCanvas c(20, 20);
    c.dc.Rectangle(lo, lo, hi, hi);
    c.dc.Rectangle(21153886, 0, lo, 10);
    c.dc.Arc(lo, lo, hi, hi, 0, 0, 10, 10);
    c.dc.Ellipse(lo, lo, hi, hi);
    CPen wide(PS_SOLID, 5, kBlack);
    CSelectObject pen(c.dc, wide);
    c.dc.Rectangle(lo, lo, hi, hi);
    c.dc.Arc(lo, lo, hi, hi, 0, 0, 10, 10);
    // Only the inside of the huge boxes is in view: the brush's white, nothing outside the bitmap.
    EXPECT_EQ(c.At(10, 10), kWhite);
}
