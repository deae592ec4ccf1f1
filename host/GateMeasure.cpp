#include "host/GateMeasure.h"

#include <cmath>
#include <cstdlib>

#include "host/AscanTraces.h"

namespace {

// The first element whose time is not before `t`: times grow with the index, so a binary search
// finds it without a pass over a long trace.
size_t FirstAtOrAfter(const SAscanTrace& trace, double t) {
    size_t lo = 0, hi = trace.samples.size();
    while (lo < hi) {
        const size_t mid = lo + (hi - lo) / 2;
        if (trace.TimeOf(mid) < t) lo = mid + 1;
        else hi = mid;
    }
    return lo;
}

bool ParseFinite(const std::string& text, double& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return end == text.c_str() + text.size() && std::isfinite(value);
}

}  // namespace

SGateReading MeasureGate(const SAscanTrace& trace, const SMeasureGate& gate) {
    SGateReading reading;
    if (!(trace.resolution > 0.0) || gate.end < gate.start) return reading;
    const size_t first = FirstAtOrAfter(trace, gate.start);
    size_t last = FirstAtOrAfter(trace, gate.end);  // one past the gate, unless a sample sits on its end
    if (last < trace.samples.size() && trace.TimeOf(last) <= gate.end) ++last;
    if (first >= last) return reading;
    reading.sampleCount = last - first;

    // Samples that are not numbers (a file may hold them) are passed over: they have no size.
    size_t peakIndex = last;
    double peak = -1.0;
    for (size_t i = first; i < last; ++i) {
        const double magnitude = std::fabs(static_cast<double>(trace.samples[i]));
        if (magnitude > peak) {
            peak = magnitude;
            peakIndex = i;
        }
    }
    if (peakIndex == last) return reading;
    reading.peak = peak;
    reading.peakSigned = trace.samples[peakIndex];
    reading.peakTime = trace.TimeOf(peakIndex);

    if (gate.threshold) {
        const double threshold = *gate.threshold;
        for (size_t i = first; i < last; ++i) {
            const double magnitude = std::fabs(static_cast<double>(trace.samples[i]));
            if (!(magnitude >= threshold)) continue;
            const double before = i == first ? 0.0 : std::fabs(static_cast<double>(trace.samples[i - 1]));
            if (i == first || std::isnan(before)) {
                reading.flankTime = trace.TimeOf(i);
            } else {
                // The sample before lies below the threshold, so the two magnitudes differ.
                const double t0 = trace.TimeOf(i - 1), t1 = trace.TimeOf(i);
                reading.flankTime = t0 + (threshold - before) / (magnitude - before) * (t1 - t0);
            }
            break;
        }
    }
    return reading;
}

bool ParseGate(const std::string& text, SMeasureGate& gate) {
    const size_t colon = text.find(':');
    if (colon == std::string::npos) return false;
    const size_t second = text.find(':', colon + 1);
    double start = 0.0, end = 0.0, threshold = 0.0;
    if (!ParseFinite(text.substr(0, colon), start)) return false;
    if (!ParseFinite(text.substr(colon + 1, second == std::string::npos ? std::string::npos : second - colon - 1), end))
        return false;
    if (end < start) return false;
    gate.start = start;
    gate.end = end;
    gate.threshold.reset();
    if (second != std::string::npos) {
        if (!ParseFinite(text.substr(second + 1), threshold) || threshold < 0.0) return false;
        gate.threshold = threshold;
    }
    return true;
}
