// The viewer's "View" page against a real viewer control.
#include "ids/OrvexViewerIds.h"
#include "pages/OrvexViewerPropPage2.h"
#include "pages/PageResourceIds.h"
#include "pages/PageTestSupport.h"
#include "viewer/OrvexViewerCtrl.h"

namespace {

class ViewPageTest : public PageTest {
protected:
    COrvexViewerCtrl* AddViewer() {
        return AddControl<COrvexViewerCtrl>("OrvexViewer1", {IID_DOrvexViewer, IID_DOrvexViewerEvents});
    }
    std::vector<double> Axes(COrvexViewerCtrl* v) {
        std::vector<double> out;
        for (const char* n : {"XAxisX", "XAxisY", "XAxisZ", "YAxisX", "YAxisY", "YAxisZ"}) out.push_back(GetNumber(v, n));
        return out;
    }
    static constexpr int kWindowEdits[4] = {IDC_WNDTOP, IDC_WNDBOTTOM, IDC_WNDLEFT, IDC_WNDRIGHT};
};

TEST_F(ViewPageTest, OpensWithTheViewersFrame) {
    COrvexViewerCtrl* viewer = AddViewer();
    SetNumber(viewer, "WndTop", 33.25);
    COrvexViewerPropPage2* page = OpenPage<COrvexViewerPropPage2>(viewer);
    EXPECT_EQ(page->GetCaption(), "View");
    EXPECT_EQ(page->GetDlgItemText(IDC_XAXISX), "1");
    EXPECT_EQ(page->GetDlgItemText(IDC_YAXISY), "1");
    EXPECT_EQ(page->GetDlgItemText(IDC_XAXISZ), "0");
    EXPECT_EQ(page->GetDlgItemText(IDC_WNDTOP), "33.25");
}

TEST_F(ViewPageTest, PresetButtonsWriteTheAxesAtOnce) {
    struct Row {
        int button;
        std::vector<double> axes;
        const char* texts[6];
    };
    const Row rows[] = {
        {IDC_TOPVIEW, {1, 0, 0, 0, 0, 1}, {"1.0", "0.0", "0.0", "0.0", "0.0", "1.0"}},    // looking down
        {IDC_SIDEVIEW, {0, 0, 1, 0, 1, 0}, {"0.0", "0.0", "1.0", "0.0", "1.0", "0.0"}},   // from the side
        {IDC_FRONTVIEW, {1, 0, 0, 0, 1, 0}, {"1.0", "0.0", "0.0", "0.0", "1.0", "0.0"}},  // the default frame
    };
    const int axisEdits[6] = {IDC_XAXISX, IDC_XAXISY, IDC_XAXISZ, IDC_YAXISX, IDC_YAXISY, IDC_YAXISZ};
    for (const Row& r : rows) {
        COrvexViewerCtrl* viewer = AddViewer();
        // Start from the side view's axes, so each preset has something to change.
        SetNumber(viewer, "XAxisX", 0);
        SetNumber(viewer, "XAxisZ", 1);
        COrvexViewerPropPage2* page = OpenPage<COrvexViewerPropPage2>(viewer);
        std::vector<std::string> windowBefore;
        for (int id : kWindowEdits) windowBefore.push_back(page->GetDlgItemText(id));
        ASSERT_TRUE(page->UserClick(r.button));
        EXPECT_EQ(Axes(viewer), r.axes) << r.button;  // without Apply
        for (int i = 0; i < 6; ++i) EXPECT_EQ(page->GetDlgItemText(axisEdits[i]), r.texts[i]) << r.button;
        for (int i = 0; i < 4; ++i) EXPECT_EQ(page->GetDlgItemText(kWindowEdits[i]), windowBefore[i]) << r.button;
    }
}

TEST_F(ViewPageTest, TopViewLeavesTheWindowToTheViewer) {
    COrvexViewerCtrl* viewer = AddViewer();
    COrvexViewerPropPage2* page = OpenPage<COrvexViewerPropPage2>(viewer);
    page->UserClick(IDC_TOPVIEW);
    // The viewer re-fitted its window; the page's window edits were not written back over it.
    const double top = GetNumber(viewer, "WndTop");
    ASSERT_EQ(page->Apply(), S_OK);
    EXPECT_EQ(GetNumber(viewer, "WndTop"), top);
}

TEST_F(ViewPageTest, ZerosAreWrittenAsTyped) {
    COrvexViewerCtrl* viewer = AddViewer();
    COrvexViewerPropPage2* page = OpenPage<COrvexViewerPropPage2>(viewer);
    for (int id : {IDC_XAXISX, IDC_XAXISY, IDC_XAXISZ, IDC_YAXISX, IDC_YAXISY, IDC_YAXISZ})
        page->UserSetText(id, "0");
    ASSERT_EQ(page->Apply(), S_OK);  // no check that the axes make a frame
    EXPECT_EQ(Axes(viewer), std::vector<double>(6, 0.0));
}

TEST_F(ViewPageTest, WindowValueBeyondAFloatIsRefused) {
    COrvexViewerCtrl* viewer = AddViewer();
    COrvexViewerPropPage2* page = OpenPage<COrvexViewerPropPage2>(viewer);
    page->UserSetText(IDC_WNDLEFT, "1e39");
    EXPECT_EQ(page->Apply(), E_FAIL);
    EXPECT_EQ(page->GetFocusId(), IDC_WNDLEFT);
    EXPECT_EQ(m_messages.size(), 1u);
}

}  // namespace
