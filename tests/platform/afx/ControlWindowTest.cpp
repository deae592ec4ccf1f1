// The control in a window: in-place activation in a page, painting through OnDraw, the draw
// entry for other contexts, sizes, the property frame hook, and the end of life with a window.
#include <gtest/gtest.h>

#include "AfxTestSupport.h"
#include "TestControl.h"
#include "platform/gdi/CBitmap.h"
#include "platform/gdi/CDC.h"

namespace {

// The page the container places controls on.
class CPage : public CWnd {};

class ControlWindowTest : public AfxTest {
protected:
    void SetUp() override {
        AfxTest::SetUp();
        ASSERT_TRUE(page.CreateEx(0, nullptr, "page", WS_VISIBLE, CRect(0, 0, 300, 200), nullptr, 0));
        ctrl = new CTestCtrl();
    }
    void TearDown() override {
        if (ctrl) static_cast<IDispatch*>(ctrl)->Release();
        page.DestroyWindow();
        COleControl::SetPropertyFrameHook(nullptr);
        AfxTest::TearDown();
    }
    CPage page;
    CTestCtrl* ctrl = nullptr;
};

TEST_F(ControlWindowTest, ActivationCreatesAChildThatPaintsThroughOnDraw) {
    int cx = 0, cy = 0;
    ctrl->GetControlSize(&cx, &cy);
    EXPECT_EQ(CSize(cx, cy), CSize(600, 125));  // the initial size
    ASSERT_TRUE(ctrl->ActivateInPlace(&page, CRect(10, 20, 110, 70)));
    EXPECT_FALSE(ctrl->ActivateInPlace(&page, CRect(0, 0, 5, 5)));  // already active
    EXPECT_EQ(ctrl->GetParent(), &page);
    ctrl->GetControlSize(&cx, &cy);
    EXPECT_EQ(CSize(cx, cy), CSize(100, 50));
    m_manager->Pump(0);
    ASSERT_EQ(ctrl->m_nDraws, 1);
    EXPECT_EQ(ctrl->m_rcLastBounds, CRect(0, 0, 100, 50));
    CBitmap* surface = m_manager->GetSurface(page.GetSafeHwnd());
    ASSERT_NE(surface, nullptr);
    const uint32_t* px = surface->GetPixels();
    EXPECT_EQ(px[25 * surface->GetWidth() + 15], RGB(0, 0, 255));   // inside the control
    EXPECT_NE(px[25 * surface->GetWidth() + 5], RGB(0, 0, 255));    // left of it

    // Invalidating part of the control repaints that part.
    CRect part(5, 5, 15, 15);
    ctrl->InvalidateControl(&part);
    m_manager->Pump(0);
    EXPECT_EQ(ctrl->m_nDraws, 2);
    EXPECT_EQ(ctrl->m_rcLastInvalid, part);

    ASSERT_TRUE(ctrl->SetControlSize(40, 30));
    ctrl->GetControlSize(&cx, &cy);
    EXPECT_EQ(CSize(cx, cy), CSize(40, 30));
    CRect rc;
    ctrl->GetWindowRect(rc);
    page.ScreenToClient(rc);
    EXPECT_EQ(rc, CRect(10, 20, 50, 50));  // resized in place

    ctrl->DeactivateInPlace();
    EXPECT_EQ(ctrl->GetSafeHwnd(), nullptr);
    ctrl->InvalidateControl();  // harmless without a window
}

TEST_F(ControlWindowTest, DrawEntryChoosesMetafileDrawingByDeviceTechnology) {
    CDC screen;
    ASSERT_TRUE(screen.CreateCompatibleDC(nullptr));
    CBitmap bmp;
    ASSERT_TRUE(bmp.CreateBitmap(64, 32, 1, 32, nullptr));
    CBitmap* old = screen.SelectObject(&bmp);
    IViewObject* view = static_cast<IViewObject*>(ctrl);
    CRect bounds(4, 4, 20, 12);
    ASSERT_EQ(view->Draw(DVASPECT_CONTENT, &screen, &bounds), S_OK);
    EXPECT_EQ(ctrl->m_nDraws, 1);
    EXPECT_EQ(ctrl->m_nMetafileDraws, 0);
    EXPECT_EQ(ctrl->m_rcLastBounds, bounds);
    EXPECT_EQ(screen.GetPixel(10, 8), RGB(0, 0, 255));

    screen.SetTechnology(DT_METAFILE);
    ASSERT_EQ(view->Draw(DVASPECT_CONTENT, &screen, &bounds), S_OK);
    EXPECT_EQ(ctrl->m_nMetafileDraws, 1);
    EXPECT_EQ(ctrl->m_nDraws, 2);  // the default metafile drawing is OnDraw
    screen.SetTechnology(DT_RASPRINTER);
    ASSERT_EQ(view->Draw(DVASPECT_CONTENT, &screen, &bounds), S_OK);
    EXPECT_EQ(ctrl->m_nMetafileDraws, 1);  // printers draw through OnDraw
    EXPECT_EQ(view->Draw(DVASPECT_CONTENT, nullptr, &bounds), E_POINTER);
    screen.SelectObject(old);
}

TEST_F(ControlWindowTest, PropertiesVerbOpensTheHostsFrameWithTheParentAsOwner) {
    IOleObject* ole = static_cast<IOleObject*>(ctrl);
    EXPECT_EQ(ole->DoVerb(OLEIVERB_PROPERTIES), E_FAIL);  // no frame without the host's hook
    HWND owner = nullptr;
    COleControl* shown = nullptr;
    COleControl::SetPropertyFrameHook([&](COleControl& c, HWND hOwner) {
        shown = &c;
        owner = hOwner;
        return TRUE;
    });
    ASSERT_TRUE(ctrl->ActivateInPlace(&page, CRect(0, 0, 50, 50)));
    EXPECT_EQ(ole->DoVerb(OLEIVERB_PROPERTIES), S_OK);
    EXPECT_EQ(shown, ctrl);
    EXPECT_EQ(owner, page.GetSafeHwnd());
    EXPECT_EQ(ole->DoVerb(OLEIVERB_PRIMARY), OLEOBJ_S_INVALIDVERB);
}

TEST_F(ControlWindowTest, LastReleaseDestroysTheWindowFirst) {
    ASSERT_TRUE(ctrl->ActivateInPlace(&page, CRect(0, 0, 50, 50)));
    HWND hwnd = ctrl->GetSafeHwnd();
    ASSERT_TRUE(m_manager->IsWindow(hwnd));
    EXPECT_EQ(AfxOleGetObjectCount(), 1);
    static_cast<IDispatch*>(ctrl)->Release();
    ctrl = nullptr;
    EXPECT_FALSE(m_manager->IsWindow(hwnd));
    EXPECT_EQ(AfxOleGetObjectCount(), 0);
}

}  // namespace
