// Stepping RayEndTime by script and animating it on a window timer that wraps between the limits.
#include "geometry/CSimulationData.h"
#include "ids/OrvexViewerIds.h"
#include "viewer/OrvexViewerCtrl.h"
#include "viewer/PulseTiming.h"
#include "viewer/RaySelection.h"

using namespace orvex::viewer;

namespace {

constexpr UINT_PTR kAnimationTimerId = 20;
constexpr UINT kAnimationPeriodMs = 200;

}  // namespace

void COrvexViewerCtrl::AnimatePulse() {
    // Neither branch redraws: the next tick does.
    if (m_isAnimated) {
        if (GetSafeHwnd() != nullptr) KillTimer(kAnimationTimerId);
        m_isAnimated = FALSE;
        return;
    }
    m_isAnimated = TRUE;
    if (m_rayPlotType == kFullRays) m_rayPlotType = kPulse;  // without a change notification
    if (GetSafeHwnd() != nullptr) SetTimer(kAnimationTimerId, kAnimationPeriodMs, nullptr);
}

void COrvexViewerCtrl::OnIsAnimatedChanged() {
    // AnimatePulse toggles, so undo the write first: the property keeps the written value and the
    // timer follows it. Setting the same timer id again replaces it, so TRUE twice is one timer.
    m_isAnimated = m_isAnimated ? FALSE : TRUE;
    AnimatePulse();
}

int COrvexViewerCtrl::OnCreate(LPCREATESTRUCT lpCreateStruct) {
    if (COleControl::OnCreate(lpCreateStruct) == -1) return -1;
    // An animation stored with the document resumes when the control gets its window.
    if (m_isAnimated) SetTimer(kAnimationTimerId, kAnimationPeriodMs, nullptr);
    return 0;
}

void COrvexViewerCtrl::OnTimer(UINT_PTR nIDEvent) {
    if (nIDEvent == kAnimationTimerId) OnAnimationTick();
    COleControl::OnTimer(nIDEvent);
}

void COrvexViewerCtrl::OnAnimationTick() {
    m_rayEndTime = NextAnimationTime(m_rayEndTime, m_rayEndTimeIncrement, m_pulseAnimateStartLimit,
                                     m_pulseAnimateEndLimit);
    FireEvent(DISPID_VIEWER_EVENT_ONPULSETIMECHANGED, EVENT_PARAM(VTS_R8), m_rayEndTime);
    InvalidateControl();
    SetModifiedFlag();
}

void COrvexViewerCtrl::AdvanceRays() {
    // No limits here: the next tick wraps a time beyond the end.
    m_rayEndTime += m_rayEndTimeIncrement;
    InvalidateControl();
    SetModifiedFlag();
}

void COrvexViewerCtrl::RetreatRays() {
    m_rayEndTime -= m_rayEndTimeIncrement;
    InvalidateControl();
    SetModifiedFlag();
}

double COrvexViewerCtrl::GetPulseDuration() const {
    return PulseDuration(m_pSimData->m_probeFrequency, m_pSimData->m_probeBandwidth);
}
