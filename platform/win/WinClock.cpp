#include "platform/win/WinClock.h"

#include <algorithm>
#include <limits>

void CVirtualClock::Advance(uint64_t ms) {
    const uint64_t room = std::numeric_limits<uint64_t>::max() - m_nNow;
    m_nNow += std::min(ms, room);
}

uint64_t CRealClock::GetMilliseconds() const {
    const auto elapsed = std::chrono::steady_clock::now() - m_start;
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count());
}

CClockStepper::CClockStepper(const CClock& clock, uint32_t maxStep)
    : m_clock(clock), m_nMaxStep(maxStep), m_nLast(clock.GetMilliseconds()) {}

uint32_t CClockStepper::TakeStep() {
    const uint64_t now = m_clock.GetMilliseconds();
    const uint64_t elapsed = now > m_nLast ? now - m_nLast : 0;
    m_nLast = std::max(now, m_nLast);
    return static_cast<uint32_t>(std::min<uint64_t>(elapsed, m_nMaxStep));
}
