// The client side of automation: typed calls through COleDispatchDriver with by-reference
// arguments, COleSafeArray, class factories by class id and ProgID, and debugger output.
#include <gtest/gtest.h>

#include "AfxTestSupport.h"
#include "TestControl.h"
#include "common/FakeDispatch.h"
#include "platform/afx/COleDispatchDriver.h"
#include "platform/afx/COleSafeArray.h"
#include "platform/afx/DebugOutput.h"

namespace {

// A provider of A-scan-like data: by-reference doubles, a string and a variant that receives a
// safe array of floats, as a viewer hands out its samples.
class CProvider final : public CFakeDispatchNoTypeInfo, public CDispatchTarget, private CComRefCount {
public:
    HRESULT QueryInterface(REFIID riid, void** ppv) override {
        if (riid == IID_IUnknown || riid == IID_IDispatch) return fake::Answer(static_cast<IDispatch*>(this), ppv);
        return fake::NoInterface(ppv);
    }
    ULONG AddRef() override { return InternalAddRef(); }
    ULONG Release() override { return InternalRelease(); }
    HRESULT GetIDsOfNames(REFIID, LPOLESTR* n, UINT c, LCID, DISPID* ids) override {
        return Interface().GetIDsOfNames(n, c, ids);
    }
    HRESULT Invoke(DISPID id, REFIID, LCID, WORD f, DISPPARAMS* dp, VARIANT* r, EXCEPINFO* ei, UINT* ae) override {
        return Interface().Invoke(*this, id, f, dp, r, ei, ae);
    }

    BSTR GetFileName() { return SysAllocString("a.orvex"); }
    BOOL GetAscan(double* start, double* resolution, VARIANT* ascan) {
        *start = 1.5;
        *resolution = 0.01;
        COleSafeArray samples;
        const float data[3] = {0.5f, -0.5f, 0.25f};
        samples.CreateOneDim(VT_R4, 3, data);
        VariantClear(ascan);
        *ascan = samples.Detach();
        return TRUE;
    }
    BOOL GetLabel(BSTR* label) {
        SysFreeString(*label);
        *label = SysAllocString("Time (us)");
        return TRUE;
    }
    void SetReadOnly(double) { throw CDispatchException(CTL_E_SETNOTSUPPORTED, "Property is read-only."); }
    double GetReadOnly() { return 3.0; }
    LONG m_count = 0;

    static const CDispatchInterface& Interface() {
        static const DispatchMember members[] = {
            Property(1, "FileName", VT_BSTR, &CProvider::GetFileName, nullptr),
            PropertyNotify(2, "Count", VT_I4, &CProvider::m_count, nullptr),
            Property(3, "ReadOnly", VT_R8, &CProvider::GetReadOnly, &CProvider::SetReadOnly),
            Method(36, "GetAscan", VT_BOOL,
                   {{"DataStart", VT_R8 | VT_BYREF}, {"Resolution", VT_R8 | VT_BYREF}, {"Ascan", VT_VARIANT | VT_BYREF}},
                   &CProvider::GetAscan),
            Method(39, "GetAscanXAxisLabel", VT_BOOL, {{"XAxisLabel", VT_BSTR | VT_BYREF}}, &CProvider::GetLabel),
        };
        static const CDispatchInterface iface("_DProvider", IID_NULL, "", members);
        return iface;
    }

private:
    ~CProvider() override = default;
};

class AutomationClientTest : public AfxTest {};

TEST_F(AutomationClientTest, InvokeHelperPassesByReferenceArgumentsAndTypedResults) {
    COleDispatchDriver driver;
    driver.AttachDispatch(new CProvider(), TRUE);
    double start = 0, resolution = 0;
    COleSafeArray ascan;
    BOOL ok = FALSE;
    ASSERT_EQ(driver.InvokeHelper(36, DISPATCH_METHOD, VT_BOOL, &ok, VTS_PR8 VTS_PR8 VTS_PVARIANT, &start, &resolution,
                                  static_cast<VARIANT*>(ascan)),
              S_OK);
    EXPECT_EQ(ok, TRUE);
    EXPECT_EQ(start, 1.5);
    EXPECT_EQ(resolution, 0.01);
    ASSERT_EQ(ascan.GetOneDimSize(), 3u);
    float* samples = nullptr;
    ASSERT_EQ(ascan.AccessData(reinterpret_cast<void**>(&samples)), S_OK);
    EXPECT_EQ(samples[1], -0.5f);
    // While its data is locked the array cannot be freed or replaced.
    EXPECT_EQ(ascan.Clear(), DISP_E_ARRAYISLOCKED);
    EXPECT_EQ(ascan.CreateOneDim(VT_R4, 1), DISP_E_ARRAYISLOCKED);
    EXPECT_EQ(ascan.GetOneDimSize(), 3u);
    ASSERT_EQ(ascan.UnaccessData(), S_OK);

    // A string by reference, as std::string or as BSTR.
    std::string label;
    ASSERT_EQ(driver.InvokeHelper(39, DISPATCH_METHOD, VT_BOOL, &ok, VTS_PBSTR, &label), S_OK);
    EXPECT_EQ(label, "Time (us)");
    BSTR raw = SysAllocString("");
    ASSERT_EQ(driver.InvokeHelper(39, DISPATCH_METHOD, VT_BOOL, &ok, VTS_PBSTR, &raw), S_OK);
    EXPECT_STREQ(raw, "Time (us)");
    SysFreeString(raw);

    // Property reads with the flags a container uses, and writes with the named argument.
    std::string file;
    ASSERT_EQ(driver.InvokeHelper(1, DISPATCH_METHOD | DISPATCH_PROPERTYGET, VT_BSTR, &file, VTS_NONE), S_OK);
    EXPECT_EQ(file, "a.orvex");
    ASSERT_EQ(driver.SetProperty(2, VT_I4, 17), S_OK);
    LONG count = 0;
    ASSERT_EQ(driver.GetProperty(2, VT_I4, &count), S_OK);
    EXPECT_EQ(count, 17);
    double asDouble = 0;
    ASSERT_EQ(driver.GetProperty(2, VT_R8, &asDouble), S_OK);  // converted to the asked type
    EXPECT_EQ(asDouble, 17.0);
}

TEST_F(AutomationClientTest, FailedCallsLeaveResultsAloneAndKeepTheError) {
    COleDispatchDriver driver;
    double value = -1.0;
    EXPECT_EQ(driver.GetProperty(3, VT_R8, &value), E_POINTER);  // nothing attached
    driver.AttachDispatch(new CProvider(), TRUE);
    EXPECT_EQ(driver.SetProperty(3, VT_R8, 1.0), DISP_E_EXCEPTION);
    EXPECT_EQ(driver.GetLastErrorCode(), CTL_E_SETNOTSUPPORTED);
    EXPECT_EQ(driver.GetLastErrorDescription(), "Property is read-only.");
    EXPECT_EQ(driver.GetProperty(99, VT_R8, &value), DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(value, -1.0);
    // A result that does not convert to the asked type.
    LONG n = 5;
    EXPECT_EQ(driver.GetProperty(1, VT_I4, &n), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(n, 5);
}

TEST_F(AutomationClientTest, DriverReleasesOnlyWhatItWasGivenToRelease) {
    CComPtr<IDispatch> provider;
    provider.Attach(new CProvider());
    {
        COleDispatchDriver borrowed;
        borrowed.AttachDispatch(provider.get(), FALSE);
    }
    EXPECT_EQ(provider->AddRef(), 2u);  // the borrowed driver did not release it
    COleDispatchDriver owning;
    owning.AttachDispatch(provider.get(), TRUE);  // takes over the reference added above
    EXPECT_EQ(owning.DetachDispatch(), provider.get());
    provider->Release();
    EXPECT_EQ(owning.m_lpDispatch, nullptr);
}

TEST_F(AutomationClientTest, SafeArrayWrapperCreatesResizesAndTakesOver) {
    COleSafeArray a;
    EXPECT_EQ(a.GetOneDimSize(), 0u);
    const double values[2] = {1.0, 2.0};
    ASSERT_EQ(a.CreateOneDim(VT_R8, 2, values, 5), S_OK);
    long lb = 0, ub = 0;
    a.GetLBound(1, &lb);
    a.GetUBound(1, &ub);
    EXPECT_EQ(lb, 5);
    EXPECT_EQ(ub, 6);
    ASSERT_EQ(a.ResizeOneDim(4), S_OK);
    long index = 8;
    double got = -1;
    ASSERT_EQ(a.GetElement(&index, &got), S_OK);
    EXPECT_EQ(got, 0.0);
    VARIANT raw = a.Detach();
    EXPECT_EQ(a.vt, VT_EMPTY);
    COleSafeArray b;
    ASSERT_EQ(b.Attach(raw), S_OK);
    EXPECT_EQ(raw.vt, VT_EMPTY);
    EXPECT_EQ(b.GetOneDimSize(), 4u);
    VARIANT notArray;
    VariantInit(&notArray);
    notArray.vt = VT_I4;
    EXPECT_EQ(b.Attach(notArray), E_INVALIDARG);
    EXPECT_EQ(GetLiveSafeArrayCount(), 1);
}

COleObjectFactory g_testFactory(CLSID_TestCtrl, &COleControl::CreateObject<CTestCtrl>, FALSE, kTestCtrlProgID);

TEST_F(AutomationClientTest, FactoriesCreateByClassIdAndProgIdAndCountObjects) {
    EXPECT_EQ(COleObjectFactory::FindByProgID(kTestCtrlProgID), &g_testFactory);
    CComPtr<IDispatch> byId, byName;
    ASSERT_EQ(COleObjectFactory::CreateInstanceByClassID(CLSID_TestCtrl, IID_IDispatch, reinterpret_cast<void**>(&byId)),
              S_OK);
    ASSERT_EQ(
        COleObjectFactory::CreateInstanceByProgID(kTestCtrlProgID, IID_IDispatch, reinterpret_cast<void**>(&byName)),
        S_OK);
    EXPECT_NE(byId.get(), byName.get());
    EXPECT_EQ(AfxOleGetObjectCount(), 2);
    EXPECT_EQ(COleObjectFactory::CanUnloadNow(), S_FALSE);
    byId.Release();
    byName.Release();
    EXPECT_EQ(COleObjectFactory::CanUnloadNow(), S_OK);

    void* pv = nullptr;
    EXPECT_EQ(COleObjectFactory::CreateInstanceByProgID("ORVEXTEST.Missing.1", IID_IDispatch, &pv), REGDB_E_CLASSNOTREG);
    EXPECT_EQ(pv, nullptr);
    // An interface the object lacks: nothing is created for the caller and nothing leaks.
    EXPECT_EQ(COleObjectFactory::CreateInstanceByClassID(CLSID_TestCtrl, IID_IClassFactory, &pv), E_NOINTERFACE);
    EXPECT_EQ(pv, nullptr);

    // The class-object lookup and server locks.
    CComPtr<IClassFactory> cf;
    ASSERT_EQ(COleObjectFactory::GetClassObject(CLSID_TestCtrl, IID_IClassFactory, reinterpret_cast<void**>(&cf)), S_OK);
    EXPECT_EQ(COleObjectFactory::GetClassObject(IID_DTestCtrl, IID_IClassFactory, &pv), CLASS_E_CLASSNOTAVAILABLE);
    ASSERT_EQ(cf->LockServer(TRUE), S_OK);
    EXPECT_EQ(COleObjectFactory::CanUnloadNow(), S_FALSE);
    ASSERT_EQ(cf->LockServer(FALSE), S_OK);
    EXPECT_EQ(COleObjectFactory::CanUnloadNow(), S_OK);
}

TEST_F(AutomationClientTest, DebugOutputGoesToTheChosenSinkOneLinePerCall) {
    OutputDebugStringA("before any sink\n");  // discarded
    {
        CDebugOutputCapture capture;
        OutputDebugStringA("Unable to get to the container.\n");
        OutputDebugStringA("And the name is ... ");
        OutputDebugString("two\nlines\n");
        OutputDebugStringA(nullptr);
        EXPECT_EQ(capture.GetLines(),
                  (std::vector<std::string>{"Unable to get to the container.", "And the name is ... ", "two\nlines"}));
        {
            CDebugOutputCapture inner;
            OutputDebugStringA("inner\n");
            EXPECT_EQ(inner.GetLines().size(), 1u);
        }
        OutputDebugStringA("outer again\n");
        EXPECT_EQ(capture.GetLines().back(), "outer again");  // the outer sink is back
    }
}

}  // namespace
