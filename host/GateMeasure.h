#pragma once
// Gate readouts as ultrasonic instruments give them: within a time gate, the peak amplitude (the
// largest magnitude) and its time, and the time the signal's magnitude first reaches a threshold
// (the flank). docs/measurements.md has the exact definitions.
#include <optional>
#include <string>
#include <vector>

struct SAscanTrace;

struct SMeasureGate {
    std::string name;
    // Times in the A-scan's unit, start <= end; both ends belong to the gate.
    double start = 0.0;
    double end = 0.0;
    // A magnitude (>= 0); without one no flank is measured.
    std::optional<double> threshold;
};

struct SGateReading {
    // How many samples lie in the gate; without any there is no peak and no flank. Samples that
    // are not numbers count here but are never a peak or a flank.
    size_t sampleCount = 0;
    // The sample of largest magnitude (the earliest of equal ones): its magnitude, its signed
    // value and its time.
    std::optional<double> peak;
    double peakSigned = 0.0;
    double peakTime = 0.0;
    // The first time the magnitude reaches the threshold, interpolated linearly between the last
    // sample below it and the first at or above it; the first sample's time when the gate opens
    // with the signal already there.
    std::optional<double> flankTime;
};

// Measures one gate on a trace, on the sample times the plot uses (SAscanTrace::TimeOf).
SGateReading MeasureGate(const SAscanTrace& trace, const SMeasureGate& gate);

// Parses "START:END" or "START:END:THRESHOLD" (finite numbers, START <= END, THRESHOLD >= 0).
bool ParseGate(const std::string& text, SMeasureGate& gate);
