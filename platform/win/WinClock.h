#pragma once
// Where the time that drives CWindowManager::Pump comes from. Headless runs and tests use the
// virtual clock, which moves only when told to, so timer behaviour is exact and needs no sleeping;
// the desktop application uses the real one. Whoever pumps reads the time elapsed since its last
// pump from either and passes it to Pump.
#include <chrono>
#include <cstdint>

class CClock {
public:
    virtual ~CClock() = default;
    // Milliseconds since the clock started; never decreases.
    virtual uint64_t GetMilliseconds() const = 0;
};

// Time that passes only through Advance.
class CVirtualClock final : public CClock {
public:
    uint64_t GetMilliseconds() const override { return m_nNow; }
    // Moves the clock on; saturates rather than wrapping.
    void Advance(uint64_t ms);

private:
    uint64_t m_nNow = 0;
};

// Elapsed real time on the monotonic clock (a change of the wall clock does not move it).
class CRealClock final : public CClock {
public:
    CRealClock() : m_start(std::chrono::steady_clock::now()) {}
    uint64_t GetMilliseconds() const override;

private:
    std::chrono::steady_clock::time_point m_start;
};

// Turns a clock's readings into the steps a pump takes: the time since the previous step, at most
// `maxStep` (after a stall, such as a suspended machine, the window manager skips the lost time
// instead of delivering every timer tick it would have had).
class CClockStepper {
public:
    CClockStepper(const CClock& clock, uint32_t maxStep);
    // The milliseconds to pump now; 0 when no time passed.
    uint32_t TakeStep();
    const CClock& GetClock() const { return m_clock; }

private:
    const CClock& m_clock;
    uint32_t m_nMaxStep;
    uint64_t m_nLast;
};
