// The control's own IDispatch: its table, the extender members passed to the extended control,
// the read-only error, events through connection points, bound-property notification.
#include <gtest/gtest.h>

#include "AfxTestSupport.h"
#include "TestControl.h"
#include "common/FakeContainer.h"
#include "common/Variants.h"

namespace {

HRESULT GetProp(IDispatch* d, DISPID id, VARIANT* out) {
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    return d->Invoke(id, IID_NULL, LOCALE_SYSTEM_DEFAULT, DISPATCH_PROPERTYGET, &none, out, nullptr, nullptr);
}

HRESULT PutProp(IDispatch* d, DISPID id, VARIANT value, EXCEPINFO* ei = nullptr) {
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS dp{&value, &named, 1, 1};
    HRESULT hr = d->Invoke(id, IID_NULL, LOCALE_SYSTEM_DEFAULT, DISPATCH_PROPERTYPUT, &dp, nullptr, ei, nullptr);
    VariantClear(&value);
    return hr;
}

class ControlDispatchTest : public AfxTest {
protected:
    void SetUp() override {
        AfxTest::SetUp();
        control.Attach(static_cast<IDispatch*>(new CTestCtrl()));
    }
    void TearDown() override {
        if (document) document->Close();
        document.reset();
        control.Release();
        AfxTest::TearDown();
    }
    CTestCtrl* Ctrl() { return static_cast<CTestCtrl*>(control.get()); }
    // The extended control passes on the extender ids it does not answer, so that a request the
    // control forwarded can come back to it.
    void PlaceInContainer(const char* name) {
        document = std::make_unique<CFakeDocument>();
        document->AddControl(control.get(), name, {IID_DTestCtrl}, {.passesExtenderIds = true});
    }
    CComPtr<IDispatch> control;
    std::unique_ptr<CFakeDocument> document;
};

TEST_F(ControlDispatchTest, ControlReadsItsContainerNameThroughItsOwnDispatch) {
    PlaceInContainer("OrvexViewer1");
    VARIANT name;
    VariantInit(&name);
    ASSERT_EQ(GetProp(control.get(), DISPID_Name, &name), S_OK);
    ASSERT_EQ(name.vt, VT_BSTR);
    EXPECT_STREQ(name.bstrVal, "OrvexViewer1");
    VariantClear(&name);
    // The same from inside a member of the control.
    VARIANT result;
    VariantInit(&result);
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    ASSERT_EQ(control->Invoke(7, IID_NULL, 0, DISPATCH_METHOD, &none, &result, nullptr, nullptr), S_OK);
    EXPECT_STREQ(result.bstrVal, "OrvexViewer1");
    VariantClear(&result);
    // Names the control does not know resolve through the extended control.
    char nameText[] = "name";
    LPOLESTR names[] = {nameText};
    DISPID id = 0;
    EXPECT_EQ(control->GetIDsOfNames(IID_NULL, names, 1, 0, &id), S_OK);
    EXPECT_EQ(id, DISPID_Name);
}

TEST_F(ControlDispatchTest, ExtenderMembersFailCleanlyWithoutAContainerOrAnAnswer) {
    VARIANT v;
    VariantInit(&v);
    // No site: nothing to pass the request to.
    EXPECT_EQ(GetProp(control.get(), DISPID_Name, &v), DISP_E_MEMBERNOTFOUND);
    PlaceInContainer("A");
    // An extender id the extended control does not answer comes back to the control, which must
    // not send it out again.
    EXPECT_EQ(GetProp(control.get(), static_cast<DISPID>(0x80010005u), &v), DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(v.vt, VT_EMPTY);
    char unknown[] = "NoSuchMember";
    LPOLESTR names[] = {unknown};
    DISPID id = 0;
    EXPECT_EQ(control->GetIDsOfNames(IID_NULL, names, 1, 0, &id), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(id, DISPID_UNKNOWN);
}

TEST_F(ControlDispatchTest, ReadOnlyPropertiesReportTheSetNotSupportedError) {
    VARIANT v;
    VariantInit(&v);
    ASSERT_EQ(GetProp(control.get(), 4, &v), S_OK);
    EXPECT_EQ(v.dblVal, 48.0);
    // Two ways a property is read-only: no setter in the table, or a setter calling SetNotSupported.
    for (DISPID id : {4, 5}) {
        VARIANT value;
        VariantInit(&value);
        value.vt = VT_R8;
        value.dblVal = 1.0;
        EXCEPINFO ei{};
        EXPECT_EQ(PutProp(control.get(), id, value, &ei), DISP_E_EXCEPTION) << id;
        EXPECT_EQ(ei.scode, CTL_E_SETNOTSUPPORTED) << id;
        ClearExcepInfo(&ei);
    }
    EXPECT_FALSE(Ctrl()->IsModified());
}

TEST_F(ControlDispatchTest, EventsReachEveryConnectedSink) {
    CComPtr<IConnectionPointContainer> cpc;
    ASSERT_EQ(control->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&cpc)), S_OK);
    CComPtr<IConnectionPoint> cp;
    ASSERT_EQ(cpc->FindConnectionPoint(IID_DTestCtrlEvents, &cp), S_OK);
    CComPtr<CRecordingSink> a, b;
    a.Attach(new CRecordingSink(IID_DTestCtrlEvents));
    b.Attach(new CRecordingSink(IID_DTestCtrlEvents));
    DWORD ca = 0, cb = 0;
    ASSERT_EQ(cp->Advise(static_cast<IDispatch*>(a.get()), &ca), S_OK);
    ASSERT_EQ(cp->Advise(static_cast<IDispatch*>(b.get()), &cb), S_OK);
    Ctrl()->Fire(12.5);
    for (CRecordingSink* s : {a.get(), b.get()}) {
        ASSERT_EQ(s->EventIds(), std::vector<DISPID>{1});
        EXPECT_EQ(s->m_lastFlags, DISPATCH_METHOD);
        EXPECT_EQ(s->m_lastArgCount, 1u);
        EXPECT_EQ(s->m_events.back().second, 12.5);
    }
    ASSERT_EQ(cp->Unadvise(ca), S_OK);
    Ctrl()->Fire(13.0);
    EXPECT_EQ(a->m_events.size(), 1u);
    EXPECT_EQ(b->m_events.size(), 2u);
    // A connection point for an interface the control does not source is not there.
    CComPtr<IConnectionPoint> none;
    EXPECT_EQ(cpc->FindConnectionPoint(IID_DTestCtrl, &none), CONNECT_E_NOCONNECTION);
    // b stays connected: releasing the control drops the connection and its reference.
}

TEST_F(ControlDispatchTest, PropertyChangeNotifiesBoundPropertySinks) {
    CComPtr<IConnectionPointContainer> cpc;
    ASSERT_EQ(control->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&cpc)), S_OK);
    CComPtr<IConnectionPoint> cp;
    ASSERT_EQ(cpc->FindConnectionPoint(IID_IPropertyNotifySink, &cp), S_OK);
    CComPtr<CRecordingSink> sink;
    sink.Attach(new CRecordingSink(IID_DTestCtrlEvents));
    DWORD cookie = 0;
    ASSERT_EQ(cp->Advise(static_cast<IDispatch*>(sink.get()), &cookie), S_OK);
    ASSERT_EQ(PutProp(control.get(), 1, MakeBstr("sample.orvex")), S_OK);
    EXPECT_EQ(sink->m_changed, std::vector<DISPID>{1});
    EXPECT_TRUE(Ctrl()->IsModified());
    EXPECT_EQ(Ctrl()->m_fileName, "sample.orvex");
    EXPECT_TRUE(Ctrl()->BoundPropertyRequestEdit(1));
    sink->m_allowEdit = false;
    EXPECT_FALSE(Ctrl()->BoundPropertyRequestEdit(1));
    cp->Unadvise(cookie);
}

TEST_F(ControlDispatchTest, SiteAndExtendedControlAreHandedOutWithReferences) {
    EXPECT_EQ(Ctrl()->GetClientSite(), nullptr);
    EXPECT_EQ(Ctrl()->GetExtendedControl(), nullptr);
    PlaceInContainer("V");
    EXPECT_EQ(Ctrl()->m_nSiteChanges, 1);
    IOleClientSite* site = Ctrl()->GetClientSite();  // borrowed
    ASSERT_NE(site, nullptr);
    CComPtr<IOleClientSite> owned;
    ASSERT_EQ(static_cast<IOleObject*>(Ctrl())->GetClientSite(&owned), S_OK);
    EXPECT_EQ(owned.get(), site);
    LPDISPATCH ext = Ctrl()->GetExtendedControl();
    ASSERT_NE(ext, nullptr);
    VARIANT v;
    VariantInit(&v);
    ASSERT_EQ(GetProp(ext, DISPID_Name, &v), S_OK);
    EXPECT_STREQ(v.bstrVal, "V");
    VariantClear(&v);
    ext->Release();
    // The extended control passes the control's own members on.
    ASSERT_EQ(PutProp(static_cast<CFakeSite*>(site)->GetExtender(), 3, MakeBstr("2.5")), S_OK);
    EXPECT_EQ(Ctrl()->m_endTime, 2.5);
}

TEST_F(ControlDispatchTest, TypeInfoDescribesTheControlTable) {
    CComPtr<ITypeInfo> info;
    ASSERT_EQ(control->GetTypeInfo(0, 0, &info), S_OK);
    EXPECT_EQ(info->GetDispatchInterface(), &CTestCtrl::DispatchInterface());
    CComPtr<ITypeInfo> none;
    EXPECT_EQ(control->GetTypeInfo(1, 0, &none), DISP_E_BADINDEX);
    // The control answers its primary interface id with its IDispatch.
    CComPtr<IDispatch> primary;
    ASSERT_EQ(control->QueryInterface(IID_DTestCtrl, reinterpret_cast<void**>(&primary)), S_OK);
    EXPECT_EQ(primary.get(), control.get());
}

}  // namespace
