#include "lineplot/SampleExtent.h"

#include <algorithm>
#include <cmath>
#include <limits>

#if defined(__x86_64__) || defined(__i386__)
#define ORVEX_EXTENT_X86 1
#include <immintrin.h>
#endif

namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();

// The tail (and the whole run on other architectures): comparisons written so NaN never wins.
void ScalarExtent(const float* p, size_t n, float& low, float& high, bool& hasNaN) {
    for (size_t i = 0; i < n; ++i) {
        const float v = p[i];
        if (v != v) { hasNaN = true; continue; }
        if (v < low) low = v;
        if (v > high) high = v;
    }
}

void ScalarExtent(const int16_t* p, size_t n, int16_t& low, int16_t& high) {
    for (size_t i = 0; i < n; ++i) {
        low = std::min(low, p[i]);
        high = std::max(high, p[i]);
    }
}

#ifdef ORVEX_EXTENT_X86
// minps/maxps return their second operand when either is NaN, so with the accumulator second a NaN
// sample leaves the accumulator alone; a separate unordered compare records that one was seen.
CFloatExtent ExtentSse2(const float* p, size_t n) {
    __m128 lo0 = _mm_set1_ps(kInf), lo1 = lo0, hi0 = _mm_set1_ps(-kInf), hi1 = hi0;
    __m128 nan = _mm_setzero_ps();
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m128 a = _mm_loadu_ps(p + i), b = _mm_loadu_ps(p + i + 4);
        lo0 = _mm_min_ps(a, lo0); hi0 = _mm_max_ps(a, hi0);
        lo1 = _mm_min_ps(b, lo1); hi1 = _mm_max_ps(b, hi1);
        nan = _mm_or_ps(nan, _mm_cmpunord_ps(a, b));
    }
    lo0 = _mm_min_ps(lo0, lo1);
    hi0 = _mm_max_ps(hi0, hi1);
    alignas(16) float l[4], h[4];
    _mm_store_ps(l, lo0);
    _mm_store_ps(h, hi0);
    CFloatExtent e{kInf, -kInf, _mm_movemask_ps(nan) != 0};
    for (int k = 0; k < 4; ++k) {
        e.low = std::min(e.low, l[k]);
        e.high = std::max(e.high, h[k]);
    }
    ScalarExtent(p + i, n - i, e.low, e.high, e.hasNaN);
    return e;
}

CShortExtent ExtentSse2(const int16_t* p, size_t n) {
    __m128i lo = _mm_set1_epi16(32767), hi = _mm_set1_epi16(-32768);
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        lo = _mm_min_epi16(lo, a);
        hi = _mm_max_epi16(hi, a);
    }
    alignas(16) int16_t l[8], h[8];
    _mm_store_si128(reinterpret_cast<__m128i*>(l), lo);
    _mm_store_si128(reinterpret_cast<__m128i*>(h), hi);
    CShortExtent e{32767, -32768};
    for (int k = 0; k < 8; ++k) {
        e.low = std::min(e.low, l[k]);
        e.high = std::max(e.high, h[k]);
    }
    ScalarExtent(p + i, n - i, e.low, e.high);
    return e;
}

__attribute__((target("avx2"))) CFloatExtent ExtentAvx2(const float* p, size_t n) {
    __m256 lo0 = _mm256_set1_ps(kInf), lo1 = lo0, hi0 = _mm256_set1_ps(-kInf), hi1 = hi0;
    __m256 nan = _mm256_setzero_ps();
    size_t i = 0;
    for (; i + 16 <= n; i += 16) {
        const __m256 a = _mm256_loadu_ps(p + i), b = _mm256_loadu_ps(p + i + 8);
        lo0 = _mm256_min_ps(a, lo0); hi0 = _mm256_max_ps(a, hi0);
        lo1 = _mm256_min_ps(b, lo1); hi1 = _mm256_max_ps(b, hi1);
        nan = _mm256_or_ps(nan, _mm256_cmp_ps(a, b, _CMP_UNORD_Q));
    }
    lo0 = _mm256_min_ps(lo0, lo1);
    hi0 = _mm256_max_ps(hi0, hi1);
    alignas(32) float l[8], h[8];
    _mm256_store_ps(l, lo0);
    _mm256_store_ps(h, hi0);
    CFloatExtent e{kInf, -kInf, _mm256_movemask_ps(nan) != 0};
    for (int k = 0; k < 8; ++k) {
        e.low = std::min(e.low, l[k]);
        e.high = std::max(e.high, h[k]);
    }
    ScalarExtent(p + i, n - i, e.low, e.high, e.hasNaN);
    return e;
}

__attribute__((target("avx2"))) CShortExtent ExtentAvx2(const int16_t* p, size_t n) {
    __m256i lo = _mm256_set1_epi16(32767), hi = _mm256_set1_epi16(-32768);
    size_t i = 0;
    for (; i + 16 <= n; i += 16) {
        const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p + i));
        lo = _mm256_min_epi16(lo, a);
        hi = _mm256_max_epi16(hi, a);
    }
    alignas(32) int16_t l[16], h[16];
    _mm256_store_si256(reinterpret_cast<__m256i*>(l), lo);
    _mm256_store_si256(reinterpret_cast<__m256i*>(h), hi);
    CShortExtent e{32767, -32768};
    for (int k = 0; k < 16; ++k) {
        e.low = std::min(e.low, l[k]);
        e.high = std::max(e.high, h[k]);
    }
    ScalarExtent(p + i, n - i, e.low, e.high);
    return e;
}

bool HasAvx2() {
    static const bool has = __builtin_cpu_supports("avx2");
    return has;
}
#endif

}  // namespace

CFloatExtent FindSampleExtent(const float* samples, size_t count) {
#ifdef ORVEX_EXTENT_X86
    return HasAvx2() ? ExtentAvx2(samples, count) : ExtentSse2(samples, count);
#else
    CFloatExtent e{kInf, -kInf, false};
    ScalarExtent(samples, count, e.low, e.high, e.hasNaN);
    return e;
#endif
}

CShortExtent FindSampleExtent(const int16_t* samples, size_t count) {
#ifdef ORVEX_EXTENT_X86
    return HasAvx2() ? ExtentAvx2(samples, count) : ExtentSse2(samples, count);
#else
    CShortExtent e{32767, -32768};
    ScalarExtent(samples, count, e.low, e.high);
    return e;
#endif
}

const char* SampleExtentKernelName() {
#ifdef ORVEX_EXTENT_X86
    return HasAvx2() ? "avx2" : "sse2";
#else
    return "scalar";
#endif
}
