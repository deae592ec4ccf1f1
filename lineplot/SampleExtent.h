#pragma once
// Minimum and maximum of a run of samples in one pass, with explicit SIMD (AVX2 when the processor
// has it, else SSE2; plain C++ on other architectures). The per-column reduction of long traces
// spends nearly all its time here.
#include <cstddef>
#include <cstdint>

// Extent of a run of float samples. NaN samples take no part in low and high; hasNaN reports them.
// With no number in the run, low > high (low = +inf, high = -inf).
struct CFloatExtent {
    float low;
    float high;
    bool hasNaN;
};

// Extent of a run of 16-bit samples; an empty run gives low = 32767, high = -32768.
struct CShortExtent {
    int16_t low;
    int16_t high;
};

CFloatExtent FindSampleExtent(const float* samples, size_t count);
CShortExtent FindSampleExtent(const int16_t* samples, size_t count);

// Which kernel the two functions above use on this machine: "avx2", "sse2" or "scalar".
const char* SampleExtentKernelName();
