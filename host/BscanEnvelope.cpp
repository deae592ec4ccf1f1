#include "host/BscanEnvelope.h"

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
    for (size_t len = 2; len <= n; len <<= 1) {
        // Twiddles from the angle of each index, not by repeated multiplication, so long
        // transforms do not drift.
        const double step = sign * 2.0 * std::numbers::pi / static_cast<double>(len);
        const size_t half = len / 2;
        std::vector<std::complex<double>> w(half);
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

std::vector<float> ComputeEnvelope(const std::vector<float>& samples) {
    const size_t n = samples.size();
    if (n == 0) return {};
    size_t m = 2;
    while (m < 2 * n) m <<= 1;
    std::vector<std::complex<double>> spectrum(m);
    for (size_t i = 0; i < n; ++i) spectrum[i] = samples[i];
    TransformFft(spectrum, false);
    // The analytic signal keeps the mean and the middle bin, doubles the positive frequencies and
    // drops the negative ones.
    for (size_t k = 1; k < m / 2; ++k) spectrum[k] *= 2.0;
    for (size_t k = m / 2 + 1; k < m; ++k) spectrum[k] = 0.0;
    TransformFft(spectrum, true);
    std::vector<float> envelope(n);
    for (size_t i = 0; i < n; ++i) envelope[i] = static_cast<float>(std::abs(spectrum[i]));
    return envelope;
}
