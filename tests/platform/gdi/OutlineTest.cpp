// Ellipse outlines and fills, arcs and styled rectangle outlines, pixel by pixel.
#include "GdiTestUtil.h"

#include "platform/gdi/CBrush.h"
#include "platform/gdi/CPen.h"
#include "platform/gdi/CSelectObject.h"

#include <cmath>
#include <set>
#include <string>

namespace {
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kPen = RGB(0, 0, 0);
constexpr COLORREF kBrush = RGB(0, 200, 0);

// Rows of the canvas's top-left w x h pixels: '#' pen, 'o' brush, '.' anything else.
std::string Art(const TestCanvas& c, int w, int h) {
    std::string s;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) s += c.At(x, y) == kPen ? '#' : c.At(x, y) == kBrush ? 'o' : '.';
        s += '\n';
    }
    return s;
}

std::set<std::pair<int, int>> Ink(const TestCanvas& c) {
    std::set<std::pair<int, int>> s;
    for (auto p : c.Differing(kWhite)) s.insert(p);
    return s;
}

// Every pixel has an 8-neighbour in the set and the set is one piece.
bool EightConnected(const std::set<std::pair<int, int>>& s) {
    if (s.empty()) return false;
    std::set<std::pair<int, int>> seen{*s.begin()};
    std::vector<std::pair<int, int>> stack{*s.begin()};
    while (!stack.empty()) {
        auto [x, y] = stack.back();
        stack.pop_back();
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (s.count({x + dx, y + dy}) && seen.insert({x + dx, y + dy}).second) stack.push_back({x + dx, y + dy});
    }
    return seen.size() == s.size();
}

// A pixel with both a horizontal and a vertical neighbour (away from the axes) could go without
// breaking the curve: the outline would not be thin.
int RedundantCorners(const std::set<std::pair<int, int>>& s, int w, int h) {
    int n = 0;
    for (auto [x, y] : s) {
        if (2 * x == w - 1 || 2 * x == w || 2 * x == w - 2 || 2 * y == h - 1 || 2 * y == h || 2 * y == h - 2) continue;
        for (int dx : {-1, 1})
            for (int dy : {-1, 1})
                if (s.count({x + dx, y}) && s.count({x, y + dy})) ++n;
    }
    return n;
}
}  // namespace

TEST(OutlineTest, LargeEllipseIsTheThinCurveThroughTheOutermostPixelCentres) {
    TestCanvas c(60, 30);
    c.dc.SelectStockObject(NULL_BRUSH);
    c.dc.Ellipse(0, 0, 50, 25);
    int run = 0;
    for (int x = 0; x < 50; ++x) run += c.At(x, 0) == kPen;
    EXPECT_EQ(run, 14);  // columns 18..31: the curve is within half a pixel of the top row there
    EXPECT_EQ(c.At(18, 0), kPen);
    EXPECT_EQ(c.At(31, 0), kPen);
    EXPECT_EQ(c.InkBox(kWhite), CRect(0, 0, 50, 25));

    TestCanvas small(24, 12);
    small.dc.SelectStockObject(NULL_BRUSH);
    small.dc.Ellipse(0, 0, 21, 11);
    EXPECT_EQ(Art(small, 21, 11),
              "......#########......\n"
              "...###.........###...\n"
              "..#...............#..\n"
              ".#.................#.\n"
              "#...................#\n"
              "#...................#\n"
              "#...................#\n"
              ".#.................#.\n"
              "..#...............#..\n"
              "...###.........###...\n"
              "......#########......\n");
}

TEST(OutlineTest, HugeEllipseKeepsItsPixelsAtLargeCoordinates) {
    // Half-axes of 1e8 and about 5e5: the top run reaches some 1.4e5 pixels either side of the
    // centre, so the canvas sees one full row and nothing on the rows below it.
    TestCanvas c(60, 20);
    c.dc.SelectStockObject(NULL_BRUSH);
    c.dc.Ellipse(-100000000, 10, 100000060, 1000010);
    EXPECT_EQ(c.InkBox(kWhite), CRect(0, 10, 60, 11));
}

TEST(OutlineTest, SmallBoxesKeepTheirShapes) {
    struct Row {
        int w, h;
        const char* art;
    } rows[] = {
        {7, 3,
         "..###..\n"
         "##...##\n"
         "..###..\n"},
        {10, 9,
         "...####...\n"
         "..#....#..\n"
         ".#......#.\n"
         "#........#\n"
         "#........#\n"
         "#........#\n"
         ".#......#.\n"
         "..#....#..\n"
         "...####...\n"},
        {8, 8,
         "...##...\n"
         ".##..##.\n"
         ".#....#.\n"
         "#......#\n"
         "#......#\n"
         ".#....#.\n"
         ".##..##.\n"
         "...##...\n"},
    };
    for (const Row& r : rows) {
        TestCanvas c(12, 12);
        c.dc.SelectStockObject(NULL_BRUSH);
        c.dc.Ellipse(0, 0, r.w, r.h);
        EXPECT_EQ(Art(c, r.w, r.h), r.art) << r.w << "x" << r.h;
    }
}

TEST(OutlineTest, EllipseOutlinesAreThinAndConnectedAtEverySize) {
    for (int w = 11; w <= 90; w += 7) {
        for (int h = 11; h <= 90; h += 5) {
            TestCanvas c(w + 2, h + 2);
            c.dc.SelectStockObject(NULL_BRUSH);
            c.dc.Ellipse(1, 1, w + 1, h + 1);
            auto ink = Ink(c);
            std::set<std::pair<int, int>> shifted;
            for (auto [x, y] : ink) shifted.insert({x - 1, y - 1});
            EXPECT_TRUE(EightConnected(shifted)) << w << "x" << h;
            EXPECT_EQ(RedundantCorners(shifted, w, h), 0) << w << "x" << h;
            EXPECT_EQ(c.InkBox(kWhite), CRect(1, 1, w + 1, h + 1)) << w << "x" << h;
            // Symmetric about both axes.
            for (auto [x, y] : shifted) {
                EXPECT_TRUE(shifted.count({w - 1 - x, y}) && shifted.count({x, h - 1 - y})) << w << "x" << h;
            }
        }
    }
}

TEST(OutlineTest, BrushFillsTheWholeEllipseUnderAThinOutline) {
    // Null pen: the brush alone covers the same pixels an outlined ellipse covers.
    TestCanvas outlined(40, 30), filled(40, 30);
    CBrush brush(kBrush);
    CSelectObject ob(outlined.dc, brush);
    outlined.dc.Ellipse(2, 3, 35, 24);
    CSelectObject b(filled.dc, brush);
    filled.dc.SelectStockObject(NULL_PEN);
    filled.dc.Ellipse(2, 3, 35, 24);
    EXPECT_EQ(Ink(filled), Ink(outlined));
    EXPECT_EQ(filled.At(2, 13), kBrush);  // the left column is filled, not lost
    EXPECT_EQ(filled.At(34, 13), kBrush);

    // Under a raster operation that reads the screen, outline pixels take brush, then pen; the
    // interior takes the brush only. With a wide pen the interior stops at the outline.
    const COLORREF screen = RGB(0x33, 0x99, 0xF0), pen = RGB(0x5A, 0xC3, 0x0F), fill = RGB(0x11, 0xEE, 0x44);
    for (int width : {1, 5}) {
        TestCanvas c(60, 40, screen);
        CPen p(PS_SOLID, width, pen);
        CBrush br(fill);
        CSelectObject sp(c.dc, p), sb(c.dc, br);
        c.dc.SetROP2(R2_XORPEN);
        c.dc.Ellipse(5, 5, 55, 35);
        const uint32_t outline = width == 1 ? (pen ^ fill ^ screen) : (pen ^ screen);
        EXPECT_EQ(c.At(30, 5), outline) << width;  // the top of the outline's centre line
        EXPECT_EQ(c.At(30, 7), width == 1 ? (fill ^ screen) : outline) << width;  // a wide pen reaches 3..7
        EXPECT_EQ(c.At(30, 8), fill ^ screen) << width;
        EXPECT_EQ(c.At(30, 20), fill ^ screen) << width;
    }
}

TEST(OutlineTest, OnePixelBoxWithAPenDrawsNothing) {
    for (int width : {1, 3}) {
        for (bool ellipse : {false, true}) {
            TestCanvas c(10, 10);
            CPen p(PS_SOLID, width, kPen);
            CBrush br(kBrush);
            CSelectObject sp(c.dc, p), sb(c.dc, br);
            if (ellipse) c.dc.Ellipse(4, 4, 5, 5);
            else c.dc.Rectangle(4, 4, 5, 5);
            EXPECT_TRUE(c.Differing(kWhite).empty()) << width << " " << ellipse;
        }
    }
    // A one-pixel-wide box is still drawn.
    TestCanvas c(10, 10);
    c.dc.Rectangle(4, 2, 5, 8);
    EXPECT_EQ(c.InkBox(kWhite), CRect(4, 2, 5, 8));
}

TEST(OutlineTest, StyledRectangleRunsCounterClockwiseFromTheTopRight) {
    TestCanvas c(16, 8);
    CPen dot(PS_DOT, 0, kPen);
    CSelectObject sp(c.dc, dot);
    c.dc.SelectStockObject(NULL_BRUSH);
    c.dc.SetBkMode(TRANSPARENT);
    c.dc.Rectangle(0, 0, 11, 6);
    EXPECT_EQ(Art(c, 11, 6), 
              "..###...###\n"
              "...........\n"
              "#..........\n"
              "#..........\n"
              "#.........#\n"
              "...###...##\n");
}

TEST(OutlineTest, ArcRaysStartAtTheBoxsIntegerCentre) {
    TestCanvas c(50, 50);
    // Rays through points one pixel from the centre (20, 20) at 45 and 225 degrees.
    c.dc.Arc(0, 0, 40, 40, 21, 19, 19, 21);
    const auto ink = Ink(c);
    ASSERT_FALSE(ink.empty());
    double lo = 360, hi = 0;
    for (auto [x, y] : ink) {
        const double deg = std::atan2(-(y - 20.0), x - 20.0) * 180 / M_PI;
        const double a = deg < 0 ? deg + 360 : deg;
        lo = std::min(lo, a);
        hi = std::max(hi, a);
    }
    EXPECT_GE(lo, 45.0);
    EXPECT_LT(hi, 225.0);
    EXPECT_LT(lo, 50.0);  // about the covered pixels' centre the rays would lie at 18 and 252 degrees
    EXPECT_GT(hi, 215.0);
    // The last pixel before the end ray is left out: drawn from the end ray back round to the
    // start ray, the two arcs share no pixel and together make the whole ellipse less two pixels.
    TestCanvas rest(50, 50), whole(50, 50);
    rest.dc.Arc(0, 0, 40, 40, 19, 21, 21, 19);
    whole.dc.SelectStockObject(NULL_BRUSH);
    whole.dc.Ellipse(0, 0, 40, 40);
    const auto other = Ink(rest), all = Ink(whole);
    for (auto p : ink) EXPECT_FALSE(other.count(p));
    EXPECT_EQ(ink.size() + other.size() + 2, all.size());

    // A wide pen's arc takes its ends where the same rays meet the ellipse: nothing of it reaches
    // the lower right, beyond its round end caps.
    TestCanvas wide(50, 50);
    CPen three(PS_SOLID, 3, kPen);
    CSelectObject sp(wide.dc, three);
    wide.dc.Arc(0, 0, 40, 40, 21, 19, 19, 21);
    int beyond = 0, upperLeft = 0;
    for (auto [x, y] : Ink(wide)) {
        const double side = (x - 20.0) + (y - 20.0);  // > 0 below the 45..225 degree diagonal
        if (side > 3) ++beyond;
        if (side < -20) ++upperLeft;
    }
    EXPECT_EQ(beyond, 0);
    EXPECT_GT(upperLeft, 50);
}
