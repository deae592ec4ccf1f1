#include "viewer/AscanLayout.h"

#include "platform/base/Saturate.h"

#include <algorithm>
#include <cmath>

namespace orvex::viewer {

namespace {

bool UsableInterval(double r) { return std::isfinite(r) && r != 0.0; }

// Quotients truncated toward zero each on its own, as the product computes them.
int64_t TruncatedQuotient(double value, double interval) { return TruncateToInt64(value / interval); }

// Beyond this a quotient is absurd anyway; keeping sums of a few of them far from int64 overflow.
constexpr int64_t kQuotientLimit = int64_t{1} << 40;

bool Sane(int64_t v) { return v > -kQuotientLimit && v < kQuotientLimit; }

}  // namespace

bool ComputeFullAscanLayout(const SAscanSource& src, SAscanLayout& layout) {
    double r = src.sampleInterval;
    if (std::fabs(src.sampleInterval - src.windowSampleInterval) <= 1e-6) r = src.windowSampleInterval;
    if (!UsableInterval(r)) return false;

    const int64_t windowStart = TruncatedQuotient(src.windowStart, r);
    const int64_t windowLength = TruncatedQuotient(src.windowLength, r);
    const int64_t lead = TruncatedQuotient(src.dataStart, r);
    if (!Sane(windowStart) || !Sane(windowLength) || !Sane(lead) || !Sane(src.nSamples)) return false;

    const int64_t windowEnd = windowStart + windowLength;
    const int64_t tail = windowEnd > lead + src.nSamples ? windowEnd - lead - src.nSamples : 5;
    // A negative lead (data before time 0) can leave nothing to show; the array is then empty.
    const int64_t count = std::max<int64_t>(lead + src.nSamples + tail, 0);
    if (count > kMaxAscanElements) return false;

    layout.resolution = r;
    layout.lead = lead;
    layout.count = count;
    return true;
}

bool ComputeWindowedAscanLayout(const SAscanSource& src, SAscanLayout& layout) {
    const double r = src.windowSampleInterval;
    if (!UsableInterval(r)) return false;

    const int64_t ws = TruncatedQuotient(src.windowStart, r);
    const int64_t n = TruncatedQuotient(src.windowLength, r);
    const int64_t ds = TruncatedQuotient(src.dataStart, r);
    if (!Sane(ws) || !Sane(n) || !Sane(ds)) return false;
    if (n < 0 || n > kMaxAscanElements) return false;

    // Data that starts before the window is still copied from its first sample.
    layout.resolution = r;
    layout.lead = ds - ws > 0 ? ds - ws : 0;
    layout.count = n;
    return true;
}

void FillAscanArray(const SAscanSource& src, const SAscanLayout& layout, float* out) {
    if (layout.count <= 0) return;
    std::fill(out, out + layout.count, 0.0f);
    if (src.samples == nullptr || src.nSamples <= 0) return;
    // Samples whose element falls outside [0, count) are dropped, never written past the array.
    const int64_t first = std::max<int64_t>(0, -layout.lead);
    const int64_t last = std::min<int64_t>(src.nSamples, layout.count - layout.lead);
    for (int64_t k = first; k < last; ++k) out[layout.lead + k] = src.samples[k];
}

}  // namespace orvex::viewer
