// One scene that exercises every drawing operation, compared pixel for pixel with the stored
// picture. ORVEX_REGENERATE_GOLDEN=1 rewrites the picture instead (then look at it).
#include "GdiTestUtil.h"

#include "platform/gdi/CBrush.h"
#include "platform/gdi/CDCStateSaver.h"
#include "platform/gdi/CFont.h"
#include "platform/gdi/CPen.h"
#include "platform/gdi/CRgn.h"
#include "platform/gdi/CSelectObject.h"
#include "platform/gdi/Png.h"

#include <cmath>
#include <cstdlib>
#include <string>

namespace {

void DrawLines(CDC& dc) {
    const int styles[] = {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT};
    dc.SetBkColor(RGB(255, 220, 160));
    for (int i = 0; i < 5; ++i) {
        CPen pen(styles[i], 0, RGB(0, 0, 160));
        CSelectObject sel(dc, pen);
        dc.SetBkMode(i % 2 ? OPAQUE : TRANSPARENT);
        dc.MoveTo(10, 10 + 8 * i);
        dc.LineTo(150, 10 + 8 * i);
        dc.MoveTo(160 + 8 * i, 10);
        dc.LineTo(160 + 8 * i, 60);
        const POINT zig[] = {{210, 10 + 10 * i}, {230, 18 + 10 * i}, {250, 10 + 10 * i}, {270, 18 + 10 * i}};
        dc.Polyline(zig, 4);
    }
    // A fan of solid lines: every octant and the tie rule.
    CPen red(PS_SOLID, 1, RGB(200, 0, 0));
    CSelectObject sel(dc, red);
    for (int a = 0; a < 24; ++a) {
        const double t = a * 3.14159265358979 / 12;
        dc.MoveTo(330, 40);
        dc.LineTo(330 + static_cast<int>(35 * std::cos(t)), 40 + static_cast<int>(35 * std::sin(t)));
    }
}

void DrawWide(CDC& dc) {
    for (int w = 2; w <= 7; ++w) {
        CPen pen(PS_SOLID, w, RGB(0, 120, 0));
        CSelectObject sel(dc, pen);
        const POINT path[] = {{380 + 40 * (w - 2), 20}, {400 + 40 * (w - 2), 60}, {410 + 40 * (w - 2), 25}};
        dc.Polyline(path, 3);
    }
    CPen dashWide(PS_DASH, 3, RGB(120, 0, 120));  // styled and wide: drawn solid
    CSelectObject sel(dc, dashWide);
    dc.MoveTo(380, 75);
    dc.LineTo(620, 75);
}

void DrawShapes(CDC& dc) {
    CBrush yellow(RGB(250, 230, 80));
    CPen blue(PS_SOLID, 1, RGB(0, 0, 200));
    CPen thick(PS_SOLID, 4, RGB(0, 90, 160));
    {
        CSelectObject b(dc, yellow), p(dc, blue);
        dc.Rectangle(10, 90, 70, 140);
        dc.Ellipse(80, 90, 150, 140);
        dc.Ellipse(160, 90, 162, 92);   // 2x2: a solid block
        dc.Ellipse(166, 90, 169, 93);   // 3x3: a diamond
        dc.Arc(180, 90, 250, 140, 250, 90, 180, 140);
    }
    {
        CSelectObject b(dc, yellow), p(dc, thick);
        dc.Rectangle(260, 90, 320, 140);
        dc.Ellipse(330, 90, 400, 140);
        dc.Arc(410, 90, 480, 140, 480, 115, 445, 90);
    }
    {
        CSelectObject b(dc, yellow);
        dc.SelectStockObject(NULL_PEN);
        dc.Rectangle(490, 90, 530, 140);
        dc.Ellipse(540, 90, 590, 140);
        dc.SelectStockObject(BLACK_PEN);
        dc.SelectStockObject(NULL_BRUSH);
        dc.Rectangle(595, 90, 630, 140);
    }
    CPen dotted(PS_DOT, 0, RGB(0, 0, 0));
    CSelectObject p(dc, dotted);
    dc.SetBkMode(TRANSPARENT);
    dc.Ellipse(10, 150, 90, 200);
}

void DrawFillsAndBlits(CDC& dc) {
    CBrush green(RGB(40, 160, 90));
    CRect r(100, 150, 140, 180);
    dc.FillRect(&r, &green);
    dc.FillSolidRect(145, 150, 30, 30, RGB(200, 60, 60));
    dc.PatBlt(180, 150, 20, 30, BLACKNESS);
    dc.PatBlt(200, 150, 20, 30, WHITENESS);
    CSelectObject b(dc, green);
    dc.PatBlt(220, 150, 20, 30, PATCOPY);
    dc.PatBlt(100, 170, 140, 5, DSTINVERT);
    for (int x = 250; x < 290; x += 2) dc.SetPixel(x, 150 + (x % 7), RGB(0, 0, 255));
    // Copy a piece of the scene (the shapes) into another place.
    dc.BitBlt(300, 150, 70, 50, &dc, 80, 90, SRCCOPY);
}

void DrawRops(CDC& dc) {
    // Sixteen strips of one pen over a two-colour background.
    CBrush left(RGB(0x30, 0x90, 0xF0)), right(RGB(0xF0, 0x60, 0x10));
    CRect a(380, 150, 630, 165), b(380, 165, 630, 180);
    dc.FillRect(&a, &left);
    dc.FillRect(&b, &right);
    CPen pen(PS_SOLID, 1, RGB(0x55, 0xAA, 0x0F));
    CSelectObject sel(dc, pen);
    for (int code = R2_BLACK; code <= R2_WHITE; ++code) {
        dc.SetROP2(code);
        for (int k = 0; k < 12; ++k) {
            dc.MoveTo(382 + 15 * (code - 1) + k, 152);
            dc.LineTo(382 + 15 * (code - 1) + k, 178);
        }
    }
    dc.SetROP2(R2_COPYPEN);
}

void DrawText(CDC& dc) {
    CFont serif, bold, narrow, wide, rotated, draft;
    serif.CreateFont(-16, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS,
                     DEFAULT_QUALITY, VARIABLE_PITCH | FF_ROMAN, "Times New Roman");
    bold.CreateFont(16, 0, 0, 0, FW_BOLD, 0, 1, 0, ANSI_CHARSET, OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS,
                    DEFAULT_QUALITY, VARIABLE_PITCH | FF_ROMAN, "Times New Roman");
    narrow.CreateFont(18, 4, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, FF_SWISS, "");
    wide.CreateFont(18, 14, 0, 0, FW_NORMAL, 1, 0, 1, 0, 0, 0, 0, FF_SWISS, "MS Sans Serif");
    rotated.CreateFont(17, 0, 900, -900, FW_BOLD, 0, 0, 0, ANSI_CHARSET, OUT_TT_PRECIS, CLIP_LH_ANGLES,
                       DRAFT_QUALITY, VARIABLE_PITCH | FF_ROMAN, "Times New Roman");
    draft.CreateFont(17, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, OUT_TT_PRECIS, CLIP_LH_ANGLES, DRAFT_QUALITY,
                     VARIABLE_PITCH | FF_ROMAN, "Times New Roman");
    CDCStateSaver saved(dc);
    dc.SetTextColor(RGB(20, 20, 20));
    dc.SetBkColor(RGB(200, 230, 255));
    dc.SetBkMode(TRANSPARENT);
    {
        CSelectObject f(dc, serif);
        dc.TextOut(10, 210, "Times 0.25 us");
        dc.SetBkMode(OPAQUE);
        dc.TextOut(10, 230, "opaque background");
        dc.SetBkMode(TRANSPARENT);
    }
    {
        CSelectObject f(dc, bold);
        dc.TextOut(10, 252, "Bold underlined");
    }
    {
        CSelectObject f(dc, narrow);
        dc.TextOut(10, 275, "Condensed sans text");
    }
    {
        CSelectObject f(dc, wide);
        dc.TextOut(10, 295, "Wide it");
    }
    {
        CSelectObject f(dc, draft);
        dc.TextOut(10, 318, "Draft quality 123");
    }
    // Alignment marks: each reference point in red.
    const UINT aligns[] = {TA_LEFT | TA_TOP, TA_CENTER | TA_BOTTOM, TA_RIGHT | TA_BASELINE};
    for (int i = 0; i < 3; ++i) {
        CSelectObject f(dc, serif);
        dc.SetTextAlign(aligns[i]);
        dc.TextOut(300, 230 + 30 * i, "Align");
        dc.SetPixel(300, 230 + 30 * i, RGB(255, 0, 0));
    }
    dc.SetTextAlign(TA_LEFT | TA_TOP);
    {
        CSelectObject f(dc, rotated);
        dc.TextOut(200, 340, "Amplitude");
        dc.SetPixel(200, 340, RGB(255, 0, 0));
    }
    // Bottom-to-top text under the 0.01-inch mapping needs the opposite escapement.
    {
        CDCStateSaver inner(dc);
        dc.SetMapMode(MM_LOENGLISH);
        CFont up;
        up.CreateFont(17, 0, -900, 900, FW_BOLD, 0, 0, 0, ANSI_CHARSET, OUT_TT_PRECIS, CLIP_LH_ANGLES,
                      DRAFT_QUALITY, VARIABLE_PITCH | FF_ROMAN, "Times New Roman");
        CSelectObject f(dc, up);
        dc.SetTextAlign(TA_CENTER | TA_BOTTOM);
        POINT p{240, 270};
        dc.DPtoLP(&p);
        dc.TextOut(p.x, p.y, "Time (us)");
    }
    // Turned 30 degrees, antialiased, with an opaque cell.
    CFont slanted;
    slanted.CreateFont(-20, 0, 300, 300, FW_NORMAL, 0, 0, 0, 0, 0, 0, ANTIALIASED_QUALITY, FF_ROMAN, "Times New Roman");
    CSelectObject f(dc, slanted);
    dc.SetBkMode(OPAQUE);
    dc.TextOut(420, 330, "Turned 30");
}

void DrawClippedAndMapped(CDC& dc) {
    CDCStateSaver saved(dc);
    CRgn clip;
    clip.CreateRectRgn(380, 200, 520, 280);
    dc.SelectClipRgn(&clip);
    CPen pen(PS_SOLID, 3, RGB(160, 0, 0));
    CSelectObject p(dc, pen);
    CBrush brush(RGB(255, 200, 200));
    CSelectObject b(dc, brush);
    dc.Ellipse(350, 190, 470, 300);
    CFont big;
    big.CreateFont(-90, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, NONANTIALIASED_QUALITY, FF_ROMAN, "Times New Roman");
    CSelectObject f(dc, big);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(RGB(0, 0, 120));
    dc.TextOut(440, 190, "Ag");
    // A plot-like drawing stretched through an anisotropic mapping.
    dc.SelectClipRgn(nullptr);
    dc.SetMapMode(MM_ANISOTROPIC);
    dc.SetWindowExt(100, 100);
    dc.SetViewportExt(200, 50);
    dc.SetViewportOrg(530, 200);
    dc.SelectStockObject(BLACK_PEN);
    dc.SelectStockObject(LTGRAY_BRUSH);
    dc.Rectangle(0, 0, 45, 100);
    const POINT wave[] = {{0, 50}, {5, 20}, {10, 80}, {15, 35}, {20, 60}, {25, 50}, {30, 10}, {35, 90}, {40, 50}};
    CPen grid(PS_DOT, 0, RGB(0, 0, 0));
    dc.SelectObject(&grid);
    dc.Polyline(wave, 9);
    dc.SelectStockObject(BLACK_PEN);
}

void DrawAllOps(CDC& dc) {
    DrawLines(dc);
    DrawWide(dc);
    DrawShapes(dc);
    DrawFillsAndBlits(dc);
    DrawRops(dc);
    DrawText(dc);
    DrawClippedAndMapped(dc);
}

}  // namespace

TEST(GoldenTest, AllOperationsMatchTheStoredPicture) {
    TestCanvas canvas(640, 400, RGB(255, 255, 255));
    DrawAllOps(canvas.dc);
    const std::string golden = std::string(ORVEX_SOURCE_DIR) + "/tests/golden/gdi_all_ops.png";
    const char* regenerate = std::getenv("ORVEX_REGENERATE_GOLDEN");
    if (regenerate != nullptr && std::string(regenerate) == "1") {
        ASSERT_TRUE(SaveBitmapPng(canvas.bitmap, golden));
        GTEST_SKIP() << "regenerated " << golden;
    }
    CBitmap expected;
    ASSERT_TRUE(LoadBitmapPng(golden, expected)) << "missing " << golden;
    ASSERT_EQ(expected.GetWidth(), canvas.bitmap.GetWidth());
    ASSERT_EQ(expected.GetHeight(), canvas.bitmap.GetHeight());
    int differing = 0, firstX = -1, firstY = -1;
    for (int y = 0; y < expected.GetHeight(); ++y)
        for (int x = 0; x < expected.GetWidth(); ++x)
            if (expected.GetPixels()[y * expected.GetWidth() + x] != canvas.At(x, y)) {
                if (differing++ == 0) firstX = x, firstY = y;
            }
    if (differing != 0) SaveBitmapPng(canvas.bitmap, std::string(ORVEX_BINARY_DIR) + "/gdi_all_ops.actual.png");
    EXPECT_EQ(differing, 0) << "first difference at " << firstX << "," << firstY;
}
