#pragma once
// The envelope of a trace: the magnitude of its analytic signal, the trace plus i times its
// Hilbert transform, found through a real-input FFT of our own (radix 2, zero-padded).
#include <complex>
#include <vector>

// In-place radix-2 FFT of a power-of-two length; `inverse` runs the backward transform and
// divides by the length.
void TransformFft(std::vector<std::complex<double>>& data, bool inverse);

// Long traces are transformed in blocks of this many samples (padding included), each block
// reaching this far past the samples it gives on both sides, so the cost grows with the length
// and not with the length's logarithm in a transform too large for the caches.
constexpr size_t kEnvelopeBlock = 65536;
constexpr size_t kEnvelopeMargin = 4096;

// |x + i H(x)| for each sample. A trace that fits one block is padded with zeros to at least
// twice its length, so an echo near one end does not fold onto the other. A longer one is cut
// into overlapping blocks: each keeps the middle of its transform, `margin` samples from the
// block's edges, where the Hilbert kernel (1 / t) of the cut-off samples has faded.
std::vector<float> ComputeEnvelope(const std::vector<float>& samples, size_t block = kEnvelopeBlock,
                                   size_t margin = kEnvelopeMargin);
