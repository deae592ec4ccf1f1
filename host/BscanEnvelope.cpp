#include "host/BscanEnvelope.h"

#include <algorithm>
#include <cassert>
#include <cmath>
#include <numbers>

void TransformFft(std::vector<std::complex<double>>& data, bool inverse) {
    const size_t n = data.size();
    assert((n & (n - 1)) == 0);
    if (n < 2) return;
    for (size_t i = 1, j = 0; i < n; ++i) {
        size_t bit = n >> 1;
        for (; j & bit; bit >>= 1) j ^= bit;
        j ^= bit;
        if (i < j) std::swap(data[i], data[j]);
    }
    const double sign = inverse ? 1.0 : -1.0;
    std::vector<std::complex<double>> w;
    for (size_t len = 2; len <= n; len <<= 1) {
        // Twiddles from the angle of each index, not by repeated multiplication, so long
        // transforms do not drift; read in order, which the stages' loops favour.
        const double step = sign * 2.0 * std::numbers::pi / static_cast<double>(len);
        const size_t half = len / 2;
        w.resize(half);
        for (size_t k = 0; k < half; ++k) w[k] = std::polar(1.0, step * static_cast<double>(k));
        for (size_t start = 0; start < n; start += len) {
            for (size_t k = 0; k < half; ++k) {
                const std::complex<double> a = data[start + k];
                const std::complex<double> b = data[start + k + half] * w[k];
                data[start + k] = a + b;
                data[start + k + half] = a - b;
            }
        }
    }
    if (inverse)
        for (auto& v : data) v /= static_cast<double>(n);
}

namespace {

// The analytic signal's magnitude of samples[first, last) padded with zeros to `length` (a power
// of two at least last - first), written to out[first + skip, first + skip + count).
void EnvelopeOfPart(const std::vector<float>& samples, size_t first, size_t last, size_t length, size_t skip,
                    size_t count, std::vector<float>& out) {
    std::vector<std::complex<double>> spectrum(length);
    for (size_t i = first; i < last; ++i) spectrum[i - first] = samples[i];
    TransformFft(spectrum, false);
    // The analytic signal keeps the mean and the middle bin, doubles the positive frequencies and
    // drops the negative ones.
    for (size_t k = 1; k < length / 2; ++k) spectrum[k] *= 2.0;
    for (size_t k = length / 2 + 1; k < length; ++k) spectrum[k] = 0.0;
    TransformFft(spectrum, true);
    for (size_t i = 0; i < count; ++i) out[first + skip + i] = static_cast<float>(std::abs(spectrum[skip + i]));
}

size_t PowerOfTwoAtLeast(size_t n) {
    size_t m = 2;
    while (m < n) m <<= 1;
    return m;
}

}  // namespace

std::vector<float> ComputeEnvelope(const std::vector<float>& samples, size_t block, size_t margin) {
    const size_t n = samples.size();
    std::vector<float> envelope(n);
    if (n == 0) return envelope;
    // The part a block gives: it leaves `margin` on each side and `margin` of zeros at its end.
    const bool blocks = block > 4 * margin && 2 * n > block;
    if (!blocks) {
        EnvelopeOfPart(samples, 0, n, PowerOfTwoAtLeast(2 * n), 0, n, envelope);
        return envelope;
    }
    const size_t step = block - 3 * margin;
    for (size_t start = 0; start < n; start += step) {
        const size_t count = std::min(step, n - start);
        const size_t first = start > margin ? start - margin : 0;
        const size_t last = std::min(n, start + count + margin);
        EnvelopeOfPart(samples, first, last, block, start - first, count, envelope);
    }
    return envelope;
}
