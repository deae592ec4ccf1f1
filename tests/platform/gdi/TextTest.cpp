// Text: alignment, escapement under flipping mappings, measuring, background modes, quality,
// face resolution and absurd heights.
#include "GdiTestUtil.h"

#include "platform/gdi/CFont.h"
#include "platform/gdi/CRgn.h"
#include "platform/gdi/CSelectObject.h"
#include "platform/gdi/FontCache.h"

#include <climits>
#include <cstring>
#include <random>
#include <set>

namespace {
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kCell = RGB(0, 255, 255);
constexpr COLORREF kInk = RGB(0, 0, 0);

void MakeFont(CFont& f, int height, int escapement = 0, BYTE quality = DRAFT_QUALITY, int weight = FW_NORMAL,
              const char* face = "Times New Roman") {
    ASSERT_TRUE(f.CreateFont(height, 0, escapement, escapement, weight, 0, 0, 0, ANSI_CHARSET, OUT_TT_PRECIS,
                             CLIP_LH_ANGLES, quality, VARIABLE_PITCH | FF_ROMAN, face));
}

// Pixels of colour c, moved so the smallest x and y are 0.
std::set<std::pair<int, int>> Shape(const TestCanvas& canvas, COLORREF c) {
    std::set<std::pair<int, int>> s;
    int mx = INT_MAX, my = INT_MAX;
    for (int y = 0; y < canvas.bitmap.GetHeight(); ++y)
        for (int x = 0; x < canvas.bitmap.GetWidth(); ++x)
            if (canvas.At(x, y) == c) {
                s.insert({x, y});
                mx = std::min(mx, x);
                my = std::min(my, y);
            }
    std::set<std::pair<int, int>> moved;
    for (auto [x, y] : s) moved.insert({x - mx, y - my});
    return moved;
}
}  // namespace

TEST(TextTest, AlignmentPutsTheCellWhereThePlatformDoes) {
    CFont font;
    MakeFont(font, -20);
    TEXTMETRIC tm{};
    struct Row {
        UINT align;
        int left, top;  // cell corner relative to the reference point (w: width, h: height, a: ascent)
        const char* what;
    } rows[] = {
        {TA_LEFT | TA_TOP, 0, 0, "left top"},
        {TA_CENTER | TA_BOTTOM, -1, -1, "centre bottom"},   // -1: -w/2 and -h
        {TA_RIGHT | TA_BASELINE, -2, -2, "right baseline"},  // -2: -w and -ascent
    };
    for (const Row& r : rows) {
        TestCanvas c(200, 100);
        CSelectObject sel(c.dc, font);
        c.dc.GetTextMetrics(&tm);
        const CSize ext = c.dc.GetTextExtent("Align");
        EXPECT_EQ(ext.cy, tm.tmHeight);
        c.dc.SetBkColor(kCell);
        c.dc.SetBkMode(OPAQUE);
        c.dc.SetTextAlign(r.align);
        c.dc.TextOut(100, 50, "Align");
        const int left = r.left == 0 ? 100 : r.left == -1 ? 100 - ext.cx / 2 : 100 - ext.cx;
        const int top = r.top == 0 ? 50 : r.top == -1 ? 50 - ext.cy : 50 - tm.tmAscent;
        EXPECT_EQ(c.InkBox(kWhite), CRect(left, top, left + ext.cx, top + ext.cy)) << r.what;
    }
}

TEST(TextTest, ExtentIsTheSumOfTheAdvances) {
    TestCanvas c(10, 10);
    const char* faces[] = {"Times New Roman", "MS Sans Serif", "Courier New"};
    for (const char* face : faces) {
        for (int height : {-13, 17, -40}) {
            CFont f;
            MakeFont(f, height, 0, DEFAULT_QUALITY, FW_BOLD, face);
            CSelectObject sel(c.dc, f);
            const std::string text = "Time (us) 0.25 WAV";
            int sum = 0;
            for (char ch : text) sum += c.dc.GetTextExtent(&ch, 1).cx;
            EXPECT_EQ(c.dc.GetTextExtent(text).cx, sum) << face << " " << height;
            EXPECT_GT(sum, 0);
        }
    }
}

TEST(TextTest, TimesNewRomanResolvesToItsMetricCompatibleFace) {
    struct Row {
        const char* face;
        BYTE family;
        const char* resolved;
    } rows[] = {
        {"Times New Roman", FF_ROMAN, "Liberation Serif"},
        {"MS Sans Serif", FF_SWISS, "Liberation Sans"},
        {"", FF_SWISS, "Liberation Sans"},  // no face: by family (the viewer's labels)
        {"", FF_ROMAN, "Liberation Serif"},
        {"Courier New", FF_MODERN, "Liberation Mono"},
    };
    for (const Row& r : rows) {
        LOGFONT lf{};
        lf.lfHeight = -16;
        lf.lfPitchAndFamily = r.family;
        std::strncpy(lf.lfFaceName, r.face, LF_FACESIZE - 1);
        EXPECT_EQ(gdi::RealizeFont(lf, 1, 1).family, r.resolved) << r.face;
    }
}

TEST(TextTest, AdvancesAreTheHintedWidthsAtTheSize) {
    // The serif face at a 16-pixel em: hinting narrows "i" (569 of 2048 units would round to 4 px)
    // and a 20-character label comes out 136 pixels, where design advances would give 146.
    TestCanvas c(4, 4);
    {
        CFont f;
        MakeFont(f, -16);
        CSelectObject sel(c.dc, f);
        EXPECT_EQ(c.dc.GetTextExtent("i").cx, 3);
        EXPECT_EQ(c.dc.GetTextExtent("W").cx, 15);
        EXPECT_EQ(c.dc.GetTextExtent("Amplitude (mV) Time").cx + c.dc.GetTextExtent(" ").cx, 136);
        TEXTMETRIC tm{};
        ASSERT_TRUE(c.dc.GetTextMetrics(&tm));
        EXPECT_EQ(tm.tmAscent, 14);  // usWinAscent 1825 x 16 / 2048 = 14.26
        EXPECT_EQ(tm.tmHeight, 17);
    }
    // A 16-pixel cell of the sans face is realised at a whole 14-pixel em (14.32 exactly):
    // ascent 13, descent 3, as the face's hinted size metrics also give.
    CFont sans;
    ASSERT_TRUE(sans.CreateFont(16, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, OUT_TT_PRECIS, CLIP_LH_ANGLES,
                                DEFAULT_QUALITY, VARIABLE_PITCH | FF_SWISS, "Arial"));
    CSelectObject sel(c.dc, sans);
    TEXTMETRIC tm{};
    ASSERT_TRUE(c.dc.GetTextMetrics(&tm));
    EXPECT_EQ(tm.tmHeight, 16);
    EXPECT_EQ(tm.tmAscent, 13);
    EXPECT_EQ(tm.tmInternalLeading, 2);
    EXPECT_EQ(c.dc.GetTextExtent("Amplitude (mV) Time ").cx, 135);  // 138 unhinted at 14 px, 140 at 14.32
}

TEST(TextTest, QuarterTurnReadsBottomToTopUnderBothMappings) {
    // Escapement 900 on a y-down mapping and -900 on the same mapping flipped draw the same glyphs.
    TestCanvas down(120, 160), up(120, 160);
    CFont f900, fMinus;
    MakeFont(f900, 17, 900, DRAFT_QUALITY, FW_BOLD);
    MakeFont(fMinus, 17, -900, DRAFT_QUALITY, FW_BOLD);
    {
        CSelectObject s(down.dc, f900);
        down.dc.SetBkMode(TRANSPARENT);
        down.dc.TextOut(50, 140, "Amplitude");
    }
    {
        up.dc.SetMapMode(MM_ANISOTROPIC);
        up.dc.SetWindowExt(1, 1);
        up.dc.SetViewportExt(1, -1);
        CSelectObject s(up.dc, fMinus);
        up.dc.SetBkMode(TRANSPARENT);
        up.dc.TextOut(50, -140, "Amplitude");
    }
    const CRect box = down.InkBox(kWhite);
    EXPECT_GT(box.Height(), 2 * box.Width());   // turned a quarter
    EXPECT_GE(box.left, 50);                    // letter tops to the left: the glyphs lie right of
    EXPECT_LE(box.bottom, 141);                 // the point and above it
    EXPECT_EQ(Shape(down, kInk), Shape(up, kInk));
    EXPECT_EQ(up.InkBox(kWhite), box);

    // The same holds at 0.01 inch per unit (as the plot's y axis is written).
    TestCanvas english(120, 160);
    english.dc.SetMapMode(MM_LOENGLISH);
    CSelectObject s(english.dc, fMinus);
    english.dc.SetBkMode(TRANSPARENT);
    POINT p{50, 140};
    english.dc.DPtoLP(&p);
    english.dc.TextOut(p.x, p.y, "Amplitude");
    const CRect e = english.InkBox(kWhite);
    EXPECT_GT(e.Height(), 2 * e.Width());
    EXPECT_GE(e.left, 50);
    EXPECT_LE(e.bottom, 141);
    // The first letter sits at the bottom end: "A" alone inks the lowest rows of the whole string.
    TestCanvas first(120, 160);
    first.dc.SetMapMode(MM_LOENGLISH);
    CSelectObject s2(first.dc, fMinus);
    first.dc.SetBkMode(TRANSPARENT);
    first.dc.TextOut(p.x, p.y, "A");
    EXPECT_EQ(first.InkBox(kWhite).bottom, e.bottom);
    EXPECT_GT(first.InkBox(kWhite).top, e.top + 20);
}

TEST(TextTest, TransparentModeLeavesTheBackgroundAndDraftHasNoGreyLevels) {
    std::mt19937 rng(5);
    for (BYTE quality : {DRAFT_QUALITY, ANTIALIASED_QUALITY}) {
        TestCanvas c(160, 40);
        uint32_t* p = c.bitmap.GetPixels();
        for (int i = 0; i < 160 * 40; ++i) p[i] = (rng() & 0x7F7F7F) | 0x808080;  // light noise
        const std::vector<uint32_t> before = c.Pixels();
        CFont f;
        MakeFont(f, -24, 0, quality);
        CSelectObject s(c.dc, f);
        c.dc.SetBkMode(TRANSPARENT);
        c.dc.SetTextColor(kInk);
        c.dc.TextOut(5, 5, "Wavy gate");
        int ink = 0, grey = 0;
        const std::vector<uint32_t> after = c.Pixels();
        for (size_t i = 0; i < after.size(); ++i) {
            if (after[i] == before[i]) continue;
            if (after[i] == kInk) ++ink;
            else ++grey;
        }
        EXPECT_GT(ink, 50);
        if (quality == DRAFT_QUALITY) EXPECT_EQ(grey, 0);
        else EXPECT_GT(grey, 20);
    }
}

TEST(TextTest, AbsurdHeightDrawsOnlyWhatTheClipShows) {
    struct Row {
        LONG height;
        LONG escapement;
        int x, y;
        bool expectInk;
    } rows[] = {
        {-100000, 0, -20000, -30000, true},   // a label zoomed a thousandfold, over the view
        {-100000, 0, 5000, 5000, false},      // wholly outside the view
        {INT_MAX, 450, -1000, -1000, false},  // the largest cell height, turned
        {INT_MIN, 0, 0, 0, false},
    };
    TestCanvas measure(1, 1);
    for (const Row& r : rows) {
        TestCanvas c(300, 200);
        CRgn clip;
        clip.CreateRectRgn(50, 50, 250, 150);
        c.dc.SelectClipRgn(&clip);
        CFont f;
        f.CreateFont(r.height, 0, r.escapement, r.escapement, FW_BOLD, 0, 0, 0, 0, 0, 0, DEFAULT_QUALITY, FF_ROMAN,
                     "Times New Roman");
        CSelectObject s(c.dc, f);
        c.dc.SetBkMode(TRANSPARENT);
        gdi::ClearGlyphCache();
        c.dc.TextOut(r.x, r.y, "IWl");
        EXPECT_LT(gdi::GlyphCacheBytes(), 4096u) << r.height;  // nothing rasterised whole
        const CRect ink = c.InkBox(kWhite);
        if (r.expectInk) {
            EXPECT_FALSE(ink.IsRectEmpty());
        }
        if (!ink.IsRectEmpty()) {
            EXPECT_GE(ink.left, 50);
            EXPECT_GE(ink.top, 50);
            EXPECT_LE(ink.right, 250);
            EXPECT_LE(ink.bottom, 150);
        }
        TEXTMETRIC tm{};
        EXPECT_TRUE(c.dc.GetTextMetrics(&tm));
        EXPECT_GE(tm.tmHeight, 0);
    }
}

TEST(TextTest, PointFontsFollowTheContextsResolution) {
    struct Row {
        int mapMode;
        LONG height;
    } rows[] = {
        {MM_TEXT, -13},       // 96 * 100 / 720 = 13 pixels
        {MM_LOENGLISH, -14},  // 13 pixels are 13.54 hundredths of an inch
    };
    for (const Row& r : rows) {
        TestCanvas c(4, 4);
        c.dc.SetMapMode(r.mapMode);
        CFont f;
        ASSERT_TRUE(f.CreatePointFont(100, "Times New Roman", &c.dc));
        LOGFONT lf{};
        f.GetLogFont(&lf);
        EXPECT_EQ(lf.lfHeight, r.height) << r.mapMode;
        EXPECT_STREQ(lf.lfFaceName, "Times New Roman");
    }
}
