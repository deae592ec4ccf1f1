// The ray legs keep their pens for a whole draw; the picture must still be that of drawing each leg
// with a pen of its own, in order, whatever the mix of widths, colours and single pixels.
#include "ViewerTestSupport.h"

#include <random>

#include "platform/gdi/CPen.h"

using namespace viewer_test;

namespace {

constexpr int kSize = 200;

// Overlapping legs in a 0..40 view: more widths and colours than the draw keeps pens for, runs of
// legs sharing a pen, and zero-length legs (single pixels) in between.
CSimulationData ManyPens() {
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> at(0.0, 40.0);
    CSimulationData data;
    CSimulationData::stSnapshot s;
    CBundle bundle;
    for (int i = 0; i < 600; ++i) {
        const CPoint3D a(at(rng), at(rng), 0.0);
        // Every seventh leg is a point; the others cross the view.
        const CPoint3D b = i % 7 == 3 ? a : CPoint3D(at(rng), at(rng), 0.0);
        CUTRay leg(a, b, 0.0, 1.0);
        // Runs of three legs share a colour and runs of two a width: 40 colours, four widths.
        const int pen = (i / 3) % 40;
        leg.m_colour = RGB(pen * 6, 255 - pen * 5, (pen * 37) % 256);
        leg.m_penWidth = (i / 2) % 4;
        bundle.m_rays.push_back(leg);
    }
    s.m_bundles.push_back(bundle);
    s.m_nBundles = 1;
    data.m_snapshots.push_back(s);
    data.m_viewRect = CfRect(0, 0, 40, 40);
    return data;
}

}  // namespace

using RayPensTest = ViewerTest;

TEST_F(RayPensTest, ManyPensDrawAsEachLegWithItsOwnPen) {
    const CSimulationData data = ManyPens();
    LoadData(data);
    const CRect bounds(0, 0, kSize, kSize);
    CCanvas drawn(kSize, kSize);
    m_ctrl->Draw(DVASPECT_CONTENT, &drawn.dc, bounds);

    // Each leg on its own: a new pen, selected, the line, the pen deselected; a point as a pixel.
    CCanvas expected(kSize, kSize);
    expected.dc.FillSolidRect(0, 0, kSize, kSize, RGB(255, 255, 255));
    m_ctrl->ComputeScale(bounds);
    for (const CUTRay& leg : data.m_snapshots[0].m_bundles[0].m_rays) {
        int sx = 0, sy = 0, ex = 0, ey = 0;
        ASSERT_TRUE(m_ctrl->ProjectPoint(leg.GetOrigin(), sx, sy));
        ASSERT_TRUE(m_ctrl->ProjectPoint(leg.GetEnd(), ex, ey));
        sy = COrvexViewerCtrl::FlipY(bounds, sy);
        ey = COrvexViewerCtrl::FlipY(bounds, ey);
        if (sx == ex && sy == ey) {
            expected.dc.SetPixel(sx, sy, leg.m_colour);
            continue;
        }
        CPen pen(PS_SOLID, leg.m_penWidth, leg.m_colour);
        CPen* kept = expected.dc.SelectObject(&pen);
        expected.dc.MoveTo(sx, sy);
        expected.dc.LineTo(ex, ey);
        expected.dc.SelectObject(kept);
    }

    int differing = 0;
    for (int y = 0; y < kSize; ++y)
        for (int x = 0; x < kSize; ++x) differing += drawn.At(x, y) != expected.At(x, y);
    EXPECT_EQ(differing, 0);
    // The legs really overlap and use wide pens: a picture of a few pixels would prove nothing.
    EXPECT_LT(drawn.Count(RGB(255, 255, 255)), kSize * kSize / 2);
}
