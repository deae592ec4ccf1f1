// Enumerators, connection points and property bags: the pieces a container and a control meet on.
#include <gtest/gtest.h>

#include <vector>

#include "ComLeakCheck.h"
#include "TestDispatchObject.h"
#include "platform/com/ComPtr.h"
#include "platform/com/ConnectionPoint.h"
#include "platform/com/EnumUnknown.h"
#include "platform/com/PropertyBag.h"

namespace {

class ContainerProtocolTest : public ComLeakCheck {};

TEST_F(ContainerProtocolTest, EnumeratorYieldsObjectsOneAtATimeWithReferences) {
    CComPtr<CTestObject> a, b;
    a.Attach(CTestObject::Create());
    b.Attach(CTestObject::Create());
    IUnknown* objects[] = {static_cast<IDispatch*>(a.get()), static_cast<IDispatch*>(b.get())};
    CComPtr<IEnumUnknown> e;
    ASSERT_EQ(CEnumUnknown::Create(objects, &e), S_OK);
    std::vector<IUnknown*> seen;
    IUnknown* next = nullptr;
    while (e->Next(1, &next, nullptr) == S_OK) {
        seen.push_back(next);
        next->Release();
    }
    EXPECT_EQ(seen, std::vector<IUnknown*>(objects, objects + 2));
    // A clone continues from the same place; Reset starts over.
    e->Reset();
    ASSERT_EQ(e->Skip(1), S_OK);
    CComPtr<IEnumUnknown> clone;
    ASSERT_EQ(e->Clone(&clone), S_OK);
    ULONG fetched = 9;
    IUnknown* two[2] = {};
    EXPECT_EQ(clone->Next(2, two, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 1u);
    EXPECT_EQ(two[0], objects[1]);
    two[0]->Release();
    EXPECT_EQ(e->Skip(5), S_FALSE);
}

// A container that owns one connection point for the test object's interface.
class CPointOwner final : public IConnectionPointContainer, private CComRefCount {
public:
    CPointOwner() : m_point(this, IID_ITestObject) {}
    HRESULT QueryInterface(REFIID riid, void** ppv) override {
        if (riid == IID_IUnknown || riid == IID_IConnectionPointContainer) {
            *ppv = static_cast<IConnectionPointContainer*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG AddRef() override { return InternalAddRef(); }
    ULONG Release() override { return InternalRelease(); }
    HRESULT FindConnectionPoint(REFIID riid, IConnectionPoint** pp) override {
        *pp = nullptr;
        if (riid != IID_ITestObject) return CONNECT_E_NOCONNECTION;
        *pp = &m_point;
        m_point.AddRef();
        return S_OK;
    }
    CConnectionPoint m_point;
};

TEST_F(ContainerProtocolTest, ConnectionPointHoldsSinksUntilUnadvised) {
    CComPtr<CPointOwner> owner;
    owner.Attach(new CPointOwner());
    CComPtr<IConnectionPoint> cp;
    ASSERT_EQ(owner->FindConnectionPoint(IID_ITestObject, &cp), S_OK);
    CComPtr<CTestObject> sink;
    sink.Attach(CTestObject::Create());
    DWORD cookie = 0;
    ASSERT_EQ(cp->Advise(static_cast<IDispatch*>(sink.get()), &cookie), S_OK);
    EXPECT_NE(cookie, 0u);
    // A sink that does not answer the point's interface is refused.
    CComPtr<CPropertyBag> notASink = CPropertyBag::Create();
    DWORD other = 0;
    EXPECT_EQ(cp->Advise(notASink.get(), &other), CONNECT_E_CANNOTCONNECT);
    EXPECT_EQ(other, 0u);

    std::vector<IUnknown*> sinks = owner->m_point.GetSinks();
    ASSERT_EQ(sinks.size(), 1u);
    EXPECT_EQ(sinks[0], static_cast<IUnknown*>(static_cast<IDispatch*>(sink.get())));
    for (IUnknown* s : sinks) s->Release();

    EXPECT_EQ(cp->Unadvise(cookie + 1), CONNECT_E_NOCONNECTION);
    EXPECT_EQ(cp->Unadvise(cookie), S_OK);
    EXPECT_EQ(cp->Unadvise(cookie), CONNECT_E_NOCONNECTION);
    // A connection left at the owner's end is dropped with it.
    ASSERT_EQ(cp->Advise(static_cast<IDispatch*>(sink.get()), &cookie), S_OK);
}

TEST_F(ContainerProtocolTest, PropertyBagReadsWithConversionAndReportsAbsentNames) {
    CComPtr<CPropertyBag> bag = CPropertyBag::Create();
    VARIANT v;
    VariantInit(&v);
    v.vt = VT_R8;
    v.dblVal = 3.0;
    ASSERT_EQ(bag->Write("RayPlotType", &v), S_OK);
    v.vt = VT_BSTR;
    v.bstrVal = SysAllocString("a.orvex");
    ASSERT_EQ(bag->Write("FileName", &v), S_OK);
    VariantClear(&v);
    EXPECT_EQ(bag->GetNames(), (std::vector<std::string>{"RayPlotType", "FileName"}));

    VARIANT out;
    VariantInit(&out);
    out.vt = VT_I2;  // asks for a conversion
    ASSERT_EQ(bag->Read("RayPlotType", &out), S_OK);
    EXPECT_EQ(out.vt, VT_I2);
    EXPECT_EQ(out.iVal, 3);
    VariantInit(&out);
    ASSERT_EQ(bag->Read("FileName", &out), S_OK);  // empty asks for the stored type
    EXPECT_STREQ(out.bstrVal, "a.orvex");
    VariantClear(&out);
    out.vt = VT_I4;
    EXPECT_EQ(bag->Read("FileName", &out), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(bag->Read("filename", &out), E_INVALIDARG);  // names are exact
}

}  // namespace
