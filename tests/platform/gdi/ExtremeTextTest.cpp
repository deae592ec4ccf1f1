// Text drawn at coordinates near the int32 limits, rotated or not, and rotated text under an
// anisotropic mapping, in a small clipped bitmap: glyph outlines far outside the clip draw nothing
// and give no row index beyond an int (the sanitizer run checks that). The drawing harness's own
// input for that fault is kept in fuzz/corpus/fuzz_drawing and replayed by every fuzz run.
#include <gtest/gtest.h>

#include <climits>

#include "GdiTestUtil.h"
#include "platform/gdi/CFont.h"

TEST(ExtremeTextTest, TextFarOutsideTheClipDrawsNothing) {
    struct Row { int x, y, escapement; } rows[] = {
        {0, INT_MAX - 10, 0}, {0, INT_MIN + 10, 0}, {INT_MAX - 10, 0, 0}, {INT_MIN + 10, 0, 0},
        {0, 2000000000, 900}, {0, -2000000000, 450}, {1500000000, 1500000000, 2700}, {-5, 1 << 30, 3150},
    };
    for (const Row& r : rows) {
        TestCanvas canvas(32, 32);
        canvas.dc.IntersectClipRect(4, 4, 28, 28);
        CFont font;
        ASSERT_TRUE(font.CreateFont(-40, 0, r.escapement, 0, 400, 0, 0, 0, 0, 0, 0, 0, 0, "Arial"));
        CFont* old = canvas.dc.SelectObject(&font);
        canvas.dc.SetBkMode(TRANSPARENT);
        canvas.dc.TextOut(r.x, r.y, "Wg", 2);
        canvas.dc.SelectObject(old);
        EXPECT_TRUE(canvas.Differing(RGB(255, 255, 255)).empty()) << r.x << "," << r.y << " at " << r.escapement;
    }
}

// A control character in a large rotated font under an anisotropic mapping, as the harness drew it.
TEST(ExtremeTextTest, RotatedControlCharacterUnderAnisotropicMapping) {
    for (int clipTop : {0, 20, 47}) {
        TestCanvas canvas(48, 48);
        canvas.dc.IntersectClipRect(0, clipTop, 48, 48);
        canvas.dc.SetMapMode(MM_ANISOTROPIC);
        canvas.dc.SetViewportOrg(14, -32);
        canvas.dc.SetWindowExt(1, 1);
        canvas.dc.SetViewportExt(1, 1);
        CFont font;
        ASSERT_TRUE(font.CreateFont(161, 0, 96, 0, 400, 0, 0, 0, 0, 0, 0, 0, 0, "Arial"));
        CFont* old = canvas.dc.SelectObject(&font);
        canvas.dc.TextOut(-45, 34, "B\x16", 2);
        canvas.dc.SelectObject(old);
        for (auto [x, y] : canvas.Differing(RGB(255, 255, 255))) EXPECT_GE(y, clipTop) << x << "," << y;
    }
}
