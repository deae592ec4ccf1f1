#pragma once
// Layout of the A-scan arrays the viewer hands out: which element holds which sample, and how long
// the array is. Independent of the data set and the safe array, so the arithmetic is checked alone.
#include <cstddef>
#include <cstdint>

namespace orvex::viewer {

// The A-scan fields of one snapshot, as the layout needs them.
struct SAscanSource {
    double windowStart = 0.0;
    double windowLength = 0.0;
    double sampleInterval = 0.0;
    double windowSampleInterval = 0.0;
    double dataStart = 0.0;
    const float* samples = nullptr;  // nSamples values
    int64_t nSamples = 0;
};

// Where the samples go in the array: element lead + k holds sample k; the rest are zeros.
struct SAscanLayout {
    double resolution = 0.0;  // time per element
    int64_t lead = 0;         // index of sample 0; negative when the data starts before the array
    int64_t count = 0;        // number of elements
};

// The largest array handed out (256 MB of floats); a window needing more is refused as absurd.
constexpr int64_t kMaxAscanElements = int64_t{1} << 26;

// The whole A-scan from time 0. False when the interval is zero or not finite, or the array would
// be absurdly long.
bool ComputeFullAscanLayout(const SAscanSource& src, SAscanLayout& layout);

// The A-scan cut to its display window. False on the same grounds, or a negative window length.
bool ComputeWindowedAscanLayout(const SAscanSource& src, SAscanLayout& layout);

// Writes the layout's count elements: zeros, the samples that fall inside, zeros.
void FillAscanArray(const SAscanSource& src, const SAscanLayout& layout, float* out);

}  // namespace orvex::viewer
