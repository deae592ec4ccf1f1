// The page view on its own: the surface shown in place (no copy), the rectangles presented, zoom
// and the coordinate mapping both ways, mouse input as the platform's actions, and cursors.
#include <gtest/gtest.h>

#include <QBitmap>
#include <QCursor>
#include <QTest>

#include "DesktopTestSupport.h"
#include "desktop/PageView.h"
#include "platform/gdi/CBitmap.h"
#include "platform/win/Cursor.h"

namespace {

class PageViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        DesktopTestApplication();
        ASSERT_TRUE(m_surface.CreateBitmap(40, 30, 1, 32, nullptr));
        m_pView = std::make_unique<CPageView>();  // widgets only once the application exists
        m_pView->SetSurface(&m_surface);
        m_pView->SetMouseSink([this](CWindowManager::MouseAction a, CPoint p) { m_input.emplace_back(a, p); });
    }
    uint32_t& PixelAt(int x, int y) { return m_surface.GetPixels()[y * 40 + x]; }

    CBitmap m_surface;
    std::unique_ptr<CPageView> m_pView;
    std::vector<std::pair<CWindowManager::MouseAction, CPoint>> m_input;
};

TEST_F(PageViewTest, TheImageReadsTheSurfaceWhereItLies) {
    PixelAt(5, 7) = 0x00332211;  // blue 0x33, green 0x22, red 0x11
    EXPECT_EQ(static_cast<const void*>(m_pView->GetImage().constBits()), static_cast<const void*>(m_surface.GetPixels()));
    // The fourth byte is the surface's unused one: only the colour counts.
    EXPECT_EQ(m_pView->GetImage().pixel(5, 7) & 0xFFFFFF, qRgb(0x11, 0x22, 0x33) & 0xFFFFFF);
    EXPECT_EQ(m_pView->size(), QSize(40, 30));
    // What the widget paints is the surface, pixel for pixel.
    const QImage painted = m_pView->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(painted.pixel(5, 7), qRgb(0x11, 0x22, 0x33));
    EXPECT_EQ(painted.pixel(6, 7), qRgb(0, 0, 0));
}

TEST_F(PageViewTest, OnlyThePresentedRectangleIsRepainted) {
    m_pView->PresentRect(CRect(3, 4, 10, 8));
    EXPECT_EQ(m_pView->GetLastPresentRect(), QRect(3, 4, 7, 4));
    m_pView->SetZoomPercent(200);
    m_pView->PresentRect(CRect(3, 4, 10, 8));
    // Doubled, with a pixel more each side for the scaled edges.
    EXPECT_EQ(m_pView->GetLastPresentRect(), QRect(5, 7, 16, 10));
}

TEST_F(PageViewTest, ZoomScalesTheViewAndMapsBackToSurfacePixels) {
    m_pView->SetZoomPercent(200);
    EXPECT_EQ(m_pView->size(), QSize(80, 60));
    EXPECT_EQ(m_pView->ToSurface(QPointF(21.0, 9.5)), CPoint(10, 4));
    EXPECT_EQ(m_pView->ToSurface(QPointF(-0.5, -3)), CPoint(-1, -2));  // left of the page is not pixel 0
    m_pView->SetZoomPercent(50);
    EXPECT_EQ(m_pView->size(), QSize(20, 15));
    EXPECT_EQ(m_pView->ToSurface(QPointF(7, 3)), CPoint(14, 6));
    m_pView->SetZoomPercent(10);  // kept within 50..200
    EXPECT_EQ(m_pView->GetZoomPercent(), 50);
    m_pView->SetZoomPercent(1000);
    EXPECT_EQ(m_pView->GetZoomPercent(), 200);
}

TEST_F(PageViewTest, MouseEventsBecomeThePlatformsActions) {
    using A = CWindowManager::MouseAction;
    m_pView->show();
    QTest::mousePress(m_pView.get(), Qt::LeftButton, {}, QPoint(5, 6));
    QTest::mouseRelease(m_pView.get(), Qt::LeftButton, {}, QPoint(5, 6));
    // A real double click comes as press, release, double-click, release.
    QTest::mousePress(m_pView.get(), Qt::LeftButton, {}, QPoint(7, 8));
    QTest::mouseRelease(m_pView.get(), Qt::LeftButton, {}, QPoint(7, 8));
    QTest::mouseDClick(m_pView.get(), Qt::LeftButton, {}, QPoint(7, 8));
    QTest::mouseRelease(m_pView.get(), Qt::LeftButton, {}, QPoint(7, 8));
    QTest::mousePress(m_pView.get(), Qt::RightButton, {}, QPoint(9, 9));
    QTest::mouseRelease(m_pView.get(), Qt::RightButton, {}, QPoint(9, 9));
    QTest::mousePress(m_pView.get(), Qt::MiddleButton, {}, QPoint(9, 9));  // the platform's controls have no use for it
    std::vector<A> actions;
    for (const auto& [a, p] : m_input) actions.push_back(a);
    std::vector<A> noMoves;
    for (A a : actions)
        if (a != A::Move) noMoves.push_back(a);
    EXPECT_EQ(noMoves, (std::vector<A>{A::LeftDown, A::LeftUp, A::LeftDown, A::LeftUp, A::LeftDoubleClick, A::LeftUp,
                                       A::RightDown, A::RightUp}));
    EXPECT_EQ(m_input.front().second, CPoint(5, 6));
}

TEST(PlatformCursorTest, StandardCursorsMapToQtShapes) {
    DesktopTestApplication();
    EXPECT_EQ(CursorFromPlatform(LoadStandardCursor(IDC_CROSS)).shape(), Qt::CrossCursor);
    EXPECT_EQ(CursorFromPlatform(LoadStandardCursor(IDC_SIZEWE)).shape(), Qt::SizeHorCursor);
    EXPECT_EQ(CursorFromPlatform(LoadStandardCursor(IDC_ARROW)).shape(), Qt::ArrowCursor);
    EXPECT_EQ(CursorFromPlatform(nullptr).shape(), Qt::BlankCursor);
}

TEST(PlatformCursorTest, OwnCursorsKeepTheirMasksAndHotSpot) {
    DesktopTestApplication();
    // 16x2: row 0 is black (AND 0, XOR 0) for x < 8 and white (AND 0, XOR 1) after; row 1 is
    // transparent (AND 1, XOR 0) for x < 8 and inverted (AND 1, XOR 1) after.
    CCursorResource res;
    res.nId = 0x7A01;
    res.nWidth = 16;
    res.nHeight = 2;
    res.ptHotSpot = {3, 1};
    res.andMask = {0x00, 0x00, 0xFF, 0xFF};
    res.xorMask = {0x00, 0xFF, 0x00, 0xFF};
    RegisterCursorResource(res);
    const QCursor cursor = CursorFromPlatform(LoadCursor(res.nId));
    ASSERT_EQ(cursor.shape(), Qt::BitmapCursor);
    EXPECT_EQ(cursor.hotSpot(), QPoint(3, 1));
    const QImage bits = cursor.bitmap().toImage().convertToFormat(QImage::Format_Mono);
    const QImage mask = cursor.mask().toImage().convertToFormat(QImage::Format_Mono);
    // Qt: mask 1 draws, bitmap 1 black / 0 white; mask 0 leaves the screen, bitmap 1 inverts it.
    auto on = [](const QImage& im, int x, int y) { return (im.pixel(x, y) & 0xFFFFFF) == 0; };  // colour 1 is black
    EXPECT_TRUE(on(mask, 2, 0) && on(bits, 2, 0));      // black
    EXPECT_TRUE(on(mask, 12, 0) && !on(bits, 12, 0));   // white
    EXPECT_TRUE(!on(mask, 2, 1) && !on(bits, 2, 1));    // transparent
    EXPECT_TRUE(!on(mask, 12, 1) && on(bits, 12, 1));   // inverted
}

}  // namespace
