// The pixel mapping and the view commands: fit, zoom, rotate, spin, tilt, standard views.
#include "ViewerTestSupport.h"

using namespace viewer_test;

namespace {

// A data set whose part outline is a rectangle in the z = 0 plane, x 10..110, y 5..45.
CSimulationData RectangleOutline() {
    CSimulationData data;
    data.m_snapshots.push_back(SnapshotWithLegTimes({{0.0, 1.0}}));
    data.m_outline.AddLine(CPoint3D(10, 5, 0), CPoint3D(110, 5, 0));
    data.m_outline.AddLine(CPoint3D(110, 5, 0), CPoint3D(110, 45, 0));
    data.m_outline.AddLine(CPoint3D(110, 45, 0), CPoint3D(10, 45, 0));
    data.m_outline.AddLine(CPoint3D(10, 45, 0), CPoint3D(10, 5, 0));
    data.m_viewRect = CfRect(0, 0, 120, 50);
    return data;
}

// Where a world point lands on the screen for the given bounds.
CPoint ScreenPoint(COrvexViewerCtrl& ctrl, const CRect& bounds, const CPoint3D& p) {
    ctrl.ComputeScale(bounds);
    int x = 0, y = 0;
    EXPECT_TRUE(ctrl.ProjectPoint(p, x, y));
    return CPoint(x, COrvexViewerCtrl::FlipY(bounds, y));
}

void ExpectFrameNear(const CCoordinates3D& a, const CCoordinates3D& b) {
    const CVector3D axes[3][2] = {{a.GetXAxis(), b.GetXAxis()}, {a.GetYAxis(), b.GetYAxis()}, {a.GetZAxis(), b.GetZAxis()}};
    for (const auto& pair : axes) {
        EXPECT_NEAR(pair[0].x, pair[1].x, 1e-12);
        EXPECT_NEAR(pair[0].y, pair[1].y, 1e-12);
        EXPECT_NEAR(pair[0].z, pair[1].z, 1e-12);
    }
}

}  // namespace

using ViewCommandsTest = ViewerTest;

TEST_F(ViewCommandsTest, ScaleAndProjectionOfTheDocumentedExample) {
    m_ctrl->SetWndLeft(0.0f);
    m_ctrl->SetWndBottom(0.0f);
    m_ctrl->SetWndRight(40.0f);
    m_ctrl->SetWndTop(40.0f);
    const CRect bounds(0, 0, 400, 300);
    m_ctrl->ComputeScale(bounds);
    EXPECT_EQ(m_ctrl->GetScale(), 7.5f);  // sx 10, sy 7.5: the smaller
    EXPECT_EQ(ScreenPoint(*m_ctrl, bounds, CPoint3D(40, 40, 0)), CPoint(300, 0));
    EXPECT_EQ(ScreenPoint(*m_ctrl, bounds, CPoint3D(0, 0, 0)), CPoint(0, 300));
    EXPECT_EQ(ScreenPoint(*m_ctrl, bounds, CPoint3D(1.99 / 7.5, -1.99 / 7.5, 0)), CPoint(1, 301));  // truncation

    m_ctrl->SetWndRight(0.0f);  // right = left: sx is infinite and the scale is sy
    m_ctrl->ComputeScale(bounds);
    EXPECT_EQ(m_ctrl->GetScale(), 7.5f);
}

TEST_F(ViewCommandsTest, FitLeavesMarginsOfASixteenthAndAnEighth) {
    LoadData(RectangleOutline());
    m_ctrl->FitToWindow();
    const CfRect& view = m_ctrl->GetSimulationData().m_viewRect;
    EXPECT_FLOAT_EQ(view.right - view.left, 112.5f);  // 100 wide plus 6.25 on each side
    EXPECT_FLOAT_EQ(view.top - view.bottom, 50.0f);   // 40 high plus 5 above and below
    EXPECT_FLOAT_EQ(view.left, 3.75f);
    EXPECT_FLOAT_EQ(view.bottom, 0.0f);
    EXPECT_EQ(m_ctrl->GetWndLeft(), view.left);  // mirrored in the properties
    EXPECT_EQ(m_ctrl->GetExtent(), CfRect(10, 5, 110, 45));
}

TEST_F(ViewCommandsTest, ZoomInUndoesZoomOut) {
    LoadData(RectangleOutline());
    m_ctrl->ZoomOut();
    const CfRect& view = m_ctrl->GetSimulationData().m_viewRect;
    EXPECT_FLOAT_EQ(view.right - view.left, 150.0f);
    m_ctrl->ZoomIn();
    EXPECT_FLOAT_EQ(view.right - view.left, 120.0f);
    EXPECT_FLOAT_EQ(view.top - view.bottom, 50.0f);
    EXPECT_FLOAT_EQ(m_ctrl->GetWndRight(), view.right);
}

TEST_F(ViewCommandsTest, RotationsTurnAboutTheOutlineCentre) {
    LoadData(RectangleOutline());
    const CCoordinates3D start = m_ctrl->GetSimulationData().m_viewFrame;
    const CRect bounds(0, 0, 480, 200);
    const CPoint centre = ScreenPoint(*m_ctrl, bounds, CPoint3D(60, 25, 0));

    m_ctrl->Rotate(90.0f);
    // A quarter turn in the screen plane: the x axis now points up the screen.
    EXPECT_NEAR(m_ctrl->GetXAxisX(), 0.0, 1e-12);
    EXPECT_EQ(ScreenPoint(*m_ctrl, bounds, CPoint3D(60, 25, 0)), centre);
    m_ctrl->Rotate(-90.0f);
    ExpectFrameNear(m_ctrl->GetSimulationData().m_viewFrame, start);
    EXPECT_EQ(ScreenPoint(*m_ctrl, bounds, CPoint3D(60, 25, 0)), centre);

    // Zero angles leave the frame as it is.
    m_ctrl->Spin(0.0f);
    m_ctrl->Tilt(0.0f);
    ExpectFrameNear(m_ctrl->GetSimulationData().m_viewFrame, start);

    m_ctrl->Spin(90.0f);  // about the screen's vertical: looking along the part's x axis
    EXPECT_NEAR(std::fabs(m_ctrl->GetXAxisZ()), 1.0, 1e-12);
    EXPECT_EQ(ScreenPoint(*m_ctrl, bounds, CPoint3D(60, 25, 0)), centre);
    m_ctrl->Spin(-90.0f);
    m_ctrl->Tilt(40.0f);
    // The view rectangle is kept in floats; the centre may move by the truncation of one pixel.
    const CPoint tilted = ScreenPoint(*m_ctrl, bounds, CPoint3D(60, 25, 0));
    EXPECT_LE(std::abs(tilted.x - centre.x), 1);
    EXPECT_LE(std::abs(tilted.y - centre.y), 1);
}

TEST_F(ViewCommandsTest, StandardViewsSetTheFrameAndFit) {
    CSimulationData data = RectangleOutline();
    data.m_outline.AddLine(CPoint3D(10, 5, 0), CPoint3D(10, 5, 30));  // some depth
    LoadData(data);
    enum EView { kSide, kTop, kFront };
    struct Row { EView view; CVector3D x, y; float width, height; } rows[] = {
        {kSide, {0, 0, 1}, {0, 1, 0}, 30.0f * 1.125f, 40.0f * 1.25f},
        {kTop, {1, 0, 0}, {0, 0, 1}, 100.0f * 1.125f, 30.0f * 1.25f},
        {kFront, {1, 0, 0}, {0, 1, 0}, 100.0f * 1.125f, 40.0f * 1.25f},
    };
    for (const Row& r : rows) {
        if (r.view == kSide) m_ctrl->ViewFromSide();
        if (r.view == kTop) m_ctrl->ViewFromTop();
        if (r.view == kFront) m_ctrl->ViewFromFront();
        const CCoordinates3D& frame = m_ctrl->GetSimulationData().m_viewFrame;
        EXPECT_EQ(frame.GetXAxis(), r.x);
        EXPECT_EQ(frame.GetYAxis(), r.y);
        EXPECT_EQ(CVector3D(m_ctrl->GetYAxisX(), m_ctrl->GetYAxisY(), m_ctrl->GetYAxisZ()), r.y);
        const CfRect& view = m_ctrl->GetSimulationData().m_viewRect;
        EXPECT_FLOAT_EQ(view.right - view.left, r.width);
        EXPECT_FLOAT_EQ(view.top - view.bottom, r.height);
    }
}

TEST_F(ViewCommandsTest, ClientBoundsComeFromTheWindowOrTheControlSize) {
    CRect bounds;
    m_ctrl->GetClientBounds(bounds);
    EXPECT_EQ(bounds, CRect(0, 0, 500, 400));  // the initial size, without a window
    Activate(CRect(10, 20, 310, 220));
    m_ctrl->GetClientBounds(bounds);
    EXPECT_EQ(bounds, CRect(0, 0, 300, 200));
}
