// The link to a viewer: the search by name and its order rules, the trace lines, when the link is
// made and refreshed, and what the control does with failing or foreign viewers.
#include <gtest/gtest.h>

#include "AscanTestSupport.h"
#include "ids/OrvexAscanViewerIds.h"
#include "ids/OrvexViewerIds.h"
#include "lineplot/LinePlotWnd.h"
#include "platform/com/ComPtr.h"

namespace {

class ViewerLinkTest : public AscanTest {
protected:
    // The container name of the linked viewer, read through the link ("" without one).
    static std::string LinkedName(COrvexAscanViewerCtrl* control) {
        IDispatch* viewer = control->PeekLinkedViewer();
        if (viewer == nullptr) return "";
        DISPPARAMS none{nullptr, nullptr, 0, 0};
        VARIANT v;
        VariantInit(&v);
        if (FAILED(viewer->Invoke(DISPID_Name, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &v, nullptr, nullptr)))
            return "<unnamed>";
        std::string name = StringFromBstr(v.bstrVal);
        VariantClear(&v);
        return name;
    }
    static int Calls(const CFakeViewer* viewer, DISPID id) {
        auto it = viewer->m_calls.find(id);
        return it == viewer->m_calls.end() ? 0 : it->second;
    }
};

// ---- The search ------------------------------------------------------------------------------

// Each row: the viewers in enumeration order, the wanted name, and which viewer (index, -1 for
// none) gets linked, with the name the control ends up with.
struct SearchCase {
    const char* what;
    std::vector<std::string> viewers;
    std::string wanted;
    int linked;
    std::string nameAfter;
};

class SearchOrderTest : public ViewerLinkTest, public ::testing::WithParamInterface<SearchCase> {};

TEST_P(SearchOrderTest, LinksTheViewerTheRulesPick) {
    const SearchCase& c = GetParam();
    std::vector<CFakeViewer*> viewers;
    for (const std::string& name : c.viewers) viewers.push_back(AddViewer(name));
    COrvexAscanViewerCtrl* control = AddAscan("Ascan1");
    control->SetOrvexViewerName(c.wanted);

    EXPECT_EQ(control->GetOrvexViewerName(), c.nameAfter);
    if (c.linked < 0) {
        EXPECT_EQ(control->PeekLinkedViewer(), nullptr);
        EXPECT_EQ(control->GetPlot(), nullptr);
        return;
    }
    EXPECT_EQ(LinkedName(control), c.viewers[static_cast<size_t>(c.linked)]);
    // A control left with an empty name shows its placeholder, linked or not.
    const bool built = !c.nameAfter.empty();
    for (size_t i = 0; i < viewers.size(); ++i) {
        // Only the linked viewer is asked for its A-scan.
        const bool asked = built && static_cast<int>(i) == c.linked;
        EXPECT_EQ(Calls(viewers[i], DISPID_VIEWER_GETASCAN) > 0, asked) << "viewer " << i;
    }
    if (built) {
        ASSERT_NE(control->GetPlot(), nullptr);
        EXPECT_EQ(control->GetPlot()->m_lines.size(), 1u);
    } else {
        EXPECT_EQ(control->GetPlot(), nullptr);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SearchOrderTest,
    ::testing::Values(
        // The wanted name wins even when another viewer comes first.
        SearchCase{"second of two", {"A", "B"}, "B", 1, "B"},
        SearchCase{"first of two", {"A", "B"}, "A", 0, "A"},
        // Two viewers with the same name: the first in enumeration order.
        SearchCase{"equal names", {"V", "V"}, "V", 0, "V"},
        // An empty name adopts the last viewer enumerated and its name.
        SearchCase{"empty name", {"V1", "V2"}, "", 1, "V2"},
        // ... unless a viewer with an empty name comes first: that one matches at once (and the
        // name stays empty, so nothing is plotted).
        SearchCase{"empty-named viewer first", {"", "V2"}, "", 0, ""},
        // Case matters: names are compared byte for byte.
        SearchCase{"case differs", {"Viewer1"}, "viewer1", -1, "viewer1"},
        SearchCase{"no such name", {"A", "B"}, "C", -1, "C"},
        SearchCase{"no viewers, empty name", {}, "", -1, ""}),
    [](const ::testing::TestParamInfo<SearchCase>& info) {
        std::string n = info.param.what;
        for (char& ch : n)
            if (!isalnum(static_cast<unsigned char>(ch))) ch = '_';
        return n;
    });

TEST_F(ViewerLinkTest, NeverLinksItselfOrAControlThatIsNoViewer) {
    // Everything here carries the wanted name, but none is a viewer.
    COrvexAscanViewerCtrl* other = AddAscan("Target");
    CComPtr<CFakeViewer> notAViewer;
    notAViewer.Attach(new CFakeViewer);
    m_document->AddControl(static_cast<IDispatch*>(notAViewer.get()), "Target", {});
    COrvexAscanViewerCtrl* control = AddAscan("Target");

    control->SetOrvexViewerName("Target");
    EXPECT_EQ(control->PeekLinkedViewer(), nullptr);
    EXPECT_EQ(other->PeekLinkedViewer(), nullptr);
    EXPECT_EQ(Calls(notAViewer.get(), DISPID_VIEWER_GETASCAN), 0);
    // The rejected objects are not even asked for their names.
    EXPECT_TRUE(TraceWith("controls name is").empty());
}

TEST_F(ViewerLinkTest, SkipsAViewerWithoutANameAndGoesOn) {
    CComPtr<CFakeViewer> unnamed;
    unnamed.Attach(new CFakeViewer);
    m_document->AddControl(static_cast<IDispatch*>(unnamed.get()), "", {IID_DOrvexViewer}, {.hasName = false});
    CFakeViewer* named = AddViewer("V");
    COrvexAscanViewerCtrl* control = AddAscan("Ascan1");
    control->SetOrvexViewerName("V");
    EXPECT_EQ(LinkedName(control), "V");
    EXPECT_GT(Calls(named, DISPID_VIEWER_GETASCAN), 0);
    EXPECT_EQ(Calls(unnamed.get(), DISPID_VIEWER_GETASCAN), 0);
}

TEST_F(ViewerLinkTest, AcceptsAnObjectOutsideTheControlsByNameAlone) {
    // Objects that are not embedded controls are not checked for the viewer interface.
    CComPtr<CFakeNamedObject> object;
    object.Attach(new CFakeNamedObject("Plain"));
    m_document->AddOther(object.get());
    COrvexAscanViewerCtrl* control = AddAscan("Ascan1");
    control->SetOrvexViewerName("Plain");
    EXPECT_EQ(LinkedName(control), "Plain");
    // It answers none of the viewer's members: the plot stays empty.
    ASSERT_NE(control->GetPlot(), nullptr);
    EXPECT_TRUE(control->GetPlot()->m_lines.empty());
}

TEST_F(ViewerLinkTest, TracesEveryNameItReadsAndAMissingContainer) {
    AddViewer("A");
    AddViewer("B");
    AddViewer("C");
    COrvexAscanViewerCtrl* control = AddAscan("Ascan1");
    control->SetOrvexViewerName("B");
    // The search stops at the match.
    EXPECT_EQ(TraceWith("FindOrvexControlDisp"),
              (std::vector<std::string>{"FindOrvexControlDisp:: And the Orvex controls name is ... A",
                                        "FindOrvexControlDisp:: And the Orvex controls name is ... B"}));
    EXPECT_EQ(m_document->GetContainer()->m_lastFlags, OLECONTF_EMBEDDINGS | OLECONTF_OTHERS);

    m_trace->Clear();
    COrvexAscanViewerCtrl* lost = AddAscan("Ascan2");
    // The container cannot be reached from the second control's site.
    static_cast<CFakeSite*>(lost->GetClientSite())->m_bFailGetContainer = true;
    lost->SetOrvexViewerName("A");
    EXPECT_EQ(m_trace->GetLines(), std::vector<std::string>{"Unable to get to the container."});
    EXPECT_EQ(lost->PeekLinkedViewer(), nullptr);
}

TEST_F(ViewerLinkTest, AFailedSearchDropsTheLinkButKeepsThePicture) {
    AddViewer("A");
    COrvexAscanViewerCtrl* control = AddAscan("Ascan1");
    control->SetOrvexViewerName("A");
    CLinePlotWnd* plot = control->GetPlot();
    ASSERT_NE(plot, nullptr);
    m_document->GetContainer()->m_bFailEnum = true;
    control->SetOrvexViewerName("A");
    EXPECT_EQ(control->PeekLinkedViewer(), nullptr);
    EXPECT_EQ(control->GetPlot(), plot);
}

TEST_F(ViewerLinkTest, WithoutASiteNothingIsSearched) {
    auto* loose = new COrvexAscanViewerCtrl;
    loose->InitNew();
    loose->SetOrvexViewerName("A");
    EXPECT_EQ(loose->PeekLinkedViewer(), nullptr);
    EXPECT_TRUE(m_trace->GetLines().empty());
    loose->Release();
}

TEST_F(ViewerLinkTest, DetectionOffLeavesTheLinkToScripts) {
    CFakeViewer* viewer = AddViewer("A");
    COrvexAscanViewerCtrl* control = AddAscan("Ascan1");
    control->SetControlDetectionEnabled(FALSE);
    control->SetOrvexViewerName("A");
    EXPECT_EQ(control->PeekLinkedViewer(), nullptr);
    EXPECT_EQ(Calls(viewer, DISPID_VIEWER_GETASCAN), 0);
}

// ---- Link lifetime and refresh ---------------------------------------------------------------

TEST_F(ViewerLinkTest, FirstDrawAfterLoadingLinksByName) {
    CFakeViewer* viewer = AddViewer("V");
    COrvexAscanViewerCtrl* control = AddAscan("Ascan1");  // new: a loading exchange of defaults
    EXPECT_TRUE(control->IsLinkPending());
    EXPECT_EQ(Calls(viewer, DISPID_VIEWER_GETASCAN), 0);
    Paint();
    EXPECT_FALSE(control->IsLinkPending());
    // An empty name took the only viewer.
    EXPECT_EQ(control->GetOrvexViewerName(), "V");
    EXPECT_GT(Calls(viewer, DISPID_VIEWER_GETASCAN), 0);
    // Later draws do not search again.
    const size_t traced = TraceWith("controls name").size();
    control->InvalidateControl();
    Paint();
    EXPECT_EQ(TraceWith("controls name").size(), traced);
}

TEST_F(ViewerLinkTest, RefreshRebuildsOnlyOnAFileChangeAndResetsTheWindow) {
    CFakeViewer* viewer = AddViewer("V", 1000);
    viewer->m_resolution = 0.1;
    viewer->m_displayStart = 0.0;
    viewer->m_displayEnd = 100.0;
    COrvexAscanViewerCtrl* control = AddAscan("Ascan1");
    control->SetOrvexViewerName("V");
    ASSERT_NE(control->GetPlot(), nullptr);
    control->ZoomInX();
    float low = 0, high = 0;
    const int fetches = Calls(viewer, DISPID_VIEWER_GETASCAN);

    // The same file: the plot keeps its data and its zoom.
    control->RefreshAscan();
    EXPECT_EQ(Calls(viewer, DISPID_VIEWER_GETASCAN), fetches);
    control->GetPlot()->GetXRange(&low, &high);
    EXPECT_FLOAT_EQ(low, 10.0f);
    EXPECT_FLOAT_EQ(high, 90.0f);

    // Another file: a new fetch, and the window of the viewer again.
    viewer->m_fileName = "b.orvex";
    viewer->m_displayStart = 20.0;
    viewer->m_displayEnd = 60.0;
    control->RefreshAscan();
    EXPECT_EQ(Calls(viewer, DISPID_VIEWER_GETASCAN), fetches + 1);
    EXPECT_EQ(control->GetLinkedFileName(), "b.orvex");
    control->GetPlot()->GetXRange(&low, &high);
    EXPECT_FLOAT_EQ(low, 20.0f);
    EXPECT_FLOAT_EQ(high, 60.0f);
    EXPECT_FLOAT_EQ(control->GetAscanXMin(), 20.0f);
    EXPECT_FLOAT_EQ(control->GetAscanXMax(), 60.0f);
}

TEST_F(ViewerLinkTest, DisplayWindowIsAskedOnlyWhenAllRangesAreZero) {
    CFakeViewer* viewer = AddViewer("V", 1000);
    viewer->m_resolution = 0.1;
    COrvexAscanViewerCtrl* control = AddAscan("Ascan1");
    control->SetControlDetectionEnabled(FALSE);
    // Linked by script with detection off: each refresh starts from zeros and asks.
    CComPtr<IDispatch> extender;
    {
        CComPtr<IOleClientSite> site;
        static_cast<IOleObject*>(viewer)->GetClientSite(&site);
        void* pv = nullptr;
        site->QueryInterface(IID_IOleControlSite, &pv);
        CComPtr<IOleControlSite> controlSite;
        controlSite.Attach(static_cast<IOleControlSite*>(pv));
        controlSite->GetExtendedControl(&extender);
    }
    control->SetOrvexViewer(extender.get());
    EXPECT_EQ(Calls(viewer, DISPID_VIEWER_GETASCANDISPLAYWINDOW), 1);

    // Any one non-zero range property is enough to keep the stored window.
    const float nonZero[4][4] = {{5, 0, 0, 0}, {0, 5, 0, 0}, {0, 0, -0.5f, 0}, {0, 0, 0, 0.5f}};
    for (const auto& r : nonZero) {
        viewer->m_calls.clear();
        control->SetAscanXMin(r[0]);
        control->SetAscanXMax(r[1]);
        control->SetAscanYMin(r[2]);
        control->SetAscanYMax(r[3]);
        EXPECT_TRUE(control->UpdateAscanData());
        EXPECT_EQ(Calls(viewer, DISPID_VIEWER_GETASCAN), 1);
        EXPECT_EQ(Calls(viewer, DISPID_VIEWER_GETASCANDISPLAYWINDOW), 0);
    }
    control->SetAscanXMin(0);
    control->SetAscanXMax(0);
    control->SetAscanYMin(0);
    control->SetAscanYMax(0);
    viewer->m_calls.clear();
    control->UpdateAscanData();
    EXPECT_EQ(Calls(viewer, DISPID_VIEWER_GETASCANDISPLAYWINDOW), 1);
}

TEST_F(ViewerLinkTest, SettingTheViewerToNullKeepsThePicture) {
    CFakeViewer* viewer = AddViewer("V");
    COrvexAscanViewerCtrl* control = AddAscan("Ascan1");
    control->SetOrvexViewerName("V");
    CLinePlotWnd* plot = control->GetPlot();
    ASSERT_NE(plot, nullptr);
    const float* samples = control->GetLockedSamples();
    ASSERT_NE(samples, nullptr);

    control->SetOrvexViewer(nullptr);
    EXPECT_EQ(control->PeekLinkedViewer(), nullptr);
    EXPECT_EQ(control->GetOrvexViewer(), nullptr);
    EXPECT_EQ(control->GetPlot(), plot);
    EXPECT_EQ(control->GetLockedSamples(), samples);
    EXPECT_EQ(plot->m_lines.size(), 1u);
    // Without a link every call to the viewer is refused.
    const int fetches = Calls(viewer, DISPID_VIEWER_GETASCAN);
    control->RefreshAscan();
    EXPECT_EQ(Calls(viewer, DISPID_VIEWER_GETASCAN), fetches);
}

TEST_F(ViewerLinkTest, TheViewerPropertyHandsOutAReferenceAndRefreshesOnSet) {
    CFakeViewer* viewer = AddViewer("V");
    COrvexAscanViewerCtrl* control = AddAscan("Ascan1");
    control->SetOrvexViewerName("V");
    // Through automation, as a script sets and reads it.
    CComPtr<IDispatch> linked;
    linked.Attach(control->GetOrvexViewer());
    ASSERT_TRUE(linked);
    EXPECT_EQ(linked.get(), control->PeekLinkedViewer());

    control->SetOrvexViewer(nullptr);
    viewer->m_fileName = "other.orvex";
    const int fetches = Calls(viewer, DISPID_VIEWER_GETASCAN);
    VARIANT arg;
    VariantInit(&arg);
    arg.vt = VT_DISPATCH;
    arg.pdispVal = linked.get();
    DISPID put = DISPID_PROPERTYPUT;
    DISPPARAMS params{&arg, &put, 1, 1};
    ASSERT_EQ(static_cast<IDispatch*>(control)->Invoke(DISPID_ASCAN_ORVEXVIEWER, IID_NULL, 0, DISPATCH_PROPERTYPUT,
                                                       &params, nullptr, nullptr, nullptr),
              S_OK);
    // The file changed while unlinked: linking again refreshes at once.
    EXPECT_EQ(Calls(viewer, DISPID_VIEWER_GETASCAN), fetches + 1);
    // Setting the same viewer again is safe.
    control->SetOrvexViewer(linked.get());
    EXPECT_EQ(control->PeekLinkedViewer(), linked.get());
}

// ---- Failing and foreign viewers -------------------------------------------------------------

// Each row: what the viewer does wrong; the plot is built but has no trace, and nothing is locked.
struct FaultCase {
    const char* what;
    void (*spoil)(CFakeViewer&);
};

class ViewerFaultTest : public ViewerLinkTest, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(ViewerFaultTest, LeavesAnEmptyPlot) {
    CFakeViewer* viewer = AddViewer("V");
    GetParam().spoil(*viewer);
    COrvexAscanViewerCtrl* control = AddAscan("Ascan1");
    control->SetOrvexViewerName("V");
    ASSERT_NE(control->GetPlot(), nullptr);
    EXPECT_TRUE(control->GetPlot()->m_lines.empty());
    EXPECT_EQ(control->GetLockedSamples(), nullptr);
    EXPECT_FALSE(control->UpdateAscanData());
    Paint();  // an empty plot draws its axes, not the placeholder
}

INSTANTIATE_TEST_SUITE_P(Cases, ViewerFaultTest,
                         ::testing::Values(
                             // GetAscan answers FALSE.
                             FaultCase{"no_data", [](CFakeViewer& v) { v.m_ascanResult = FALSE; }},
                             // An empty array.
                             FaultCase{"empty_array", [](CFakeViewer& v) { v.m_samples.clear(); }},
                             // Every call raises an automation error.
                             FaultCase{"rejects_calls", [](CFakeViewer& v) { v.m_bRejectCalls = true; }},
                             // Doubles, which the plot would read as twice as many floats.
                             FaultCase{"double_array", [](CFakeViewer& v) { v.m_bDoubleArray = true; }}),
                         [](const ::testing::TestParamInfo<FaultCase>& info) { return std::string(info.param.what); });

TEST_F(ViewerLinkTest, TheArrayIsUnlockedBeforeEveryFetch) {
    CFakeViewer* viewer = AddViewer("V");
    COrvexAscanViewerCtrl* control = AddAscan("Ascan1");
    control->SetOrvexViewerName("V");
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(control->UpdateAscanData());
    viewer->m_fileName = "b.orvex";
    control->RefreshAscan();
    EXPECT_EQ(viewer->m_lockedArraysOffered, 0);
    EXPECT_GE(Calls(viewer, DISPID_VIEWER_GETASCAN), 5);
    ASSERT_NE(control->GetLockedSamples(), nullptr);
    EXPECT_EQ(control->GetPlot()->m_lines[0].pFloatData, control->GetLockedSamples());
}

}  // namespace
