// The viewer's "General" page against a real viewer control.
#include "ids/OrvexViewerIds.h"
#include "pages/OrvexViewerPropPage.h"
#include "pages/PageResourceIds.h"
#include "pages/PageTestSupport.h"
#include "platform/afx/CFileDialog.h"
#include "viewer/OrvexViewerCtrl.h"

namespace {

class GeneralPageTest : public PageTest {
protected:
    COrvexViewerCtrl* AddViewer() {
        return AddControl<COrvexViewerCtrl>("OrvexViewer1", {IID_DOrvexViewer, IID_DOrvexViewerEvents});
    }
};

TEST_F(GeneralPageTest, OpensWithTheViewersValues) {
    COrvexViewerCtrl* viewer = AddViewer();
    SetNumber(viewer, "RayPlotType", 1);
    SetNumber(viewer, "RayEndTime", 12.5);
    COrvexViewerPropPage* page = OpenPage<COrvexViewerPropPage>(viewer);
    EXPECT_EQ(page->GetCaption(), "General");
    EXPECT_FALSE(page->IsDlgButtonChecked(IDC_FULLRAYS));
    EXPECT_TRUE(page->IsDlgButtonChecked(IDC_ENDRAYSATTIME));  // RayPlotType 1
    EXPECT_FALSE(page->IsDlgButtonChecked(IDC_PULSE));
    EXPECT_EQ(page->GetDlgItemText(IDC_RAYENDTIME), "12.5");
    EXPECT_EQ(page->GetDlgItemText(IDC_TIMEINCREMENT), "0.5");
    EXPECT_EQ(page->GetDlgItemText(IDC_FILENAME), "");
    EXPECT_FALSE(page->IsDlgButtonChecked(IDC_ANIMATE));
    EXPECT_EQ(page->IsPageDirty(), S_FALSE);  // loading is not the user's change
}

TEST_F(GeneralPageTest, RayPlotTypeOutsideTheGroupChecksNoButton) {
    COrvexViewerCtrl* viewer = AddViewer();
    SetNumber(viewer, "RayPlotType", 7);  // the viewer accepts any short
    COrvexViewerPropPage* page = OpenPage<COrvexViewerPropPage>(viewer);
    for (int id : {IDC_FULLRAYS, IDC_ENDRAYSATTIME, IDC_PULSE}) EXPECT_FALSE(page->IsDlgButtonChecked(id)) << id;
    ASSERT_EQ(page->Apply(), S_OK);
    EXPECT_EQ(GetNumber(viewer, "RayPlotType"), 7);  // untouched group writes nothing
}

TEST_F(GeneralPageTest, TypedFileNameWaitsForApply) {
    COrvexViewerCtrl* viewer = AddViewer();
    COrvexViewerPropPage* page = OpenPage<COrvexViewerPropPage>(viewer);
    ASSERT_TRUE(page->UserSetText(IDC_FILENAME, "typed.orvex"));
    EXPECT_EQ(GetText(viewer, "FileName"), "");
    EXPECT_EQ(page->IsPageDirty(), S_OK);
    ASSERT_EQ(page->Apply(), S_OK);
    EXPECT_EQ(GetText(viewer, "FileName"), "typed.orvex");
    EXPECT_EQ(page->IsPageDirty(), S_FALSE);
}

TEST_F(GeneralPageTest, BrowseSendsTheFileAtOnce) {
    COrvexViewerCtrl* viewer = AddViewer();
    COrvexViewerPropPage* page = OpenPage<COrvexViewerPropPage>(viewer);
    m_fileAnswer = "/data/run7";  // typed without an extension
    ASSERT_TRUE(page->UserClick(IDC_BROWSE));
    ASSERT_EQ(m_fileDialogs.size(), 1u);
    EXPECT_EQ(m_fileDialogs[0], ".orvex|6|Orvex simulation export files (*.orvex )| *.orvex||");
    EXPECT_EQ(page->GetDlgItemText(IDC_FILENAME), "/data/run7.orvex");
    EXPECT_EQ(GetText(viewer, "FileName"), "/data/run7.orvex");  // before Apply
}

TEST_F(GeneralPageTest, CancelledBrowseChangesNothing) {
    COrvexViewerCtrl* viewer = AddViewer();
    SetText(viewer, "FileName", "kept.orvex");
    COrvexViewerPropPage* page = OpenPage<COrvexViewerPropPage>(viewer);
    ASSERT_TRUE(page->UserClick(IDC_BROWSE));  // no answer: Cancel
    EXPECT_EQ(page->GetDlgItemText(IDC_FILENAME), "kept.orvex");
    EXPECT_EQ(page->IsPageDirty(), S_FALSE);
}

TEST_F(GeneralPageTest, BrowseAlsoSendsOtherChangedFields) {
    COrvexViewerCtrl* viewer = AddViewer();
    COrvexViewerPropPage* page = OpenPage<COrvexViewerPropPage>(viewer);
    page->UserClick(IDC_PULSE);
    page->UserSetText(IDC_RAYENDTIME, "3");
    m_fileAnswer = "/data/a.orvex";
    page->UserClick(IDC_BROWSE);
    EXPECT_EQ(GetNumber(viewer, "RayPlotType"), 2);
    EXPECT_EQ(GetNumber(viewer, "RayEndTime"), 3);
}

TEST_F(GeneralPageTest, ApplyWritesOnlyWhatChanged) {
    COrvexViewerCtrl* viewer = AddViewer();
    COrvexViewerPropPage* page = OpenPage<COrvexViewerPropPage>(viewer);
    page->UserSetText(IDC_TIMEINCREMENT, "0.25");
    // Meanwhile a script changes another property: the page must not write its stale copy back.
    SetNumber(viewer, "RayEndTime", 99);
    ASSERT_EQ(page->Apply(), S_OK);
    EXPECT_EQ(GetNumber(viewer, "RayEndTimeIncrement"), 0.25);
    EXPECT_EQ(GetNumber(viewer, "RayEndTime"), 99);
}

TEST_F(GeneralPageTest, NonNumberIsRefusedWithFocusBackAndNothingWritten) {
    COrvexViewerCtrl* viewer = AddViewer();
    COrvexViewerPropPage* page = OpenPage<COrvexViewerPropPage>(viewer);
    page->UserSetText(IDC_FILENAME, "first.orvex");   // comes before the bad edit in the exchange
    page->UserSetText(IDC_STARTTIME, "abc");
    page->UserSetText(IDC_RAYENDTIME, "4");
    EXPECT_EQ(page->Apply(), E_FAIL);
    EXPECT_EQ(m_messages, std::vector<std::string>{"Enter a number."});
    EXPECT_EQ(page->GetFocusId(), IDC_STARTTIME);
    EXPECT_EQ(GetText(viewer, "FileName"), "");
    EXPECT_EQ(GetNumber(viewer, "RayEndTime"), 10);
    EXPECT_EQ(page->IsPageDirty(), S_OK);  // still to be applied
    page->UserSetText(IDC_STARTTIME, "1e1");
    EXPECT_EQ(page->Apply(), S_OK);
    EXPECT_EQ(GetNumber(viewer, "PulseAnimateStartLimit"), 10);
    EXPECT_EQ(GetText(viewer, "FileName"), "first.orvex");
}

TEST_F(GeneralPageTest, AnimateCheckBoxStartsTheAnimation) {
    COrvexViewerCtrl* viewer = AddViewer();
    COrvexViewerPropPage* page = OpenPage<COrvexViewerPropPage>(viewer);
    page->UserClick(IDC_ANIMATE);
    ASSERT_EQ(page->Apply(), S_OK);
    EXPECT_EQ(GetNumber(viewer, "IsAnimated"), -1);  // VARIANT_TRUE
    page->UserCheck(IDC_ANIMATE, FALSE);
    ASSERT_EQ(page->Apply(), S_OK);
    EXPECT_EQ(GetNumber(viewer, "IsAnimated"), 0);
}

}  // namespace
