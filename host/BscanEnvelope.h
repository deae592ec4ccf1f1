#pragma once
// The envelope of a trace: the magnitude of its analytic signal, the trace plus i times its
// Hilbert transform, found through a real-input FFT of our own (radix 2, zero-padded).
#include <complex>
#include <vector>

// In-place radix-2 FFT of a power-of-two length; `inverse` runs the backward transform and
// divides by the length.
void TransformFft(std::vector<std::complex<double>>& data, bool inverse);

// |x + i H(x)| for each sample. The trace is padded with zeros to at least twice its length, so an
// echo near one end does not fold onto the other.
std::vector<float> ComputeEnvelope(const std::vector<float>& samples);
