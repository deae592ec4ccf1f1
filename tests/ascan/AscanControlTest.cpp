// The control object: its dispatch interface as scripts and the viewer reach it, persistence with
// the link-pending flag, change notifications and the right-button handler.
#include <gtest/gtest.h>

#include <vector>

#include "AscanTestSupport.h"
#include "common/RecordingSink.h"
#include "common/Variants.h"
#include "ids/OrvexAscanViewerIds.h"
#include "ids/OrvexViewerIds.h"
#include "lineplot/LinePlotWnd.h"
#include "platform/com/ComPtr.h"
#include "platform/com/PropertyBag.h"

namespace {

class AscanControlTest : public AscanTest {
protected:
    // Connects a sink to the control's property notifications until the test ends.
    CRecordingSink* Listen(COrvexAscanViewerCtrl* control) {
        CComPtr<IConnectionPoint> point;
        EXPECT_EQ(static_cast<IConnectionPointContainer*>(control)->FindConnectionPoint(IID_IPropertyNotifySink, &point),
                  S_OK);
        auto* sink = new CRecordingSink;
        DWORD cookie = 0;
        point->Advise(static_cast<IPropertyNotifySink*>(sink), &cookie);
        sink->Release();  // the connection holds it; it goes when the control does
        return sink;
    }
    static float StoredFloat(CPropertyBag* bag, const char* key) {
        const VARIANT* v = bag->Find(key);
        EXPECT_NE(v, nullptr) << key;
        if (v == nullptr) return -12345.0f;
        VARIANT copy;
        VariantInit(&copy);
        EXPECT_EQ(VariantChangeType(&copy, v, 0, VT_R4), S_OK);
        return copy.fltVal;
    }
    static void Store(CPropertyBag* bag, const char* key, float value) { bag->Set(key, MakeR4(value)); }
    static void Store(CPropertyBag* bag, const char* key, const char* text) {
        VARIANT v = MakeBstr(text);
        bag->Set(key, v);
        VariantClear(&v);
    }
};

TEST_F(AscanControlTest, DispatchIdsAreTheDeclarationPositions) {
    COrvexAscanViewerCtrl* control = AddAscan("Ascan1");
    const char* names[] = {"AscanXMin",  "AscanXMax",  "AscanYMin", "AscanYMax",    "OrvexViewerName",
                           "ControlDetectionEnabled", "OrvexViewer", "UpdateAscanData", "ZoomInX",
                           "ZoomOutX",   "RefreshAscan", "ZoomInY", "ZoomOutY",     "PanLeft",
                           "PanRight"};
    for (DISPID expected = 1; expected <= 15; ++expected) {
        LPOLESTR name = const_cast<LPOLESTR>(names[expected - 1]);
        DISPID id = 0;
        ASSERT_EQ(static_cast<IDispatch*>(control)->GetIDsOfNames(IID_NULL, &name, 1, 0, &id), S_OK) << name;
        EXPECT_EQ(id, expected) << name;
    }
    const CDispatchInterface& iface = COrvexAscanViewerCtrl::GetAscanInterface();
    EXPECT_EQ(iface.GetMembers().size(), 15u);
    EXPECT_EQ(iface.GetIID(), IID_DOrvexAscanViewer);
    EXPECT_TRUE(COrvexAscanViewerCtrl::GetAscanEventInterface().GetMembers().empty());
    // The viewer reaches RefreshAscan and OrvexViewerName of an A-scan control by these ids.
    void* pv = nullptr;
    ASSERT_EQ(control->QueryInterface(IID_DOrvexAscanViewer, &pv), S_OK);
    static_cast<IUnknown*>(pv)->Release();
}

TEST_F(AscanControlTest, NewControlStartsEmptyWithDetectionOn) {
    COrvexAscanViewerCtrl* control = AddAscan("Ascan1");
    int cx = 0, cy = 0;
    auto* loose = new COrvexAscanViewerCtrl;
    loose->GetControlSize(&cx, &cy);
    loose->Release();
    EXPECT_EQ(cx, 600);
    EXPECT_EQ(cy, 125);
    EXPECT_EQ(control->GetOrvexViewerName(), "");
    EXPECT_EQ(control->GetControlDetectionEnabled(), TRUE);
    EXPECT_FLOAT_EQ(control->GetAscanXMin(), 0.0f);
    EXPECT_EQ(control->PeekLinkedViewer(), nullptr);
    EXPECT_EQ(control->GetPlot(), nullptr);
    EXPECT_TRUE(control->IsLinkPending());
}

TEST_F(AscanControlTest, ChangesNotifyWithTheirIds) {
    AddViewer("V");
    COrvexAscanViewerCtrl* control = AddAscan("Ascan1");
    CRecordingSink* sink = Listen(control);
    control->SetModifiedFlag(FALSE);
    control->SetAscanXMin(1.0f);
    control->SetAscanYMax(0.5f);
    EXPECT_EQ(sink->m_changed, (std::vector<DISPID>{1, 4}));
    EXPECT_TRUE(control->IsModified());

    // Detection only marks the control modified.
    sink->m_changed.clear();
    control->SetModifiedFlag(FALSE);
    control->SetControlDetectionEnabled(TRUE);
    EXPECT_TRUE(sink->m_changed.empty());
    EXPECT_TRUE(control->IsModified());

    // A name that finds its viewer notifies the name (the search may have filled it in).
    control->SetOrvexViewerName("");
    EXPECT_EQ(sink->m_changed, std::vector<DISPID>{DISPID_ASCAN_ORVEXVIEWERNAME});
    EXPECT_EQ(control->GetOrvexViewerName(), "V");
}

TEST_F(AscanControlTest, SavingStoresTheZoomedWindowAndNoDetection) {
    CFakeViewer* viewer = AddViewer("V", 2000);
    viewer->m_resolution = 0.1;
    viewer->m_displayEnd = 100.0;
    COrvexAscanViewerCtrl* control = AddAscan("Ascan1");
    control->SetOrvexViewerName("V");
    control->ZoomInX();
    control->ZoomInY();
    control->SetControlDetectionEnabled(FALSE);

    CComPtr<CPropertyBag> bag = CPropertyBag::Create();
    ASSERT_EQ(control->Save(bag.get(), TRUE, TRUE), S_OK);
    EXPECT_NEAR(StoredFloat(bag.get(), "AscanXMin"), 10.0f, 1e-3f);
    EXPECT_NEAR(StoredFloat(bag.get(), "AscanXMax"), 90.0f, 1e-3f);
    EXPECT_NEAR(StoredFloat(bag.get(), "AscanYMin"), -0.8f, 1e-3f);
    EXPECT_NEAR(StoredFloat(bag.get(), "AscanYMax"), 0.8f, 1e-3f);
    const VARIANT* name = bag->Find("OrvexViewerName");
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(StringFromBstr(name->bstrVal), "V");
    const VARIANT* version = bag->Find("_Version");
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(version->lVal, 0x00010000);
    EXPECT_EQ(bag->Find("ControlDetectionEnabled"), nullptr);
    EXPECT_EQ(bag->Find("OrvexViewer"), nullptr);

    // Loaded again: detection is back on, the link waits for the first draw.
    COrvexAscanViewerCtrl* loaded = AddAscan("Ascan2", CRect(0, 200, 600, 325), bag.get());
    EXPECT_EQ(loaded->GetControlDetectionEnabled(), TRUE);
    EXPECT_TRUE(loaded->IsLinkPending());
    EXPECT_EQ(loaded->PeekLinkedViewer(), nullptr);
    EXPECT_NEAR(loaded->GetAscanXMin(), 10.0f, 1e-3f);
}

TEST_F(AscanControlTest, AStoredControlLinksAtItsFirstDrawWithItsStoredWindow) {
    CFakeViewer* viewer = AddViewer("V", 2000);
    viewer->m_resolution = 0.1;
    viewer->m_displayEnd = 100.0;
    CComPtr<CPropertyBag> bag = CPropertyBag::Create();
    Store(bag.get(), "OrvexViewerName", "V");
    Store(bag.get(), "AscanXMin", 25.0f);
    Store(bag.get(), "AscanXMax", 75.0f);
    Store(bag.get(), "AscanYMin", -0.5f);
    Store(bag.get(), "AscanYMax", 0.5f);
    COrvexAscanViewerCtrl* control = AddAscan("Ascan1", CRect(0, 0, 600, 125), bag.get());
    EXPECT_EQ(viewer->m_calls[DISPID_VIEWER_GETASCAN], 0);
    Paint();
    ASSERT_NE(control->GetPlot(), nullptr);
    // The stored window is shown, not the viewer's display window the link starts from.
    float low = 0, high = 0;
    control->GetPlot()->GetXRange(&low, &high);
    EXPECT_NEAR(low, 25.0f, 1e-3f);
    EXPECT_NEAR(high, 75.0f, 1e-3f);
    control->GetPlot()->GetYRange(&low, &high);
    EXPECT_NEAR(low, -0.5f, 1e-3f);
    EXPECT_NEAR(high, 0.5f, 1e-3f);
    EXPECT_FLOAT_EQ(control->GetAscanXMin(), 25.0f);

    // A later change of name starts from the display window again.
    control->SetOrvexViewerName("V");
    control->GetPlot()->GetXRange(&low, &high);
    EXPECT_NEAR(low, 0.0f, 1e-3f);
    EXPECT_NEAR(high, 100.0f, 1e-3f);
}

TEST_F(AscanControlTest, ResetReturnsTheStoredDefaults) {
    COrvexAscanViewerCtrl* control = AddAscan("Ascan1");
    control->SetControlDetectionEnabled(FALSE);
    control->SetOrvexViewerName("X");
    control->SetAscanXMin(3.0f);
    control->SetAscanYMax(4.0f);
    ASSERT_EQ(control->InitNew(), S_OK);
    EXPECT_EQ(control->GetOrvexViewerName(), "");
    EXPECT_FLOAT_EQ(control->GetAscanXMin(), 0.0f);
    EXPECT_FLOAT_EQ(control->GetAscanYMax(), 0.0f);
    EXPECT_TRUE(control->IsLinkPending());
}

TEST_F(AscanControlTest, RightButtonOpensThePropertiesOnlyWithDetection) {
    int opened = 0;
    HWND owner = nullptr;
    COleControl::SetPropertyFrameHook([&](COleControl&, HWND hWndOwner) {
        ++opened;
        owner = hWndOwner;
        return TRUE;
    });
    COrvexAscanViewerCtrl* control = AddAscan("Ascan1");
    control->SendMessage(WM_RBUTTONUP, 0, MAKELPARAM(10, 10));
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(owner, m_page->GetSafeHwnd());
    control->SetControlDetectionEnabled(FALSE);
    control->SendMessage(WM_RBUTTONUP, 0, MAKELPARAM(10, 10));
    EXPECT_EQ(opened, 1);
    COleControl::SetPropertyFrameHook(nullptr);
}

TEST_F(AscanControlTest, RefreshWithDetectionOffAlwaysRebuildsFromTheDisplayWindow) {
    CFakeViewer* viewer = AddViewer("V", 2000);
    viewer->m_resolution = 0.1;
    viewer->m_displayEnd = 100.0;
    COrvexAscanViewerCtrl* control = AddAscan("Ascan1");
    control->SetOrvexViewerName("V");
    control->SetControlDetectionEnabled(FALSE);
    control->SetAscanXMin(30.0f);
    const int fetches = viewer->m_calls[DISPID_VIEWER_GETASCAN];
    control->RefreshAscan();
    EXPECT_EQ(viewer->m_calls[DISPID_VIEWER_GETASCAN], fetches + 1);
    EXPECT_FLOAT_EQ(control->GetAscanXMin(), 0.0f);
    EXPECT_FLOAT_EQ(control->GetAscanXMax(), 100.0f);
}

TEST_F(AscanControlTest, ReleasingALinkedControlLetsGoOfEverything) {
    // The fixture checks that no COM object, string or array outlives the test; here the control
    // goes first, with its plot reading locked samples and its viewer linked.
    AddViewer("V");
    COrvexAscanViewerCtrl* control = AddAscan("Ascan1");
    control->SetOrvexViewerName("V");
    ASSERT_NE(control->GetLockedSamples(), nullptr);
    m_document->Close();
    m_controls.clear();
    control->Release();
}

}  // namespace
