// The A-scan methods as another control calls them: through IDispatch, by dispatch id, with
// by-reference arguments; array layout, reuse and the refusals.
#include "ViewerTestSupport.h"

#include <numeric>

#include "ids/OrvexViewerIds.h"
#include "platform/com/SafeArray.h"

using namespace viewer_test;

namespace {

CSimulationData::stSnapshot AscanSnapshot(int samples, double dataStart = 1.5, double interval = 0.01) {
    CSimulationData::stSnapshot s;
    s.m_windowStart = 1.0;
    s.m_windowLength = 2.0;
    s.m_yMax = 0.75;
    s.m_yMin = -0.5;
    s.m_sampleInterval = interval;
    s.m_windowSampleInterval = interval;
    s.m_dataStart = dataStart;
    s.m_xLabel = "Time (us)";
    s.m_samples.resize(static_cast<size_t>(samples));
    std::iota(s.m_samples.begin(), s.m_samples.end(), 1.0f);
    CSimulationData::SyncSampleCount(s);
    return s;
}

class AscanServiceTest : public ViewerTest {
protected:
    void TearDown() override {
        VariantClear(&m_ascan);
        ViewerTest::TearDown();
        EXPECT_EQ(GetLiveSafeArrayCount(), m_arraysAtStart);
        EXPECT_EQ(GetLiveBstrCount(), m_bstrsAtStart);
    }
    // Calls GetAscan (36) or GetWindowedAscanData (37) through IDispatch as the A-scan control does.
    BOOL CallArrayMethod(DISPID id) {
        VARIANT args[3];
        for (VARIANT& a : args) VariantInit(&a);
        // Reversed order: Ascan, Resolution, DataStart.
        args[0].vt = VT_VARIANT | VT_BYREF;
        args[0].pvarVal = &m_ascan;
        args[1].vt = VT_R8 | VT_BYREF;
        args[1].pdblVal = &m_resolution;
        args[2].vt = VT_R8 | VT_BYREF;
        args[2].pdblVal = &m_dataStart;
        DISPPARAMS params = {args, nullptr, 3, 0};
        VARIANT result;
        VariantInit(&result);
        EXPECT_EQ(m_ctrl->Invoke(id, IID_NULL, LOCALE_SYSTEM_DEFAULT, DISPATCH_METHOD, &params, &result, nullptr,
                                 nullptr),
                  S_OK);
        EXPECT_EQ(result.vt, VT_BOOL);
        return result.boolVal ? TRUE : FALSE;
    }
    std::vector<float> Elements() {
        EXPECT_EQ(m_ascan.vt, VT_ARRAY | VT_R4);
        LONG lo = 0, hi = -1;
        SafeArrayGetLBound(m_ascan.parray, 1, &lo);
        SafeArrayGetUBound(m_ascan.parray, 1, &hi);
        EXPECT_EQ(lo, 0);
        void* pv = nullptr;
        SafeArrayAccessData(m_ascan.parray, &pv);
        std::vector<float> v(static_cast<float*>(pv), static_cast<float*>(pv) + (hi - lo + 1));
        SafeArrayUnaccessData(m_ascan.parray);
        return v;
    }

    VARIANT m_ascan{};
    double m_dataStart = -7.0;
    double m_resolution = -7.0;
    int64_t m_arraysAtStart = GetLiveSafeArrayCount();
    int64_t m_bstrsAtStart = GetLiveBstrCount();
};

}  // namespace

TEST_F(AscanServiceTest, WholeAscanFromTimeZero) {
    struct Row { int samples; size_t count; } rows[] = {
        {100, 300},  // padded up to the window end at 3.0
        {200, 355},  // samples past the window end: five zeros follow them
    };
    for (const Row& r : rows) {
        CSimulationData data;
        data.m_snapshots.push_back(AscanSnapshot(r.samples));
        LoadData(data);
        ASSERT_TRUE(CallArrayMethod(DISPID_VIEWER_GETASCAN));
        EXPECT_EQ(m_dataStart, 1.5);
        EXPECT_EQ(m_resolution, 0.01);
        const std::vector<float> v = Elements();
        ASSERT_EQ(v.size(), r.count);
        EXPECT_EQ(v[149], 0.0f);
        EXPECT_EQ(v[150], 1.0f);  // the first sample at time 1.5
        EXPECT_EQ(v[149 + r.samples], static_cast<float>(r.samples));
        EXPECT_EQ(v[150 + r.samples], 0.0f);
        VariantClear(&m_ascan);
    }
}

TEST_F(AscanServiceTest, SecondCallReusesTheArrayWhenTheCountIsUnchanged) {
    CSimulationData data;
    data.m_snapshots.push_back(AscanSnapshot(100));
    data.m_snapshots.push_back(AscanSnapshot(200));
    LoadData(data);
    ASSERT_TRUE(CallArrayMethod(DISPID_VIEWER_GETASCAN));
    SAFEARRAY* first = m_ascan.parray;
    ASSERT_TRUE(CallArrayMethod(DISPID_VIEWER_GETASCAN));
    EXPECT_EQ(m_ascan.parray, first);
    m_ctrl->SetCurrentSnapShot(1);  // 355 elements: a new array replaces the old one
    ASSERT_TRUE(CallArrayMethod(DISPID_VIEWER_GETASCAN));
    EXPECT_EQ(Elements().size(), 355u);
    EXPECT_EQ(GetLiveSafeArrayCount(), m_arraysAtStart + 1);  // the old one was freed
}

TEST_F(AscanServiceTest, LockedArrayIsNeverFreedUnderItsHolder) {
    CSimulationData data;
    data.m_snapshots.push_back(AscanSnapshot(100));
    data.m_snapshots.push_back(AscanSnapshot(200));
    LoadData(data);
    ASSERT_TRUE(CallArrayMethod(DISPID_VIEWER_GETASCAN));
    void* pv = nullptr;
    SafeArrayAccessData(m_ascan.parray, &pv);  // a plot reads it in place
    m_ctrl->SetCurrentSnapShot(1);
    EXPECT_FALSE(CallArrayMethod(DISPID_VIEWER_GETASCAN));
    EXPECT_EQ(Elements().size(), 300u);  // still the old array
    SafeArrayUnaccessData(m_ascan.parray);
}

TEST_F(AscanServiceTest, WindowedAscan) {
    CSimulationData data;
    data.m_snapshots.push_back(AscanSnapshot(100));
    LoadData(data);
    ASSERT_TRUE(CallArrayMethod(DISPID_VIEWER_GETWINDOWEDASCANDATA));
    const std::vector<float> v = Elements();
    ASSERT_EQ(v.size(), 200u);
    EXPECT_EQ(v[49], 0.0f);
    EXPECT_EQ(v[50], 1.0f);
    EXPECT_EQ(v[149], 100.0f);
    EXPECT_EQ(v[150], 0.0f);
}

TEST_F(AscanServiceTest, DisplayWindowAndLabel) {
    CSimulationData data;
    data.m_snapshots.push_back(AscanSnapshot(10));
    LoadData(data);
    double start = 0, end = 0, ymax = 0, ymin = 0;
    EXPECT_TRUE(m_ctrl->GetAscanDisplayWindow(&start, &end, &ymax, &ymin));
    EXPECT_EQ(start, 1.0);
    EXPECT_EQ(end, 3.0);
    EXPECT_EQ(ymax, 0.75);
    EXPECT_EQ(ymin, -0.5);

    BSTR label = SysAllocStringFrom("");  // the caller passes an empty string; it is replaced
    EXPECT_TRUE(m_ctrl->GetAscanXAxisLabel(&label));
    EXPECT_EQ(StringFromBstr(label), "Time (us)");
    SysFreeString(label);
}

TEST_F(AscanServiceTest, RefusalsWriteNothing) {
    struct Row { const char* what; bool load; LONG snapshot; double interval; } rows[] = {
        {"no data", false, 0, 0.01},
        {"snapshot past the end", true, 1, 0.01},
        {"negative snapshot", true, -1, 0.01},
        {"zero interval", true, 0, 0.0},
        {"NaN interval", true, 0, std::nan("")},
    };
    for (const Row& r : rows) {
        if (r.load) {  // the first row runs on the fresh control, without data
            CSimulationData data;
            data.m_snapshots.push_back(AscanSnapshot(10, 1.5, r.interval));
            LoadData(data);
        }
        m_ctrl->SetCurrentSnapShot(r.snapshot);
        m_dataStart = m_resolution = -7.0;
        EXPECT_FALSE(CallArrayMethod(DISPID_VIEWER_GETASCAN)) << r.what;
        EXPECT_FALSE(CallArrayMethod(DISPID_VIEWER_GETWINDOWEDASCANDATA)) << r.what;
        EXPECT_EQ(m_ascan.vt, VT_EMPTY) << r.what;
        EXPECT_EQ(m_dataStart, -7.0) << r.what;
        EXPECT_EQ(m_resolution, -7.0) << r.what;
        if (r.interval == 0.01) {  // refused for want of a snapshot: these two refuse as well
            double a = 0, b = 0, c = 0, d = 0;
            BSTR label = nullptr;
            EXPECT_FALSE(m_ctrl->GetAscanDisplayWindow(&a, &b, &c, &d)) << r.what;
            EXPECT_FALSE(m_ctrl->GetAscanXAxisLabel(&label)) << r.what;
            EXPECT_EQ(label, nullptr);
        }
    }
}
