// The A-scan control's page: the viewer list from a container of real controls, the selection
// rule, the file texts and the range edits.
#include "ascan/OrvexAscanViewerCtrl.h"
#include "ids/OrvexAscanViewerIds.h"
#include "ids/OrvexViewerIds.h"
#include "pages/OrvexAscanViewerPropPage.h"
#include "pages/PageResourceIds.h"
#include "pages/PageTestSupport.h"
#include "viewer/OrvexViewerCtrl.h"

namespace {

class AscanPageTest : public PageTest {
protected:
    COrvexViewerCtrl* AddViewer(const std::string& name, const std::string& file = {}) {
        auto* v = AddControl<COrvexViewerCtrl>(name, {IID_DOrvexViewer, IID_DOrvexViewerEvents});
        if (!file.empty()) SetText(v, "FileName", file);
        return v;
    }
    COrvexAscanViewerCtrl* AddAscan(const std::string& linkedTo = {}) {
        auto* a = AddControl<COrvexAscanViewerCtrl>("OrvexAscanViewer1",
                                                    {IID_DOrvexAscanViewer, IID_DOrvexAscanViewerEvents});
        // Detection off: the control keeps the name without linking, so the page sees it as stored.
        SetNumber(a, "ControlDetectionEnabled", 0);
        if (!linkedTo.empty()) SetText(a, "OrvexViewerName", linkedTo);
        return a;
    }
    static std::vector<std::string> List(COrvexAscanViewerPropPage* page) {
        return page->GetDlgItem(IDC_VIEWERLIST)->GetList();
    }
};

TEST_F(AscanPageTest, ListsViewersInEnumerationOrderWithTheirFiles) {
    AddViewer("V2", "two.orvex");
    AddViewer("V1", "one.orvex");
    COrvexAscanViewerCtrl* ascan = AddAscan("V1");
    COrvexAscanViewerPropPage* page = OpenPage<COrvexAscanViewerPropPage>(ascan);
    EXPECT_EQ(page->GetCaption(), "General");
    EXPECT_EQ(List(page), (std::vector<std::string>{"V2", "V1"}));
    EXPECT_EQ(page->GetDlgItem(IDC_VIEWERLIST)->GetCurSel(), 1);
    EXPECT_EQ(page->GetDlgItemText(IDC_FILETEXT), "The V1 control is using the file : one.orvex.");
    EXPECT_EQ(page->GetDlgItemText(IDC_VIEWERLIST), "V1");
    // One trace line per viewer listed, in order.
    std::vector<std::string> names;
    for (const std::string& line : m_trace->GetLines())
        if (line.rfind("And the name is ... ", 0) == 0) names.push_back(line);
    EXPECT_EQ(names, (std::vector<std::string>{"And the name is ... V2", "And the name is ... V1"}));
}

TEST_F(AscanPageTest, ViewerWithoutFileSaysSo) {
    AddViewer("V1");
    COrvexAscanViewerPropPage* page = OpenPage<COrvexAscanViewerPropPage>(AddAscan("V1"));
    EXPECT_EQ(page->GetDlgItemText(IDC_FILETEXT), "This control does not have a file associated with it.");
}

TEST_F(AscanPageTest, UnknownNameSelectsTheFirstAndApplyWritesNothing) {
    AddViewer("V2", "two.orvex");
    AddViewer("V1", "one.orvex");
    COrvexAscanViewerCtrl* ascan = AddAscan("Missing");
    COrvexAscanViewerPropPage* page = OpenPage<COrvexAscanViewerPropPage>(ascan);
    EXPECT_EQ(page->GetDlgItem(IDC_VIEWERLIST)->GetCurSel(), 0);
    EXPECT_EQ(page->GetDlgItemText(IDC_FILETEXT), "The V2 control is using the file : two.orvex.");
    EXPECT_EQ(page->IsPageDirty(), S_FALSE);
    ASSERT_EQ(page->Apply(), S_OK);
    EXPECT_EQ(GetText(ascan, "OrvexViewerName"), "Missing");
}

TEST_F(AscanPageTest, TwoViewersOfOneNameSelectTheLater) {
    AddViewer("Same", "first.orvex");
    AddViewer("Other", "other.orvex");
    AddViewer("Same", "second.orvex");
    COrvexAscanViewerPropPage* page = OpenPage<COrvexAscanViewerPropPage>(AddAscan("Same"));
    EXPECT_EQ(page->GetDlgItem(IDC_VIEWERLIST)->GetCurSel(), 2);
    EXPECT_EQ(page->GetDlgItemText(IDC_FILETEXT), "The Same control is using the file : second.orvex.");
}

TEST_F(AscanPageTest, PickingAViewerShowsItsFileAndApplyLinksIt) {
    AddViewer("V2", "two.orvex");
    AddViewer("V1", "one.orvex");
    COrvexAscanViewerCtrl* ascan = AddAscan("V2");
    COrvexAscanViewerPropPage* page = OpenPage<COrvexAscanViewerPropPage>(ascan);
    ASSERT_TRUE(page->UserSelect(IDC_VIEWERLIST, 1));
    EXPECT_EQ(page->GetDlgItemText(IDC_FILETEXT), "The V1 control is using the file : one.orvex.");
    EXPECT_EQ(GetText(ascan, "OrvexViewerName"), "V2");  // not before Apply
    ASSERT_EQ(page->Apply(), S_OK);
    EXPECT_EQ(GetText(ascan, "OrvexViewerName"), "V1");
    EXPECT_FALSE(page->UserSelect(IDC_VIEWERLIST, 2));  // past the end
}

TEST_F(AscanPageTest, TypedNameIsWrittenAsTyped) {
    AddViewer("V1", "one.orvex");
    COrvexAscanViewerCtrl* ascan = AddAscan("V1");
    COrvexAscanViewerPropPage* page = OpenPage<COrvexAscanViewerPropPage>(ascan);
    page->UserSetText(IDC_VIEWERLIST, "v1 ");  // not a listed name
    ASSERT_EQ(page->Apply(), S_OK);
    EXPECT_EQ(GetText(ascan, "OrvexViewerName"), "v1 ");
}

TEST_F(AscanPageTest, RangeEditsExchangeWithTheControl) {
    COrvexAscanViewerCtrl* ascan = AddAscan();
    SetNumber(ascan, "AscanXMin", 1.5);
    SetNumber(ascan, "AscanYMax", 0.75);
    COrvexAscanViewerPropPage* page = OpenPage<COrvexAscanViewerPropPage>(ascan);
    EXPECT_EQ(page->GetDlgItemText(IDC_ASCANXMIN), "1.5");
    EXPECT_EQ(page->GetDlgItemText(IDC_ASCANYMAX), "0.75");
    page->UserSetText(IDC_ASCANXMAX, "9.5");
    page->UserSetText(IDC_ASCANYMIN, "-x");
    EXPECT_EQ(page->Apply(), E_FAIL);
    EXPECT_EQ(page->GetFocusId(), IDC_ASCANYMIN);
    EXPECT_EQ(GetNumber(ascan, "AscanXMax"), 0);  // nothing written
    page->UserSetText(IDC_ASCANYMIN, "-0.5");
    ASSERT_EQ(page->Apply(), S_OK);
    EXPECT_EQ(GetNumber(ascan, "AscanXMax"), 9.5);
    EXPECT_EQ(GetNumber(ascan, "AscanYMin"), -0.5);
    EXPECT_EQ(GetNumber(ascan, "AscanXMin"), 1.5);
}

TEST_F(AscanPageTest, ObjectsThatCannotBeListedAreLeftOut) {
    AddViewer("V1", "one.orvex");
    AddViewer("Nameless", "n.orvex");
    LastExtender()->m_bHasName = false;                            // the name cannot be read
    AddControl<COrvexAscanViewerCtrl>("A2", {IID_DOrvexAscanViewer});  // not a viewer
    COrvexAscanViewerPropPage* page = OpenPage<COrvexAscanViewerPropPage>(AddAscan("V1"));
    EXPECT_EQ(List(page), std::vector<std::string>{"V1"});
    EXPECT_EQ(page->GetViewerNames().size(), page->GetFileTexts().size());
}

TEST_F(AscanPageTest, WithoutContainerTheListStaysEmpty) {
    AddViewer("V1", "one.orvex");
    COrvexAscanViewerCtrl* ascan = AddAscan("V1");
    LastSite()->m_bFailGetContainer = true;
    COrvexAscanViewerPropPage* page = OpenPage<COrvexAscanViewerPropPage>(ascan);
    EXPECT_TRUE(List(page).empty());
    EXPECT_EQ(page->GetDlgItem(IDC_VIEWERLIST)->GetCurSel(), CB_ERR);
    EXPECT_EQ(page->GetDlgItemText(IDC_FILETEXT), "This file is associated with the OrvexViewer control called.");
    std::vector<std::string> lines = m_trace->GetLines();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "Unable to get to the container."), lines.end());
}

TEST_F(AscanPageTest, WithoutObjectsTheListStaysEmpty) {
    COrvexAscanViewerPropPage* page = OpenPage<COrvexAscanViewerPropPage>(nullptr);
    EXPECT_TRUE(List(page).empty());
    EXPECT_EQ(page->Apply(), S_OK);
}

}  // namespace
