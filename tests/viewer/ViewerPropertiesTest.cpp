// The control object: reset values and stored defaults, persistence order, the dispatch table,
// change reactions and their notifications, the right-button release.
#include "ViewerTestSupport.h"

#include "ids/OrvexViewerIds.h"
#include "platform/com/PropertyBag.h"

using namespace viewer_test;

namespace {

// Stores a value in a bag under a name.
void SetBag(CPropertyBag* bag, const char* name, VARIANT v) { bag->Set(name, v); }
void SetBagString(CPropertyBag* bag, const char* name, const std::string& s) {
    VARIANT v = MakeBstr(s);
    bag->Set(name, v);
    VariantClear(&v);
}

}  // namespace

using ViewerPropertiesTest = ViewerTest;

TEST_F(ViewerPropertiesTest, FreshControlHasItsResetValuesAndLoadedOneTheStoredDefaults) {
    ASSERT_EQ(m_ctrl->InitNew(), S_OK);
    EXPECT_EQ(m_ctrl->GetPulseAnimateEndLimit(), 0.0);  // the reset value, not the stored 50
    EXPECT_EQ(m_ctrl->GetRayEndTime(), 10.0);
    EXPECT_EQ(m_ctrl->GetRayEndTimeIncrement(), 0.5);
    EXPECT_EQ(m_ctrl->GetControlDetectionEnabled(), TRUE);
    EXPECT_EQ(m_ctrl->GetWndBottom(), 40.0f);
    EXPECT_EQ(m_ctrl->GetXAxisX(), 1.0);

    // A control loaded from a document that lacks the key takes the stored default.
    COrvexViewerCtrl* loaded = new COrvexViewerCtrl;
    CComPtr<CPropertyBag> bag = CPropertyBag::Create();
    ASSERT_EQ(loaded->Load(bag.get()), S_OK);
    EXPECT_EQ(loaded->GetPulseAnimateEndLimit(), 50.0);
    EXPECT_EQ(loaded->GetWndRight(), 40.0f);
    EXPECT_EQ(loaded->GetSimulationData().m_viewRect, CfRect(0.0f, 40.0f, 40.0f, 0.0f));
    loaded->Release();
}

TEST_F(ViewerPropertiesTest, StoredFileIsReadFirstAndStoredValuesWin) {
    const std::string file = WriteOrvex(LoadDataJson("scene.json"), "persist.orvex");
    CComPtr<CPropertyBag> bag = CPropertyBag::Create();
    SetBagString(bag.get(), "FileName", file);
    SetBag(bag.get(), "RayEndTime", MakeR8(3.5));
    SetBag(bag.get(), "PulseAnimateStartLimit", MakeR8(1.0));
    SetBag(bag.get(), "WndLeft", MakeR4(7.0f));
    SetBag(bag.get(), "WndRight", MakeR4(17.0f));
    SetBag(bag.get(), "WndBottom", MakeR4(-2.0f));
    SetBag(bag.get(), "WndTop", MakeR4(8.0f));
    ASSERT_EQ(m_ctrl->Load(bag.get()), S_OK);

    EXPECT_EQ(m_ctrl->GetNumberOfSnapShots(), 2);  // the file was read
    EXPECT_EQ(m_ctrl->GetRayEndTime(), 3.5);
    EXPECT_EQ(m_ctrl->GetPulseAnimateStartLimit(), 1.0);  // stored, not the file's 0
    EXPECT_EQ(m_ctrl->GetPulseAnimateEndLimit(), 50.0);   // absent key: the stored default beats the file's 12
    // The stored view replaces the file's (-5, -5, 65, 45), in the properties and in the data.
    EXPECT_EQ(m_ctrl->GetSimulationData().m_viewRect, CfRect(7.0f, -2.0f, 17.0f, 8.0f));
}

TEST_F(ViewerPropertiesTest, SaveWritesTheViewInEffectInExchangeOrder) {
    LoadData(LoadDataJson("scene.json"));
    m_ctrl->ZoomIn();  // changes the data's view rectangle
    CComPtr<CPropertyBag> bag = CPropertyBag::Create();
    ASSERT_EQ(m_ctrl->Save(bag.get(), TRUE, TRUE), S_OK);
    const std::vector<std::string> names = bag->GetNames();
    const std::vector<std::string> stored = {"FileName", "RayPlotType", "RayEndTime", "RayEndTimeIncrement",
                                             "PulseAnimateStartLimit", "PulseAnimateEndLimit", "IsAnimated",
                                             "WndTop", "WndBottom", "WndLeft", "WndRight", "XAxisX", "XAxisY",
                                             "XAxisZ", "YAxisX", "YAxisY", "YAxisZ"};
    // The version key may come first; then exactly the stored properties in order.
    std::vector<std::string> props(names.begin() + (names.size() - stored.size()), names.end());
    EXPECT_EQ(props, stored);
    const VARIANT* left = bag->Find("WndLeft");
    ASSERT_NE(left, nullptr);
    EXPECT_EQ(left->fltVal, m_ctrl->GetSimulationData().m_viewRect.left);
    EXPECT_EQ(bag->Find("CurrentSnapShot"), nullptr);  // not stored
}

TEST_F(ViewerPropertiesTest, DispatchTableHasFortyMembersByPosition) {
    const auto members = COrvexViewerCtrl::GetViewerInterface().GetMembers();
    ASSERT_EQ(members.size(), 40u);
    for (size_t i = 0; i < members.size(); ++i) EXPECT_EQ(members[i].id, static_cast<DISPID>(i + 1));
    struct Row { const char* name; DISPID id; } rows[] = {
        {"FileName", 1}, {"GetAscan", 36}, {"GetAscanDisplayWindow", 38}, {"GetAscanXAxisLabel", 39},
        {"Spin", 27}, {"MinimumRayTime", 22}, {"RefreshOrvexViewer", 40},
    };
    for (const Row& r : rows) {
        LPOLESTR name = const_cast<LPOLESTR>(r.name);
        DISPID id = 0;
        ASSERT_EQ(m_ctrl->GetIDsOfNames(IID_NULL, &name, 1, 0, &id), S_OK) << r.name;
        EXPECT_EQ(id, r.id) << r.name;
    }
    EXPECT_EQ(COrvexViewerCtrl::GetViewerEventInterface().GetMembers().size(), 2u);
}

TEST_F(ViewerPropertiesTest, ReadOnlyPropertiesRefuseWrites) {
    for (DISPID id : {DISPID_VIEWER_MAXIMUMRAYTIME, DISPID_VIEWER_NUMBEROFSNAPSHOTS, DISPID_VIEWER_MINIMUMRAYTIME}) {
        SCODE scode = 0;
        EXPECT_EQ(Put(id, MakeR8(1.0), &scode), DISP_E_EXCEPTION) << id;
        EXPECT_EQ(scode, CTL_E_SETNOTSUPPORTED) << id;
        VARIANT v = Get(id);  // reading still works
        VariantClear(&v);
    }
}

TEST_F(ViewerPropertiesTest, ChangeReactionsNotifyAndRedrawAsEachPropertySays) {
    Activate();
    LoadData(LoadDataJson("scene.json"));
    CComPtr<IConnectionPoint> point;
    ASSERT_EQ(m_ctrl->FindConnectionPoint(IID_IPropertyNotifySink, &point), S_OK);
    CComPtr<CRecordingSink> sink = CRecordingSink::Create();
    DWORD cookie = 0;
    ASSERT_EQ(point->Advise(static_cast<IPropertyNotifySink*>(sink.get()), &cookie), S_OK);

    struct Row { DISPID id; VARIANT value; bool redraws; bool notifies; } rows[] = {
        {DISPID_VIEWER_RAYENDTIME, MakeR8(4.0), true, true},           // A
        {DISPID_VIEWER_WNDLEFT, MakeR4(2.0f), true, true},             // C
        {DISPID_VIEWER_YAXISZ, MakeR8(0.0), true, true},               // B
        {DISPID_VIEWER_CURRENTSNAPSHOT, MakeI4(1), false, false},      // modified flag only
        {DISPID_VIEWER_CONTROLDETECTIONENABLED, MakeI4(1), false, false},
    };
    for (Row& r : rows) {
        m_manager.Pump(0);  // paints, so nothing is invalid
        sink->m_changed.clear();
        m_ctrl->SetModifiedFlag(FALSE);
        if (r.id == DISPID_VIEWER_CONTROLDETECTIONENABLED) {
            r.value.vt = VT_BOOL;
            r.value.boolVal = VARIANT_TRUE;
        }
        ASSERT_EQ(Put(r.id, r.value), S_OK) << r.id;
        CRect update;
        EXPECT_EQ(m_manager.GetUpdateRect(m_ctrl->GetSafeHwnd(), &update) != FALSE, r.redraws) << r.id;
        EXPECT_EQ(sink->m_changed == std::vector<DISPID>{r.id}, r.notifies) << r.id;
        EXPECT_TRUE(m_ctrl->IsModified()) << r.id;
    }
    point->Unadvise(cookie);
}

TEST_F(ViewerPropertiesTest, AnAxisComponentRefitsTheViewAWindowEdgeDoesNot) {
    CSimulationData data = LoadDataJson("scene.json");
    LoadData(data);
    m_ctrl->SetWndLeft(-100.0f);
    const CfRect& view = m_ctrl->GetSimulationData().m_viewRect;
    EXPECT_EQ(view.left, -100.0f);
    EXPECT_EQ(view.right, 65.0f);  // the rest stays as the file had it

    m_ctrl->SetXAxisX(2.0);
    // Re-fitted to the outlines seen through the stretched x axis: 0..60 becomes 0..30 in view x
    // (probe 20..32 included), 30 wide plus a sixteenth on each side.
    EXPECT_EQ(m_ctrl->GetXAxisX(), 2.0);
    EXPECT_FLOAT_EQ(view.left, -30.0f * 0.0625f);
    EXPECT_FLOAT_EQ(view.right, 30.0f + 30.0f * 0.0625f);
    EXPECT_FLOAT_EQ(m_ctrl->GetWndLeft(), view.left);
}

TEST_F(ViewerPropertiesTest, RightButtonReleaseOpensThePagesOnlyWithDetection) {
    Activate();
    int opened = 0;
    HWND owner = nullptr;
    COleControl::SetPropertyFrameHook([&](COleControl&, HWND hWndOwner) {
        ++opened;
        owner = hWndOwner;
        return TRUE;
    });
    m_ctrl->SendMessage(WM_RBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(owner, m_page.GetSafeHwnd());
    m_ctrl->SetControlDetectionEnabled(FALSE);
    m_ctrl->SendMessage(WM_RBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_EQ(opened, 1);
    COleControl::SetPropertyFrameHook(nullptr);
}
