// The container protocol as the controls see it: enumeration in document order, and the extended
// control's name property, forwarding and QueryInterface rules.
#include <memory>
#include <string>

#include "HostTestSupport.h"
#include "host/DispatchCalls.h"
#include "host/HostDocument.h"
#include "platform/com/ComPtr.h"
#include "platform/com/OleInterfaces.h"

namespace {

std::string ThreeControls() {
    return std::string(R"({"page": {"width": 400, "height": 200}, "controls": [
        {"progid": ")") + kLogCtrlProgID + R"(", "name": "Beta", "rect": [0, 0, 100, 50]},
        {"progid": ")" + kLogCtrlProgID + R"(", "name": "Alpha", "rect": [100, 0, 100, 50],
         "properties": {"Count": 5}},
        {"progid": ")" + kLogCtrlProgID + R"(", "name": "Gamma", "rect": [200, 0, 100, 50]} ]})";
}

std::string ReadName(IDispatch* disp) {
    VARIANT v;
    VariantInit(&v);
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    std::string name = "<none>";
    if (SUCCEEDED(disp->Invoke(DISPID_Name, IID_NULL, LOCALE_SYSTEM_DEFAULT, DISPATCH_PROPERTYGET, &none, &v, nullptr,
                               nullptr)))
        name = StringFromBstr(v.bstrVal);
    VariantClear(&v);
    return name;
}

// The names of the container's objects as a control walking the container reads them.
std::vector<std::string> EnumeratedNames(IOleContainer* container, DWORD flags) {
    std::vector<std::string> names;
    CComPtr<IEnumUnknown> objects;
    if (FAILED(container->EnumObjects(flags, &objects))) return names;
    for (;;) {
        CComPtr<IUnknown> object;
        ULONG fetched = 0;
        if (objects->Next(1, &object, &fetched) != S_OK) break;
        CComPtr<IOleObject> ole;
        CComPtr<IOleClientSite> site;
        CComPtr<IOleControlSite> controlSite;
        CComPtr<IDispatch> extended;
        if (FAILED(object.QueryInterface(IID_IOleObject, std::addressof(ole))) || FAILED(ole->GetClientSite(&site)) ||
            FAILED(site.QueryInterface(IID_IOleControlSite, std::addressof(controlSite))) ||
            FAILED(controlSite->GetExtendedControl(&extended))) {
            names.push_back("<no extender>");
            continue;
        }
        names.push_back(ReadName(extended.get()));
    }
    return names;
}

class ContainerTest : public HostTest {
protected:
    void SetUp() override {
        HostTest::SetUp();
        std::string error;
        ASSERT_TRUE(m_doc.Open(WriteFile("three.json", ThreeControls()), error)) << error;
    }
    void TearDown() override {
        m_doc.Close();
        HostTest::TearDown();
    }
    CComPtr<IOleContainer> Container() {
        CComPtr<IOleClientSite> site;
        m_doc.GetControl("Alpha")->GetClientSite(&site);
        CComPtr<IOleContainer> container;
        EXPECT_EQ(site->GetContainer(&container), S_OK);
        return container;
    }
    CHostDocument m_doc;
};

TEST_F(ContainerTest, EnumeratesControlsInDocumentOrder) {
    CComPtr<IOleContainer> container = Container();
    // The order of the file, not of the names.
    EXPECT_EQ(EnumeratedNames(container.get(), OLECONTF_EMBEDDINGS | OLECONTF_OTHERS),
              (std::vector<std::string>{"Beta", "Alpha", "Gamma"}));
    // The controls are embeddings: asking only for other objects lists none.
    EXPECT_TRUE(EnumeratedNames(container.get(), OLECONTF_OTHERS).empty());
    EXPECT_EQ(m_doc.GetControlNames(), (std::vector<std::string>{"Beta", "Alpha", "Gamma"}));
}

TEST_F(ContainerTest, ExtendedControlAnswersItsOwnAndTheControlsInterfaces) {
    CComPtr<IDispatch> extended = m_doc.GetExtendedControl("Alpha");
    ASSERT_TRUE(extended);
    struct {
        const IID& iid;
        HRESULT expected;
    } cases[] = {
        {IID_IUnknown, S_OK},
        {IID_IDispatch, S_OK},
        {IID_DLogCtrl, S_OK},        // the control's dispatch interface, served by the extender
        {IID_DLogCtrlEvents, S_OK},  // and its event interface
        {IID_IOleObject, E_NOINTERFACE},       // the control's other interfaces are not the extender's
        {IID_IPersistPropertyBag, E_NOINTERFACE},
    };
    for (const auto& c : cases) {
        void* pv = nullptr;
        EXPECT_EQ(extended->QueryInterface(c.iid, &pv), c.expected) << StringFromGUID(c.iid);
        if (pv) {
            // Always the forwarding IDispatch itself, never the control behind it.
            EXPECT_EQ(pv, static_cast<void*>(extended.get()));
            static_cast<IUnknown*>(pv)->Release();
        }
    }
}

TEST_F(ContainerTest, ExtendedControlNamesTheControlAndForwardsTheRest) {
    CComPtr<IDispatch> extended = m_doc.GetExtendedControl("Alpha");
    EXPECT_EQ(ReadName(extended.get()), "Alpha");

    // GetIDsOfNames knows "Name" itself and asks the control for the rest.
    DISPID id = 0;
    LPOLESTR name[] = {const_cast<LPOLESTR>("name")};
    ASSERT_EQ(extended->GetIDsOfNames(IID_NULL, name, 1, 0, &id), S_OK);
    EXPECT_EQ(id, DISPID_Name);

    // A stored property reads through the extender; a method call passes its arguments on.
    VARIANT v;
    VariantInit(&v);
    std::string error;
    ASSERT_TRUE(InvokeByName(extended.get(), "Count", DISPATCH_PROPERTYGET, {}, &v, error)) << error;
    EXPECT_EQ(v.vt, VT_I2);
    EXPECT_EQ(v.iVal, 5);
    VARIANT arg;
    VariantInit(&arg);
    arg.vt = VT_I4;
    arg.lVal = 21;
    VariantInit(&v);
    ASSERT_TRUE(InvokeByName(extended.get(), "Twice", DISPATCH_METHOD, std::span<const VARIANT>(&arg, 1), &v, error));
    EXPECT_EQ(v.lVal, 42);

    // The name is the container's: it cannot be written through the extender.
    arg.vt = VT_BSTR;
    arg.bstrVal = SysAllocStringFrom("Renamed");
    EXPECT_FALSE(PutPropertyByName(extended.get(), "Name", arg, error));
    VariantClear(&arg);
    EXPECT_EQ(ReadName(extended.get()), "Alpha");
    // A read-only property of the control keeps its own error.
    VariantInit(&arg);
    arg.vt = VT_I4;
    EXPECT_FALSE(PutPropertyByName(extended.get(), "Ticks", arg, error));
    EXPECT_EQ(error.rfind("Ticks: ", 0), 0u) << error;
}

TEST_F(ContainerTest, ExtenderMembersNeitherObjectAnswersDoNotBounce) {
    // The control passes the extender range to the extender; an id in that range that is not the
    // name must fail rather than travel between the two for ever.
    CComPtr<IDispatch> extended = m_doc.GetExtendedControl("Gamma");
    COleControl* control = m_doc.GetControl("Gamma");
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    VARIANT v;
    VariantInit(&v);
    const DISPID otherExtenderId = static_cast<DISPID>(0x80010007u);
    EXPECT_EQ(extended->Invoke(otherExtenderId, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &v, nullptr, nullptr),
              DISP_E_MEMBERNOTFOUND);
    EXPECT_TRUE(FAILED(control->Invoke(otherExtenderId, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &v, nullptr,
                                       nullptr)));
    // A control reads its own container name through its own IDispatch.
    EXPECT_EQ(static_cast<CLogCtrl*>(control)->OwnName(), "Gamma");
}

TEST_F(ContainerTest, AnExtenderKeptAfterCloseFailsInsteadOfReachingTheControl) {
    CComPtr<IDispatch> extended = m_doc.GetExtendedControl("Beta");
    m_doc.Close();
    EXPECT_EQ(ReadName(extended.get()), "Beta");  // the name is the extender's own
    VARIANT v;
    VariantInit(&v);
    std::string error;
    EXPECT_FALSE(InvokeByName(extended.get(), "Count", DISPATCH_PROPERTYGET, {}, &v, error));
}

}  // namespace
