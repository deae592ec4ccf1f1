// Time stepping and the pulse animation on the virtual clock.
#include "ViewerTestSupport.h"

#include "ids/OrvexViewerIds.h"
#include "platform/com/PropertyBag.h"

using namespace viewer_test;

namespace {

class AnimationTest : public ViewerTest {
protected:
    // Connects an event sink to the control's event interface.
    void ConnectEvents() {
        ASSERT_EQ(m_ctrl->FindConnectionPoint(IID_DOrvexViewerEvents, &m_point), S_OK);
        m_sink = CRecordingSink::Create(IID_DOrvexViewerEvents);
        ASSERT_EQ(m_point->Advise(static_cast<IDispatch*>(m_sink.get()), &m_cookie), S_OK);
    }
    void TearDown() override {
        if (m_point) m_point->Unadvise(m_cookie);
        m_point.Release();
        m_sink.Release();
        ViewerTest::TearDown();
    }
    size_t Timers() const { return m_manager.GetTimerCount(m_ctrl->GetSafeHwnd()); }
    // The times the ticks reported.
    std::vector<double> EventTimes() const {
        std::vector<double> t;
        for (const auto& [id, value] : m_sink->m_events) {
            EXPECT_EQ(id, DISPID_VIEWER_EVENT_ONPULSETIMECHANGED);
            t.push_back(value);
        }
        return t;
    }

    CComPtr<IConnectionPoint> m_point;
    CComPtr<CRecordingSink> m_sink;
    DWORD m_cookie = 0;
};

}  // namespace

TEST_F(AnimationTest, TicksWrapOnlyStrictlyPastTheEndLimit) {
    Activate();
    ConnectEvents();
    m_ctrl->SetPulseAnimateStartLimit(0.0);
    m_ctrl->SetPulseAnimateEndLimit(50.0);
    m_ctrl->SetRayEndTime(49.5);
    m_ctrl->AnimatePulse();
    m_manager.Pump(199);
    EXPECT_TRUE(m_sink->m_events.empty());  // the first tick comes one period after the start
    m_manager.Pump(1);
    EXPECT_EQ(m_ctrl->GetRayEndTime(), 50.0);  // reaching the limit does not wrap
    m_manager.Pump(200);
    EXPECT_EQ(m_ctrl->GetRayEndTime(), 0.0);
    m_manager.Pump(200);
    EXPECT_EQ(EventTimes(), (std::vector<double>{50.0, 0.0, 0.5}));
}

TEST_F(AnimationTest, FreshControlWrapsEveryTickToZero) {
    Activate();
    ConnectEvents();
    ASSERT_EQ(m_ctrl->InitNew(), S_OK);  // end limit 0.0
    m_ctrl->SetIsAnimated(TRUE);
    m_manager.Pump(600);
    EXPECT_EQ(EventTimes(), (std::vector<double>{0.0, 0.0, 0.0}));  // 10.5 > 0 wraps, and so on
}

TEST_F(AnimationTest, AnimatePulseTogglesAndTurnsFullRaysIntoAPulse) {
    Activate();
    struct Row { SHORT before, after; } rows[] = {
        {0, 2},  // full rays become a pulse
        {1, 1},  // end rays at time stays
        {2, 2},
        {7, 7},  // any other value stays
    };
    for (const Row& r : rows) {
        m_ctrl->SetRayPlotType(r.before);
        m_ctrl->AnimatePulse();
        EXPECT_EQ(m_ctrl->GetIsAnimated(), TRUE);
        EXPECT_EQ(m_ctrl->GetRayPlotType(), r.after) << r.before;
        EXPECT_EQ(Timers(), 1u);
        m_ctrl->AnimatePulse();
        EXPECT_EQ(m_ctrl->GetIsAnimated(), FALSE);
        EXPECT_EQ(Timers(), 0u);
    }
}

TEST_F(AnimationTest, WritingIsAnimatedStartsOrStopsOneTimer) {
    Activate();
    VARIANT on;
    VariantInit(&on);
    on.vt = VT_BOOL;
    on.boolVal = VARIANT_TRUE;
    ASSERT_EQ(Put(DISPID_VIEWER_ISANIMATED, on), S_OK);
    ASSERT_EQ(Put(DISPID_VIEWER_ISANIMATED, on), S_OK);  // TRUE twice: still one timer
    EXPECT_EQ(m_ctrl->GetIsAnimated(), TRUE);
    EXPECT_EQ(Timers(), 1u);
    EXPECT_EQ(m_ctrl->GetRayPlotType(), 2);
    m_ctrl->SetIsAnimated(FALSE);
    EXPECT_EQ(m_ctrl->GetIsAnimated(), FALSE);
    EXPECT_EQ(Timers(), 0u);
}

TEST_F(AnimationTest, StoredAnimationResumesWhenTheWindowIsCreated) {
    CComPtr<CPropertyBag> bag = CPropertyBag::Create();
    VARIANT on;
    VariantInit(&on);
    on.vt = VT_BOOL;
    on.boolVal = VARIANT_TRUE;
    bag->Set("IsAnimated", on);
    ASSERT_EQ(m_ctrl->Load(bag.get()), S_OK);
    EXPECT_EQ(m_ctrl->GetIsAnimated(), TRUE);  // no window yet, so no timer either
    Activate();
    EXPECT_EQ(Timers(), 1u);
    m_manager.Pump(200);
    EXPECT_EQ(m_ctrl->GetRayEndTime(), 10.5);  // stored limits 0..50
}

TEST_F(AnimationTest, SteppingIgnoresTheLimitsUntilTheNextTick) {
    Activate();
    m_ctrl->SetPulseAnimateEndLimit(50.0);
    m_ctrl->SetRayEndTime(49.0);
    m_ctrl->SetRayEndTimeIncrement(2.0);
    m_ctrl->AdvanceRays();
    EXPECT_EQ(m_ctrl->GetRayEndTime(), 51.0);  // beyond the end limit
    m_ctrl->RetreatRays();
    m_ctrl->RetreatRays();
    EXPECT_EQ(m_ctrl->GetRayEndTime(), 47.0);
    m_ctrl->AdvanceRays();
    m_ctrl->AdvanceRays();
    m_ctrl->AnimatePulse();
    m_manager.Pump(200);
    EXPECT_EQ(m_ctrl->GetRayEndTime(), 0.0);  // 53 > 50: wrapped
}

TEST_F(AnimationTest, ATickRedrawsThePicture) {
    CSimulationData data = LoadDataJson("scene.json");
    Activate(CRect(0, 0, 200, 160));
    LoadData(data);
    m_ctrl->SetRayPlotType(1);
    m_ctrl->SetRayEndTime(0.5);
    m_ctrl->SetRayEndTimeIncrement(3.0);
    m_manager.Pump(0);
    CBitmap* surface = m_manager.GetSurface(m_page.GetSafeHwnd());
    ASSERT_NE(surface, nullptr);
    const std::vector<uint32_t> before(surface->GetPixels(), surface->GetPixels() + 600 * 500);
    m_ctrl->AnimatePulse();
    m_manager.Pump(200);  // 3.5: the rays have grown
    const std::vector<uint32_t> after(surface->GetPixels(), surface->GetPixels() + 600 * 500);
    EXPECT_NE(before, after);
}
