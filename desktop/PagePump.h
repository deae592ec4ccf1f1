#pragma once
// Drives an open document's window manager from a clock: a Qt timer asks for a step every few
// milliseconds, and each step pumps the time the clock says has passed since the previous one,
// so the controls' timers (the viewer's 200 ms animation) run at the clock's pace. The desktop
// gives it the real clock; tests give it a virtual one and step it themselves.
#include <QTimer>
#include <functional>

#include "platform/win/WinClock.h"

class CHostDocument;

class CPagePump {
public:
    // How often the timer asks for a step, and the longest step taken at once.
    static constexpr int kIntervalMs = 10;
    static constexpr uint32_t kMaxStepMs = 1000;

    CPagePump(const CClock& clock, std::function<void()> afterStep);

    // The document to pump (null: none); the clock's time before this call does not count.
    void SetDocument(CHostDocument* document);
    // Starts or stops the timer; stepping by hand works either way.
    void Start();
    void Stop();
    bool IsRunning() const { return m_timer.isActive(); }
    // Pumps the time elapsed since the last step (0 dispatches and paints), then calls afterStep.
    // A step asked for while one runs (a nested event loop) is skipped.
    void Step();
    const CClock& GetClock() const { return m_clock; }

private:
    const CClock& m_clock;
    CClockStepper m_stepper;
    std::function<void()> m_afterStep;
    CHostDocument* m_pDocument = nullptr;
    QTimer m_timer;
    bool m_bInStep = false;
};
