#include "desktop/PagePump.h"

#include "host/HostDocument.h"

CPagePump::CPagePump(const CClock& clock, std::function<void()> afterStep)
    : m_clock(clock), m_stepper(clock, kMaxStepMs), m_afterStep(std::move(afterStep)) {
    m_timer.setInterval(kIntervalMs);
    m_timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&m_timer, &QTimer::timeout, [this] { Step(); });
}

void CPagePump::SetDocument(CHostDocument* document) {
    m_pDocument = document;
    m_stepper.TakeStep();  // time spent before the document opened is not the document's
}

void CPagePump::Start() { m_timer.start(); }

void CPagePump::Stop() { m_timer.stop(); }

void CPagePump::Step() {
    if (m_bInStep) return;
    m_bInStep = true;
    const uint32_t ms = m_stepper.TakeStep();
    if (m_pDocument != nullptr && m_pDocument->IsOpen()) m_pDocument->Pump(ms);
    m_bInStep = false;
    if (m_afterStep) m_afterStep();
}
